#include "win32/penvane/path_form.h"

#include "win32/com/bstr.h"
#include "win32/com/module.h"
#include "win32/penvane/window_names.h"
#include "win32/ui/window.h"

#include "text/literals.h"
#include "text/shown.h"

namespace penvane::win {
namespace {

constexpr UINT kPosted = WM_APP + 1;  // posted work is due
constexpr int kFormIcon = 2;          // the built-in 30 x 27 icon (penvane.rc)

struct Button {
  const FormControl& design;
  int id;
  void (FrmPath::*click)();
};
const Button kButtons[] = {{Command1, 101, &FrmPath::Ok},
                           {Command2, 102, &FrmPath::Cancel},
                           {Command3, 103, &FrmPath::OpenMenu}};

ui::WindowClasses& classes() {
  static ui::WindowClasses instance{
      {kFormClass, &ui::windowProc<PathFormWindow, &PathFormWindow::onForm>, 0, COLOR_BTNFACE},
      {kFormPicture1Class, &ui::windowProc<PathFormWindow, &PathFormWindow::onPicture1>, 0,
       COLOR_BTNFACE}};
  return instance;
}

[[noreturn]] void lastError(const char16_t* what) {
  const DWORD error = GetLastError();
  throw automation::Error(error ? HRESULT_FROM_WIN32(error) : E_FAIL, what);
}

}  // namespace

void PathFormWindow::Create(FrmPath& form) {
  if (window_) return;
  if (!classes().acquire()) lastError(u"The path form's window classes could not be registered.");
  form_ = &form;
  const host::Dpi dpi = ui::screenDpi();
  RECT frame{0, 0, host::twipsToPixels(kFormWidth, dpi.x), host::twipsToPixels(kFormHeight, dpi.y)};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  // The caption as the title bar's font reads it.
  const std::wstring caption = com::wide(
      text::shown(text::literals::kChoosePathTitle, text::Element::Caption, ui::systemFaces()));
  window_ = CreateWindowExW(0, kFormClass, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            com::module::handle(), this);
  if (!window_) {
    classes().release();
    lastError(u"The path form's window could not be created.");
  }
  const std::wstring face = com::wide(kFormFont);
  font_ = CreateFontW(-MulDiv(kFormFontTenthsOfPoints, dpi.y, 720), 0, 0, 0, FW_NORMAL, FALSE,
                      FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
  icon_ = static_cast<HBITMAP>(
      LoadImageW(com::module::handle(), MAKEINTRESOURCEW(kFormIcon), IMAGE_BITMAP, 0, 0, 0));
  for (const Button& b : kButtons) {
    const host::Rect r = host::toPixels(b.design.rect, dpi);
    const std::wstring text = com::wide(b.design.caption);
    const HWND button = CreateWindowExW(
        0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, r.left,
        r.top, r.width(), r.height(), window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)),
        com::module::handle(), nullptr);
    if (button && font_) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  const host::Rect picture = host::toPixels(Picture1.rect, dpi);
  CreateWindowExW(WS_EX_CLIENTEDGE, kFormPicture1Class, L"", WS_CHILD | WS_VISIBLE, picture.left,
                  picture.top, picture.width(), picture.height(), window_, nullptr,
                  com::module::handle(), this);
  imageSign_ = host::toPixels(ImageSignControl.rect, dpi);
}

void PathFormWindow::Show() {
  if (window_) ShowWindow(window_, SW_SHOW);
}

void PathFormWindow::Destroy() {
  if (!window_) return;
  const HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
  if (font_) DeleteObject(font_);
  if (icon_) DeleteObject(icon_);
  font_ = nullptr;
  icon_ = nullptr;
  form_ = nullptr;
  posted_.clear();
  classes().release();
}

void PathFormWindow::Post(std::function<void()> work) {
  if (!window_) return;
  posted_.push_back(std::move(work));
  if (!PostMessageW(window_, kPosted, 0, 0)) {
    posted_.pop_back();
    lastError(u"The form could not post to its window.");
  }
}

MenuItem PathFormWindow::PopupMenu() {
  const auto chosen = ui::trackPopupMenu(window_, {kMenuKyCaption, kMenuChenCaption});
  if (!chosen) lastError(u"The menu could not be created.");
  if (*chosen == 1) return MenuItem::Sign;
  if (*chosen == 2) return MenuItem::InsertAndSign;
  return MenuItem::None;
}

void PathFormWindow::paintIcon(HDC dc, int x, int y) const noexcept {
  if (!icon_) return;
  BITMAP bm{};
  GetObjectW(icon_, sizeof bm, &bm);
  const HDC memory = CreateCompatibleDC(dc);
  const HGDIOBJ old = SelectObject(memory, icon_);
  BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

LRESULT PathFormWindow::onForm(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_PAINT:
      // ImageSign is an image: drawn by the form, at its own size.
      ui::paint(hwnd, [&](HDC dc) { paintIcon(dc, imageSign_.left, imageSign_.top); });
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED || !form_) break;
      for (const Button& b : kButtons)
        if (LOWORD(wParam) == b.id) {
          FrmPath& form = *form_;
          ui::guarded([&] { (form.*b.click)(); });
          return 0;
        }
      break;
    case kPosted:
      if (!posted_.empty()) {
        const std::function<void()> work = std::move(posted_.front());
        posted_.pop_front();
        ui::guarded(work);
      }
      return 0;
    case WM_CLOSE:
      // A close request goes to the form, which unloads (and so destroys) the window.
      if (form_) {
        FrmPath& form = *form_;
        ui::guarded([&] { form.Close(); });
      }
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT PathFormWindow::onPicture1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_PAINT) {
    // A picture box shows its picture at the top-left corner, at the picture's own size.
    ui::paint(hwnd, [&](HDC dc) { paintIcon(dc, 0, 0); });
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace penvane::win

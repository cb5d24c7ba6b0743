#include "win32/penvane/signature_window.h"

#include <commctrl.h>

#include <cstring>

#include "win32/com/bstr.h"
#include "win32/com/module.h"
#include "win32/penvane/platform.h"
#include "win32/ui/window.h"

#include "base/error.h"

namespace penvane::win {
namespace {

constexpr int kMargin = 8;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 28;

ui::WindowClasses& classes() {
  static ui::WindowClasses instance{
      {kSignatureWindowClass, &ui::windowProc<SignatureWindowImpl, &SignatureWindowImpl::onWindow>,
       0, COLOR_BTNFACE}};
  return instance;
}

[[noreturn]] void lastError(const char16_t* what) {
  const DWORD error = GetLastError();
  throw automation::Error(error ? HRESULT_FROM_WIN32(error) : E_FAIL, what);
}

}  // namespace

SignatureWindowImpl::~SignatureWindowImpl() {
  close();
}

void SignatureWindowImpl::Show(const SignatureList& list) {
  list_ = list;
  if (!window_) create();
  fill();
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(view_);
}

void SignatureWindowImpl::create() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  if (!classes().acquire()) lastError(u"The signatures' window class could not be registered.");
  const std::wstring title = com::wide(list_.title);
  window_ = CreateWindowExW(0, kSignatureWindowClass, title.c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            900, 320, wordWindow(), nullptr, com::module::handle(), this);
  if (!window_) {
    classes().release();
    lastError(u"The signatures' window could not be created.");
  }
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
  const auto child = [&](const wchar_t* cls, DWORD style, int id) {
    const HWND w = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   com::module::handle(), nullptr);
    if (w && font_) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return w;
  };
  view_ = child(WC_LISTVIEWW, WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                kSignatureListId);
  copy_ = child(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, kCopyButtonId);
  close_ = child(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, kCloseButtonId);
  ListView_SetExtendedListViewStyle(view_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  layout();
}

// The list in the view: a column each, as wide as its longest text; a document without
// signatures says so in the place of the first row.
void SignatureWindowImpl::fill() {
  SetWindowTextW(window_, com::wide(list_.title).c_str());
  SetWindowTextW(copy_, com::wide(list_.copyCaption).c_str());
  SetWindowTextW(close_, com::wide(list_.closeCaption).c_str());
  ListView_DeleteAllItems(view_);
  while (ListView_DeleteColumn(view_, 0)) {
  }
  for (int i = 0; i < static_cast<int>(list_.columns.size()); ++i) {
    std::wstring heading = com::wide(list_.columns[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = heading.data();
    column.cx = 100;
    column.iSubItem = i;
    ListView_InsertColumn(view_, i, &column);
  }
  std::vector<std::array<std::u16string, 6>> rows = list_.rows;
  if (rows.empty()) rows.push_back({std::u16string(), list_.empty});
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int i = 0; i < static_cast<int>(rows[r].size()); ++i) {
      std::wstring text = com::wide(rows[r][i]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = r;
      item.iSubItem = i;
      item.pszText = text.data();
      if (i == 0)
        ListView_InsertItem(view_, &item);
      else
        ListView_SetItem(view_, &item);
    }
  }
  // As wide as the longest cell, and never narrower than the column's name with its margins.
  constexpr int kPadding = 18;
  for (int i = 0; i < static_cast<int>(list_.columns.size()); ++i) {
    ListView_SetColumnWidth(view_, i, LVSCW_AUTOSIZE_USEHEADER);
    const std::wstring heading = com::wide(list_.columns[i]);
    const int least = ListView_GetStringWidth(view_, heading.c_str()) + kPadding;
    if (ListView_GetColumnWidth(view_, i) < least) ListView_SetColumnWidth(view_, i, least);
  }
}

void SignatureWindowImpl::layout() {
  RECT client{};
  GetClientRect(window_, &client);
  const int buttonsTop = client.bottom - kMargin - kButtonHeight;
  MoveWindow(view_, kMargin, kMargin, client.right - 2 * kMargin, buttonsTop - 2 * kMargin, TRUE);
  MoveWindow(close_, client.right - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight,
             TRUE);
  MoveWindow(copy_, client.right - 2 * (kMargin + kButtonWidth), buttonsTop, kButtonWidth,
             kButtonHeight, TRUE);
}

// The list as text, on the clipboard as Unicode text.
void SignatureWindowImpl::copy() const {
  const std::wstring text = com::wide(list_.text);
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (!OpenClipboard(window_)) lastError(u"The clipboard could not be opened.");
  EmptyClipboard();
  const HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (global) {
    std::memcpy(GlobalLock(global), text.c_str(), bytes);
    GlobalUnlock(global);
    if (!SetClipboardData(CF_UNICODETEXT, global)) GlobalFree(global);
  }
  CloseClipboard();
  if (!global) throw std::bad_alloc();
}

void SignatureWindowImpl::close() noexcept {
  if (!window_) return;
  const HWND window = window_;
  window_ = view_ = copy_ = close_ = nullptr;
  DestroyWindow(window);
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  classes().release();
}

LRESULT SignatureWindowImpl::onWindow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_SIZE:
      if (view_) layout();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCopyButtonId && HIWORD(wParam) == BN_CLICKED) {
        ui::guarded([&] { copy(); });
        SetFocus(view_);
        return 0;
      }
      if (LOWORD(wParam) == kCloseButtonId || LOWORD(wParam) == IDCANCEL) {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);  // not inside the button's own click
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == kSignatureListId && header->code == LVN_KEYDOWN &&
          reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_ESCAPE) {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);  // not inside the list's own keystroke
        return 0;
      }
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        close();
        return 0;
      }
      break;
    case WM_CLOSE:
      close();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace penvane::win

#include "wordhost/ribbon_strip.h"

#include <olectl.h>

#include <algorithm>

#include "win32/ui/window.h"

namespace wordhost {
namespace {

const wchar_t kStripClass[] = L"SimWord.Ribbon";

// The strip's measures, in pixels.
constexpr int kTabRow = 24;              // the row of tabs
constexpr int kButtonTop = kTabRow + 4;  // the large buttons
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 72;
constexpr int kIcon = 32;  // a large button's picture
constexpr int kGroupLabelTop = kButtonTop + kButtonHeight + 2;
constexpr int kGroupGap = 6;

// Word's tabs, in its order, with the captions of an English Word.
struct Tab {
  const wchar_t* idMso;
  const wchar_t* caption;
};
const Tab kTabs[] = {{L"TabHome", L"Home"},
                     {L"TabInsert", L"Insert"},
                     {L"TabPageLayoutWord", L"Page Layout"},
                     {L"TabReferences", L"References"},
                     {L"TabMailings", L"Mailings"},
                     {L"TabReviewWord", L"Review"},
                     {L"TabView", L"View"}};

void fill(HDC dc, int left, int top, int right, int bottom, int colour) {
  const RECT r{left, top, right, bottom};
  FillRect(dc, &r, GetSysColorBrush(colour));
}

int textWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The picture as the add-in gave it, in a square of kIcon pixels. An icon is drawn through its
// own handle, with its alpha channel.
void drawPicture(HDC dc, IPicture* picture, int left, int top) {
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  picture->get_Type(&type);
  picture->get_Handle(&handle);
  if (type == PICTYPE_ICON) {
    DrawIconEx(dc, left, top, reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle)), kIcon, kIcon,
               0, nullptr, DI_NORMAL);
    return;
  }
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  picture->Render(dc, left, top, kIcon, kIcon, 0, height, width, -height, nullptr);
}

}  // namespace

RibbonStrip::RibbonStrip(const AddinHost& host, HWND document) : host_(host) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &ui::windowProc<RibbonStrip, &RibbonStrip::onStrip>;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kStripClass;
  RegisterClassExW(&wc);  // once for the process; later calls find it there

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_ = CreateFontIndirectW(&metrics.lfMessageFont);

  RECT client{};
  GetClientRect(document, &client);
  strip_ =
      CreateWindowExW(0, kStripClass, L"Ribbon", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                      client.right, kHeight, document, nullptr, GetModuleHandleW(nullptr), this);
  refresh();
}

RibbonStrip::~RibbonStrip() {
  if (IsWindow(strip_)) DestroyWindow(strip_);
  if (font_) DeleteObject(font_);
}

void RibbonStrip::refresh() {
  for (const Button& b : buttons_) DestroyWindow(b.window);
  buttons_.clear();
  groups_.clear();
  if (!strip_) return;

  // The groups of the first tab that an add-in customised: that tab is the one shown.
  int left = kGroupGap;
  for (const std::wstring& addin : host_.loadedAddins()) {
    Ribbon* ribbon = host_.ribbon(addin);
    if (!ribbon) continue;
    ribbon->refresh();  // the controls the add-in invalidated, asked again
    for (const Ribbon::Group& g : ribbon->groups()) {
      if (!groups_.empty() && g.tab != groups_.front().tab) continue;
      Group group{g.label, g.tab, {left, kButtonTop, left, kHeight - 4}};
      for (const Ribbon::Button& b : g.buttons) {
        Button button{addin, b.id, b.label, b.loaded, nullptr};
        button.window =
            CreateWindowExW(0, L"BUTTON", b.label.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                            group.area.right, kButtonTop, kButtonWidth, kButtonHeight, strip_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
        group.area.right += kButtonWidth;
        buttons_.push_back(std::move(button));
      }
      group.area.right = std::max<LONG>(group.area.right, group.area.left + kButtonWidth);
      left = group.area.right + 2 * kGroupGap;
      groups_.push_back(std::move(group));
    }
  }
  InvalidateRect(strip_, nullptr, TRUE);
}

HWND RibbonStrip::button(const std::wstring& id) const {
  for (const Button& b : buttons_)
    if (b.id == id) return b.window;
  return nullptr;
}

void RibbonStrip::press(HWND window) {
  for (const Button& b : buttons_) {
    if (b.window != window) continue;
    // Asked of the host at the press: an add-in unloaded since has no ribbon to call.
    Ribbon* ribbon = host_.ribbon(b.addin);
    lastPress_ = ribbon ? ribbon->press(b.id) : E_UNEXPECTED;
    return;
  }
}

void RibbonStrip::paint(HDC dc) const {
  RECT client{};
  GetClientRect(strip_, &client);
  fill(dc, 0, 0, client.right, client.bottom, COLOR_3DFACE);
  const HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));

  // The tabs; the selected one open onto the groups below it.
  const std::wstring selected = groups_.empty() ? L"TabInsert" : groups_.front().tab;
  fill(dc, 0, kTabRow - 1, client.right, kTabRow, COLOR_3DSHADOW);
  int x = kGroupGap;
  for (const Tab& tab : kTabs) {
    const std::wstring caption = tab.caption;
    RECT r{x, 2, x + textWidth(dc, caption) + 20, kTabRow};
    if (selected == tab.idMso) {
      fill(dc, r.left, r.top, r.right, r.bottom, COLOR_3DHILIGHT);
      fill(dc, r.left, r.top, r.right, r.top + 1, COLOR_3DSHADOW);
      fill(dc, r.left, r.top, r.left + 1, r.bottom, COLOR_3DSHADOW);
      fill(dc, r.right - 1, r.top, r.right, r.bottom, COLOR_3DSHADOW);
    }
    DrawTextW(dc, caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    x = r.right + 2;
  }
  fill(dc, 0, kTabRow, client.right, client.bottom, COLOR_3DHILIGHT);
  fill(dc, 0, client.bottom - 1, client.right, client.bottom, COLOR_3DSHADOW);

  // Each group: its label under its buttons, a line after it.
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  for (const Group& g : groups_) {
    RECT label{g.area.left, kGroupLabelTop, g.area.right, g.area.bottom};
    DrawTextW(dc, g.label.c_str(), -1, &label,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    const int line = g.area.right + kGroupGap;
    fill(dc, line, g.area.top, line + 1, g.area.bottom, COLOR_3DSHADOW);
  }
  SelectObject(dc, oldFont);
}

void RibbonStrip::drawButton(const DRAWITEMSTRUCT& item) const {
  const Button* button = nullptr;
  for (const Button& b : buttons_)
    if (b.window == item.hwndItem) button = &b;
  if (!button) return;
  const HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  fill(dc, r.left, r.top, r.right, r.bottom, pressed ? COLOR_3DLIGHT : COLOR_3DHILIGHT);
  if (pressed) {
    RECT edge = r;
    DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
  }
  const int shift = pressed ? 1 : 0;
  if (button->picture)
    drawPicture(dc, button->picture.get(), r.left + (r.right - r.left - kIcon) / 2 + shift,
                r.top + 4 + shift);
  RECT label{r.left + 2 + shift, r.top + 4 + kIcon + 4 + shift, r.right - 2 + shift,
             r.bottom - 2 + shift};
  const HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(dc, button->label.c_str(), -1, &label, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
}

LRESULT RibbonStrip::onStrip(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_PAINT:
      ui::paint(hwnd, [&](HDC dc) { paint(dc); });
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers it all
    case WM_DRAWITEM:
      drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) press(reinterpret_cast<HWND>(lParam));
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace wordhost

#include "win32/ui/window.h"

#include <memory>
#include <string>
#include <type_traits>

#include "win32/com/bstr.h"
#include "win32/com/module.h"

namespace ui {

bool WindowClasses::acquire() noexcept {
  if (users_ > 0) {
    ++users_;
    return true;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = com::module::handle();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  size_t registered = 0;
  for (const Class& c : classes_) {
    wc.lpszClassName = c.name;
    wc.lpfnWndProc = c.procedure;
    wc.style = c.style;
    wc.hbrBackground = c.background >= 0 ? GetSysColorBrush(c.background) : nullptr;
    if (!RegisterClassExW(&wc)) break;
    ++registered;
  }
  if (registered < classes_.size()) {
    while (registered-- > 0) UnregisterClassW(classes_[registered].name, com::module::handle());
    return false;
  }
  users_ = 1;
  com::module::lock();
  return true;
}

void WindowClasses::release() noexcept {
  if (users_ == 0 || --users_ > 0) return;
  for (const Class& c : classes_) UnregisterClassW(c.name, com::module::handle());
  com::module::unlock();
}

std::optional<UINT> trackPopupMenu(HWND owner, std::initializer_list<std::u16string_view> items) {
  const std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(
      CreatePopupMenu(), &DestroyMenu);
  if (!menu) return std::nullopt;
  UINT id = 0;
  for (const std::u16string_view item : items)
    AppendMenuW(menu.get(), MF_STRING, ++id, com::wide(item).c_str());
  POINT at{};
  GetCursorPos(&at);
  return static_cast<UINT>(TrackPopupMenu(
      menu.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
}

void messageBox(const std::u16string& prompt, int32_t buttons,
                const std::optional<std::u16string>& title, const wchar_t* libraryTitle) {
  const std::wstring text = com::wide(prompt);
  const std::wstring caption = title ? com::wide(*title) : libraryTitle;
  MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), static_cast<UINT>(buttons));
}

namespace {

class SystemFaces final : public text::Faces {
 public:
  bool Tcvn3(text::Element element) const override {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    const LOGFONTW& font = element == text::Element::Message ? metrics.lfMessageFont
                           : element == text::Element::Menu  ? metrics.lfMenuFont
                                                             : metrics.lfCaptionFont;
    return isTcvn3Face(
        com::u16(std::wstring_view(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE))));
  }
};

}  // namespace

const text::Faces& systemFaces() {
  static const SystemFaces instance;
  return instance;
}

host::Dpi screenDpi(HWND hwnd) noexcept {
  host::Dpi dpi;
  if (const HDC dc = GetDC(hwnd)) {
    dpi = {GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
    ReleaseDC(hwnd, dc);
  }
  return dpi;
}

}  // namespace ui

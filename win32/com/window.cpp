#include "win32/com/window.h"

#include <memory>
#include <string>
#include <type_traits>

#include "win32/com/bstr.h"
#include "win32/com/module.h"

namespace com {

bool WindowClasses::acquire() noexcept {
  if (users_ > 0) {
    ++users_;
    return true;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = module::handle();
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
    while (registered-- > 0) UnregisterClassW(classes_[registered].name, module::handle());
    return false;
  }
  users_ = 1;
  module::lock();
  return true;
}

void WindowClasses::release() noexcept {
  if (users_ == 0 || --users_ > 0) return;
  for (const Class& c : classes_) UnregisterClassW(c.name, module::handle());
  module::unlock();
}

void reportUnhandled(const wchar_t* source, const automation::Error& error) noexcept {
  try {
    OutputDebugStringW((std::wstring(source) + L": " + wide(error.description()) + L"\n").c_str());
  } catch (...) {
    // Out of memory while telling of it: the event ends all the same.
  }
}

std::optional<UINT> trackPopupMenu(HWND owner, std::initializer_list<std::u16string_view> items) {
  const std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(
      CreatePopupMenu(), &DestroyMenu);
  if (!menu) return std::nullopt;
  UINT id = 0;
  for (const std::u16string_view item : items)
    AppendMenuW(menu.get(), MF_STRING, ++id, wide(item).c_str());
  POINT at{};
  GetCursorPos(&at);
  return static_cast<UINT>(TrackPopupMenu(
      menu.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
}

void messageBox(const std::u16string& prompt, int32_t buttons,
                const std::optional<std::u16string>& title, const wchar_t* libraryTitle) {
  const std::wstring text = wide(prompt);
  const std::wstring caption = title ? wide(*title) : libraryTitle;
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
        u16(std::wstring_view(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE))));
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

}  // namespace com

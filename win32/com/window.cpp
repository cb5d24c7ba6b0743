#include "win32/com/window.h"

#include <string>

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

host::Dpi screenDpi(HWND hwnd) noexcept {
  host::Dpi dpi;
  if (const HDC dc = GetDC(hwnd)) {
    dpi = {GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
    ReleaseDC(hwnd, dc);
  }
  return dpi;
}

}  // namespace com

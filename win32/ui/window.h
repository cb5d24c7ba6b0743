// user32 for the libraries' windows. Windows of the module's own classes: the window procedure that
// hands each message to the object the window belongs to, the class registrations that live exactly
// as long as windows use them, and the guard that keeps a failing event inside the window
// procedure.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/diagnosis.h"
#include "base/error.h"
#include "host/units.h"
#include "text/shown.h"

namespace ui {

// The window procedure of windows that belong to an object of type T, given as lpCreateParams at
// creation: from WM_NCCREATE to WM_NCDESTROY every message goes to (object->*Handler).
template <class T, LRESULT (T::*Handler)(HWND, UINT, WPARAM, LPARAM) noexcept>
LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (!self || msg == WM_NCCREATE || msg == WM_NCDESTROY)
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  return (self->*Handler)(hwnd, msg, wParam, lParam);
}

// The module's window classes, registered with the first window that needs them and unregistered
// with the last, so that a library unloaded and loaded again never finds a class that points
// into its old image. The module stays locked (DllCanUnloadNow answers S_FALSE) while any
// window holds them.
class WindowClasses {
 public:
  struct Class {
    const wchar_t* name;
    WNDPROC procedure;
    UINT style = 0;
    int background = -1;  // a system colour index, or -1 for none
  };
  WindowClasses(std::initializer_list<Class> classes) : classes_(classes) {}
  WindowClasses(const WindowClasses&) = delete;
  WindowClasses& operator=(const WindowClasses&) = delete;

  // False when the classes could not be registered; then nothing is held.
  bool acquire() noexcept;
  void release() noexcept;

 private:
  std::vector<Class> classes_;
  int users_ = 0;
};

// Runs an event handler from a window procedure. Nothing it throws leaves the window procedure:
// a handler without a trap of its own ends there, told to the diagnosis log as the handler that
// calls this, and the host goes on.
template <class F>
void guarded(F&& handler, automation::Location at = automation::Location::current()) noexcept {
  try {
    handler();
  } catch (...) {
    diagnosis::caught(automation::currentError(), at.function);
  }
}

// Paints a window: `painter` draws on its device context between BeginPaint and EndPaint.
template <class F>
void paint(HWND hwnd, F&& painter) {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd, &ps);
  painter(dc);
  EndPaint(hwnd, &ps);
}

// A popup menu of these items at the mouse pointer, owned by `owner`, the items numbered from 1
// in order: the number of the item chosen, 0 when none was; nothing when the menu could not be
// made (the thread's last error says why).
std::optional<UINT> trackPopupMenu(HWND owner, std::initializer_list<std::u16string_view> items);

// The runtime's MsgBox, modal to the active window; without a title, the library's.
void messageBox(const std::u16string& prompt, int32_t buttons,
                const std::optional<std::u16string>& title, const wchar_t* libraryTitle);

// The system's fonts for message boxes, menus and title bars (SPI_GETNONCLIENTMETRICS), read at
// each question: the user may change them while Word runs.
const text::Faces& systemFaces();

// The resolution of the screen that a window (or, without one, the desktop) is on.
host::Dpi screenDpi(HWND hwnd = nullptr) noexcept;

}  // namespace ui

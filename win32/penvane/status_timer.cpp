#include "win32/penvane/status_timer.h"

#include "win32/com/module.h"
#include "win32/ui/window.h"

#include "base/error.h"

namespace penvane::win {
namespace {

constexpr UINT kTickSoon = WM_APP + 2;

ui::WindowClasses& classes() {
  static ui::WindowClasses instance{
      {kStatusTimerClass, &ui::windowProc<StatusTimer, &StatusTimer::onTimer>}};
  return instance;
}

}  // namespace

void StatusTimer::Start(uint32_t milliseconds, std::function<void()> tick) {
  if (!window_) {
    if (!classes().acquire())
      throw automation::Error(E_FAIL, u"The status timer's window class could not be registered.");
    window_ = CreateWindowExW(0, kStatusTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              com::module::handle(), this);
    if (!window_) {
      classes().release();
      throw automation::Error(HRESULT_FROM_WIN32(GetLastError()),
                              u"The status timer's window could not be created.");
    }
  }
  tick_ = std::move(tick);
  SetTimer(window_, kStatusTimerId, milliseconds, nullptr);
}

void StatusTimer::Stop() noexcept {
  tick_ = nullptr;
  if (!window_) return;
  const HWND window = window_;
  window_ = nullptr;
  KillTimer(window, kStatusTimerId);
  DestroyWindow(window);
  classes().release();
}

void StatusTimer::TickSoon() {
  if (window_) PostMessageW(window_, kTickSoon, 0, 0);
}

LRESULT StatusTimer::onTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if ((msg == WM_TIMER && wParam == kStatusTimerId) || msg == kTickSoon) {
    // The tick may stop the timer (the add-in let go meanwhile): it runs from a copy.
    if (const std::function<void()> tick = tick_) ui::guarded(tick);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace penvane::win

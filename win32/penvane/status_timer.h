// The ribbon status's timer on Windows: a message-only window of Penvane.dll whose WM_TIMER runs
// the tick, and to which a tick "soon" is posted. The window lives while the timer runs; while it
// does, the library stays loaded.
#pragma once

#include <windows.h>

#include <functional>

#include "win32/penvane/window_names.h"

#include "penvane/ports.h"

namespace penvane::win {

class StatusTimer final : public penvane::Timer {
 public:
  StatusTimer() = default;
  ~StatusTimer() override { Stop(); }
  StatusTimer(const StatusTimer&) = delete;
  StatusTimer& operator=(const StatusTimer&) = delete;

  void Start(uint32_t milliseconds, std::function<void()> tick) override;
  void Stop() noexcept override;
  void TickSoon() override;

  LRESULT onTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  HWND window_ = nullptr;
  std::function<void()> tick_;
};

}  // namespace penvane::win

#include "wordhost/timers.h"

#include <windows.h>

#include <vector>

#include "win32/sealbrook/window_names.h"
#include "wordhost/process.h"

namespace wordhost {
namespace {

std::vector<HWND> timerWindows() {
  return windowsOfThisProcess(HWND_MESSAGE, sealbrook::win::kTimersClass);
}

}  // namespace

void fireTimers(int timer) {
  // Every window first: a handler may close its control, and others with it.
  for (const HWND w : timerWindows())
    if (IsWindow(w)) SendMessageW(w, WM_TIMER, static_cast<WPARAM>(timer), 0);
  runQueued();
}

void holdTimers() {
  for (const HWND w : timerWindows())
    for (const UINT_PTR timer : {sealbrook::win::kTimer1Id, sealbrook::win::kTimer2Id})
      KillTimer(w, timer);
}

}  // namespace wordhost

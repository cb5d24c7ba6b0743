#include "wordhost/timers.h"

#include <windows.h>

#include <vector>

#include "wordhost/process.h"

namespace wordhost {
namespace {

const wchar_t kTimersClass[] = L"Sealbrook.SignData.Timers";

std::vector<HWND> timerWindows() {
  return windowsOfThisProcess(HWND_MESSAGE, kTimersClass);
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
    for (const UINT_PTR timer : {1, 2}) KillTimer(w, timer);
}

}  // namespace wordhost

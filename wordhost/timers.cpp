#include "wordhost/timers.h"

#include <windows.h>

#include <vector>

#include "wordhost/process.h"

namespace wordhost {

void fireTimers(int timer) {
  // Every window first: a handler may close its control, and others with it.
  std::vector<HWND> windows;
  for (HWND w = nullptr;
       (w = FindWindowExW(HWND_MESSAGE, w, L"Sealbrook.SignData.Timers", nullptr)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId()) windows.push_back(w);
  }
  for (const HWND w : windows)
    if (IsWindow(w)) SendMessageW(w, WM_TIMER, static_cast<WPARAM>(timer), 0);
  runQueued();
}

}  // namespace wordhost

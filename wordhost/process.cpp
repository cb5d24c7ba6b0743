#include "wordhost/process.h"

#include <windows.h>

#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <exception>

namespace wordhost {

void pump(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    runQueued();
  }
}

void runQueued() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int run(const std::wstring& commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

std::wstring executableFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring full(path, n);
  return full.substr(0, full.find_last_of(L'\\') + 1);
}

std::vector<HWND> windowsOfThisProcess(HWND parent, const wchar_t* windowClass) {
  std::vector<HWND> windows;
  for (HWND w = nullptr; (w = FindWindowExW(parent, w, windowClass, nullptr)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId()) windows.push_back(w);
  }
  return windows;
}

int runSteps(const std::function<int()>& job) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  int failures = 0;
  try {
    failures = job();
  } catch (const std::exception& e) {
    std::printf("FAIL %s\n", e.what());
    failures = 1;
  }
  CoUninitialize();
  std::printf(failures ? "== %d step(s) did not go as they should\n"
                       : "== Done: everything went as it should\n",
              failures);
  return failures ? 1 : 0;
}

}  // namespace wordhost

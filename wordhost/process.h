// The thread and process chores of the simulated Word's process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wordhost {

// Lets the thread's messages run for a while; timers tick through them.
void pump(int milliseconds);
// Lets the messages already queued for the thread run, without waiting for more.
void runQueued();
// Runs a command line and waits: its exit code, or -1 when it could not start.
int run(const std::wstring& commandLine);
// The folder of the running executable, with a trailing backslash.
std::wstring executableFolder();
// The windows of this process of that class: top-level ones (parent null), message-only ones
// (HWND_MESSAGE), or the children of a window.
std::vector<HWND> windowsOfThisProcess(HWND parent, const wchar_t* windowClass);
// Runs a job of steps in a single-threaded apartment and says how it went: the job answers how
// many of its steps did not go as they should. The process's exit code: 0 when all went well,
// 1 when a step failed or the job threw, 2 when COM could not start.
int runSteps(const std::function<int()>& job);

}  // namespace wordhost

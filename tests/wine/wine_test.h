// Helpers of the Windows tests: where the build put things, running a program, reading the
// registry, the probe server.
#pragma once

#include <windows.h>

#include <string>

namespace winetest {

std::wstring binDir();                      // the folder of the test executable
std::wstring binPath(const wchar_t* file);  // a file beside it
// Runs a command line and waits; the exit code, or -1 when it could not start.
int run(const std::wstring& commandLine);
int regsvr32(const std::wstring& dll, bool unregister = false);
// A key with all its values and subkeys as text, sorted, for comparing registry states; empty
// when the key does not exist.
std::wstring dumpKey(HKEY root, const std::wstring& path);

// An exported function of a loaded module, typed; null when missing.
template <class F>
F* export_(HMODULE module, const char* name) {
  return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace winetest

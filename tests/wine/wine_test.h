// Helpers of the Windows tests: where the build put things, running a program, reading the
// registry, the probe server.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "simword/model.h"

namespace winetest {

std::wstring binDir();                      // the folder of the test executable
std::wstring binPath(const wchar_t* file);  // a file beside it
// Runs a command line and waits; the exit code, or -1 when it could not start.
int run(const std::wstring& commandLine);
int regsvr32(const std::wstring& dll, bool unregister = false);
// The user's temporary folder, with a trailing backslash.
std::wstring tempFolder();
// The add-in's settings file: settings.ini in the system folder.
std::wstring settingsFile();
// A text of the system's own, one character per TCVN3 byte.
std::wstring tcvn3(std::string_view bytes);
// The same text as a screen without TCVN3 fonts shows it (Wine's default fonts): the Vietnamese it
// stands for, in Unicode.
std::wstring shown(std::string_view bytes);

// The screen's fonts for message boxes, menus and title bars are TCVN3 fonts (".VnTime") in this
// process while it lives, as on a machine set up for TCVN3 text; its end puts them back.
class Tcvn3Fonts {
 public:
  Tcvn3Fonts();
  ~Tcvn3Fonts();
  Tcvn3Fonts(const Tcvn3Fonts&) = delete;
  Tcvn3Fonts& operator=(const Tcvn3Fonts&) = delete;

 private:
  NONCLIENTMETRICSW before_{};
};
// A key with all its values and subkeys as text, sorted, for comparing registry states; empty
// when the key does not exist. Every value is exact: text as it is stored (a NUL other than the
// terminating one as \0), numbers, and any other type as its bytes. `view` is KEY_WOW64_32KEY or
// KEY_WOW64_64KEY to read that view of the registry, 0 for the process's own.
std::wstring dumpKey(HKEY root, const std::wstring& path, REGSAM view = 0);

// The Words that suites run in, for INSTANTIATE_TEST_SUITE_P, and their names in test names.
inline auto eachWord() {
  return testing::Values(simword::Profile::Word2003, simword::Profile::Word2016);
}
std::string profileName(const testing::TestParamInfo<simword::Profile>& info);

// An exported function of a loaded module, typed; null when missing.
template <class F>
F* export_(HMODULE module, const char* name) {
  return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace winetest

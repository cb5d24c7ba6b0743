// main() of the Windows tests: GoogleTest on a single-threaded COM apartment, as the host's
// user-interface thread is.
#include <objbase.h>

#include <algorithm>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "wordhost/process.h"

#include "wine_test.h"

namespace winetest {

std::wstring binDir() {
  const std::wstring folder = wordhost::executableFolder();
  return folder.substr(0, folder.size() - 1);
}

std::wstring binPath(const wchar_t* file) {
  return wordhost::executableFolder() + file;
}

int run(const std::wstring& commandLine) {
  return wordhost::run(commandLine);
}

int regsvr32(const std::wstring& dll, bool unregister) {
  return run(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + dll + L"\"");
}

namespace {

void dump(HKEY key, const std::wstring& path, std::vector<std::wstring>& lines) {
  lines.push_back(L"[" + path + L"]");
  wchar_t name[512];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = 512, dataSize = sizeof data, type = 0;
    if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
      break;
    std::wstring value;
    if (type == REG_SZ)
      value = std::wstring(reinterpret_cast<wchar_t*>(data), dataSize / sizeof(wchar_t));
    else if (type == REG_DWORD)
      value = L"dword:" + std::to_wstring(*reinterpret_cast<DWORD*>(data));
    else
      value = L"type " + std::to_wstring(type);
    lines.push_back(L"[" + path + L"] " + std::wstring(name, nameSize) + L"=" + value.c_str());
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = 512;
    if (RegEnumKeyExW(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    HKEY child;
    const std::wstring childName(name, nameSize);
    if (RegOpenKeyExW(key, childName.c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS) {
      dump(child, path + L"\\" + childName, lines);
      RegCloseKey(child);
    }
  }
}

}  // namespace

std::wstring dumpKey(HKEY root, const std::wstring& path) {
  HKEY key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  std::vector<std::wstring> lines;
  dump(key, path, lines);
  RegCloseKey(key);
  std::sort(lines.begin(), lines.end());
  std::wstring out;
  for (const auto& l : lines) out += l + L"\n";
  return out;
}

}  // namespace winetest

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}

// main() of the Windows tests: GoogleTest on a single-threaded COM apartment, as the host's
// user-interface thread is.
#include <objbase.h>

#include <algorithm>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "wordhost/process.h"

#include "text/tcvn3.h"
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

std::string profileName(const testing::TestParamInfo<simword::Profile>& info) {
  return info.param == simword::Profile::Word2003 ? "Word2003" : "Word2016";
}

std::wstring tempFolder() {
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, path);
  return path;
}

std::wstring settingsFile() {
  wchar_t path[MAX_PATH] = {};
  GetSystemDirectoryW(path, MAX_PATH);
  return std::wstring(path) + L"\\settings.ini";
}

std::wstring tcvn3(std::string_view bytes) {
  return com::wide(text::widenBytes(bytes));
}

std::wstring shown(std::string_view bytes) {
  return com::wide(text::TCVN3ToUnicode(text::widenBytes(bytes)));
}

Tcvn3Fonts::Tcvn3Fonts() {
  before_.cbSize = sizeof before_;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof before_, &before_, 0);
  NONCLIENTMETRICSW metrics = before_;
  for (LOGFONTW* font : {&metrics.lfMessageFont, &metrics.lfMenuFont, &metrics.lfCaptionFont})
    wcscpy(font->lfFaceName, L".VnTime");
  EXPECT_TRUE(SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
}

Tcvn3Fonts::~Tcvn3Fonts() {
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof before_, &before_, 0);
}

namespace {

std::wstring valueText(DWORD type, const std::vector<BYTE>& data) {
  if (type == REG_SZ && data.size() % sizeof(wchar_t) == 0) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::copy(data.begin(), data.begin() + text.size() * sizeof(wchar_t),
              reinterpret_cast<BYTE*>(text.data()));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    std::wstring out;
    for (const wchar_t c : text) out += c ? std::wstring(1, c) : L"\\0";
    return out;
  }
  if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
    DWORD n = 0;
    std::copy(data.begin(), data.end(), reinterpret_cast<BYTE*>(&n));
    return L"dword:" + std::to_wstring(n);
  }
  std::wstring out = L"type " + std::to_wstring(type) + L":";
  const wchar_t digits[] = L"0123456789abcdef";
  for (const BYTE b : data) out += {digits[b >> 4], digits[b & 15]};
  return out;
}

void dump(HKEY key, const std::wstring& path, REGSAM view, std::vector<std::wstring>& lines) {
  lines.push_back(L"[" + path + L"]");
  DWORD longestSubkey = 0, longestName = 0, longestData = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longestSubkey, nullptr, nullptr,
                       &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
    lines.push_back(L"[" + path + L"] cannot be read");
    return;
  }
  std::wstring name(std::max(longestName, longestSubkey) + 1, L'\0');
  std::vector<BYTE> data(longestData);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = longestData, type = 0;
    if (RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
        ERROR_SUCCESS)
      break;
    lines.push_back(L"[" + path + L"] " + name.substr(0, nameSize) + L"=" +
                    valueText(type, std::vector<BYTE>(data.begin(), data.begin() + dataSize)));
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    HKEY child;
    const std::wstring childName = name.substr(0, nameSize);
    if (RegOpenKeyExW(key, childName.c_str(), 0, KEY_READ | view, &child) == ERROR_SUCCESS) {
      dump(child, path + L"\\" + childName, view, lines);
      RegCloseKey(child);
    } else {
      lines.push_back(L"[" + path + L"\\" + childName + L"] cannot be opened");
    }
  }
}

}  // namespace

std::wstring dumpKey(HKEY root, const std::wstring& path, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return {};
  std::vector<std::wstring> lines;
  dump(key, path, view, lines);
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

#include "wordhost/pictures.h"

#include <windows.h>

#include <string>

#include "wordhost/process.h"

namespace wordhost {
namespace {

const wchar_t* const kPictures[] = {L"ck copy.gif", L"Pass.gif", L"False.gif"};

std::wstring windowsFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\" + name;
}

}  // namespace

bool installPictures() {
  bool all = true;
  for (const wchar_t* name : kPictures) {
    const std::wstring asset = executableFolder() + L"assets\\" + name;
    all = CopyFileW(asset.c_str(), windowsFile(name).c_str(), FALSE) && all;
  }
  return all;
}

void removePicture(const wchar_t* name) {
  DeleteFileW(windowsFile(name).c_str());
}

void removePictures() {
  for (const wchar_t* name : kPictures) removePicture(name);
}

}  // namespace wordhost

#include "win32/penvane/platform.h"

#include <windows.h>

#include "win32/com/bstr.h"

namespace penvane::win {

std::string toAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  const std::wstring wide = com::wide(text);
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::u16string fromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return com::u16(out);
}

namespace {

// A buffer of at least `size` bytes for the function to write into.
std::string ansiBuffer(const std::u16string& buffer, uint32_t size) {
  std::string ansi = toAnsi(buffer);
  if (ansi.size() < size) ansi.resize(size, ' ');
  return ansi;
}

}  // namespace

uint32_t Kernel32::GetSystemDirectoryA(std::u16string& buffer, uint32_t size) {
  std::string ansi = ansiBuffer(buffer, size);
  const UINT n = ::GetSystemDirectoryA(ansi.data(), size);
  buffer = fromAnsi(ansi);
  return n;
}

uint32_t Kernel32::GetPrivateProfileStringA(const std::u16string& section,
                                            const std::u16string& key,
                                            const std::u16string& defaultValue,
                                            std::u16string& returned, uint32_t size,
                                            const std::u16string& fileName) {
  std::string ansi = ansiBuffer(returned, size);
  const DWORD n = ::GetPrivateProfileStringA(toAnsi(section).c_str(), toAnsi(key).c_str(),
                                             toAnsi(defaultValue).c_str(), ansi.data(), size,
                                             toAnsi(fileName).c_str());
  returned = fromAnsi(ansi);
  return n;
}

int32_t Kernel32::WritePrivateProfileStringA(const std::u16string& section,
                                             const std::u16string& key, std::u16string& value,
                                             const std::u16string& fileName) {
  const std::string ansi = toAnsi(value);
  const BOOL ok = ::WritePrivateProfileStringA(toAnsi(section).c_str(), toAnsi(key).c_str(),
                                               ansi.c_str(), toAnsi(fileName).c_str());
  value = fromAnsi(ansi);
  return ok;
}

void MessageBoxes::MsgBox(const std::u16string& prompt, int32_t buttons,
                          const std::optional<std::u16string>& title) {
  const std::wstring text = com::wide(prompt);
  const std::wstring caption = title ? com::wide(*title) : L"Penvane";
  MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), static_cast<UINT>(buttons));
}

std::shared_ptr<void> InertPathForm::ImageSign() { return std::make_shared<int>(0); }

}  // namespace penvane::win

#include "win32/penvane/platform.h"

#include <windows.h>

#include <commdlg.h>

#include "win32/com/bstr.h"
#include "win32/com/guid.h"
#include "win32/ui/window.h"

#include "base/error.h"
#include "registration/keys.h"

namespace penvane::win {
namespace {

using automation::Error;

[[noreturn]] void fail(DWORD error, const char16_t* what) {
  throw Error(error ? HRESULT_FROM_WIN32(error) : E_FAIL, what);
}

// A search handle of FindFirstFileExW, closed with the search.
class FindHandle {
 public:
  explicit FindHandle(HANDLE h) noexcept : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const noexcept { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

// Word's main window, to own the add-in's dialogs: Word's window when it is the active one, else
// the topmost visible one of this process (the add-in runs inside Word). Word's document windows
// are of the class "OpusApp" (one for each document from Word 2013 on). None of them: the active
// window, as before.
HWND wordWindow() noexcept {
  const auto isWord = [](HWND window) {
    wchar_t name[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() && GetClassNameW(window, name, 16) &&
           std::wstring_view(name) == L"OpusApp";
  };
  if (const HWND active = GetActiveWindow(); active && isWord(active)) return active;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && isWord(w)) return w;
  return GetActiveWindow();
}

std::string toAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring wide = com::wide(text);
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::u16string fromAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return com::u16(out);
}

std::optional<std::string> toAnsiExactly(std::u16string_view text) {
  if (text.empty()) return std::string();
  const std::wstring wide = com::wide(text);
  // No best-fit mapping ("ữ" is not "u"), and no default character in place of what the code
  // page lacks. A UTF-8 code page takes neither flag nor the default-character report.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, reportDefault);
  if (n <= 0) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, reportDefault);
  if (usedDefault || fromAnsi(out) != text) return std::nullopt;
  return out;
}

std::u16string SettingsStore::SystemDirectory(uint32_t capacity) {
  std::string buffer(capacity, '\0');
  const UINT n = GetSystemDirectoryA(buffer.data(), capacity);
  if (n == 0) fail(GetLastError(), u"The system directory could not be found.");
  if (n >= capacity) fail(ERROR_INSUFFICIENT_BUFFER, u"The system directory is too long.");
  buffer.resize(n);
  return fromAnsi(buffer);
}

// The whole value: a buffer that the value fills (the functions cut what does not fit) is made
// larger until the value fits.
std::string SettingsStore::ReadValue(const std::u16string& file, const std::u16string& section,
                                     const std::u16string& key, std::string_view defaultValue) {
  const std::string sectionName = toAnsi(section), keyName = toAnsi(key), path = toAnsi(file);
  const std::string fallback(defaultValue);
  for (DWORD size = 256;; size *= 2) {
    std::string buffer(size, '\0');
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), fallback.c_str(),
                                             buffer.data(), size, path.c_str());
    // A missing file gives the default; a file that is there but cannot be opened is a failure,
    // not the default.
    switch (const DWORD error = GetLastError()) {
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
      case ERROR_ACCESS_DENIED:
        fail(error, u"The settings file could not be read.");
      default:
        break;
    }
    if (n + 1 < size || size >= (1u << 20)) {
      buffer.resize(n < size ? n : size - 1);
      return buffer;
    }
  }
}

void SettingsStore::WriteValue(const std::u16string& file, const std::u16string& section,
                               const std::u16string& key, std::string_view value) {
  if (!WritePrivateProfileStringA(toAnsi(section).c_str(), toAnsi(key).c_str(),
                                  std::string(value).c_str(), toAnsi(file).c_str()))
    fail(GetLastError(), u"The settings file could not be written.");
}

std::u16string SettingsStore::FromCodePage(std::string_view bytes) {
  return fromAnsi(bytes);
}

std::optional<std::string> SettingsStore::ToCodePage(std::u16string_view text) {
  return toAnsiExactly(text);
}

void MessageBoxes::MsgBox(const std::u16string& prompt, int32_t buttons,
                          const std::optional<std::u16string>& title) {
  ui::messageBox(prompt, buttons, title, L"Penvane");
}

std::u16string FileSearch::Dir(const std::u16string& path) {
  const std::wstring pattern = com::wide(path);
  WIN32_FIND_DATAW found{};
  const FindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0));
  if (search.get() == INVALID_HANDLE_VALUE) return {};
  constexpr DWORD kNotOrdinary =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  do {
    // The name is a plain array, not a BSTR: it has no length prefix to read.
    if (!(found.dwFileAttributes & kNotOrdinary))
      return com::u16(std::wstring_view(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  return {};
}

std::vector<std::u16string> FileSearch::PictureFolders() {
  std::vector<std::u16string> folders;
  wchar_t windows[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  if (n > 0 && n < MAX_PATH) folders.push_back(com::u16(std::wstring_view(windows, n)));
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"Sealbrook.SignData", &clsid))) return folders;
  const std::wstring server =
      L"CLSID\\" + com::wide(registration::guidText(com::fromGuid(clsid))) + L"\\InprocServer32";
  wchar_t library[MAX_PATH] = {};
  DWORD bytes = sizeof library;
  if (RegGetValueW(HKEY_CLASSES_ROOT, server.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, library,
                   &bytes) == ERROR_SUCCESS) {
    const std::wstring path(library);
    if (const auto slash = path.find_last_of(L'\\'); slash != std::wstring::npos)
      folders.push_back(com::u16(path.substr(0, slash)));
  }
  return folders;
}

std::u16string FileDialog::ShowOpen(std::u16string_view filter, const std::u16string& title) {
  // The filter's pairs are separated by NULs and end with two.
  std::wstring pairs = com::wide(filter);
  for (wchar_t& c : pairs)
    if (c == L'|') c = L'\0';
  pairs.append(2, L'\0');
  const std::wstring caption = com::wide(title);
  std::wstring file(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = wordWindow();
  dialog.lpstrFilter = pairs.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = caption.c_str();
  // The dialog must not move the host's current directory.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) {
    if (const DWORD error = CommDlgExtendedError())
      throw Error(E_FAIL, u"The file dialog failed (" + com::u16(std::to_wstring(error)) + u").");
    return {};  // cancelled
  }
  file.resize(wcslen(file.c_str()));
  return com::u16(file);
}

}  // namespace penvane::win

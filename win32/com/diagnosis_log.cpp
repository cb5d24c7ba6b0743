#include "win32/com/diagnosis_log.h"

#include <cwchar>

#include "win32/com/bstr.h"

#include "base/unicode.h"

namespace com {
namespace {

// The log file that the user named; empty when none is. (A REG_EXPAND_SZ value comes with its
// environment variables expanded: RRF_RT_REG_SZ takes both kinds.)
std::wstring logFile() {
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = sizeof path;
  if (RegGetValueW(HKEY_CURRENT_USER, kDiagnosisKey, kLogFileValue, RRF_RT_REG_SZ, nullptr, path,
                   &size) != ERROR_SUCCESS)
    return {};
  return path;
}

void append(const std::wstring& file, const std::string& bytes) noexcept {
  const HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(handle);
}

}  // namespace

DiagnosisLog::DiagnosisLog(const wchar_t* library) noexcept : library_(library) {
  diagnosis::install(this);
}

DiagnosisLog::~DiagnosisLog() {
  diagnosis::install(nullptr);
}

std::wstring DiagnosisLog::line(const SYSTEMTIME& time, std::wstring_view library,
                                std::string_view handler, const automation::Error& error) {
  wchar_t stamp[32] = {};
  swprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", time.wYear, time.wMonth, time.wDay,
           time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
  wchar_t code[16] = {};
  swprintf(code, 16, L"0x%08X", static_cast<unsigned>(error.hresult()));
  // One failure, one line: the description's own breaks and tabs become spaces.
  std::wstring description = wide(error.description());
  for (wchar_t& c : description)
    if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
  const automation::Location& raised = error.raised();
  std::wstring out = stamp;
  for (const std::wstring& field :
       {std::wstring(library), wide(text::fromUtf8(handler)), std::wstring(code), description,
        wide(text::fromUtf8(raised.fileName())) + L":" + std::to_wstring(raised.line)})
    out += L"\t" + field;
  return out + L"\r\n";
}

void DiagnosisLog::write(std::string_view handler, const automation::Error& error) noexcept {
  try {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring text = line(now, library_, handler, error);
    OutputDebugStringW(text.c_str());
    if (const std::wstring file = logFile(); !file.empty()) append(file, text::toUtf8(u16(text)));
  } catch (...) {
    // Out of memory while telling of a failure: the handler goes on all the same.
  }
}

}  // namespace com

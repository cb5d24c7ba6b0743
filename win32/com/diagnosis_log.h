// The library's writer of the diagnosis log. Each caught failure makes one line: the local time,
// the library, the handler that caught it, its HRESULT, its description, and the source file and
// line where it was raised, between tabs. The line always goes to the debugger
// (OutputDebugString); when the user's registry has a log file named (kDiagnosisKey, value
// kLogFileValue, a path that may hold environment variables), it is also appended to that file,
// in UTF-8. Both libraries may write to the same file. Writing never fails a handler.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/diagnosis.h"

namespace com {

inline constexpr wchar_t kDiagnosisKey[] = L"Software\\Penvane\\Diagnosis";  // under HKCU
inline constexpr wchar_t kLogFileValue[] = L"LogFile";

class DiagnosisLog final : public diagnosis::Writer {
 public:
  // Installed as the library's writer for as long as it lives.
  explicit DiagnosisLog(const wchar_t* library) noexcept;
  ~DiagnosisLog() override;
  DiagnosisLog(const DiagnosisLog&) = delete;
  DiagnosisLog& operator=(const DiagnosisLog&) = delete;

  void write(std::string_view handler, const automation::Error& error) noexcept override;

  // The line for a failure caught at `time`, with its line break.
  static std::wstring line(const SYSTEMTIME& time, std::wstring_view library,
                           std::string_view handler, const automation::Error& error);

 private:
  const wchar_t* library_;
};

}  // namespace com

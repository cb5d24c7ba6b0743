// Automation failures: an HRESULT, the error number a handler sees (the runtime's number for the
// well-known codes, the HRESULT itself otherwise) and a description. Every failure of a host call
// or of a port is an Error.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace automation {

using HResult = int32_t;

// Well-known codes by name. (Not the Windows macro names: the core is included beside
// <windows.h>, whose macros would rewrite them.)
namespace hr {
inline constexpr HResult kOk = 0;
inline constexpr HResult kFail = static_cast<HResult>(0x80004005);          // E_FAIL
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);   // E_NOINTERFACE
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003);       // E_POINTER
inline constexpr HResult kUnexpected = static_cast<HResult>(0x8000FFFF);    // E_UNEXPECTED
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);   // E_OUTOFMEMORY
inline constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057);    // E_INVALIDARG
inline constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005);  // E_ACCESSDENIED
inline constexpr HResult kMemberNotFound =
    static_cast<HResult>(0x80020003);  // DISP_E_MEMBERNOTFOUND
inline constexpr HResult kParamNotFound = static_cast<HResult>(0x80020004);  // DISP_E_PARAMNOTFOUND
inline constexpr HResult kTypeMismatch = static_cast<HResult>(0x80020005);   // DISP_E_TYPEMISMATCH
inline constexpr HResult kUnknownName = static_cast<HResult>(0x80020006);    // DISP_E_UNKNOWNNAME
inline constexpr HResult kBadVarType = static_cast<HResult>(0x80020008);     // DISP_E_BADVARTYPE
inline constexpr HResult kOverflowDisp = static_cast<HResult>(0x8002000A);   // DISP_E_OVERFLOW
inline constexpr HResult kBadIndex = static_cast<HResult>(0x8002000B);       // DISP_E_BADINDEX
inline constexpr HResult kBadParamCount = static_cast<HResult>(0x8002000E);  // DISP_E_BADPARAMCOUNT
inline constexpr HResult kParamNotOptional =
    static_cast<HResult>(0x8002000F);  // DISP_E_PARAMNOTOPTIONAL
inline constexpr HResult kClassNotRegistered =
    static_cast<HResult>(0x80040154);  // REGDB_E_CLASSNOTREG
inline constexpr HResult kInvalidClassString =
    static_cast<HResult>(0x800401F3);                                      // CO_E_CLASSSTRING
inline constexpr HResult kUnavailable = static_cast<HResult>(0x800401E3);  // MK_E_UNAVAILABLE
// The runtime's own errors, FACILITY_CONTROL with the error number in the low word.
constexpr HResult runtime(int number) {
  return static_cast<HResult>(0x800A0000U | unsigned(number));
}
inline constexpr HResult kOverflow = runtime(6);
inline constexpr HResult kObjectNotSet = runtime(91);
inline constexpr HResult kInvalidUseOfNull = runtime(94);
inline constexpr HResult kObjectRequired = runtime(424);
}  // namespace hr

// Where in the source a failure was raised. As a default argument, current() is evaluated at the
// caller: an Error made at a throw site carries that site, as WIL's macros do.
struct Location {
  const char* file = "";
  uint32_t line = 0;
  const char* function = "";

  static constexpr Location current(const char* file = __builtin_FILE(),
                                    uint32_t line = __builtin_LINE(),
                                    const char* function = __builtin_FUNCTION()) noexcept {
    return {file, line, function};
  }
  // The file's name without its folders.
  std::string_view fileName() const noexcept;
};

class Error : public std::exception {
 public:
  // An empty description takes the runtime's text for the error number, where it has one.
  explicit Error(HResult hresult, std::u16string description = {}, std::u16string source = {},
                 Location raised = Location::current());

  HResult hresult() const noexcept { return hresult_; }
  // The number a handler reads from the error object: the runtime's error number for the codes
  // it maps (overflow 6, type mismatch 13, ...), the HRESULT itself for every other code.
  int32_t number() const noexcept { return numberFor(hresult_); }
  const std::u16string& description() const noexcept { return description_; }
  const std::u16string& source() const noexcept { return source_; }
  const char* what() const noexcept override { return what_.c_str(); }
  const Location& raised() const noexcept { return raised_; }
  // A failure the host raised is told where our code called the host.
  void raisedAt(Location at) noexcept { raised_ = at; }

  static int32_t numberFor(HResult hresult) noexcept;

 private:
  HResult hresult_;
  std::u16string description_;
  std::u16string source_;
  std::string what_;
  Location raised_;
};

// The error for the exception being handled: an Error as it is, out of memory for bad_alloc, and
// a generic failure that carries the message for anything else. Call only inside a catch block.
Error currentError() noexcept;

}  // namespace automation

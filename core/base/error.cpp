#include "base/error.h"

#include <new>

#include "base/unicode.h"

namespace automation {
namespace {

// The runtime's texts for the error numbers that the host contract can produce.
const char16_t* runtimeText(int32_t number) noexcept {
  switch (number) {
    case 5:
      return u"Invalid procedure call or argument";
    case 6:
      return u"Overflow";
    case 7:
      return u"Out of memory";
    case 9:
      return u"Subscript out of range";
    case 13:
      return u"Type mismatch";
    case 91:
      return u"Object variable or With block variable not set";
    case 94:
      return u"Invalid use of Null";
    case 424:
      return u"Object required";
    case 429:
      return u"ActiveX component can't create object";
    case 430:
      return u"Class does not support Automation or does not support expected interface";
    case 438:
      return u"Object doesn't support this property or method";
    case 448:
      return u"Named argument not found";
    case 449:
      return u"Argument not optional";
    case 450:
      return u"Wrong number of arguments or invalid property assignment";
    case 458:
      return u"Variable uses an Automation type not supported";
    default:
      return nullptr;
  }
}

}  // namespace

std::string_view Location::fileName() const noexcept {
  const std::string_view path = file ? file : "";
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

Error::Error(HResult hresult, std::u16string description, std::u16string source, Location raised)
    : hresult_(hresult),
      description_(std::move(description)),
      source_(std::move(source)),
      raised_(raised) {
  try {
    if (description_.empty()) {
      const char16_t* known = runtimeText(number());
      description_ = known ? known : u"Automation error";
    }
    what_ = text::toUtf8(description_);
  } catch (...) {
    // Out of memory while describing an error: keep the code, lose the words.
  }
}

int32_t Error::numberFor(HResult hresult) noexcept {
  const auto u = static_cast<uint32_t>(hresult);
  if ((u & 0xFFFF0000U) == 0x800A0000U) return static_cast<int32_t>(u & 0xFFFFU);
  switch (hresult) {
    case hr::kInvalidArg:
      return 5;
    case hr::kOverflowDisp:
      return 6;
    case hr::kOutOfMemory:
      return 7;
    case hr::kBadIndex:
      return 9;
    case hr::kTypeMismatch:
      return 13;
    case hr::kClassNotRegistered:
    case hr::kInvalidClassString:
    case hr::kUnavailable:
      return 429;
    case hr::kNoInterface:
      return 430;
    case hr::kMemberNotFound:
    case hr::kUnknownName:
      return 438;
    case hr::kParamNotFound:
      return 448;
    case hr::kParamNotOptional:
      return 449;
    case hr::kBadParamCount:
      return 450;
    case hr::kBadVarType:
      return 458;
    default:
      return hresult;
  }
}

Error currentError() noexcept {
  try {
    try {
      throw;
    } catch (const Error& e) {
      return e;
    } catch (const std::bad_alloc&) {
      return Error(hr::kOutOfMemory);
    } catch (const std::exception& e) {
      return Error(hr::kFail, text::fromUtf8(e.what()));
    } catch (...) {
      return Error(hr::kUnexpected);
    }
  } catch (...) {
    // Copying the error's texts ran out of memory; that is the error now.
    return Error(hr::kOutOfMemory);
  }
}

}  // namespace automation

// The conversions of values that arrive from the host (counts, validity flags, names, dates):
// any variant built from the input, through toBool, toI2, toI4, toText, equalsTrue,
// isGreaterThanZero and equalsZero. Each either gives its value or fails with the automation
// error its rule names, never another; and the answers agree with one another: a 16-bit integer
// is the 32-bit one, a rounded number lies within half of the value, a number's text reads back
// as the number, "= True" implies true, "> 0" excludes "= 0".
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <string>

#include "automation/date_text.h"
#include "automation/variant.h"
#include "base/error.h"
#include "base/unicode.h"
#include "require.h"

namespace {

using automation::Variant;
using automation::VarType;
using fuzz::require;
namespace hr = automation::hr;

Variant variantOf(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange<int>(0, 9)) {
    case 0:
      return {};
    case 1:
      return Variant::null();
    case 2:
      return input.ConsumeBool();
    case 3:
      return input.ConsumeIntegral<int16_t>();
    case 4:
      return input.ConsumeIntegral<int32_t>();
    case 5:  // any bit pattern: infinities, NaNs, subnormals
      return input.ConsumeIntegral<uint64_t>() % 2 ? input.ConsumeFloatingPoint<double>()
                                                   : input.ConsumeProbability<double>() * 1e6;
    case 6:
      return automation::Date{input.ConsumeFloatingPoint<double>()};
    case 7:
      return automation::Date{input.ConsumeFloatingPointInRange<double>(-700000, 3000000)};
    case 8:
      return text::fromUtf8(input.ConsumeRemainingBytesAsString());
    default:
      return nullptr;  // Nothing
  }
}

// The result of a conversion, or the HRESULT it failed with.
template <class F>
auto attempt(F&& convert, automation::HResult& failure) -> std::optional<decltype(convert())> {
  failure = hr::kOk;
  try {
    return convert();
  } catch (const automation::Error& e) {
    failure = e.hresult();
    return std::nullopt;
  }
}

bool numeric(VarType t) {
  return t == VarType::Empty || t == VarType::Bool || t == VarType::I2 || t == VarType::I4 ||
         t == VarType::R8 || t == VarType::Date;
}

// The variant's number, for the types that have one.
double numberOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Bool:
      return v.asBool() ? -1 : 0;
    case VarType::I2:
      return v.asI2();
    case VarType::I4:
      return v.asI4();
    case VarType::R8:
      return v.asR8();
    case VarType::Date:
      return v.asDate().serial;
    default:
      return 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const Variant v = variantOf(input);
  const VarType type = v.type();
  automation::HResult failure = hr::kOk;

  const auto asBool = attempt([&] { return automation::toBool(v); }, failure);
  if (!asBool)
    require(failure == hr::kTypeMismatch && (type == VarType::Text || type == VarType::Object),
            "toBool fails only for text that is no Boolean and for objects, with type mismatch");

  const auto i4 = attempt([&] { return automation::toI4(v); }, failure);
  if (!i4)
    require((failure == hr::kInvalidUseOfNull && type == VarType::Null) ||
                (failure == hr::kTypeMismatch && !numeric(type) && type != VarType::Null) ||
                (failure == hr::kOverflow && numeric(type)),
            "toI4 fails with invalid use of Null, type mismatch or overflow as its rules say");
  const auto i2 = attempt([&] { return automation::toI2(v); }, failure);
  require(i2.has_value() <= i4.has_value(), "a value that fits 16 bits fits 32");
  if (i2) require(*i2 == *i4, "the 16-bit integer is the 32-bit one");
  if (i4) {
    require(numeric(type), "only numbers convert to integers");
    require(std::fabs(*i4 - numberOf(v)) <= 0.5, "an integer is the value rounded");
  }
  if (!i2 && i4) require(failure == hr::kOverflow, "a 32-bit value outside 16 bits overflows");

  const auto isTrue = attempt([&] { return automation::equalsTrue(v); }, failure);
  const auto positive = attempt([&] { return automation::isGreaterThanZero(v); }, failure);
  const auto zero = attempt([&] { return automation::equalsZero(v); }, failure);
  if (numeric(type) || type == VarType::Null) {
    require(positive && zero, "numbers and Null compare with 0");
    require(!(*positive && *zero), "a value above 0 does not equal 0");
    require(!(type == VarType::Null && (*positive || *zero || !isTrue || *isTrue)),
            "Null is neither above 0, nor 0, nor True");
    if (asBool && type != VarType::Null)
      require(*asBool == !*zero, "a number is true exactly when it is not 0");
  }
  if (isTrue && *isTrue) require(asBool && *asBool, "a value that equals True is true");

  const auto textValue = attempt([&] { return automation::toText(v); }, failure);
  if (!textValue)
    require((failure == hr::kInvalidUseOfNull && type == VarType::Null) ||
                (failure == hr::kTypeMismatch && type == VarType::Object) ||
                (failure == hr::kInvalidArg && type == VarType::Date),
            "toText fails for Null, objects and dates no calendar has, as its rules say");
  if (textValue && (type == VarType::I2 || type == VarType::I4))
    require(std::strtoll(text::toUtf8(*textValue).c_str(), nullptr, 10) == *i4,
            "an integer's text reads back as the integer");
  if (textValue && type == VarType::R8 && std::isfinite(v.asR8())) {
    // Fifteen digits round the largest doubles beyond the range: they read back as infinite.
    const double back = std::strtod(text::toUtf8(*textValue).c_str(), nullptr);
    const bool roundedBeyond = std::isinf(back) && std::fabs(v.asR8()) > 1.797693134862315e308;
    require(roundedBeyond || std::fabs(back - v.asR8()) <= std::fabs(v.asR8()) * 1e-14,
            "a number's text reads back as the number to fifteen digits");
  }
  if (textValue && type == VarType::Text) require(*textValue == v.asText(), "text is itself");

  std::u16string appended = u"<";
  const auto appendedOk = attempt(
      [&] {
        automation::appendText(appended, v, automation::DateText::standard());
        return true;
      },
      failure);
  if (type == VarType::Null)
    require(appendedOk && appended == u"<", "Null adds nothing");
  else
    require(appendedOk.has_value() == textValue.has_value() &&
                (!textValue || appended == u"<" + *textValue),
            "concatenation adds the text");
  require(!v.describe().empty(), "every value describes itself");
  return 0;
}

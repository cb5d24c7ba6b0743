#include "automation/variant.h"

#include <cmath>
#include <cstdio>

#include "automation/date_text.h"
#include "automation/names.h"
#include "base/error.h"
#include "base/unicode.h"

namespace automation {
namespace {

[[noreturn]] void typeMismatch() {
  throw Error(hr::kTypeMismatch);
}
[[noreturn]] void overflow() {
  throw Error(hr::kOverflow);
}
[[noreturn]] void invalidUseOfNull() {
  throw Error(hr::kInvalidUseOfNull);
}

// The numeric value of a variant that holds a number, a Boolean (True is -1) or a date.
bool numericValue(const Variant& v, double& out) {
  switch (v.type()) {
    case VarType::Empty:
      out = 0;
      return true;
    case VarType::Bool:
      out = v.asBool() ? -1 : 0;
      return true;
    case VarType::I2:
      out = v.asI2();
      return true;
    case VarType::I4:
      out = v.asI4();
      return true;
    case VarType::R8:
      out = v.asR8();
      return true;
    case VarType::Date:
      out = v.asDate().serial;
      return true;
    default:
      return false;
  }
}

std::u16string decimal(long long n) {
  return text::fromUtf8(std::to_string(n));
}

std::u16string doubleText(double d) {
  // Fifteen significant digits, no trailing zeros, as the runtime prints a double.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", d);
  return text::fromUtf8(buf);
}

}  // namespace

bool Variant::asBool() const {
  if (const auto* p = std::get_if<bool>(&v_)) return *p;
  typeMismatch();
}
int16_t Variant::asI2() const {
  if (const auto* p = std::get_if<int16_t>(&v_)) return *p;
  typeMismatch();
}
int32_t Variant::asI4() const {
  if (const auto* p = std::get_if<int32_t>(&v_)) return *p;
  typeMismatch();
}
double Variant::asR8() const {
  if (const auto* p = std::get_if<double>(&v_)) return *p;
  typeMismatch();
}
Date Variant::asDate() const {
  if (const auto* p = std::get_if<Date>(&v_)) return *p;
  typeMismatch();
}
const std::u16string& Variant::asText() const {
  if (const auto* p = std::get_if<std::u16string>(&v_)) return *p;
  typeMismatch();
}
const ObjectRef& Variant::asObject() const {
  if (const auto* p = std::get_if<ObjectRef>(&v_)) return *p;
  throw Error(hr::kObjectRequired);
}

std::string Variant::describe() const {
  switch (type()) {
    case VarType::Empty:
      return "Empty";
    case VarType::Null:
      return "Null";
    case VarType::Bool:
      return asBool() ? "True" : "False";
    case VarType::I2:
      return std::to_string(asI2()) + "%";
    case VarType::I4:
      return std::to_string(asI4()) + "&";
    case VarType::R8:
      return text::toUtf8(doubleText(asR8())) + "#";
    case VarType::Date: {
      char buf[40];
      std::snprintf(buf, sizeof buf, "#%.15G#", asDate().serial);
      return buf;
    }
    case VarType::Text:
      return "\"" + text::toUtf8(asText()) + "\"";
    case VarType::Object:
      return asObject() ? "<Object>" : "Nothing";
  }
  return "?";
}

std::string_view typeName(VarType t) noexcept {
  switch (t) {
    case VarType::Empty:
      return "Empty";
    case VarType::Null:
      return "Null";
    case VarType::Bool:
      return "Boolean";
    case VarType::I2:
      return "Integer";
    case VarType::I4:
      return "Long";
    case VarType::R8:
      return "Double";
    case VarType::Date:
      return "Date";
    case VarType::Text:
      return "String";
    case VarType::Object:
      return "Object";
  }
  return "?";
}

bool toBool(const Variant& v) {
  if (v.isNull()) return false;
  if (v.type() == VarType::Text) {
    const auto& s = v.asText();
    if (sameName(s, u"true")) return true;
    if (sameName(s, u"false")) return false;
    typeMismatch();
  }
  double d = 0;
  if (!numericValue(v, d)) typeMismatch();
  return d != 0;
}

namespace {

// A number rounded half to even and checked against the range of the target type.
double roundedInRange(const Variant& v, double low, double high) {
  if (v.isNull()) invalidUseOfNull();
  double d = 0;
  if (!numericValue(v, d)) typeMismatch();
  if (std::isnan(d)) overflow();
  const double rounded = std::nearbyint(d);  // the default rounding mode: half to even
  if (rounded < low || rounded > high) overflow();
  return rounded;
}

}  // namespace

int16_t toI2(const Variant& v) {
  return static_cast<int16_t>(roundedInRange(v, -32768.0, 32767.0));
}

int32_t toI4(const Variant& v) {
  return static_cast<int32_t>(roundedInRange(v, -2147483648.0, 2147483647.0));
}

bool equalsTrue(const Variant& v) {
  if (v.isNull()) return false;
  if (v.type() == VarType::Text) return toBool(v);
  double d = 0;
  if (!numericValue(v, d)) typeMismatch();
  return d == -1;
}

bool isGreaterThanZero(const Variant& v) {
  if (v.isNull()) return false;
  double d = 0;
  if (!numericValue(v, d)) typeMismatch();
  return d > 0;
}

bool equalsZero(const Variant& v) {
  if (v.isNull()) return false;
  double d = 0;
  if (!numericValue(v, d)) typeMismatch();
  return d == 0;
}

std::u16string toText(const Variant& v, const DateText& dates) {
  switch (v.type()) {
    case VarType::Empty:
      return {};
    case VarType::Null:
      invalidUseOfNull();
    case VarType::Bool:
      return v.asBool() ? u"True" : u"False";
    case VarType::I2:
      return decimal(v.asI2());
    case VarType::I4:
      return decimal(v.asI4());
    case VarType::R8:
      return doubleText(v.asR8());
    case VarType::Date:
      return dates.format(v.asDate());
    case VarType::Text:
      return v.asText();
    case VarType::Object:
      typeMismatch();
  }
  typeMismatch();
}

std::u16string toText(const Variant& v) {
  return toText(v, DateText::standard());
}

void appendText(std::u16string& out, const Variant& v, const DateText& dates) {
  if (v.isNull()) return;
  out += toText(v, dates);
}

}  // namespace automation

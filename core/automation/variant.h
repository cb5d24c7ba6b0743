// The value that crosses late-bound calls: empty, null, Boolean, 16- and 32-bit integers, double,
// date, UTF-16 text and object. The conversions are the automation rules that the behaviour relies
// on, and no more.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "base/error.h"

namespace automation {

class Object;
using ObjectRef = std::shared_ptr<Object>;  // null: Nothing
class DateText;

enum class VarType : uint8_t { Empty, Null, Bool, I2, I4, R8, Date, Text, Object };

// An automation date: days since 1899-12-30, the fraction being the time of day.
struct Date {
  double serial = 0;
  friend bool operator==(Date a, Date b) { return a.serial == b.serial; }
};

class Variant {
 public:
  Variant() noexcept = default;  // Empty
  Variant(bool v) : v_(v) {}
  Variant(int16_t v) : v_(v) {}
  Variant(int32_t v) : v_(v) {}
  Variant(double v) : v_(v) {}
  Variant(Date v) : v_(v) {}
  Variant(std::u16string v) : v_(std::move(v)) {}
  Variant(std::u16string_view v) : v_(std::u16string(v)) {}
  Variant(const char16_t* v) : v_(std::u16string(v)) {}
  Variant(ObjectRef v) : v_(std::move(v)) {}
  Variant(std::nullptr_t) : v_(ObjectRef()) {}  // Nothing
  // Narrow text and other integer widths must be converted on purpose.
  Variant(const char*) = delete;
  template <class T,
            std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                 !std::is_same_v<T, int16_t> && !std::is_same_v<T, int32_t>,
                             int> = 0>
  Variant(T) = delete;

  static Variant null() {
    Variant v;
    v.v_ = Null{};
    return v;
  }

  VarType type() const noexcept { return static_cast<VarType>(v_.index()); }
  bool isEmpty() const noexcept { return type() == VarType::Empty; }
  bool isNull() const noexcept { return type() == VarType::Null; }
  bool isObject() const noexcept { return type() == VarType::Object; }

  // Exact accessors: the value when the variant holds that type, else a type mismatch.
  bool asBool() const;
  int16_t asI2() const;
  int32_t asI4() const;
  double asR8() const;
  Date asDate() const;
  const std::u16string& asText() const;
  // The object (possibly Nothing); "Object required" when the variant holds no object.
  const ObjectRef& asObject() const;

  // Same type and same value; objects compare by reference.
  friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }
  friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }

  // The value as the runtime's literal syntax would write it, for logs and test messages:
  // Empty, Null, True, 1%, 10&, 1.5#, #45000#, "text" (UTF-8), Nothing, <Object>.
  std::string describe() const;

 private:
  struct Null {
    friend bool operator==(Null, Null) { return true; }
  };
  std::variant<std::monostate, Null, bool, int16_t, int32_t, double, Date, std::u16string,
               ObjectRef>
      v_;
};

std::string_view typeName(VarType t) noexcept;

// --- Conversions -------------------------------------------------------------------------------

// To Boolean: numbers are true when not zero; Empty and Null read as false.
bool toBool(const Variant& v);
// To a 16-bit integer: doubles round half to even; beyond -32768..32767 raises overflow (6);
// Null raises "Invalid use of Null" (94).
int16_t toI2(const Variant& v);
// "For i = 1 To n" over a 16-bit counter: `body(i)` for i from 1 to n. After the 32767th the
// counter cannot step on, and the loop fails there with overflow (6).
template <class Body>
void forEach16(int16_t n, Body&& body) {
  for (int32_t i = 1; i <= n; ++i) {
    body(static_cast<int16_t>(i));
    if (i == 32767) throw Error(hr::kOverflow);
  }
}
// To a 32-bit integer, with the same rules and range -2147483648..2147483647.
int32_t toI4(const Variant& v);
// "v = True" as a condition: the value is the Boolean True or a number equal to it (-1); Null is
// not.
bool equalsTrue(const Variant& v);
// "v > 0" as a condition: Null and Empty are not greater.
bool isGreaterThanZero(const Variant& v);
// "v = 0" as a condition: Empty equals 0; Null equals nothing.
bool equalsZero(const Variant& v);
// To text: numbers in decimal without leading zeros or blanks, True/False, dates through the
// date-to-text port (which refuses a number that is no date). Null raises "Invalid use of Null"
// (94).
std::u16string toText(const Variant& v, const DateText& dates);
std::u16string toText(const Variant& v);
// Concatenation with "&": like toText, but Null adds nothing.
void appendText(std::u16string& out, const Variant& v, const DateText& dates);

}  // namespace automation

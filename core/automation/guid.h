// A GUID in portable form: how the core names typed interfaces and event interfaces. The Windows
// side converts it to and from the platform's GUID.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace automation {

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};

  // Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" at compile time; a malformed literal does not
  // compile (it throws in a constant expression).
  static constexpr Guid parse(std::string_view s);

  std::string str() const;  // "{XXXXXXXX-...}", upper case

  friend constexpr bool operator==(const Guid& a, const Guid& b) {
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 && a.data4 == b.data4;
  }
  friend constexpr bool operator!=(const Guid& a, const Guid& b) { return !(a == b); }
};

namespace detail {
struct BadGuid {};
constexpr uint32_t hexDigit(char c) {
  if (c >= '0' && c <= '9') return uint32_t(c - '0');
  if (c >= 'a' && c <= 'f') return uint32_t(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return uint32_t(c - 'A' + 10);
  throw BadGuid{};
}
constexpr uint32_t hexField(std::string_view s, size_t at, size_t digits) {
  uint32_t v = 0;
  for (size_t i = 0; i < digits; ++i) v = (v << 4) | hexDigit(s[at + i]);
  return v;
}
}  // namespace detail

constexpr Guid Guid::parse(std::string_view s) {
  if (s.size() != 38 || s[0] != '{' || s[9] != '-' || s[14] != '-' || s[19] != '-' ||
      s[24] != '-' || s[37] != '}')
    throw detail::BadGuid{};
  Guid g;
  g.data1 = detail::hexField(s, 1, 8);
  g.data2 = static_cast<uint16_t>(detail::hexField(s, 10, 4));
  g.data3 = static_cast<uint16_t>(detail::hexField(s, 15, 4));
  g.data4[0] = static_cast<uint8_t>(detail::hexField(s, 20, 2));
  g.data4[1] = static_cast<uint8_t>(detail::hexField(s, 22, 2));
  for (size_t i = 0; i < 6; ++i)
    g.data4[2 + i] = static_cast<uint8_t>(detail::hexField(s, 25 + 2 * i, 2));
  return g;
}

}  // namespace automation

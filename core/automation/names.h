// Member and parameter names as automation compares them: ASCII letters without regard to case,
// every other character as it is. Names in any of the platform's character types (narrow, UTF-16,
// a wide OLE string) compare with one another.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace automation {

// A character with an ASCII capital folded to its small letter.
template <class C>
constexpr unsigned long foldedNameChar(C c) noexcept {
  const auto code = static_cast<unsigned long>(static_cast<std::make_unsigned_t<C>>(c));
  return code >= 'A' && code <= 'Z' ? code - 'A' + 'a' : code;
}

template <class A, class B>
constexpr bool sameName(std::basic_string_view<A> a, std::basic_string_view<B> b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldedNameChar(a[i]) != foldedNameChar(b[i])) return false;
  return true;
}
inline bool sameName(std::string_view a, std::string_view b) noexcept {
  return sameName<char, char>(a, b);
}
inline bool sameName(std::u16string_view a, std::u16string_view b) noexcept {
  return sameName<char16_t, char16_t>(a, b);
}

// The key under which a name is looked up in a map of names: the name with its ASCII capitals
// made small, so that every spelling of a name finds the same entry.
std::string nameKey(std::string_view name);

}  // namespace automation

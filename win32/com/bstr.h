// An owning BSTR, and the conversions between the core's UTF-16 text and the platform's.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace com {

std::wstring wide(std::u16string_view text);
std::u16string u16(std::wstring_view text);
// A BSTR's text, by its own length; a null BSTR is the empty text. (Not an overload of u16: a
// wchar_t array would pick it and read a length that is not there.)
std::u16string fromBstr(BSTR text);

class Bstr {
 public:
  Bstr() noexcept = default;
  explicit Bstr(std::u16string_view text);  // throws std::bad_alloc
  explicit Bstr(std::wstring_view text);
  Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    std::swap(b_, other.b_);
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }

  static Bstr attach(BSTR b) noexcept {
    Bstr r;
    r.b_ = b;
    return r;
  }
  [[nodiscard]] BSTR detach() noexcept { return std::exchange(b_, nullptr); }
  BSTR get() const noexcept { return b_; }
  BSTR* put() noexcept {
    SysFreeString(std::exchange(b_, nullptr));
    return &b_;
  }
  std::u16string str() const { return fromBstr(b_); }

 private:
  BSTR b_ = nullptr;
};

}  // namespace com

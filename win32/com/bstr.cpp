#include "win32/com/bstr.h"

#include <new>

namespace com {

std::wstring wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::u16string u16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

std::u16string fromBstr(BSTR text) {
  if (!text) return {};
  return u16(std::wstring_view(text, SysStringLen(text)));
}

Bstr::Bstr(std::u16string_view text) : Bstr(std::wstring_view(wide(text))) {}

Bstr::Bstr(std::wstring_view text) {
  b_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!b_) throw std::bad_alloc();
}

}  // namespace com

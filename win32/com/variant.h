// Owning VARIANTs: one value, or an array of them (cleared with VariantClear).
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace com {

class ScopedVariant {
 public:
  ScopedVariant() noexcept { VariantInit(&v_); }
  ScopedVariant(ScopedVariant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  ScopedVariant& operator=(ScopedVariant&& other) noexcept {
    if (this != &other) {
      VariantClear(&v_);
      v_ = other.v_;
      VariantInit(&other.v_);
    }
    return *this;
  }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  ~ScopedVariant() { VariantClear(&v_); }

  const VARIANT& get() const noexcept { return v_; }
  // The value in place: an in argument, or a conversion that writes over what it reads.
  VARIANT* ptr() noexcept { return &v_; }
  // The slot for an out parameter, which must be empty: a value still held is never written
  // over (and leaked), the callee gets no slot and fails with E_POINTER instead.
  VARIANT* receive() noexcept { return V_VT(&v_) == VT_EMPTY ? &v_ : nullptr; }
  // Empty again.
  void reset() noexcept { VariantClear(&v_); }
  // Hands the value, and what it owns, to the caller's VARIANT; this one is empty after.
  VARIANT release() noexcept {
    const VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

  // Typed values; each replaces what was held. A string that cannot be allocated leaves the
  // value empty and answers false.
  bool setText(std::wstring_view text) noexcept {
    reset();
    const BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!b) return false;
    V_VT(&v_) = VT_BSTR;
    V_BSTR(&v_) = b;
    return true;
  }
  // Takes a reference of its own; nullptr is Nothing.
  void setObject(IDispatch* object) noexcept {
    reset();
    if (object) object->AddRef();
    V_VT(&v_) = VT_DISPATCH;
    V_DISPATCH(&v_) = object;
  }
  void setLong(int32_t value) noexcept {
    reset();
    V_VT(&v_) = VT_I4;
    V_I4(&v_) = value;
  }

  // The string of a VT_BSTR (a null BSTR reads empty), else nothing.
  bool isText() const noexcept { return V_VT(&v_) == VT_BSTR; }
  std::wstring_view text() const noexcept {
    if (!isText() || !V_BSTR(&v_)) return {};
    return {V_BSTR(&v_), SysStringLen(V_BSTR(&v_))};
  }
  // The object of a VT_DISPATCH or VT_UNKNOWN, not referenced again; nullptr otherwise.
  IUnknown* object() const noexcept {
    const VARTYPE vt = V_VT(&v_);
    return vt == VT_DISPATCH || vt == VT_UNKNOWN ? V_UNKNOWN(&v_) : nullptr;
  }

 private:
  VARIANT v_;
};

// VARIANTs side by side, as DISPPARAMS::rgvarg takes them: each starts empty, and each is
// cleared with the array.
class VariantArray {
 public:
  explicit VariantArray(size_t count = 0) : v_(count) {
    for (auto& v : v_) VariantInit(&v);
  }
  VariantArray(VariantArray&& other) noexcept : v_(std::exchange(other.v_, {})) {}
  VariantArray& operator=(VariantArray&& other) noexcept {
    std::swap(v_, other.v_);
    return *this;
  }
  VariantArray(const VariantArray&) = delete;
  VariantArray& operator=(const VariantArray&) = delete;
  ~VariantArray() {
    for (auto& v : v_) VariantClear(&v);
  }

  size_t size() const noexcept { return v_.size(); }
  VARIANT* data() noexcept { return v_.empty() ? nullptr : v_.data(); }
  VARIANT& operator[](size_t i) noexcept { return v_[i]; }

 private:
  std::vector<VARIANT> v_;
};

}  // namespace com

// An owning VARIANT (cleared with VariantClear).
#pragma once

#include <windows.h>
#include <oleauto.h>

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
  VARIANT* ptr() noexcept { return &v_; }
  // Clears the value and hands out the slot for an out parameter.
  VARIANT* put() noexcept {
    VariantClear(&v_);
    return &v_;
  }
  // Gives the value to a caller-owned VARIANT.
  void detachTo(VARIANT* out) noexcept {
    *out = v_;
    VariantInit(&v_);
  }

 private:
  VARIANT v_;
};

}  // namespace com

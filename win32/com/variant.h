// Owning VARIANTs: one value, or an array of them (cleared with VariantClear).
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstddef>
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
  VARIANT* ptr() noexcept { return &v_; }
  // Clears the value and hands out the slot for an out parameter.
  VARIANT* put() noexcept {
    VariantClear(&v_);
    return &v_;
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

// An owning interface pointer. Construction from a raw pointer shares it (AddRef); attach()
// takes over a reference the caller already owns (no AddRef); put() hands out the slot for an
// out parameter.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <cstddef>
#include <type_traits>
#include <utility>

namespace com {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}  // NOLINT
  explicit ComPtr(T* p) noexcept : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <class U, std::enable_if_t<std::is_convertible_v<U*, T*>, int> = 0>
  ComPtr(const ComPtr<U>& other) noexcept : ComPtr(other.get()) {}  // NOLINT
  template <class U, std::enable_if_t<std::is_convertible_v<U*, T*>, int> = 0>
  ComPtr(ComPtr<U>&& other) noexcept : p_(other.detach()) {}  // NOLINT
  ~ComPtr() { reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  static ComPtr attach(T* p) noexcept {
    ComPtr r;
    r.p_ = p;
    return r;
  }
  [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }
  void reset() noexcept {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  T** put() noexcept {
    reset();
    return &p_;
  }
  void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

  template <class U>
  HRESULT query(ComPtr<U>& out) const noexcept {
    return query(__uuidof(U), out.putVoid());
  }
  HRESULT query(REFIID iid, void** out) const noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return p_ ? p_->QueryInterface(iid, out) : E_POINTER;
  }
  // Hands a new reference to an out parameter.
  HRESULT copyTo(T** out) const noexcept {
    if (!out) return E_POINTER;
    *out = p_;
    if (p_) p_->AddRef();
    return S_OK;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }
  friend bool operator!=(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ != b.p_; }

 private:
  T* p_ = nullptr;
};

}  // namespace com

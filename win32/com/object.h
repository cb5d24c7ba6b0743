// The base of every COM object here. The derived class lists its interfaces once:
//
//   class Probe final : public com::Object<Probe, _Probe, ISupportErrorInfo> { ... };
//
// QueryInterface answers IUnknown, each listed interface, and the platform base interfaces
// (IDispatch, IOleWindow, IPersist, IViewObject, IProvideClassInfo) through the first listed
// interface that derives from them; a derived class may answer more in queryMore(). The
// reference count is atomic, and the module stays locked while any object lives.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

#include "win32/com/com_ptr.h"
#include "win32/com/module.h"

namespace com {

template <class Derived, class First, class... Rest>
class Object : public First, public Rest... {
 public:
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // A new object with one reference, or null when memory is short.
  template <class... Args>
  static ComPtr<Derived> make(Args&&... args) {
    return ComPtr<Derived>::attach(new (std::nothrow) Derived(std::forward<Args>(args)...));
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override {
    if (!ppv) return E_POINTER;
    *ppv = find(riid);
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

  IUnknown* identity() noexcept { return static_cast<First*>(this); }

 protected:
  Object() noexcept { module::lock(); }
  virtual ~Object() { module::unlock(); }

  // Further interfaces that the object decides at run time; null when none.
  void* queryMore(REFIID) noexcept { return nullptr; }

 private:
  void* find(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IUnknown)) return identity();
    void* found = nullptr;
    listed<First>(riid, found);
    (listed<Rest>(riid, found), ...);
    if (!found) viaDerived<IDispatch>(riid, found);
    if (!found) viaDerived<IOleWindow>(riid, found);
    if (!found) viaDerived<IPersist>(riid, found);
    if (!found) viaDerived<IViewObject>(riid, found);
    if (!found) viaDerived<IProvideClassInfo>(riid, found);
    if (!found) found = static_cast<Derived*>(this)->queryMore(riid);
    return found;
  }
  template <class I>
  void listed(REFIID riid, void*& found) noexcept {
    if (!found && IsEqualIID(riid, __uuidof(I))) found = static_cast<I*>(this);
  }
  template <class Base>
  void viaDerived(REFIID riid, void*& found) noexcept {
    if (!IsEqualIID(riid, __uuidof(Base))) return;
    firstDerived<Base, First>(found);
    (firstDerived<Base, Rest>(found), ...);
  }
  template <class Base, class I>
  void firstDerived(void*& found) noexcept {
    if constexpr (std::is_base_of_v<Base, I>)
      if (!found) found = static_cast<Base*>(static_cast<I*>(this));
  }

  std::atomic<ULONG> refs_{1};
};

}  // namespace com

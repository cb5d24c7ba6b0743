// The base of every COM object here. The derived class lists its interfaces once, and the base
// interfaces it answers through them:
//
//   class View final : public com::Object<View, IViewObjectEx, IPersistStreamInit> {
//    public:
//     using Bases = com::Bases<IViewObject2, IViewObject, IPersist>;
//     ...
//   };
//
// QueryInterface answers IUnknown, each listed interface, and each declared base through the
// first listed interface that derives from it; a derived class may answer more in queryMore().
// The reference count is atomic, and the module stays locked while any object lives.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

#include "win32/com/com_ptr.h"
#include "win32/com/module.h"

namespace com {

// The base interfaces that a class answers beyond those it derives from directly.
template <class... Interfaces>
struct Bases {};

namespace detail {

template <class T, class = void>
struct DeclaredBases {
  using type = Bases<>;
};
template <class T>
struct DeclaredBases<T, std::void_t<typename T::Bases>> {
  using type = typename T::Bases;
};

template <class Base, class List>
struct Declares;
template <class Base, class... Interfaces>
struct Declares<Base, Bases<Interfaces...>> : std::disjunction<std::is_same<Base, Interfaces>...> {
};

}  // namespace detail

// Whether objects of T answer QueryInterface for Base through a declared base.
template <class T, class Base>
inline constexpr bool declaresBase =
    detail::Declares<Base, typename detail::DeclaredBases<T>::type>::value;

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
    if (!found) declared(riid, found, typename detail::DeclaredBases<Derived>::type{});
    if (!found) found = static_cast<Derived*>(this)->queryMore(riid);
    return found;
  }
  template <class I>
  void listed(REFIID riid, void*& found) noexcept {
    if (!found && IsEqualIID(riid, __uuidof(I))) found = static_cast<I*>(this);
  }
  template <class... Base>
  void declared(REFIID riid, void*& found, Bases<Base...>) noexcept {
    (viaDerived<Base>(riid, found), ...);
  }
  template <class Base>
  void viaDerived(REFIID riid, void*& found) noexcept {
    static_assert(std::is_base_of_v<Base, First> || (std::is_base_of_v<Base, Rest> || ...),
                  "a declared base must be a base of a listed interface");
    if (found || !IsEqualIID(riid, __uuidof(Base))) return;
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

// A connection point of an object that keeps its own connections: Advise and Unadvise go to the
// owner, so that connections live with the object however long the point itself is held.
//
//   Owner: IConnectionPointContainer with
//     HRESULT advise(REFIID events, IUnknown* sink, DWORD* cookie) noexcept;
//     HRESULT unadvise(DWORD cookie) noexcept;
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "win32/com/object.h"

namespace com {

template <class Owner>
class ConnectionPoint final : public Object<ConnectionPoint<Owner>, IConnectionPoint> {
 public:
  ConnectionPoint(ComPtr<Owner> owner, const IID& iid) noexcept
      : owner_(std::move(owner)), iid_(iid) {}

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(
      IConnectionPointContainer** container) noexcept override {
    if (!container) return E_POINTER;
    return ComPtr<IConnectionPointContainer>(owner_.get()).copyTo(container);
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override {
    return owner_->advise(iid_, sink, cookie);
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override {
    return owner_->unadvise(cookie);
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) noexcept override {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
  }

  // A new point for FindConnectionPoint's out parameter.
  static HRESULT find(Owner* owner, const IID& iid, IConnectionPoint** point) noexcept {
    auto made = ConnectionPoint::make(ComPtr<Owner>(owner), iid);
    if (!made) return E_OUTOFMEMORY;
    *point = made.detach();
    return S_OK;
  }

 private:
  ComPtr<Owner> owner_;
  IID iid_;
};

}  // namespace com

// The server side: any automation::Object (the simulated Word) exposed as IDispatch, with
// connection points for its events. Member and argument names get process-wide dispatch ids;
// QueryInterface answers the Office typed interfaces that the object claims (a dual interface
// starts with IDispatch, and only IDispatch is ever called through it).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>

#include "automation/object.h"
#include "win32/com/object.h"

namespace winauto {

class ServerObject final : public com::Object<ServerObject, IDispatch, IConnectionPointContainer> {
 public:
  explicit ServerObject(automation::ObjectRef object) noexcept : object_(std::move(object)) {}
  static com::ComPtr<IDispatch> wrap(const automation::ObjectRef& object);

  void* queryMore(REFIID riid) noexcept;
  const automation::ObjectRef& object() const noexcept { return object_; }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) noexcept override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid,
                                                IConnectionPoint** out) noexcept override;

  // For the connection points: connections live with the object, by cookie.
  HRESULT advise(REFIID events, IUnknown* sink, DWORD* cookie) noexcept;
  HRESULT unadvise(DWORD cookie) noexcept;

 private:
  automation::ObjectRef object_;
  std::map<DWORD, automation::ConnectionPtr> connections_;
  DWORD nextCookie_ = 1;
};

// The event interfaces that the server side can raise.
const automation::EventInterface* knownEvents(REFIID riid) noexcept;

}  // namespace winauto

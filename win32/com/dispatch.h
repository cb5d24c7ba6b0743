// IDispatch backed by the module's own type library (embedded as resource TYPELIB 1, loaded
// from this module's file): names and arguments are resolved by DispGetIDsOfNames and
// DispInvoke against the primary interface, once arguments.h has checked them. Failures leave
// through EXCEPINFO with their description. IDispatch is answered as a base of the primary
// interface; a class that declares further bases lists IDispatch among them.
//
//   class Connect final : public com::Dispatch<Connect, _Connect, IDTExtensibility2> { ... };
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "win32/com/arguments.h"
#include "win32/com/edge.h"
#include "win32/com/object.h"

namespace com {

// A type info of the module's type library. The library is loaded once and kept for the life of
// the process.
HRESULT typeInfoOf(REFGUID guid, ITypeInfo** out) noexcept;

// For a member that the type info describes for one of the kinds of call in `flags`: as many
// arguments as it takes (DISP_E_BADPARAMCOUNT for fewer than its required ones or more than all
// of them, its result and locale not counted). DispInvoke trusts the count: one argument too
// many for a property read takes it down.
HRESULT checkArgumentCount(ITypeInfo* info, DISPID id, WORD flags,
                           const DISPPARAMS& params) noexcept;

template <class Derived, class Primary, class... Others>
class Dispatch : public Object<Derived, Primary, Others...> {
 public:
  using Bases = com::Bases<IDispatch>;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return typeInfoOf(__uuidof(Primary), out);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (const HRESULT hr = checkNames(names, count, ids); hr != S_OK) return hr;
    ComPtr<ITypeInfo> info;
    if (const HRESULT hr = typeInfoOf(__uuidof(Primary), info.put()); FAILED(hr)) return hr;
    return DispGetIDsOfNames(info.get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) noexcept override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (const HRESULT hr = checkArguments(params, argErr); FAILED(hr)) return hr;
    ComPtr<ITypeInfo> info;
    if (const HRESULT hr = typeInfoOf(__uuidof(Primary), info.put()); FAILED(hr)) return hr;
    if (const HRESULT hr = checkArgumentCount(info.get(), id, flags, *params); FAILED(hr))
      return hr;
    SetErrorInfo(0, nullptr);
    const HRESULT hr = DispInvoke(static_cast<Primary*>(this), info.get(), id, flags, params,
                                  result, excepInfo, argErr);
    return dispatchFailure(hr, excepInfo);
  }

 protected:
  Dispatch() noexcept {
    static_assert(declaresBase<Derived, IDispatch>, "a dispatch class answers IDispatch");
  }
};

}  // namespace com

// IDispatch without type information, for objects whose members are known by name only at run
// time (the server bridge, the client's event sinks) or that answer a dispatch interface by
// hand (NamedDispatchOn, with the interface derived from IDispatch). The derived class resolves
// names and runs calls:
//
//   DISPID idOf(std::wstring_view name, UINT position);  // DISPID_UNKNOWN when unknown; may throw
//   HRESULT invoke(DISPID id, LCID lcid, WORD flags, const DISPPARAMS& params, VARIANT* result);
//
// The base checks names and arguments as IDispatch's contract has them (win32/com/arguments.h),
// hands out no type information, and turns whatever invoke() throws into EXCEPINFO with its
// description, so that nothing crosses into the caller.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string_view>

#include "win32/com/arguments.h"
#include "win32/com/edge.h"
#include "win32/com/object.h"

#include "base/error.h"

namespace automation::win {

template <class Derived, class Dispatch, class... Others>
class NamedDispatchOn : public com::Object<Derived, Dispatch, Others...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  // A name that is not known leaves DISPID_UNKNOWN in its place and makes the call fail with
  // DISP_E_UNKNOWNNAME; a name that cannot be known at all fails every one of them.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = com::checkNames(names, count, ids);
    if (hr != S_OK) return hr;
    try {
      for (UINT i = 0; i < count; ++i) {
        ids[i] = derived().idOf(std::wstring_view(names[i]), i);
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
      }
      return hr;
    } catch (...) {
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argError) noexcept override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (result) VariantInit(result);
    if (const HRESULT hr = com::checkArguments(params, argError); FAILED(hr)) return hr;
    try {
      return derived().invoke(id, lcid, flags, *params, result);
    } catch (...) {
      return com::toExcepInfo(automation::currentError(), excepInfo);
    }
  }

 protected:
  NamedDispatchOn() noexcept = default;

 private:
  Derived& derived() noexcept { return static_cast<Derived&>(*this); }
};

template <class Derived, class... Others>
using NamedDispatch = NamedDispatchOn<Derived, IDispatch, Others...>;

}  // namespace automation::win

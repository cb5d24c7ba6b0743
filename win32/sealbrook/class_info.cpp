// IProvideClassInfo2 and IObjectSafety of SignData (its connection points are com's). It is safe
// to initialise from any data, since it reads nothing but its extent; it claims nothing for
// scripting.
#include "win32/com/dispatch.h"
#include "win32/sealbrook/signdata_object.h"

namespace sealbrook::win {
namespace {

bool isPersistence(REFIID riid) {
  return IsEqualIID(riid, IID_IPersistStorage) || IsEqualIID(riid, IID_IPersistStreamInit) ||
         IsEqualIID(riid, IID_IPersist);
}

}  // namespace

HRESULT STDMETHODCALLTYPE SignDataObject::GetClassInfo(ITypeInfo** info) noexcept {
  if (!info) return E_POINTER;
  return com::typeInfoOf(CLSID_SignData, info);
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetGUID(DWORD kind, GUID* guid) noexcept {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = DIID___SignData;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported,
                                                                    DWORD* enabled) noexcept {
  if (!supported || !enabled) return E_POINTER;
  *supported = *enabled = 0;
  if (!isPersistence(riid)) return E_NOINTERFACE;
  *supported = INTERFACESAFE_FOR_UNTRUSTED_DATA;
  *enabled = safety_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::SetInterfaceSafetyOptions(REFIID riid, DWORD mask,
                                                                    DWORD enabled) noexcept {
  if (!isPersistence(riid)) return E_NOINTERFACE;
  if (mask & ~DWORD{INTERFACESAFE_FOR_UNTRUSTED_DATA}) return E_FAIL;
  safety_ = (safety_ & ~mask) | (enabled & mask);
  return S_OK;
}

}  // namespace sealbrook::win

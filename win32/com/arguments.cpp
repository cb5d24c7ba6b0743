#include "win32/com/arguments.h"

namespace com {
namespace {

// The types that a VARIANT holds as values, by reference or in arrays.
bool variantType(VARTYPE type) {
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_VARIANT:
    case VT_UNKNOWN:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_RECORD:
      return true;
    default:
      return false;
  }
}

}  // namespace

HRESULT checkVariant(const VARIANT& v) noexcept {
  const VARTYPE type = V_VT(&v) & VT_TYPEMASK;
  const VARTYPE flags = V_VT(&v) & ~VT_TYPEMASK;
  if ((flags & ~(VT_BYREF | VT_ARRAY)) || !variantType(type)) return DISP_E_BADVARTYPE;
  // Empty and null are values only; a VARIANT holds another by reference or in an array only.
  if ((type == VT_EMPTY || type == VT_NULL) && flags) return DISP_E_BADVARTYPE;
  if (type == VT_VARIANT && !flags) return DISP_E_BADVARTYPE;
  if (type == VT_RECORD && !(flags & VT_ARRAY) && !V_RECORDINFO(&v)) return E_INVALIDARG;
  if (!(flags & VT_BYREF) || type == VT_RECORD) return S_OK;
  if (!V_BYREF(&v)) return E_POINTER;
  if (V_VT(&v) != (VT_BYREF | VT_VARIANT)) return S_OK;
  const VARIANT& target = *V_VARIANTREF(&v);
  if (V_VT(&target) == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
  return checkVariant(target);
}

HRESULT checkArguments(const DISPPARAMS* params, UINT* argError) noexcept {
  if (!params || (params->cArgs && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs && !params->rgdispidNamedArgs))
    return E_INVALIDARG;
  for (UINT i = 0; i < params->cArgs; ++i) {
    if (const HRESULT hr = checkVariant(params->rgvarg[i]); FAILED(hr)) {
      if (argError) *argError = i;
      return hr;
    }
  }
  return S_OK;
}

HRESULT checkNames(const LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  if (!names || !ids) return E_POINTER;
  for (UINT i = 0; i < count; ++i) {
    if (names[i]) continue;
    for (UINT j = 0; j < count; ++j) ids[j] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  return S_OK;
}

}  // namespace com

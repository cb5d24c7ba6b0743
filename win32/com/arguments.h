// What every IDispatch here checks before anything reads a caller's names or arguments. The
// platform's automation library (DispGetIDsOfNames, DispInvoke, VariantCopyInd, ...) trusts what
// it is given and crashes on a null array or a VARIANT that refers nowhere; a caller's mistake
// is answered here with an error instead.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace com {

// A VARIANT that can be read: a type that a VARIANT can hold (DISP_E_BADVARTYPE otherwise), a
// record with its record information, and, by reference, a reference to somewhere (E_POINTER) or,
// for a VARIANT, to one that is itself no reference to a VARIANT (E_INVALIDARG: such chains may
// loop).
HRESULT checkVariant(const VARIANT& v) noexcept;

// The arguments of an incoming call: DISPPARAMS with an array wherever it declares arguments
// and no more named arguments than arguments (E_INVALIDARG otherwise), each argument readable.
// `argError`, when given, receives the index in rgvarg of the first argument that is not.
HRESULT checkArguments(const DISPPARAMS* params, UINT* argError) noexcept;

// The names of GetIDsOfNames: both arrays (E_POINTER), and a name in every place; a missing name
// is an unknown one (every id DISPID_UNKNOWN, DISP_E_UNKNOWNNAME).
HRESULT checkNames(const LPOLESTR* names, UINT count, DISPID* ids) noexcept;

}  // namespace com

#include "win32/com/dispatch.h"

#include "win32/com/module.h"

namespace com {

HRESULT typeInfoOf(REFGUID guid, ITypeInfo** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  static ITypeLib* const library = []() -> ITypeLib* {
    ITypeLib* lib = nullptr;
    try {
      if (FAILED(LoadTypeLibEx(module::path().c_str(), REGKIND_NONE, &lib))) return nullptr;
    } catch (...) {
      return nullptr;
    }
    return lib;
  }();
  if (!library) return TYPE_E_CANTLOADLIBRARY;
  return library->GetTypeInfoOfGuid(guid, out);
}

HRESULT checkArgumentCount(ITypeInfo* info, DISPID id, WORD flags,
                           const DISPPARAMS& params) noexcept {
  TYPEATTR* type = nullptr;
  if (FAILED(info->GetTypeAttr(&type))) return S_OK;
  const WORD functions = type->cFuncs;
  info->ReleaseTypeAttr(type);
  // By walking the functions: not every type info finds a member's index by its id alike.
  for (WORD index = 0; index < functions; ++index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function))) continue;
    UINT most = 0, least = 0;
    const bool found = function->memid == id && (flags & function->invkind);
    for (SHORT i = 0; found && i < function->cParams; ++i) {
      const USHORT param = function->lprgelemdescParam[i].paramdesc.wParamFlags;
      if (param & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)) continue;
      ++most;
      if (!(param & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT))) least = most;
    }
    info->ReleaseFuncDesc(function);
    if (found) return params.cArgs < least || params.cArgs > most ? DISP_E_BADPARAMCOUNT : S_OK;
  }
  return S_OK;  // no such member: DispInvoke says so
}

}  // namespace com

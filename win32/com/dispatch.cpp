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

}  // namespace com

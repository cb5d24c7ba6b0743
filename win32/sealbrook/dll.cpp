// Sealbrook.ocx: the four entry points of an in-process server, its class table and its
// registration (the type library, the control class with its ProgID and control keys, its two
// interfaces).
#include <windows.h>

#include "sealbrook.h"
#include "win32/com/class_factory.h"
#include "win32/com/module.h"
#include "win32/com/registry.h"
#include "win32/sealbrook/signdata_object.h"

namespace sealbrook::win {
namespace {

const com::ClassEntry kClasses[] = {{&CLSID_SignData, com::creator<SignDataObject>}};

// The controls' category "safe for initialising": the control reads nothing from the document
// but its extent.
const wchar_t kSafeForInitializing[] = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

std::vector<com::RegKey> registration() {
  const com::TypeLibInfo lib{LIBID_Sealbrook, 100, 0, L"Sealbrook", LIBFLAG_FCONTROL, 0};
  const std::wstring path = com::module::path();
  std::vector<com::RegKey> keys = com::typeLibKeys(lib, path);
  for (auto& k :
       com::classKeys({CLSID_SignData, L"Sealbrook.SignData", L"Sealbrook.SignData"}, lib, path))
    keys.push_back(std::move(k));
  const std::wstring clsid = L"CLSID\\" + com::guidString(CLSID_SignData);
  keys.push_back({clsid + L"\\Control", {}, true});
  keys.push_back({clsid + L"\\MiscStatus", {{L"", L"0"}}, true});
  keys.push_back({clsid + L"\\MiscStatus\\1", {{L"", L"131473"}}, true});
  keys.push_back({clsid + L"\\ToolboxBitmap32", {{L"", path + L", 1"}}, true});
  keys.push_back({clsid + L"\\Implemented Categories", {}, true});
  keys.push_back({clsid + L"\\Implemented Categories\\" + kSafeForInitializing, {}, true});
  for (auto& k : com::interfaceKeys(IID__SignData, L"_SignData", lib)) keys.push_back(std::move(k));
  for (auto& k : com::interfaceKeys(DIID___SignData, L"__SignData", lib, com::InterfaceKind::Dispatch))
    keys.push_back(std::move(k));
  return keys;
}

}  // namespace
}  // namespace sealbrook::win

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  return com::getClassObject(sealbrook::win::kClasses, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return com::canUnloadNow(); }

STDAPI DllRegisterServer() {
  return com::edge([] { return com::registerServer(sealbrook::win::registration()); });
}

STDAPI DllUnregisterServer() {
  return com::edge(
      [] { return com::unregisterServer(sealbrook::win::registration()); });
}

// Sealbrook.ocx: the four entry points of an in-process server, its class table and its
// registration (the type library, the control class with its ProgID and control keys, its two
// interfaces).
#include <windows.h>

#include "sealbrook.h"
#include "win32/com/class_factory.h"
#include "win32/com/registry.h"
#include "win32/sealbrook/signdata_object.h"

namespace sealbrook::win {
namespace {

const com::ClassEntry kClasses[] = {{&CLSID_SignData, com::creator<SignDataObject>}};

// The controls' category "safe for initialising": the control reads nothing from the document
// but its extent.
constexpr auto kSafeForInitializing =
    automation::Guid::parse("{7DD95802-9882-11CF-9FA9-00AA006C42C4}");

std::vector<com::Key> registration() {
  const automation::Guid clsid = com::fromGuid(CLSID_SignData);
  return com::moduleRegistration(
             {com::fromGuid(LIBID_Sealbrook), 100, 0, u"Sealbrook", LIBFLAG_FCONTROL, 0})
      .addClass({clsid, u"Sealbrook.SignData", u"Sealbrook.SignData"})
      .addControl(clsid, {kMiscStatus, 1, {kSafeForInitializing}})
      .addInterface(com::fromGuid(IID__SignData), u"_SignData")
      .addInterface(com::fromGuid(DIID___SignData), u"__SignData",
                    registration::InterfaceKind::Dispatch)
      .keys();
}

}  // namespace
}  // namespace sealbrook::win

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  return com::getClassObject(sealbrook::win::kClasses, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return com::canUnloadNow(); }

STDAPI DllRegisterServer() { return com::registerServer(sealbrook::win::registration); }

STDAPI DllUnregisterServer() { return com::unregisterServer(sealbrook::win::registration); }

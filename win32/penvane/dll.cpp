// Penvane.dll: the four entry points of an in-process server, its class table and its
// registration (the type library, the class Connect with its ProgID, and _Connect; the host's
// IDTExtensibility2 is the host's to register).
#include <windows.h>

#include "win32/com/class_factory.h"
#include "win32/com/diagnosis_log.h"
#include "win32/com/registry.h"
#include "win32/penvane/connect_object.h"
#include "win32/penvane/library.h"

#include "penvane.h"
#include "registration/libraries.h"

namespace penvane::win {

namespace {

// The library's failures go to the diagnosis log from the load of the library to its unload.
com::DiagnosisLog diagnosisLog(L"Penvane");

const com::ClassEntry kClasses[] = {{&CLSID_Connect, com::creator<ConnectObject>}};

// The identities in the rows are the core's; the IDL declares the same.
std::vector<com::Key> registration() {
  return registration::penvaneLibrary(com::modulePath(), com::kArchitecture).keys();
}

}  // namespace
}  // namespace penvane::win

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  return com::getClassObject(penvane::win::kClasses, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
  return com::canUnloadNow();
}

STDAPI DllRegisterServer() {
  return com::registerServer(penvane::win::registration);
}

STDAPI DllUnregisterServer() {
  return com::unregisterServer(penvane::win::registration);
}

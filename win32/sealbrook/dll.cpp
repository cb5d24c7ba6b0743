// Sealbrook.ocx: the four entry points of an in-process server, its class table and its
// registration (the type library, the control class with its ProgID and control keys, its two
// interfaces).
#include <windows.h>

#include "win32/com/class_factory.h"
#include "win32/com/diagnosis_log.h"
#include "win32/com/registry.h"
#include "win32/sealbrook/signdata_object.h"

#include "registration/libraries.h"
#include "sealbrook.h"

namespace sealbrook::win {
namespace {

// The library's failures go to the diagnosis log from the load of the library to its unload.
com::DiagnosisLog diagnosisLog(L"Sealbrook");

const com::ClassEntry kClasses[] = {{&CLSID_SignData, com::creator<SignDataObject>}};

// The identities in the rows are the core's; the IDL declares the same.
std::vector<com::Key> registration() {
  return registration::sealbrookLibrary(com::modulePath(), com::kArchitecture).keys();
}

}  // namespace
}  // namespace sealbrook::win

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  return com::getClassObject(sealbrook::win::kClasses, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
  return com::canUnloadNow();
}

STDAPI DllRegisterServer() {
  return com::registerServer(sealbrook::win::registration);
}

STDAPI DllUnregisterServer() {
  return com::unregisterServer(sealbrook::win::registration);
}

// The class factory, driven by a table of the module's classes:
//
//   const com::ClassEntry kClasses[] = {{&CLSID_Connect, com::creator<Connect>}};
//   STDAPI DllGetClassObject(REFCLSID c, REFIID i, void** p) {
//     return com::getClassObject(kClasses, c, i, p);
//   }
//   STDAPI DllCanUnloadNow() { return com::canUnloadNow(); }
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <cstddef>

namespace com {

struct ClassEntry {
  const CLSID* clsid;
  HRESULT (*create)(REFIID riid, void** ppv);  // a new instance, asked for riid
};

template <class T>
HRESULT creator(REFIID riid, void** ppv) {
  auto object = T::make();
  if (!object) return E_OUTOFMEMORY;
  return object->QueryInterface(riid, ppv);
}

HRESULT getClassObject(const ClassEntry* begin, const ClassEntry* end, REFCLSID clsid, REFIID riid,
                       void** ppv) noexcept;
template <size_t N>
HRESULT getClassObject(const ClassEntry (&table)[N], REFCLSID clsid, REFIID riid,
                       void** ppv) noexcept {
  return getClassObject(table, table + N, clsid, riid, ppv);
}

HRESULT canUnloadNow() noexcept;

}  // namespace com

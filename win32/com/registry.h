// Self-registration from a table: each entry is a key under the classes root with the values we
// write there. Registering twice is harmless. Unregistering removes exactly what registering
// wrote: keys marked as ours with everything below them, and for the others only our values,
// then the key itself when nothing else is left in it. Keys that the x86 and the x64 build of a
// library share (the type library's, the interfaces', the ProgID) stay while the other build is
// still registered.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace com {

struct RegValue {
  RegValue(std::wstring n, std::wstring t) : name(std::move(n)), text(std::move(t)) {}
  RegValue(std::wstring n, DWORD value) : name(std::move(n)), number(value) {}

  std::wstring name;  // empty: the key's default value
  std::wstring text;
  std::optional<DWORD> number;  // written as REG_DWORD instead of text
};

struct RegKey {
  std::wstring path;  // below the classes root
  std::vector<RegValue> values;
  bool ours = false;  // the whole key and its subtree belong to us
  // Unregistering leaves the key alone while this key exists: the same registration by the
  // library's other architecture. In the other registry view when `otherView` is set.
  std::wstring sharedWhile = {};
  bool otherView = false;
};

enum class Scope {
  Machine,  // HKEY_CLASSES_ROOT (an installer's per-user override of it applies)
  User,     // HKEY_CURRENT_USER\Software\Classes
};

HRESULT registerKeys(const std::vector<RegKey>& keys, Scope scope) noexcept;
HRESULT unregisterKeys(const std::vector<RegKey>& keys, Scope scope) noexcept;

// DllRegisterServer: for every user of the machine, or, when the user may not write there, for
// this user. DllUnregisterServer: from both places, whatever is ours there.
HRESULT registerServer(const std::vector<RegKey>& keys) noexcept;
HRESULT unregisterServer(const std::vector<RegKey>& keys) noexcept;

std::wstring guidString(const GUID& guid);  // "{XXXXXXXX-...}"

// The keys of the usual registrations.
struct TypeLibInfo {
  GUID libid;
  unsigned short major = 1;
  unsigned short minor = 0;
  std::wstring name;    // default value of the version key
  unsigned flags = 0;   // LIBFLAGS: 2 = describes controls
  LCID lcid = 0;        // the library's locale, as its type library declares it

  std::wstring versionKey() const;   // as the type library's keys are named: hexadecimal, "64.0"
  std::wstring versionText() const;  // as people read it: "100.0"
};
std::vector<RegKey> typeLibKeys(const TypeLibInfo& lib, const std::wstring& modulePath);
// Dual interfaces marshal through the automation marshaler, dispatch interfaces through the
// IDispatch proxy.
enum class InterfaceKind { Dual, Dispatch };
std::vector<RegKey> interfaceKeys(const GUID& iid, const std::wstring& name,
                                  const TypeLibInfo& lib, InterfaceKind kind = InterfaceKind::Dual);
struct ClassInfo {
  GUID clsid;
  std::wstring description;
  std::wstring progId;
  std::wstring threadingModel = L"Apartment";
};
// CLSID\{clsid} with InprocServer32, ProgID, TypeLib and Version, and the ProgID key.
std::vector<RegKey> classKeys(const ClassInfo& cls, const TypeLibInfo& lib,
                              const std::wstring& modulePath);

}  // namespace com

// What registering a COM library writes under the classes root, as rows of keys with their
// values: text built from GUIDs, names and the module's path, the same on every platform. The
// Windows side only writes and removes the rows (win32/com/registry.h).
//
//   Key::ours(u"CLSID\\{...}\\ProgID").value(u"", u"Sealbrook.SignData")
//   Key::common(u"TypeLib\\{...}")
//   Key::ours(u"Sealbrook.SignData").value(u"", u"...").sharedWhile(u"CLSID\\{...}", View::Other)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/guid.h"

namespace registration {

struct Value {
  std::u16string name;  // empty: the key's default value
  std::u16string text;
  std::optional<uint32_t> number;  // written as REG_DWORD instead of text
};

// Where a key is looked for: in this build's own registry view, or in the view of the library's
// other architecture (32-bit and 64-bit classes live apart; type libraries and interfaces not).
enum class View { Same, Other };

class Key {
 public:
  // A key that is ours with everything below it: unregistering deletes the whole tree.
  static Key ours(std::u16string path) { return {std::move(path), true}; }
  // A key that others may write into as well: unregistering deletes our values, then the key
  // when nothing else is left in it.
  static Key common(std::u16string path) { return {std::move(path), false}; }

  Key& value(std::u16string name, std::u16string text);
  Key& number(std::u16string name, uint32_t number);
  // Unregistering leaves the key alone while `other` exists in `view`: the same registration by
  // the library's build for the other architecture, which sees this very key when the registry
  // keeps it once for both views.
  Key& sharedWhile(std::u16string other, View view = View::Same);

  const std::u16string& path() const noexcept { return path_; }
  const std::vector<Value>& values() const noexcept { return values_; }
  bool isOurs() const noexcept { return ours_; }
  const std::u16string& sharedWhile() const noexcept { return sharedWhile_; }  // empty: never
  View sharedView() const noexcept { return sharedView_; }

 private:
  Key(std::u16string path, bool ours) : path_(std::move(path)), ours_(ours) {}

  std::u16string path_;  // below the classes root
  std::vector<Value> values_;
  bool ours_;
  std::u16string sharedWhile_;
  View sharedView_ = View::Same;
};

std::u16string guidText(const automation::Guid& guid);  // "{XXXXXXXX-...}", upper case

// The build whose module a registration names: type libraries keep one path per architecture.
enum class Architecture { X86, X64 };

struct TypeLib {
  automation::Guid libid;
  uint16_t major = 1;
  uint16_t minor = 0;
  std::u16string name;  // default value of the version key
  uint32_t flags = 0;   // LIBFLAGS: 2 = describes controls
  uint32_t lcid = 0;    // the library's locale, as its type library declares it

  std::u16string versionKey() const;   // as the type library's keys are named: hexadecimal, "64.0"
  std::u16string versionText() const;  // as people read it: "100.0"
};

// Dual interfaces marshal through the automation marshaler, dispatch interfaces through the
// IDispatch proxy.
enum class InterfaceKind { Dual, Dispatch };

struct Class {
  automation::Guid clsid;
  std::u16string description;
  std::u16string progId;
  std::u16string threadingModel = u"Apartment";
};

// What makes a class an ActiveX control for its containers.
struct Control {
  uint32_t miscStatus;                       // OLEMISC flags of the content aspect
  uint32_t toolboxBitmap;                    // resource id of the bitmap in the module
  std::vector<automation::Guid> categories;  // implemented component categories
};

// The rows that one build of a library registers, in the order they are written: its type
// library first, then each class, control and interface as added. Unregistering goes through
// them in reverse, children before their parents.
class Library {
 public:
  Library(TypeLib typeLib, std::u16string modulePath, Architecture architecture);

  // CLSID\{clsid} with InprocServer32, ProgID, TypeLib and Version, and the ProgID's key.
  Library& addClass(const Class& cls);
  // Below the class's key: Control, MiscStatus, ToolboxBitmap32, Implemented Categories.
  Library& addControl(const automation::Guid& clsid, const Control& control);
  Library& addInterface(const automation::Guid& iid, std::u16string name,
                        InterfaceKind kind = InterfaceKind::Dual);

  const std::vector<Key>& keys() const noexcept { return keys_; }

 private:
  // Present while the library's build for the other architecture is registered.
  std::u16string otherArchitecture() const;

  TypeLib typeLib_;
  std::u16string modulePath_;
  Architecture architecture_;
  std::vector<Key> keys_;
};

}  // namespace registration

// The installer's registry rows, made from the same table as self-registration
// (registration/libraries.h): one WiX component per build of a library, holding the library's
// file and, as <RegistryValue> elements, every row that DllRegisterServer writes. The module's
// path becomes the file's formatted reference [#FileId] and its folder the formatted text the
// package installs it to, so that the package and self-registration cannot drift apart.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "registration/keys.h"

namespace packaging {

// Where the package writes the classes: for every user of the machine
// (HKEY_LOCAL_MACHINE\Software\Classes) or for the installing user only
// (HKEY_CURRENT_USER\Software\Classes).
enum class Scope { Machine, User };

struct Placement {
  registration::Architecture architecture;
  Scope scope;
  std::string fileId;     // the File element's Id, also the component's
  std::string fileName;   // "Penvane.dll"
  std::string source;     // the file on the build machine
  std::u16string folder;  // formatted text of the installed folder, no trailing backslash
  // For the x86 build in a package that installs the x64 build beside it: the x64 build's folder.
  // Windows keeps most of the classes root once for both registry views (all but the classes'
  // and interfaces' keys): there the x64 build's component alone writes what both would.
  std::u16string x64Folder;
};

// What the rows cannot hold: text outside ASCII (wixl stores nothing else reliably).
struct RowsError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Whether Windows keeps the key (a path below the classes root) apart in each registry view.
bool keptApartInEachView(std::u16string_view path);

// The rows of `rows` (built with the module path folder + "\" + fileName) as a WiX include file
// holding one component, but for the values of `leftOut` (rows of the same paths whose values'
// names are left out). A package for one user keeps each component by a value of its own under
// HKCU\Software\ChuKySo\Components, as Windows Installer wants of what lies in the user's
// profile; a package for the machine by the library's file.
std::string component(const std::vector<registration::Key>& rows, const Placement& placement,
                      const std::vector<registration::Key>& leftOut = {});

// The rows of the named library ("Penvane" or "Sealbrook") at that placement; RowsError for
// another name.
std::string libraryComponent(const std::string& library, const Placement& placement);

}  // namespace packaging

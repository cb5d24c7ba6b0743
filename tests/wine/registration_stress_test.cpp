// Registration under stress: each library registered and unregistered a hundred times, alternating
// the x64 and the x86 registry views, per machine and per user, with the other library registered
// or not, and with the library's build for the other architecture registered or not. Each cycle
// writes every row, leaves the other registrations whole, and ends where it began; afterwards the
// classes of the machine and of the user, in both views, are byte for byte what they were.
//
// The x64 build registers itself: DllRegisterServer and DllUnregisterServer of the loaded library.
// The x86 build cannot run here; its rows are written as its own DllRegisterServer writes them:
// the core's rows for the x86 build, through the same registry functions, in the 32-bit view.
// A library whose file is gone cannot unregister itself (the platform cannot load it); the rows
// for that path, as its DllUnregisterServer would have removed them, remove every key.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/registry.h"

#include "base/unicode.h"
#include "registration/libraries.h"
#include "wine_test.h"

namespace {

using com::Scope;
using registration::Architecture;

using RowsFor = registration::Library (*)(std::u16string, Architecture);

// One of the two libraries: its file beside the test, loaded for its entry points, and its rows.
class Library {
 public:
  Library(const wchar_t* file, RowsFor rows) : file_(file), rows_(rows) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  std::wstring path() const { return winetest::binPath(file_); }
  // Where the x86 build lies beside the x64 one, as the per-machine package installs them.
  std::wstring x86Path() const {
    return std::wstring(L"C:\\Program Files (x86)\\ChuKySo\\") + file_;
  }
  std::wstring pathOf(Architecture a) const { return a == Architecture::X64 ? path() : x86Path(); }
  std::vector<com::Key> rows(const std::wstring& path, Architecture a) const {
    return rows_(com::u16(path), a).keys();
  }

  // The build registers itself, as regsvr32 has it do (for the machine) or as DllRegisterServer
  // does when the machine's classes refuse it (for the user).
  HRESULT registerBuild(Architecture a, Scope scope) {
    if (a == Architecture::X64 && scope == Scope::Machine) return call("DllRegisterServer");
    return com::registerKeys(rows(pathOf(a), a), scope, a);
  }
  // DllUnregisterServer: whatever is the build's, for the machine and for the user.
  HRESULT unregisterBuild(Architecture a) {
    if (a == Architecture::X64) return call("DllUnregisterServer");
    const auto keys = rows(x86Path(), a);
    const HRESULT machine = com::unregisterKeys(keys, Scope::Machine, a);
    const HRESULT user = com::unregisterKeys(keys, Scope::User, a);
    return FAILED(machine) ? machine : user;
  }

  // The keys below which the library writes: CLSID\{...}, TypeLib\{...}, Interface\{...} and
  // its ProgID.
  std::set<std::wstring> area() const {
    std::set<std::wstring> tops;
    for (const auto& key : rows(path(), Architecture::X64)) {
      const std::wstring p = com::wide(key.path());
      const size_t first = p.find(L'\\');
      const bool progId = p.rfind(L"CLSID\\", 0) != 0 && p.rfind(L"TypeLib\\", 0) != 0 &&
                          p.rfind(L"Interface\\", 0) != 0;
      tops.insert(progId ? p.substr(0, first) : p.substr(0, p.find(L'\\', first + 1)));
    }
    return tops;
  }

 private:
  HRESULT call(const char* entry) {
    if (!module_) module_ = LoadLibraryW(path().c_str());
    const auto function =
        module_ ? winetest::export_<HRESULT STDAPICALLTYPE()>(module_, entry) : nullptr;
    return function ? function() : E_UNEXPECTED;
  }

  const wchar_t* file_;
  RowsFor rows_;
  HMODULE module_ = nullptr;
};

HKEY rootOf(Scope scope) {
  return scope == Scope::Machine ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
}
std::wstring under(Scope scope, const std::wstring& path) {
  return scope == Scope::Machine ? path : L"Software\\Classes\\" + path;
}
REGSAM viewOf(Architecture a) {
  return a == Architecture::X86 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

constexpr Scope kScopes[] = {Scope::Machine, Scope::User};
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// The classes of the machine and of the user, in both views.
std::wstring everyClass() {
  std::wstring out;
  for (const REGSAM view : kViews)
    out += winetest::dumpKey(HKEY_CLASSES_ROOT, L"", view) +
           winetest::dumpKey(HKEY_CURRENT_USER, L"Software\\Classes", view);
  return out;
}

// What lies below the keys of a library, in both scopes and both views.
std::wstring areaOf(const Library& library) {
  std::wstring out;
  for (const Scope scope : kScopes)
    for (const REGSAM view : kViews)
      for (const auto& top : library.area())
        out += winetest::dumpKey(rootOf(scope), under(scope, top), view);
  return out;
}

// A value's bytes as the registry holds them.
std::vector<BYTE> bytesOf(const registration::Value& value) {
  if (value.number) {
    const DWORD n = *value.number;
    const auto* at = reinterpret_cast<const BYTE*>(&n);
    return {at, at + sizeof n};
  }
  const std::wstring text = com::wide(value.text);
  const auto* at = reinterpret_cast<const BYTE*>(text.c_str());
  return {at, at + (text.size() + 1) * sizeof(wchar_t)};
}

// The rows that are not in the registry as written, in the scope and the view of the build.
std::vector<std::wstring> missingRows(const std::vector<com::Key>& keys, Scope scope,
                                      Architecture a) {
  std::vector<std::wstring> missing;
  for (const auto& key : keys) {
    const std::wstring path = under(scope, com::wide(key.path()));
    HKEY opened;
    if (RegOpenKeyExW(rootOf(scope), path.c_str(), 0, KEY_READ | viewOf(a), &opened) !=
        ERROR_SUCCESS) {
      missing.push_back(path);
      continue;
    }
    for (const auto& value : key.values()) {
      const std::wstring name = com::wide(value.name);
      const std::vector<BYTE> expected = bytesOf(value);
      std::vector<BYTE> found(expected.size() + 16);
      DWORD type = 0, size = static_cast<DWORD>(found.size());
      const LONG rc = RegQueryValueExW(opened, name.empty() ? nullptr : name.c_str(), nullptr,
                                       &type, found.data(), &size);
      found.resize(size);
      if (rc != ERROR_SUCCESS || type != (value.number ? REG_DWORD : REG_SZ) || found != expected)
        missing.push_back(path + L" " + name);
    }
    RegCloseKey(opened);
  }
  return missing;
}

// The rows, but for the value of the type library's help folder: both builds write it into the
// type library's one key, and the last registration's folder stays there (as the platform's
// RegisterTypeLib leaves it).
std::vector<com::Key> helpFolderAside(std::vector<com::Key> keys) {
  const std::u16string helpDir = u"\\HELPDIR";
  for (auto& key : keys) {
    const std::u16string& path = key.path();
    if (path.size() > helpDir.size() &&
        path.compare(path.size() - helpDir.size(), helpDir.size(), helpDir) == 0)
      key = com::Key::ours(path);
  }
  return keys;
}

class RegistrationStress : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Whatever an earlier run left, in every scope and view.
    for (Library* library : {&penvane(), &sealbrook()})
      for (const Architecture a : {Architecture::X64, Architecture::X86})
        library->unregisterBuild(a);
  }

  static Library& penvane() {
    static Library library(L"Penvane.dll", registration::penvaneLibrary);
    return library;
  }
  static Library& sealbrook() {
    static Library library(L"Sealbrook.ocx", registration::sealbrookLibrary);
    return library;
  }
};

// One library through a hundred cycles. Cycle i: the x86 build when i is odd, else the x64 one;
// for the user when i / 2 is odd, else for the machine; with the other library registered (x64,
// for the machine) when i / 4 is odd; with the library's own build for the other architecture
// registered for the machine when i / 8 is odd (both builds installed side by side).
void hundredCycles(Library& library, Library& other) {
  const std::wstring before = areaOf(library);
  const std::wstring otherBefore = areaOf(other);
  for (int i = 0; i < 100; ++i) {
    SCOPED_TRACE("cycle " + std::to_string(i));
    const Architecture a = i % 2 ? Architecture::X86 : Architecture::X64;
    const Architecture otherArchitecture = i % 2 ? Architecture::X64 : Architecture::X86;
    const Scope scope = (i / 2) % 2 ? Scope::User : Scope::Machine;
    const bool otherLibrary = (i / 4) % 2;
    const bool otherBuild = (i / 8) % 2;
    const auto keys = library.rows(library.pathOf(a), a);
    const auto otherBuildKeys = library.rows(library.pathOf(otherArchitecture), otherArchitecture);
    const auto otherLibraryKeys = other.rows(other.path(), Architecture::X64);

    if (otherLibrary) {
      ASSERT_EQ(other.registerBuild(Architecture::X64, Scope::Machine), S_OK);
    }
    if (otherBuild) {
      ASSERT_EQ(library.registerBuild(otherArchitecture, Scope::Machine), S_OK);
    }
    const std::wstring others = areaOf(other);

    ASSERT_EQ(library.registerBuild(a, scope), S_OK);
    ASSERT_THAT(missingRows(keys, scope, a), testing::IsEmpty());
    ASSERT_EQ(library.registerBuild(a, scope), S_OK);  // twice is harmless
    ASSERT_EQ(library.unregisterBuild(a), S_OK);

    if (otherBuild) {
      // The keys both builds share stay for the other one, which is whole.
      EXPECT_THAT(missingRows(helpFolderAside(otherBuildKeys), Scope::Machine, otherArchitecture),
                  testing::IsEmpty());
      ASSERT_EQ(library.unregisterBuild(otherArchitecture), S_OK);
    }
    EXPECT_EQ(areaOf(other), others);
    if (otherLibrary) {
      EXPECT_THAT(missingRows(otherLibraryKeys, Scope::Machine, Architecture::X64),
                  testing::IsEmpty());
      ASSERT_EQ(other.unregisterBuild(Architecture::X64), S_OK);
    }
    ASSERT_EQ(areaOf(library), before);
    ASSERT_EQ(areaOf(other), otherBefore);
  }
}

TEST_F(RegistrationStress, AHundredCyclesOfEachLibraryLeaveEveryClassAsItWas) {
  // The user's containers of classes, interfaces and type libraries, there as soon as anything
  // registered for the user: unregistering ours leaves them to the others.
  for (const REGSAM view : kViews)
    for (const wchar_t* container : {L"Software\\Classes\\CLSID", L"Software\\Classes\\Interface",
                                     L"Software\\Classes\\TypeLib"}) {
      HKEY key = nullptr;
      ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, container, 0, nullptr, 0, KEY_WRITE | view,
                                nullptr, &key, nullptr),
                ERROR_SUCCESS);
      RegCloseKey(key);
    }
  const std::wstring before = everyClass();
  ASSERT_GT(before.size(), 0u);
  hundredCycles(penvane(), sealbrook());
  hundredCycles(sealbrook(), penvane());
  const std::wstring after = everyClass();
  const auto [was, is] = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
  EXPECT_TRUE(after == before)
      << "the classes changed at\n"
      << text::toUtf8(com::u16(std::wstring(was, before.end()).substr(0, 300))) << "\nnow\n"
      << text::toUtf8(com::u16(std::wstring(is, after.end()).substr(0, 300)));
}

// The library's file is deleted while it is registered: regsvr32 cannot load it to unregister,
// and its keys stay. The rows for that path (what DllUnregisterServer of that file removes)
// remove them all.
TEST_F(RegistrationStress, ALibraryWhoseFileIsGoneIsUnregisteredByTheRowsForItsPath) {
  const std::wstring folder = winetest::tempFolder() + L"cks-registration-stress";
  CreateDirectoryW(folder.c_str(), nullptr);
  for (Library* library : {&penvane(), &sealbrook()}) {
    const std::wstring before = everyClass();
    const std::wstring file = library->path();
    const std::wstring copy = folder + file.substr(file.find_last_of(L'\\'));
    ASSERT_TRUE(CopyFileW(file.c_str(), copy.c_str(), FALSE));
    ASSERT_EQ(winetest::regsvr32(copy), 0);
    const auto keys = library->rows(copy, Architecture::X64);
    ASSERT_THAT(missingRows(keys, Scope::Machine, Architecture::X64), testing::IsEmpty());
    ASSERT_TRUE(DeleteFileW(copy.c_str()));

    EXPECT_NE(winetest::regsvr32(copy, /*unregister=*/true), 0);
    EXPECT_THAT(missingRows(keys, Scope::Machine, Architecture::X64), testing::IsEmpty())
        << "the platform removed keys of a library it could not load";

    EXPECT_EQ(com::unregisterKeys(keys, Scope::Machine), S_OK);
    EXPECT_EQ(com::unregisterKeys(keys, Scope::User), S_OK);
    EXPECT_TRUE(everyClass() == before) << "keys of the deleted file stayed";
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

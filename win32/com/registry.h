// Self-registration: the rows of a registration (registration/keys.h) written under a classes
// root and removed again, as registration/registry.h decides, over the registry's functions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/com/guid.h"

#include "registration/keys.h"

namespace com {

using registration::Key;

enum class Scope {
  Machine,  // HKEY_CLASSES_ROOT (an installer's per-user override of it applies)
  User,     // HKEY_CURRENT_USER\Software\Classes
};

// The architecture of this build.
constexpr registration::Architecture kArchitecture =
#ifdef _WIN64
    registration::Architecture::X64;
#else
    registration::Architecture::X86;
#endif

// The rows written under a scope's root, and removed, in the registry view of the build they
// name: this build's own unless told, or the other architecture's, as that build's own
// DllRegisterServer and DllUnregisterServer write and remove them (32-bit and 64-bit classes
// live apart; the rows' keys shared between the builds are looked for in the other view).
HRESULT registerKeys(const std::vector<Key>& keys, Scope scope,
                     registration::Architecture view = kArchitecture) noexcept;
HRESULT unregisterKeys(const std::vector<Key>& keys, Scope scope,
                       registration::Architecture view = kArchitecture) noexcept;

// DllRegisterServer: for every user of the machine, or, when the user may not write there, for
// this user. DllUnregisterServer: from both places, whatever is ours there. The rows are made
// inside, so that a failure to make them is an HRESULT too.
using Rows = std::vector<Key> (*)();
HRESULT registerServer(Rows rows) noexcept;
HRESULT unregisterServer(Rows rows) noexcept;

// This module's file, for the rows that name it.
std::u16string modulePath();

}  // namespace com

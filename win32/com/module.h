// The module (DLL or EXE) that this code is linked into: its handle, its path, and the count of
// live objects and server locks that decides whether it can be unloaded.
#pragma once

#include <windows.h>

#include <string>

namespace com::module {

HMODULE handle() noexcept;
std::wstring path();  // full path of the module file

void lock() noexcept;
void unlock() noexcept;
bool canUnload() noexcept;
long locks() noexcept;

}  // namespace com::module

#include "wordhost/resources.h"

#include <windows.h>

#include <winternl.h>

#include <cstdint>

namespace wordhost {
namespace {

// An entry of the GDI handle table that the process environment block points to.
struct GdiTableEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t user;
};
static_assert(sizeof(GdiTableEntry) == 24);
constexpr size_t kGdiTableEntries = 65536;

#ifdef _WIN64
const unsigned char* processEnvironmentBlock() {
  // NtCurrentTeb reads the thread block through the segment register, which the compiler's
  // bounds analysis takes for an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  return reinterpret_cast<const unsigned char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
}
#endif

long gdiTableCount() {
#ifdef _WIN64
  const unsigned char* peb = processEnvironmentBlock();
  const auto* table = *reinterpret_cast<const GdiTableEntry* const*>(peb + 0xF8);
  if (!table) return 0;
  const DWORD pid = GetCurrentProcessId();
  long n = 0;
  for (size_t i = 0; i < kGdiTableEntries; ++i)
    if (table[i].type && (table[i].owner == 0 || (table[i].owner & 0xFFFF) == (pid & 0xFFFF))) ++n;
  return n;
#else
  return 0;
#endif
}

BOOL CALLBACK countWindow(HWND hwnd, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  EnumChildWindows(hwnd, countWindow, count);
  return TRUE;
}

}  // namespace

long gdiObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  return counted ? static_cast<long>(counted) : gdiTableCount();
}

long userObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (counted) return static_cast<long>(counted);
  long windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

long kernelHandles() {
  DWORD counted = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted)
    return static_cast<long>(counted);
  // Handle values are multiples of four, the lowest free one given out first.
  long open = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++open;
  }
  return open;
}

}  // namespace wordhost

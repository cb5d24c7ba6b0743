#include "win32/com/module.h"

#include <atomic>
#include <stdexcept>

namespace com::module {
namespace {

std::atomic<long> g_locks{0};

}  // namespace

HMODULE handle() noexcept {
  static HMODULE self = [] {
    HMODULE h = nullptr;
    // The module that holds this very function: the DLL when linked into one.
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&handle), &h);
    return h;
  }();
  return self;
}

std::wstring path() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(handle(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throw std::runtime_error("GetModuleFileName failed");
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

void lock() noexcept {
  ++g_locks;
}
void unlock() noexcept {
  --g_locks;
}
bool canUnload() noexcept {
  return g_locks == 0;
}
long locks() noexcept {
  return g_locks;
}

}  // namespace com::module

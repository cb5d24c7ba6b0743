#include "win32/com/registry.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "win32/com/bstr.h"
#include "win32/com/edge.h"
#include "win32/com/module.h"

#include "registration/registry.h"

namespace com {
namespace {

// An open registry key with one owner, who closes it once; a predefined root is never closed.
class KeyHandle {
 public:
  KeyHandle() noexcept = default;
  static KeyHandle predefined(HKEY root) noexcept {
    KeyHandle handle;
    handle.key_ = root;
    handle.owned_ = false;
    return handle;
  }
  KeyHandle(KeyHandle&& other) noexcept
      : key_(std::exchange(other.key_, nullptr)), owned_(other.owned_) {}
  KeyHandle& operator=(KeyHandle&& other) noexcept {
    std::swap(key_, other.key_);
    std::swap(owned_, other.owned_);
    return *this;
  }
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  ~KeyHandle() {
    if (key_ && owned_) RegCloseKey(key_);
  }

  HKEY get() const noexcept { return key_; }
  HKEY* put() noexcept {
    *this = KeyHandle();
    return &key_;
  }

 private:
  HKEY key_ = nullptr;
  bool owned_ = true;
};

HRESULT openRoot(Scope scope, KeyHandle& root) noexcept {
  if (scope == Scope::Machine) {
    root = KeyHandle::predefined(HKEY_CLASSES_ROOT);
    return S_OK;
  }
  return HRESULT_FROM_WIN32(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0,
                                            KEY_ALL_ACCESS, nullptr, root.put(), nullptr));
}

// A value's name as the registry functions take it: null for the key's default value.
const wchar_t* valueName(const std::wstring& name) {
  return name.empty() ? nullptr : name.c_str();
}

HRESULT writeValue(HKEY key, const registration::Value& v) {
  const std::wstring name = wide(v.name);
  LONG rc;
  if (v.number) {
    const DWORD n = *v.number;
    rc = RegSetValueExW(key, valueName(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n),
                        sizeof n);
  } else {
    const std::wstring text = wide(v.text);
    rc =
        RegSetValueExW(key, valueName(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  return HRESULT_FROM_WIN32(rc);
}

// The registry view of an architecture's classes, from this process: none for its own.
REGSAM viewOf(registration::Architecture architecture) noexcept {
  if (architecture == kArchitecture) return 0;
  return architecture == registration::Architecture::X86 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

// The key's full name in the registry, with redirection and links resolved: two handles with the
// same name are one key. Empty when the system does not tell.
std::wstring fullName(HKEY key) {
  using QueryKey = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto query = reinterpret_cast<QueryKey>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
  constexpr int kKeyNameInformation = 3;  // KEY_NAME_INFORMATION: ULONG length, then the name
  if (!query) return {};
  std::vector<ULONG> buffer(1024);
  ULONG size = 0;
  const auto bytes = static_cast<ULONG>(buffer.size() * sizeof(ULONG));
  if (query(key, kKeyNameInformation, buffer.data(), bytes, &size) != 0) return {};
  const ULONG length = std::min<ULONG>(buffer[0], bytes - sizeof(ULONG)) / sizeof(wchar_t);
  return std::wstring(reinterpret_cast<const wchar_t*>(&buffer[1]), length);
}

registration::Architecture otherThan(registration::Architecture architecture) noexcept {
  return architecture == registration::Architecture::X64 ? registration::Architecture::X86
                                                         : registration::Architecture::X64;
}

// The rows' registry: one open root, seen in the view of the build whose rows they are.
class Root final : public registration::Registry {
 public:
  Root(HKEY root, registration::Architecture architecture) noexcept
      : root_(root), view_(viewOf(architecture)), otherView_(viewOf(otherThan(architecture))) {}

  registration::HResult write(const Key& k) override {
    KeyHandle key;
    const LONG rc = RegCreateKeyExW(root_, wide(k.path()).c_str(), 0, nullptr, 0, KEY_WRITE | view_,
                                    nullptr, key.put(), nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    for (const auto& v : k.values())
      if (const HRESULT hr = writeValue(key.get(), v); FAILED(hr)) return hr;
    return S_OK;
  }
  bool exists(const std::u16string& path, registration::View view) override {
    return open(path, KEY_READ | (view == registration::View::Other ? otherView_ : view_)).get();
  }
  bool sharedBetweenViews(const std::u16string& path) override {
    const KeyHandle own = open(path, KEY_READ | view_);
    const KeyHandle other = open(path, KEY_READ | otherView_);
    if (!own.get() || !other.get()) return false;
    const std::wstring name = fullName(own.get());
    // A system that does not name its keys is taken to share them, as 32-bit Windows does.
    return name.empty() || CompareStringOrdinal(name.c_str(), -1, fullName(other.get()).c_str(), -1,
                                                TRUE) == CSTR_EQUAL;
  }
  registration::HResult deleteTree(const std::u16string& path) override {
    // The tree below the key as opened in the view, then the key itself in that view.
    const std::wstring name = wide(path);
    KeyHandle key;
    LONG rc = RegOpenKeyExW(root_, name.c_str(), 0, KEY_ALL_ACCESS | view_, key.put());
    if (rc == ERROR_SUCCESS) rc = RegDeleteTreeW(key.get(), nullptr);
    if (rc == ERROR_SUCCESS) RegDeleteKeyExW(root_, name.c_str(), view_, 0);
    return rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
  }
  bool deleteValues(const std::u16string& path,
                    const std::vector<registration::Value>& values) override {
    const KeyHandle key = open(path, KEY_SET_VALUE | view_);
    if (!key.get()) return false;
    for (const auto& v : values) RegDeleteValueW(key.get(), valueName(wide(v.name)));
    return true;
  }
  bool isEmpty(const std::u16string& path) override {
    const KeyHandle key = open(path, KEY_READ | view_);
    DWORD subkeys = 0, values = 0;
    return key.get() &&
           RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                            &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
  }
  void deleteKey(const std::u16string& path) override {
    RegDeleteKeyExW(root_, wide(path).c_str(), view_, 0);
  }

 private:
  // The key opened with that access; a handle to nothing when it cannot be.
  KeyHandle open(const std::u16string& path, REGSAM access) const noexcept {
    KeyHandle key;
    if (RegOpenKeyExW(root_, wide(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
      return KeyHandle();
    return key;
  }

  HKEY root_;
  REGSAM view_;
  REGSAM otherView_;
};

// Runs work on the rows' registry under a scope's root.
template <class Work>
HRESULT onRoot(Scope scope, registration::Architecture view, Work&& work) noexcept {
  return edge([&]() -> HRESULT {
    KeyHandle key;
    if (const HRESULT hr = openRoot(scope, key); FAILED(hr)) return hr;
    Root root(key.get(), view);
    return work(root);
  });
}

}  // namespace

HRESULT registerKeys(const std::vector<Key>& keys, Scope scope,
                     registration::Architecture view) noexcept {
  return onRoot(scope, view, [&](Root& root) { return registration::writeKeys(keys, root); });
}

HRESULT unregisterKeys(const std::vector<Key>& keys, Scope scope,
                       registration::Architecture view) noexcept {
  return onRoot(scope, view, [&](Root& root) { return registration::removeKeys(keys, root); });
}

HRESULT registerServer(Rows rows) noexcept {
  return edge([&] {
    const std::vector<Key> keys = rows();
    const HRESULT hr = registerKeys(keys, Scope::Machine);
    if (hr != E_ACCESSDENIED) return hr;
    unregisterKeys(keys, Scope::Machine);  // whatever was written before the refusal
    return registerKeys(keys, Scope::User);
  });
}

HRESULT unregisterServer(Rows rows) noexcept {
  return edge([&] {
    const std::vector<Key> keys = rows();
    const HRESULT machine = unregisterKeys(keys, Scope::Machine);
    const HRESULT user = unregisterKeys(keys, Scope::User);
    if (FAILED(machine) && machine != E_ACCESSDENIED) return machine;
    return user;
  });
}

std::u16string modulePath() {
  return u16(module::path());
}

}  // namespace com

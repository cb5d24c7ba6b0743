#include "win32/com/registry.h"

#include <utility>

#include "win32/com/bstr.h"
#include "win32/com/edge.h"
#include "win32/com/module.h"

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
const wchar_t* valueName(const std::wstring& name) { return name.empty() ? nullptr : name.c_str(); }

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

// The registry view of the library's other architecture.
constexpr REGSAM kOtherView =
#ifdef _WIN64
    KEY_WOW64_32KEY;
#else
    KEY_WOW64_64KEY;
#endif

bool exists(HKEY root, const std::wstring& path, REGSAM view) noexcept {
  KeyHandle key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

bool isEmpty(HKEY root, const std::wstring& path) noexcept {
  KeyHandle key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

// Whether the key stays for the library's build for the other architecture.
bool keptForOtherBuild(HKEY root, const Key& k) {
  if (k.sharedWhile().empty()) return false;
  return exists(root, wide(k.sharedWhile()),
                k.sharedView() == registration::View::Other ? kOtherView : 0);
}

HRESULT removeKey(HKEY root, const Key& k) {
  const std::wstring path = wide(k.path());
  if (k.isOurs()) {
    const LONG rc = RegDeleteTreeW(root, path.c_str());
    if (rc == ERROR_SUCCESS) RegDeleteKeyW(root, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
  }
  KeyHandle key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return S_OK;
  for (const auto& v : k.values()) RegDeleteValueW(key.get(), valueName(wide(v.name)));
  if (isEmpty(root, path)) RegDeleteKeyW(root, path.c_str());
  return S_OK;
}

}  // namespace

HRESULT registerKeys(const std::vector<Key>& keys, Scope scope) noexcept {
  return edge([&] {
    KeyHandle root;
    if (const HRESULT hr = openRoot(scope, root); FAILED(hr)) return hr;
    for (const auto& k : keys) {
      KeyHandle key;
      const LONG rc = RegCreateKeyExW(root.get(), wide(k.path()).c_str(), 0, nullptr, 0, KEY_WRITE,
                                      nullptr, key.put(), nullptr);
      if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
      for (const auto& v : k.values())
        if (const HRESULT hr = writeValue(key.get(), v); FAILED(hr)) return hr;
    }
    return S_OK;
  });
}

HRESULT unregisterKeys(const std::vector<Key>& keys, Scope scope) noexcept {
  return edge([&] {
    KeyHandle root;
    if (const HRESULT hr = openRoot(scope, root); FAILED(hr)) return hr;
    HRESULT result = S_OK;
    // Children are listed after their parents: remove in reverse order.
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
      if (keptForOtherBuild(root.get(), *k)) continue;
      if (const HRESULT hr = removeKey(root.get(), *k); FAILED(hr)) result = hr;
    }
    return result;
  });
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

std::u16string modulePath() { return u16(module::path()); }

}  // namespace com

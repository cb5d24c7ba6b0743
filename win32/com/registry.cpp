#include "win32/com/registry.h"

#include <utility>

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

// The registry view of the library's other architecture.
constexpr REGSAM kOtherView =
#ifdef _WIN64
    KEY_WOW64_32KEY;
#else
    KEY_WOW64_64KEY;
#endif

// The rows' registry: one open root.
class Root final : public registration::Registry {
 public:
  explicit Root(HKEY root) noexcept : root_(root) {}

  registration::HResult write(const Key& k) override {
    KeyHandle key;
    const LONG rc = RegCreateKeyExW(root_, wide(k.path()).c_str(), 0, nullptr, 0, KEY_WRITE,
                                    nullptr, key.put(), nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    for (const auto& v : k.values())
      if (const HRESULT hr = writeValue(key.get(), v); FAILED(hr)) return hr;
    return S_OK;
  }
  bool exists(const std::u16string& path, registration::View view) override {
    return open(path, KEY_READ | (view == registration::View::Other ? kOtherView : 0)).get();
  }
  registration::HResult deleteTree(const std::u16string& path) override {
    const std::wstring name = wide(path);
    const LONG rc = RegDeleteTreeW(root_, name.c_str());
    if (rc == ERROR_SUCCESS) RegDeleteKeyW(root_, name.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
  }
  bool deleteValues(const std::u16string& path,
                    const std::vector<registration::Value>& values) override {
    const KeyHandle key = open(path, KEY_SET_VALUE);
    if (!key.get()) return false;
    for (const auto& v : values) RegDeleteValueW(key.get(), valueName(wide(v.name)));
    return true;
  }
  bool isEmpty(const std::u16string& path) override {
    const KeyHandle key = open(path, KEY_READ);
    DWORD subkeys = 0, values = 0;
    return key.get() &&
           RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                            &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
  }
  void deleteKey(const std::u16string& path) override { RegDeleteKeyW(root_, wide(path).c_str()); }

 private:
  // The key opened with that access; a handle to nothing when it cannot be.
  KeyHandle open(const std::u16string& path, REGSAM access) const noexcept {
    KeyHandle key;
    if (RegOpenKeyExW(root_, wide(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
      return KeyHandle();
    return key;
  }

  HKEY root_;
};

// Runs work on the rows' registry under a scope's root.
template <class Work>
HRESULT onRoot(Scope scope, Work&& work) noexcept {
  return edge([&]() -> HRESULT {
    KeyHandle key;
    if (const HRESULT hr = openRoot(scope, key); FAILED(hr)) return hr;
    Root root(key.get());
    return work(root);
  });
}

}  // namespace

HRESULT registerKeys(const std::vector<Key>& keys, Scope scope) noexcept {
  return onRoot(scope, [&](Root& root) { return registration::writeKeys(keys, root); });
}

HRESULT unregisterKeys(const std::vector<Key>& keys, Scope scope) noexcept {
  return onRoot(scope, [&](Root& root) { return registration::removeKeys(keys, root); });
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

#include "win32/com/registry.h"

#include <cwchar>
#include <new>

#include "win32/com/edge.h"

namespace com {
namespace {

// The root for a scope; closed by the caller when it is not a predefined key.
HRESULT openRoot(Scope scope, HKEY& root) noexcept {
  if (scope == Scope::Machine) {
    root = HKEY_CLASSES_ROOT;
    return S_OK;
  }
  const LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &root, nullptr);
  return HRESULT_FROM_WIN32(rc);
}

class Root {
 public:
  explicit Root(Scope scope) noexcept : hr_(openRoot(scope, key_)), scope_(scope) {}
  ~Root() {
    if (SUCCEEDED(hr_) && scope_ == Scope::User) RegCloseKey(key_);
  }
  HRESULT status() const noexcept { return hr_; }
  HKEY key() const noexcept { return key_; }

 private:
  HKEY key_ = nullptr;
  HRESULT hr_;
  Scope scope_;
};

class Key {
 public:
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* put() noexcept { return &key_; }
  HKEY get() const noexcept { return key_; }

 private:
  HKEY key_ = nullptr;
};

HRESULT writeValue(HKEY key, const RegValue& v) noexcept {
  LONG rc;
  const wchar_t* name = v.name.empty() ? nullptr : v.name.c_str();
  if (v.number) {
    const DWORD n = *v.number;
    rc = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
  } else {
    rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.text.c_str()),
                        static_cast<DWORD>((v.text.size() + 1) * sizeof(wchar_t)));
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
  Key key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

bool isEmpty(HKEY root, const std::wstring& path) noexcept {
  Key key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

}  // namespace

HRESULT registerKeys(const std::vector<RegKey>& keys, Scope scope) noexcept {
  const Root root(scope);
  if (FAILED(root.status())) return root.status();
  for (const auto& k : keys) {
    Key key;
    const LONG rc = RegCreateKeyExW(root.key(), k.path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                    key.put(), nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    for (const auto& v : k.values)
      if (const HRESULT hr = writeValue(key.get(), v); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT unregisterKeys(const std::vector<RegKey>& keys, Scope scope) noexcept {
  const Root root(scope);
  if (FAILED(root.status())) return root.status();
  HRESULT result = S_OK;
  // Children are listed after their parents: remove in reverse order.
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
    if (!k->sharedWhile.empty() && exists(root.key(), k->sharedWhile, k->otherView ? kOtherView : 0))
      continue;
    if (k->ours) {
      const LONG rc = RegDeleteTreeW(root.key(), k->path.c_str());
      if (rc == ERROR_SUCCESS) RegDeleteKeyW(root.key(), k->path.c_str());
      if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) result = HRESULT_FROM_WIN32(rc);
      continue;
    }
    Key key;
    if (RegOpenKeyExW(root.key(), k->path.c_str(), 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
      continue;
    for (const auto& v : k->values) RegDeleteValueW(key.get(), v.name.empty() ? nullptr : v.name.c_str());
    if (isEmpty(root.key(), k->path)) RegDeleteKeyW(root.key(), k->path.c_str());
  }
  return result;
}

HRESULT registerServer(const std::vector<RegKey>& keys) noexcept {
  const HRESULT hr = registerKeys(keys, Scope::Machine);
  if (hr != E_ACCESSDENIED) return hr;
  unregisterKeys(keys, Scope::Machine);  // whatever was written before the refusal
  return registerKeys(keys, Scope::User);
}

HRESULT unregisterServer(const std::vector<RegKey>& keys) noexcept {
  const HRESULT machine = unregisterKeys(keys, Scope::Machine);
  const HRESULT user = unregisterKeys(keys, Scope::User);
  if (FAILED(machine) && machine != E_ACCESSDENIED) return machine;
  return user;
}

std::wstring TypeLibInfo::versionKey() const {
  wchar_t text[16];
  swprintf(text, 16, L"%x.%x", major, minor);
  return text;
}

std::wstring TypeLibInfo::versionText() const {
  return std::to_wstring(major) + L"." + std::to_wstring(minor);
}

namespace {

#ifdef _WIN64
const wchar_t kPlatform[] = L"win64";
const wchar_t kOtherPlatform[] = L"win32";
#else
const wchar_t kPlatform[] = L"win32";
const wchar_t kOtherPlatform[] = L"win64";
#endif

std::wstring lcidKey(const TypeLibInfo& lib) {
  wchar_t text[16];
  swprintf(text, 16, L"%lx", static_cast<unsigned long>(lib.lcid));
  return text;
}

std::wstring typeLibVersionKey(const TypeLibInfo& lib) {
  return L"TypeLib\\" + guidString(lib.libid) + L"\\" + lib.versionKey();
}

// Present while the library's other architecture is registered.
std::wstring otherArchitecture(const TypeLibInfo& lib) {
  return typeLibVersionKey(lib) + L"\\" + lcidKey(lib) + L"\\" + kOtherPlatform;
}

}  // namespace

std::wstring guidString(const GUID& guid) {
  wchar_t buf[40];
  if (!StringFromGUID2(guid, buf, 40)) throw std::bad_alloc();
  return buf;
}

std::vector<RegKey> typeLibKeys(const TypeLibInfo& lib, const std::wstring& modulePath) {
  const std::wstring base = L"TypeLib\\" + guidString(lib.libid);
  const std::wstring version = typeLibVersionKey(lib);
  const std::wstring folder = modulePath.substr(0, modulePath.find_last_of(L'\\'));
  const std::wstring shared = otherArchitecture(lib);
  return {
      {base, {}, false},
      {version, {{L"", lib.name}}, true, shared},
      {version + L"\\FLAGS", {{L"", std::to_wstring(lib.flags)}}, true, shared},
      {version + L"\\HELPDIR", {{L"", folder}}, true, shared},
      {version + L"\\" + lcidKey(lib), {}, false},
      {version + L"\\" + lcidKey(lib) + L"\\" + kPlatform, {{L"", modulePath}}, true},
  };
}

std::vector<RegKey> interfaceKeys(const GUID& iid, const std::wstring& name,
                                  const TypeLibInfo& lib, InterfaceKind kind) {
  const std::wstring proxy = kind == InterfaceKind::Dual
                                 ? L"{00020424-0000-0000-C000-000000000046}"   // PSOAInterface
                                 : L"{00020420-0000-0000-C000-000000000046}";  // PSDispatch
  const std::wstring key = L"Interface\\" + guidString(iid);
  const std::wstring shared = otherArchitecture(lib);
  return {
      {key, {{L"", name}}, true, shared},
      {key + L"\\ProxyStubClsid", {{L"", proxy}}, true, shared},
      {key + L"\\ProxyStubClsid32", {{L"", proxy}}, true, shared},
      {key + L"\\TypeLib", {{L"", guidString(lib.libid)}, {L"Version", lib.versionKey()}}, true,
       shared},
  };
}

std::vector<RegKey> classKeys(const ClassInfo& cls, const TypeLibInfo& lib,
                              const std::wstring& modulePath) {
  const std::wstring clsid = guidString(cls.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  return {
      // The ProgID is not per architecture: it stays while the other build's class does. It is
      // listed first, so that unregistering has removed our own class when it looks.
      {cls.progId, {{L"", cls.description}}, true, key, true},
      {cls.progId + L"\\CLSID", {{L"", clsid}}, true, key, true},
      {key, {{L"", cls.description}}, true},
      {key + L"\\ProgID", {{L"", cls.progId}}, true},
      {key + L"\\InprocServer32", {{L"", modulePath}, {L"ThreadingModel", cls.threadingModel}}, true},
      {key + L"\\TypeLib", {{L"", guidString(lib.libid)}}, true},
      {key + L"\\Version", {{L"", lib.versionText()}}, true},
  };
}

}  // namespace com

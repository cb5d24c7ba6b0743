#include "wordhost/addin_host.h"

#include <vector>

#include "win32/automation/server_object.h"
#include "wordhost/process.h"

#include "automation/object.h"
#include "base/error.h"

namespace wordhost {
namespace {

const wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Word\\Addins";

// The "custom" argument: an empty array of variants, as Word passes it.
class Custom {
 public:
  Custom() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~Custom() {
    if (array_) SafeArrayDestroy(array_);
  }
  SAFEARRAY** get() { return &array_; }

 private:
  SAFEARRAY* array_;
};

// The add-in's own COMAddIn object that Word passes as AddInInst.
class ComAddIn final : public automation::Object {
 public:
  explicit ComAddIn(std::wstring progId) : progId_(std::move(progId)) {}
  automation::Variant invoke(std::string_view member, automation::Invoke, automation::Arguments&,
                             automation::Locale) override {
    if (member == "ProgId") return std::u16string(progId_.begin(), progId_.end());
    if (member == "Connect") return true;
    throw automation::Error(automation::hr::kUnknownName);
  }
  bool supports(const automation::Guid&) override { return false; }
  automation::ConnectionPtr connect(const automation::EventInterface&,
                                    std::shared_ptr<automation::EventSink>) override {
    throw automation::Error(automation::hr::kNoInterface);
  }

 private:
  std::wstring progId_;
};

bool listed(const std::vector<std::wstring>& ids, const wchar_t* id) {
  for (const auto& known : ids)
    if (_wcsicmp(known.c_str(), id) == 0) return true;
  return false;
}

// The add-ins to load at start-up: the user's list first, then the machine's (add-ins that a
// package installed for every user). An add-in on both lists goes by the user's entry.
std::vector<std::wstring> startupAddins() {
  std::vector<std::wstring> seen, ids;
  for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY key;
    if (RegOpenKeyExW(root, kAddinsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD size = 256;
      if (RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      if (listed(seen, name)) continue;
      seen.emplace_back(name);
      DWORD behavior = 0, bytes = sizeof behavior;
      if (RegGetValueW(key, name, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behavior, &bytes) ==
              ERROR_SUCCESS &&
          behavior == 3)
        ids.emplace_back(name);
    }
    RegCloseKey(key);
  }
  return ids;
}

HRESULT firstFailure(HRESULT sofar, HRESULT hr) {
  return FAILED(sofar) ? sofar : hr;
}

}  // namespace

AddinHost::~AddinHost() {
  ribbons_.clear();
  loaded_.clear();
}

HRESULT AddinHost::listAddin(const std::wstring& progId, DWORD loadBehavior) {
  const std::wstring path = std::wstring(kAddinsKey) + L"\\" + progId;
  HKEY key;
  LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr);
  if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  rc = RegSetValueExW(key, L"LoadBehavior", 0, REG_DWORD,
                      reinterpret_cast<const BYTE*>(&loadBehavior), sizeof loadBehavior);
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(rc);
}

HRESULT AddinHost::unlistAddin(const std::wstring& progId) {
  const std::wstring path = std::wstring(kAddinsKey) + L"\\" + progId;
  const LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  if (rc == ERROR_SUCCESS) RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
}

Ribbon* AddinHost::ribbon(const std::wstring& progId) const {
  const auto it = ribbons_.find(progId);
  return it == ribbons_.end() ? nullptr : it->second.get();
}

std::vector<std::wstring> AddinHost::loadedAddins() const {
  std::vector<std::wstring> ids;
  for (const auto& [id, addin] : loaded_) ids.push_back(id);
  return ids;
}

IDTExtensibility2* AddinHost::addin(const std::wstring& progId) const {
  const auto it = loaded_.find(progId);
  return it == loaded_.end() ? nullptr : it->second.get();
}

HRESULT AddinHost::connect(const std::wstring& progId, ext_ConnectMode mode) {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
  if (FAILED(hr)) return hr;
  com::ComPtr<IDTExtensibility2> addin;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDTExtensibility2),
                        addin.putVoid());
  if (FAILED(hr)) return hr;
  const auto addInInst = automation::win::ServerObject::wrap(std::make_shared<ComAddIn>(progId));
  Custom custom;
  hr = addin->OnConnection(application_, mode, addInInst.get(), custom.get());
  if (hasRibbon_) ribbons_[progId] = std::make_unique<Ribbon>(addin.get());
  loaded_[progId] = std::move(addin);  // Word keeps the add-in whatever OnConnection returned
  return hr;
}

HRESULT AddinHost::startUp() {
  HRESULT result = S_OK;
  const auto ids = startupAddins();
  for (const auto& id : ids) result = firstFailure(result, connect(id, ext_cm_Startup));
  for (const auto& id : ids) {
    if (!isLoaded(id)) continue;
    Custom custom;
    result = firstFailure(result, loaded_[id]->OnStartupComplete(custom.get()));
  }
  runQueued();  // Word's start-up is over: its message loop runs
  return result;
}

HRESULT AddinHost::shutDown() {
  HRESULT result = S_OK;
  for (auto& [id, addin] : loaded_) {
    Custom custom;
    result = firstFailure(result, addin->OnBeginShutdown(custom.get()));
  }
  for (auto& [id, addin] : loaded_) {
    Custom custom;
    result = firstFailure(result, addin->OnDisconnection(ext_dm_HostShutdown, custom.get()));
  }
  loaded_.clear();
  ribbons_.clear();
  return result;
}

HRESULT AddinHost::load(const std::wstring& progId) {
  if (isLoaded(progId)) return S_FALSE;
  const HRESULT hr = connect(progId, ext_cm_AfterStartup);
  listAddin(progId, 3);
  runQueued();  // back in Word's message loop
  return hr;
}

HRESULT AddinHost::unload(const std::wstring& progId) {
  const auto it = loaded_.find(progId);
  if (it == loaded_.end()) return S_FALSE;
  Custom custom;
  const HRESULT hr = it->second->OnDisconnection(ext_dm_UserClosed, custom.get());
  loaded_.erase(it);
  ribbons_.erase(progId);
  listAddin(progId, 2);
  return hr;
}

}  // namespace wordhost

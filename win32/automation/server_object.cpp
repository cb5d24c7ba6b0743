#include "win32/automation/server_object.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "automation/error.h"
#include "host/office.h"
#include "win32/automation/convert.h"
#include "win32/automation/dispatch_object.h"
#include "win32/com/connection_point.h"
#include "win32/com/edge.h"

namespace winauto {
namespace {

using automation::Error;

// Dispatch ids for names, shared by every object of the process: 0 is the default member.
class NameTable {
 public:
  static NameTable& instance() {
    static NameTable table;
    return table;
  }
  DISPID idOf(std::wstring_view name) {
    std::string narrow;
    for (const wchar_t c : name) {
      if (c > 0x7F) throw Error(automation::hr::kUnknownName);
      narrow += (c >= L'A' && c <= L'Z') ? char(c - L'A' + L'a') : char(c);
    }
    if (narrow.empty()) return DISPID_VALUE;
    if (const auto it = ids_.find(narrow); it != ids_.end()) return it->second;
    names_.emplace_back(name.begin(), name.end());
    const DISPID id = static_cast<DISPID>(names_.size()) + 999;
    ids_.emplace(narrow, id);
    return id;
  }
  static std::string nameOf(DISPID id) {
    if (id == DISPID_VALUE) return {};
    const auto& names = instance().names_;
    const size_t index = static_cast<size_t>(id) - 1000;
    if (id < 1000 || index >= names.size()) throw Error(automation::hr::kMemberNotFound);
    return names[index];
  }

 private:
  std::unordered_map<std::string, DISPID> ids_;
  std::vector<std::string> names_;
};

automation::Invoke kindOf(WORD flags) {
  if (flags & DISPATCH_PROPERTYPUTREF) return automation::Invoke::PutRef;
  if (flags & DISPATCH_PROPERTYPUT) return automation::Invoke::Put;
  if (flags & DISPATCH_PROPERTYGET) return automation::Invoke::Get;
  return automation::Invoke::Call;
}

// The host's side of an event connection: raises the core's events on the client's sink.
class OutgoingSink final : public automation::EventSink {
 public:
  OutgoingSink(const automation::EventInterface& events, com::ComPtr<IDispatch> sink)
      : events_(events), sink_(std::move(sink)) {}

  void onEvent(std::string_view event, automation::Arguments& args) override {
    const automation::EventMember* member = events_.find(event);
    if (!member) throw Error(automation::hr::kMemberNotFound);
    OutgoingArguments outgoing(args, {}, false);
    EXCEPINFO info{};
    UINT argError = 0;
    const HRESULT hr = sink_->Invoke(member->dispid, IID_NULL, LOCALE_USER_DEFAULT,
                                     DISPATCH_METHOD, outgoing.params(), nullptr, &info, &argError);
    if (FAILED(hr)) throw invokeError(hr, info);
    outgoing.readBack(args);
  }

 private:
  const automation::EventInterface& events_;
  com::ComPtr<IDispatch> sink_;
};

}  // namespace

const automation::EventInterface* knownEvents(REFIID riid) noexcept {
  try {
    const auto& buttonEvents = host::commandBarButtonEvents();
    if (IsEqualIID(riid, toGuid(buttonEvents.iid))) return &buttonEvents;
  } catch (...) {
  }
  return nullptr;
}

com::ComPtr<IDispatch> ServerObject::wrap(const automation::ObjectRef& object) {
  auto server = make(object);
  if (!server) throw std::bad_alloc();
  return com::ComPtr<IDispatch>(server.get());
}

void* ServerObject::queryMore(REFIID riid) noexcept {
  // Only the Office interfaces that an object can claim; the platform's own queries
  // (IMarshal, IDispatchEx, ...) never reach the object.
  const automation::Guid iid = fromGuid(riid);
  if (host::interfaceName(iid).empty()) return nullptr;
  try {
    if (object_->supports(iid)) return static_cast<IDispatch*>(this);
  } catch (...) {
  }
  return nullptr;
}

HRESULT STDMETHODCALLTYPE ServerObject::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ServerObject::GetTypeInfo(UINT, LCID, ITypeInfo** out) noexcept {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServerObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                      LCID, DISPID* ids) noexcept {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  try {
    for (UINT i = 0; i < count; ++i) ids[i] = NameTable::instance().idOf(names[i] ? names[i] : L"");
    return S_OK;
  } catch (...) {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
}

HRESULT STDMETHODCALLTYPE ServerObject::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                               DISPPARAMS* params, VARIANT* result,
                                               EXCEPINFO* excepInfo, UINT*) noexcept {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_POINTER;
  if (result) VariantInit(result);
  try {
    const std::string member = NameTable::nameOf(id);
    IncomingArguments incoming(*params, &NameTable::nameOf);
    const auto value = object_->invoke(member, kindOf(flags), incoming.args(), lcid);
    incoming.writeBack();
    if (result) toVariant(value, result);
    return S_OK;
  } catch (...) {
    return com::toExcepInfo(automation::currentError(), excepInfo);
  }
}

HRESULT STDMETHODCALLTYPE ServerObject::EnumConnectionPoints(IEnumConnectionPoints** out) noexcept {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServerObject::FindConnectionPoint(REFIID riid,
                                                            IConnectionPoint** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!knownEvents(riid)) return CONNECT_E_NOCONNECTION;
  return com::ConnectionPoint<ServerObject>::find(this, riid, out);
}

HRESULT ServerObject::advise(REFIID riid, IUnknown* sink, DWORD* cookie) noexcept {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  const automation::EventInterface* known = knownEvents(riid);
  if (!known) return CONNECT_E_NOCONNECTION;
  const automation::EventInterface& events = *known;
  com::ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(IID_IDispatch, dispatch.putVoid()))) return CONNECT_E_CANNOTCONNECT;
  return com::edge([&] {
    auto connection = object_->connect(events, std::make_shared<OutgoingSink>(events, dispatch));
    *cookie = nextCookie_++;
    connections_.emplace(*cookie, std::move(connection));
    return S_OK;
  });
}

HRESULT ServerObject::unadvise(DWORD cookie) noexcept {
  const auto it = connections_.find(cookie);
  if (it == connections_.end()) return CONNECT_E_NOCONNECTION;
  auto connection = std::move(it->second);
  connections_.erase(it);
  return S_OK;
}

}  // namespace winauto

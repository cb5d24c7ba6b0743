#include "win32/automation/dispatch_object.h"

#include <ocidl.h>

#include "win32/automation/convert.h"
#include "win32/automation/event_sink.h"
#include "win32/com/arguments.h"
#include "win32/com/bstr.h"
#include "win32/com/failure.h"
#include "win32/com/guid.h"

#include "automation/names.h"
#include "base/error.h"

namespace automation::win {
namespace {

using automation::Error;

std::wstring wideName(std::string_view name) {
  return std::wstring(name.begin(), name.end());
}

WORD flagsOf(automation::Invoke kind) {
  switch (kind) {
    case automation::Invoke::Get:
      return DISPATCH_PROPERTYGET | DISPATCH_METHOD;
    case automation::Invoke::Put:
      return DISPATCH_PROPERTYPUT;
    case automation::Invoke::PutRef:
      return DISPATCH_PROPERTYPUTREF;
    case automation::Invoke::Call:
      return DISPATCH_METHOD;
  }
  return DISPATCH_METHOD;
}

class AdviseConnection final : public automation::Connection {
 public:
  explicit AdviseConnection(com::ComPtr<IConnectionPoint> point) noexcept
      : point_(std::move(point)) {}
  ~AdviseConnection() override {
    if (advised_) point_->Unadvise(cookie_);
  }
  HRESULT advise(IUnknown* sink) noexcept {
    const HRESULT hr = point_->Advise(sink, &cookie_);
    advised_ = SUCCEEDED(hr);
    return hr;
  }

 private:
  com::ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  bool advised_ = false;
};

}  // namespace

automation::Error invokeError(HRESULT hr, EXCEPINFO& info) {
  if (hr != DISP_E_EXCEPTION) return Error(hr);
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  const com::Bstr description = com::Bstr::attach(info.bstrDescription);
  const com::Bstr source = com::Bstr::attach(info.bstrSource);
  const com::Bstr helpFile = com::Bstr::attach(info.bstrHelpFile);
  HRESULT code = info.scode;
  if (code == 0) code = info.wCode ? automation::hr::runtime(info.wCode) : E_FAIL;
  info = EXCEPINFO{};
  return Error(code, description.str(), source.str());
}

DispatchObject::DispatchObject(com::ComPtr<IDispatch> dispatch) noexcept
    : dispatch_(std::move(dispatch)) {}

automation::ObjectRef DispatchObject::wrap(IDispatch* dispatch) {
  if (!dispatch) return nullptr;
  return std::make_shared<DispatchObject>(com::ComPtr<IDispatch>(dispatch));
}

DISPID DispatchObject::memberId(std::string_view member, automation::Locale locale) {
  if (member.empty()) return DISPID_VALUE;
  const std::string key = automation::nameKey(member);
  if (const auto it = ids_.find(key); it != ids_.end()) return it->second;
  std::wstring name = wideName(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, locale, &id);
  com::throwIfFailed(hr == DISP_E_UNKNOWNNAME ? automation::hr::kUnknownName : hr);
  ids_.emplace(key, id);
  return id;
}

std::vector<DISPID> DispatchObject::namedIds(std::string_view member,
                                             const automation::Arguments& args,
                                             automation::Locale locale) {
  std::vector<std::wstring> names{wideName(member)};
  for (const auto& a : args)
    if (!a.name.empty()) names.push_back(wideName(a.name));
  if (names.size() == 1) return {};
  std::vector<LPOLESTR> pointers;
  for (auto& n : names) pointers.push_back(n.data());
  std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
  const HRESULT hr = dispatch_->GetIDsOfNames(
      IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()), locale, ids.data());
  com::throwIfFailed(hr == DISP_E_UNKNOWNNAME ? automation::hr::kParamNotFound : hr);
  return std::vector<DISPID>(ids.begin() + 1, ids.end());
}

automation::Variant DispatchObject::invoke(std::string_view member, automation::Invoke kind,
                                           automation::Arguments& args, automation::Locale locale) {
  const DISPID id = memberId(member, locale);
  const bool put = kind == automation::Invoke::Put || kind == automation::Invoke::PutRef;
  OutgoingArguments outgoing(args, namedIds(member, args, locale), put);
  com::ScopedVariant result;
  EXCEPINFO info{};
  UINT argError = 0;
  const HRESULT hr = dispatch_->Invoke(id, IID_NULL, locale, flagsOf(kind), outgoing.params(),
                                       put ? nullptr : result.ptr(), &info, &argError);
  if (FAILED(hr)) throw invokeError(hr, info);
  if (const HRESULT bad = com::checkVariant(result.get()); FAILED(bad)) {
    // What cannot be read cannot be cleared either: the answer is dropped as it is.
    VariantInit(result.ptr());
    throw Error(bad);
  }
  outgoing.readBack(args);
  return fromVariant(result.get());
}

bool DispatchObject::supports(const automation::Guid& iid) {
  com::ComPtr<IUnknown> typed;
  return SUCCEEDED(dispatch_.query(com::toGuid(iid), typed.putVoid()));
}

automation::ConnectionPtr DispatchObject::connect(const automation::EventInterface& events,
                                                  std::shared_ptr<automation::EventSink> sink) {
  com::ComPtr<IConnectionPointContainer> container;
  com::throwIfFailed(dispatch_.query(container));
  com::ComPtr<IConnectionPoint> point;
  com::throwIfFailed(container->FindConnectionPoint(com::toGuid(events.iid), point.put()));
  auto listener = EventSinkObject::make(events, std::move(sink));
  if (!listener) throw std::bad_alloc();
  auto connection = std::make_unique<AdviseConnection>(std::move(point));
  com::throwIfFailed(connection->advise(listener->identity()));
  return connection;
}

}  // namespace automation::win

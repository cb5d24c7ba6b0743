#include "win32/automation/server_object.h"

#include <algorithm>
#include <string>

#include "win32/automation/convert.h"
#include "win32/automation/dispatch_object.h"
#include "win32/com/bstr.h"
#include "win32/com/guid.h"

#include "automation/dispatch_ids.h"
#include "base/error.h"

namespace automation::win {
namespace {

using automation::Error;

// Dispatch ids for names, shared by every object of the process.
automation::DispatchIds& dispatchIds() {
  static automation::DispatchIds ids;
  return ids;
}
std::string nameOf(DISPID id) {
  return dispatchIds().nameOf(id);
}
static_assert(automation::DispatchIds::kDefaultMember == DISPID_VALUE);

automation::Invoke kindOf(WORD flags) {
  if (flags & DISPATCH_PROPERTYPUTREF) return automation::Invoke::PutRef;
  if (flags & DISPATCH_PROPERTYPUT) return automation::Invoke::Put;
  if (flags & DISPATCH_PROPERTYGET) return automation::Invoke::Get;
  return automation::Invoke::Call;
}

// The host's side of an event connection: raises the core's events on the client's sink.
class OutgoingSink final : public automation::EventSink {
 public:
  OutgoingSink(const automation::EventInterface& events, com::ComPtr<IDispatch> sink,
               const Interfaces& interfaces)
      : events_(events), sink_(std::move(sink)), interfaces_(interfaces) {}

  void onEvent(std::string_view event, automation::Arguments& args) override {
    const automation::EventMember* member = events_.find(event);
    if (!member) throw Error(automation::hr::kMemberNotFound);
    OutgoingArguments outgoing(args, {}, false, interfaces_);
    EXCEPINFO info{};
    UINT argError = 0;
    const HRESULT hr = sink_->Invoke(member->dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                     outgoing.params(), nullptr, &info, &argError);
    if (FAILED(hr)) throw invokeError(hr, info);
    outgoing.readBack(args);
  }

 private:
  const automation::EventInterface& events_;
  com::ComPtr<IDispatch> sink_;
  const Interfaces& interfaces_;
};

std::vector<IID> eventIids(const Interfaces& interfaces) {
  std::vector<IID> iids;
  for (const automation::EventInterface* events : interfaces.events)
    iids.push_back(com::toGuid(events->iid));
  return iids;
}

}  // namespace

const Interfaces& Interfaces::none() {
  static const Interfaces instance;
  return instance;
}

ServerObject::ServerObject(automation::ObjectRef object, const Interfaces& interfaces)
    : object_(std::move(object)),
      interfaces_(interfaces),
      points_(*this, eventIids(interfaces),
              [this](const IID& iid, IUnknown* sink) { return connect(iid, sink); }) {}

com::ComPtr<IDispatch> ServerObject::wrap(const automation::ObjectRef& object,
                                          const Interfaces& interfaces) {
  auto server = make(object, interfaces);
  if (!server) throw std::bad_alloc();
  return com::ComPtr<IDispatch>(server.get());
}

void* ServerObject::queryMore(REFIID riid) noexcept {
  // Only the typed interfaces served; the platform's own queries (IMarshal, IDispatchEx, ...)
  // never reach the object.
  const automation::Guid iid = com::fromGuid(riid);
  if (std::find(interfaces_.typed.begin(), interfaces_.typed.end(), iid) == interfaces_.typed.end())
    return nullptr;
  try {
    if (object_->supports(iid)) return static_cast<IDispatch*>(this);
  } catch (...) {
  }
  return nullptr;
}

DISPID ServerObject::idOf(std::wstring_view name, UINT) {
  return dispatchIds().idOf(com::u16(name));
}

HRESULT ServerObject::invoke(DISPID id, LCID lcid, WORD flags, const DISPPARAMS& params,
                             VARIANT* result) {
  const std::string member = nameOf(id);
  IncomingArguments incoming(params, &nameOf);
  const auto value = object_->invoke(member, kindOf(flags), incoming.args(), lcid);
  incoming.writeBack();
  if (result) toVariant(value, result, interfaces_);
  return S_OK;
}

// A sink connected through the point for `iid`: the object raises those events on it. The sink
// came as the event interface, a dispatch interface.
automation::ConnectionPtr ServerObject::connect(const IID& iid, IUnknown* sink) {
  const automation::EventInterface* events = nullptr;
  for (const automation::EventInterface* e : interfaces_.events)
    if (IsEqualIID(iid, com::toGuid(e->iid))) events = e;
  if (!events) throw Error(CONNECT_E_NOCONNECTION);
  com::ComPtr<IDispatch> dispatch(static_cast<IDispatch*>(sink));
  return object_->connect(
      *events, std::make_shared<OutgoingSink>(*events, std::move(dispatch), interfaces_));
}

}  // namespace automation::win

#include "win32/automation/event_sink.h"

#include "win32/automation/convert.h"
#include "win32/com/guid.h"

#include "automation/names.h"

namespace automation::win {

void* EventSinkObject::queryMore(REFIID riid) noexcept {
  if (IsEqualIID(riid, com::toGuid(events_.iid))) return static_cast<IDispatch*>(this);
  return nullptr;
}

DISPID EventSinkObject::idOf(std::wstring_view name, UINT position) const noexcept {
  if (position > 0) return DISPID_UNKNOWN;
  for (const auto& e : events_.events)
    if (automation::sameName(name, e.name)) return e.dispid;
  return DISPID_UNKNOWN;
}

HRESULT EventSinkObject::invoke(DISPID id, LCID, WORD, const DISPPARAMS& params, VARIANT*) {
  const automation::EventMember* event = events_.find(static_cast<int32_t>(id));
  if (!event) return DISP_E_MEMBERNOTFOUND;
  IncomingArguments incoming(params, nullptr);
  sink_->onEvent(event->name, incoming.args());
  incoming.writeBack();
  return S_OK;
}

}  // namespace automation::win

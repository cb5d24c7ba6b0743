// The client side of events: a COM object that the host's connection point calls. It answers
// the event interface's IID and IDispatch, turns each Invoke into an event for the core sink,
// and passes by-reference arguments back. Nothing the core sink throws crosses into the host.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string_view>

#include "win32/automation/named_dispatch.h"

#include "automation/object.h"

namespace automation::win {

class EventSinkObject final : public NamedDispatch<EventSinkObject> {
 public:
  EventSinkObject(automation::EventInterface events,
                  std::shared_ptr<automation::EventSink> sink) noexcept
      : events_(std::move(events)), sink_(std::move(sink)) {}

  void* queryMore(REFIID riid) noexcept;

  // NamedDispatch: the events by name; their parameters are positional.
  DISPID idOf(std::wstring_view name, UINT position) const noexcept;
  HRESULT invoke(DISPID id, LCID, WORD, const DISPPARAMS& params, VARIANT*);

 private:
  automation::EventInterface events_;
  std::shared_ptr<automation::EventSink> sink_;
};

}  // namespace automation::win

// The client side of events: a COM object that the host's connection point calls. It answers
// the event interface's IID and IDispatch, turns each Invoke into an event for the core sink,
// and passes by-reference arguments back. Nothing the core sink throws crosses into the host.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>

#include "automation/object.h"
#include "win32/com/object.h"

namespace winauto {

class EventSinkObject final : public com::Object<EventSinkObject, IDispatch> {
 public:
  EventSinkObject(automation::EventInterface events,
                  std::shared_ptr<automation::EventSink> sink) noexcept
      : events_(std::move(events)), sink_(std::move(sink)) {}

  void* queryMore(REFIID riid) noexcept;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) noexcept override;

 private:
  automation::EventInterface events_;
  std::shared_ptr<automation::EventSink> sink_;
};

}  // namespace winauto

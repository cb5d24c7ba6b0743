// The client side: any IDispatch as an automation::Object, so that the core calls the host's
// objects by name. Member ids are cached per object and name; named arguments go by their ids;
// the locale goes to Invoke; failures become automation::Error with the HRESULT and the
// description the object gave; typed interfaces are QueryInterface; events are connection
// points.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <unordered_map>

#include "win32/com/com_ptr.h"

#include "automation/object.h"
#include "base/error.h"

namespace automation::win {

class DispatchObject final : public automation::Object {
 public:
  explicit DispatchObject(com::ComPtr<IDispatch> dispatch) noexcept;
  // Nothing for a null pointer.
  static automation::ObjectRef wrap(IDispatch* dispatch);

  IDispatch* dispatch() const noexcept { return dispatch_.get(); }

  automation::Variant invoke(std::string_view member, automation::Invoke kind,
                             automation::Arguments& args, automation::Locale locale) override;
  bool supports(const automation::Guid& iid) override;
  automation::ConnectionPtr connect(const automation::EventInterface& events,
                                    std::shared_ptr<automation::EventSink> sink) override;

 private:
  DISPID memberId(std::string_view member, automation::Locale locale);
  std::vector<DISPID> namedIds(std::string_view member, const automation::Arguments& args,
                               automation::Locale locale);

  com::ComPtr<IDispatch> dispatch_;
  std::unordered_map<std::string, DISPID> ids_;  // by lower-case name
};

// The error an IDispatch call reported, with its description.
automation::Error invokeError(HRESULT hr, EXCEPINFO& excepInfo);

}  // namespace automation::win

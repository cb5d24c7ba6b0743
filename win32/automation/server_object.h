// The server side: any automation::Object (the simulated Word) exposed as IDispatch, with
// connection points for its events. Member and argument names get process-wide dispatch ids;
// QueryInterface answers the Office typed interfaces that the object claims (a dual interface
// starts with IDispatch, and only IDispatch is ever called through it).
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <string_view>

#include "win32/automation/named_dispatch.h"
#include "win32/com/connection_point.h"

#include "automation/object.h"

namespace winauto {

class ServerObject final : public NamedDispatch<ServerObject, IConnectionPointContainer> {
 public:
  explicit ServerObject(automation::ObjectRef object);
  static com::ComPtr<IDispatch> wrap(const automation::ObjectRef& object);

  void* queryMore(REFIID riid) noexcept;
  const automation::ObjectRef& object() const noexcept { return object_; }

  // NamedDispatch: names and argument names by the process-wide table.
  static DISPID idOf(std::wstring_view name, UINT position);
  HRESULT invoke(DISPID id, LCID lcid, WORD flags, const DISPPARAMS& params, VARIANT* result);

  // IConnectionPointContainer: a point for each event interface the server side can raise.
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override {
    return points_.enumerate(points);
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid,
                                                IConnectionPoint** point) noexcept override {
    return points_.find(riid, point);
  }

 private:
  automation::ConnectionPtr connect(const IID& iid, IUnknown* sink);

  automation::ObjectRef object_;
  com::ConnectionPoints points_;
};

}  // namespace winauto

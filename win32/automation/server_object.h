// The server side: any automation::Object (the simulated Word) exposed as IDispatch, with
// connection points for its events. Member and argument names get process-wide dispatch ids.
// What the server answers beyond IDispatch is given by whoever serves the objects (Interfaces):
// QueryInterface answers the typed interfaces among them that the object claims (a dual interface
// starts with IDispatch, and only IDispatch is ever called through it), and a connection point
// stands for each event interface. The objects that its calls return are served the same way.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <string_view>
#include <vector>

#include "win32/automation/named_dispatch.h"
#include "win32/com/connection_point.h"

#include "automation/object.h"

namespace automation::win {

// The interfaces a server answers beyond IDispatch. It must outlive every object it serves.
struct Interfaces {
  std::vector<automation::Guid> typed;                    // that an object may claim
  std::vector<const automation::EventInterface*> events;  // that objects may raise
  static const Interfaces& none();
};

class ServerObject final : public NamedDispatch<ServerObject, IConnectionPointContainer> {
 public:
  ServerObject(automation::ObjectRef object, const Interfaces& interfaces);
  static com::ComPtr<IDispatch> wrap(const automation::ObjectRef& object,
                                     const Interfaces& interfaces = Interfaces::none());

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
  const Interfaces& interfaces_;
  com::ConnectionPoints points_;
};

}  // namespace automation::win

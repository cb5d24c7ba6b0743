#include "win32/automation/get_object.h"

#include <windows.h>

#include <oleauto.h>

#include "win32/automation/dispatch_object.h"
#include "win32/com/bstr.h"
#include "win32/com/com_ptr.h"
#include "win32/com/failure.h"

namespace automation::win {

automation::ObjectRef getObject(std::u16string_view className) {
  CLSID clsid;
  const std::wstring name = com::wide(className);
  com::throwIfFailed(CLSIDFromProgID(name.c_str(), &clsid));
  com::ComPtr<IUnknown> running;
  com::throwIfFailed(GetActiveObject(clsid, nullptr, running.put()));
  com::ComPtr<IDispatch> dispatch;
  com::throwIfFailed(running.query(dispatch));
  return DispatchObject::wrap(dispatch.get());
}

}  // namespace automation::win

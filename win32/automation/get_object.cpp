#include "win32/automation/get_object.h"

#include <windows.h>
#include <oleauto.h>

#include "automation/error.h"
#include "win32/automation/dispatch_object.h"
#include "win32/com/bstr.h"
#include "win32/com/com_ptr.h"

namespace winauto {

automation::ObjectRef getObject(std::u16string_view className) {
  CLSID clsid;
  const std::wstring name = com::wide(className);
  if (const HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid); FAILED(hr))
    throw automation::Error(hr);
  com::ComPtr<IUnknown> running;
  if (const HRESULT hr = GetActiveObject(clsid, nullptr, running.put()); FAILED(hr))
    throw automation::Error(hr);
  com::ComPtr<IDispatch> dispatch;
  if (const HRESULT hr = running.query(dispatch); FAILED(hr)) throw automation::Error(hr);
  return DispatchObject::wrap(dispatch.get());
}

}  // namespace winauto

#include "win32/com/edge.h"

#include <string>

#include "win32/com/bstr.h"
#include "win32/com/com_ptr.h"

namespace com {

HRESULT reportError(const automation::Error& error) noexcept {
  const HRESULT hr = error.hresult() < 0 ? error.hresult() : E_FAIL;
  try {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
      const std::wstring description = wide(error.description());
      const std::wstring source = wide(error.source());
      create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
      if (!source.empty()) create->SetSource(const_cast<LPOLESTR>(source.c_str()));
      ComPtr<IErrorInfo> info;
      if (SUCCEEDED(create.query(info))) SetErrorInfo(0, info.get());
    }
  } catch (...) {
    // Out of memory while describing the failure: the code still goes back.
  }
  return hr;
}

HRESULT toExcepInfo(const automation::Error& error, EXCEPINFO* excepInfo) noexcept {
  const HRESULT hr = error.hresult() < 0 ? error.hresult() : E_FAIL;
  if (!excepInfo) return hr;
  *excepInfo = EXCEPINFO{};
  excepInfo->scode = hr;
  try {
    const std::wstring description = wide(error.description());
    const std::wstring source = wide(error.source());
    excepInfo->bstrDescription = SysAllocString(description.c_str());
    if (!source.empty()) excepInfo->bstrSource = SysAllocString(source.c_str());
  } catch (...) {
    // Out of memory while describing the failure: the code still goes back.
  }
  return DISP_E_EXCEPTION;
}

HRESULT dispatchFailure(HRESULT hr, EXCEPINFO* excepInfo) noexcept {
  if (SUCCEEDED(hr) || hr == DISP_E_EXCEPTION) return hr;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return hr;
  if (!excepInfo) return hr;
  *excepInfo = EXCEPINFO{};
  excepInfo->scode = hr;
  info->GetDescription(&excepInfo->bstrDescription);
  info->GetSource(&excepInfo->bstrSource);
  return DISP_E_EXCEPTION;
}

}  // namespace com

#include "win32/automation/event_sink.h"

#include "win32/automation/convert.h"
#include "win32/com/edge.h"

namespace winauto {
namespace {

bool sameName(std::wstring_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; };
    if (lower(a[i]) != lower(wchar_t(static_cast<unsigned char>(b[i])))) return false;
  }
  return true;
}

}  // namespace

void* EventSinkObject::queryMore(REFIID riid) noexcept {
  if (IsEqualIID(riid, toGuid(events_.iid))) return static_cast<IDispatch*>(this);
  return nullptr;
}

HRESULT STDMETHODCALLTYPE EventSinkObject::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSinkObject::GetTypeInfo(UINT, LCID, ITypeInfo** out) noexcept {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventSinkObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                         LCID, DISPID* ids) noexcept {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (i > 0) {
      hr = DISP_E_UNKNOWNNAME;  // event parameters are positional
      continue;
    }
    for (const auto& e : events_.events)
      if (names[i] && sameName(names[i], e.name)) ids[i] = e.dispid;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE EventSinkObject::Invoke(DISPID id, REFIID riid, LCID, WORD,
                                                  DISPPARAMS* params, VARIANT* result,
                                                  EXCEPINFO* excepInfo, UINT*) noexcept {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (result) VariantInit(result);
  const automation::EventMember* event = events_.find(static_cast<int32_t>(id));
  if (!event) return DISP_E_MEMBERNOTFOUND;
  static const DISPPARAMS none{};
  try {
    IncomingArguments incoming(params ? *params : none, nullptr);
    sink_->onEvent(event->name, incoming.args());
    incoming.writeBack();
    return S_OK;
  } catch (...) {
    return com::toExcepInfo(automation::currentError(), excepInfo);
  }
}

}  // namespace winauto

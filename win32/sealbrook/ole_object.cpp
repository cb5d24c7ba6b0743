// IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject and IOleControl of SignData: how the
// host sites the control, activates it in place in its document window and closes it.
#include "win32/automation/dispatch_object.h"
#include "win32/com/edge.h"
#include "win32/sealbrook/signdata_object.h"

#include "sealbrook/record.h"

namespace sealbrook::win {
namespace {

// The service under which a container offers its Application object to what it embeds
// (SID_SApplicationObject of the Platform SDK's objext.h and designer.h).
const GUID kApplicationService = {
    0x0C539790, 0x12E4, 0x11CF, {0xB6, 0x61, 0x00, 0xAA, 0x00, 0x4C, 0xD6, 0xD8}};

}  // namespace

// --- What the site gives: the containing application, or the document that holds the control --

// An out pointer is taken only from a call that succeeded; the site is held for the call, which
// may take it away from the control.
automation::ObjectRef SignDataObject::ApplicationService() {
  const com::ComPtr<IOleClientSite> site = clientSite_;
  com::ComPtr<IServiceProvider> services;
  if (!site || FAILED(site.query(services))) return nullptr;
  void* application = nullptr;
  if (FAILED(services->QueryService(kApplicationService, IID_IDispatch, &application)))
    return nullptr;
  const auto held = com::ComPtr<IDispatch>::attach(static_cast<IDispatch*>(application));
  return automation::win::DispatchObject::wrap(held.get());
}

automation::ObjectRef SignDataObject::ContainerDocument() {
  const com::ComPtr<IOleClientSite> site = clientSite_;
  IOleContainer* given = nullptr;
  if (!site || FAILED(site->GetContainer(&given))) return nullptr;
  const auto container = com::ComPtr<IOleContainer>::attach(given);
  com::ComPtr<IDispatch> document;
  if (!container || FAILED(container.query(document))) return nullptr;
  return automation::win::DispatchObject::wrap(document.get());
}

// Another site, or none, takes the place of everything that came from the old one: the control
// leaves its place in the old site's window (and with it the in-place site) and lets go of the
// old site.
HRESULT STDMETHODCALLTYPE SignDataObject::SetClientSite(IOleClientSite* site) noexcept {
  if (site == clientSite_.get()) return S_OK;
  const com::ComPtr<SignDataObject> alive(this);
  InPlaceDeactivate();
  clientSite_ = com::ComPtr<IOleClientSite>(site);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetClientSite(IOleClientSite** site) noexcept {
  if (!site) return E_POINTER;
  return clientSite_.copyTo(site);
}

HRESULT STDMETHODCALLTYPE SignDataObject::SetHostNames(LPCOLESTR, LPCOLESTR) noexcept {
  return S_OK;
}

// Closed dirty (resized) and asked to save, the control has its site save it first; then it lets
// go of the host.
HRESULT STDMETHODCALLTYPE SignDataObject::Close(DWORD saveOption) noexcept {
  const com::ComPtr<SignDataObject> alive(this);
  if (dirty_ && saveOption != OLECLOSE_NOSAVE && clientSite_) clientSite_->SaveObject();
  InPlaceDeactivate();
  window_.stopTimers();
  if (IOleAdviseHolder* holder = adviseHolder_.get()) holder->SendOnClose();
  adviseHolder_.reset();
  dataAdviseHolder_.reset();
  viewSink_.reset();
  points_.clear();
  clientSite_.reset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::SetMoniker(DWORD, IMoniker*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::InitFromData(IDataObject*, BOOL, DWORD) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetClipboardData(DWORD, IDataObject** data) noexcept {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

// The control stays alive until the verb is done: the site it calls may release it meanwhile
// (in OnInPlaceActivate, say), and the windows it makes must go with it, not outlive it. A verb
// of its own that it does not know is taken for the primary verb, as IOleObject has it.
HRESULT STDMETHODCALLTYPE SignDataObject::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG,
                                                 HWND, LPCRECT) noexcept {
  const com::ComPtr<SignDataObject> alive(this);
  if (activeSite && !clientSite_) clientSite_ = com::ComPtr<IOleClientSite>(activeSite);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return inPlaceActivate();
    case OLEIVERB_HIDE:
      if (window_.hwnd()) ShowWindow(window_.hwnd(), SW_HIDE);
      return S_OK;
    default: {
      if (verb < 0) return E_NOTIMPL;
      const HRESULT hr = inPlaceActivate();
      return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
    }
  }
}

HRESULT SignDataObject::inPlaceActivate() noexcept {
  if (window_.hwnd()) {
    ShowWindow(window_.hwnd(), SW_SHOWNA);
    return S_OK;
  }
  if (!clientSite_) return E_UNEXPECTED;
  created();  // a host that skipped initialisation still gets a control that works
  com::ComPtr<IOleInPlaceSite> site;
  if (FAILED(clientSite_.query(site))) return E_NOINTERFACE;
  if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
  if (const HRESULT hr = site->OnInPlaceActivate(); FAILED(hr)) return hr;

  HWND parent = nullptr;
  com::ComPtr<IOleInPlaceFrame> frame;
  com::ComPtr<IOleInPlaceUIWindow> document;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  HRESULT hr = site->GetWindow(&parent);
  if (SUCCEEDED(hr))
    hr = site->GetWindowContext(frame.put(), document.put(), &position, &clip, &frameInfo);
  if (SUCCEEDED(hr) && !window_.create(parent, position)) hr = E_FAIL;
  if (FAILED(hr)) {
    site->OnInPlaceDeactivate();
    return hr;
  }
  inPlaceSite_ = std::move(site);
  return S_OK;
}

// The class registers no verbs of its own: no registry key for them is no verbs.
HRESULT STDMETHODCALLTYPE SignDataObject::EnumVerbs(IEnumOLEVERB** verbs) noexcept {
  if (!verbs) return E_POINTER;
  *verbs = nullptr;
  const HRESULT hr = OleRegEnumVerbs(CLSID_SignData, verbs);
  return hr == REGDB_E_KEYMISSING ? OLEOBJ_E_NOVERBS : hr;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Update() noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE SignDataObject::IsUpToDate() noexcept {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetUserClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_SignData;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetUserType(DWORD form, LPOLESTR* type) noexcept {
  if (!type) return E_POINTER;
  return OleRegGetUserType(CLSID_SignData, form, type);
}

// Only an extent that the control's record keeps (E_INVALIDARG for any other); a new one makes
// the control dirty.
HRESULT STDMETHODCALLTYPE SignDataObject::SetExtent(DWORD aspect, SIZEL* size) noexcept {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!record::possibleExtent({size->cx, size->cy})) return E_INVALIDARG;
  if (size->cx != extent_.cx || size->cy != extent_.cy) dirty_ = true;
  extent_ = *size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetExtent(DWORD aspect, SIZEL* size) noexcept {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Advise(IAdviseSink* sink, DWORD* connection) noexcept {
  if (!connection) return E_POINTER;
  *connection = 0;
  if (!sink) return E_INVALIDARG;
  return adviseHolder_.advise([&](IOleAdviseHolder* h) { return h->Advise(sink, connection); });
}

HRESULT STDMETHODCALLTYPE SignDataObject::Unadvise(DWORD connection) noexcept {
  return adviseHolder_.unadvise(connection);
}

HRESULT STDMETHODCALLTYPE SignDataObject::EnumAdvise(IEnumSTATDATA** advise) noexcept {
  return adviseHolder_.enumerate(advise);
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetMiscStatus(DWORD, DWORD* status) noexcept {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::SetColorScheme(LOGPALETTE*) noexcept {
  return E_NOTIMPL;
}

// --- In place ----------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SignDataObject::GetWindow(HWND* hwnd) noexcept {
  if (!hwnd) return E_POINTER;
  *hwnd = window_.hwnd();
  return *hwnd ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::ContextSensitiveHelp(BOOL) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::InPlaceDeactivate() noexcept {
  if (!inPlaceSite_) return S_OK;
  const com::ComPtr<SignDataObject> alive(this);
  window_.destroy();
  const auto site = std::move(inPlaceSite_);
  site->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::UIDeactivate() noexcept {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::SetObjectRects(LPCRECT position, LPCRECT) noexcept {
  if (!position) return E_POINTER;
  window_.move(*position);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::ReactivateAndUndo() noexcept {
  return INPLACE_E_NOTUNDOABLE;
}

HRESULT STDMETHODCALLTYPE SignDataObject::TranslateAccelerator(LPMSG) noexcept {
  return S_FALSE;
}
HRESULT STDMETHODCALLTYPE SignDataObject::OnFrameWindowActivate(BOOL) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE SignDataObject::OnDocWindowActivate(BOOL) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE SignDataObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*,
                                                       BOOL) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE SignDataObject::EnableModeless(BOOL) noexcept {
  return S_OK;
}

// --- IOleControl: no mnemonics, no ambient properties that matter, no events to freeze ---------

HRESULT STDMETHODCALLTYPE SignDataObject::GetControlInfo(CONTROLINFO* info) noexcept {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::OnMnemonic(MSG*) noexcept {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE SignDataObject::OnAmbientPropertyChange(DISPID) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE SignDataObject::FreezeEvents(BOOL) noexcept {
  return S_OK;
}

}  // namespace sealbrook::win

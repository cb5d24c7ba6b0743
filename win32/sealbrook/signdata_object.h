// The ActiveX control SignData ("Sealbrook.SignData"): the embedding interfaces over the
// control's core and its windows. Implementation, one file per interface family:
//   ole_object.cpp   IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl
//   view_object.cpp  IViewObject2
//   persist.cpp      IPersistStreamInit, IPersistStorage (the extent only)
//   data_object.cpp  IDataObject (the cached presentation)
//   class_info.cpp   IProvideClassInfo2, IConnectionPointContainer, IObjectSafety
//   signdata_object.cpp  construction and the control's events
#pragma once

#include <windows.h>

#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include "win32/com/advise_holder.h"
#include "win32/com/connection_point.h"
#include "win32/com/dispatch.h"
#include "win32/sealbrook/control_window.h"

#include "registration/libraries.h"
#include "sealbrook.h"
#include "sealbrook/layout.h"
#include "sealbrook/signdata.h"

// MinGW-w64's objsafe.h declares IObjectSafety without its identifier for __uuidof.
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IObjectSafety, 0xCB5BDC81, 0x93C1, 0x11CF, 0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0,
                0x64)
#endif

namespace sealbrook::win {

// The control's OLEMISC status, as it answers GetMiscStatus and as it is registered: 131473.
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_RECOMPOSEONRESIZE;
static_assert(kMiscStatus == registration::kSignDataMiscStatus);

class SignDataObject final
    : public com::Dispatch<SignDataObject, _SignData, IOleObject, IOleInPlaceObject,
                           IOleInPlaceActiveObject, IOleControl, IViewObject2, IPersistStreamInit,
                           IPersistStorage, IDataObject, IProvideClassInfo2,
                           IConnectionPointContainer, IObjectSafety>,
      private ControlWindow::Events,
      private sealbrook::Site {
 public:
  using Bases = com::Bases<IDispatch, IOleWindow, IViewObject, IPersist, IProvideClassInfo>;

  SignDataObject();
  ~SignDataObject() override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) noexcept override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) noexcept override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) noexcept override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) noexcept override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which,
                                       IMoniker** moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation,
                                         DWORD reserved) noexcept override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) noexcept override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* activeSite, LONG index,
                                   HWND parent, LPCRECT position) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) noexcept override;
  HRESULT STDMETHODCALLTYPE Update() noexcept override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() noexcept override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) noexcept override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) noexcept override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) noexcept override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) noexcept override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) noexcept override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) noexcept override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) noexcept override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) noexcept override;
  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() noexcept override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() noexcept override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) noexcept override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() noexcept override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) noexcept override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) noexcept override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) noexcept override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frame) noexcept override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) noexcept override;
  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) noexcept override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) noexcept override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) noexcept override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) noexcept override;
  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                 HDC targetDevice, HDC dc, LPCRECTL bounds, LPCRECTL windowBounds,
                                 BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                                 ULONG_PTR arg) noexcept override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                        DVTARGETDEVICE* device, HDC targetDevice,
                                        LOGPALETTE** colors) noexcept override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                   DWORD* freeze) noexcept override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) noexcept override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags,
                                      IAdviseSink* sink) noexcept override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags,
                                      IAdviseSink** sink) noexcept override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                      LPSIZEL size) noexcept override;
  // IPersist, IPersistStreamInit, IPersistStorage
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) noexcept override;
  HRESULT STDMETHODCALLTYPE IsDirty() noexcept override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) noexcept override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) noexcept override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) noexcept override;
  HRESULT STDMETHODCALLTYPE InitNew() noexcept override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) noexcept override;
  HRESULT STDMETHODCALLTYPE Load(IStorage* storage) noexcept override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) noexcept override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) noexcept override;
  HRESULT STDMETHODCALLTYPE HandsOffStorage() noexcept override;
  // IDataObject
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) noexcept override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) noexcept override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium,
                                    BOOL release) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction,
                                          IEnumFORMATETC** formats) noexcept override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) noexcept override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advise) noexcept override;
  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) noexcept override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override {
    return points_.enumerate(points);
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid,
                                                IConnectionPoint** point) noexcept override {
    return points_.find(riid, point);
  }
  // IObjectSafety
  HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID riid, DWORD* supported,
                                                      DWORD* enabled) noexcept override;
  HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID riid, DWORD mask,
                                                      DWORD enabled) noexcept override;

  // Test and diagnostics: the control's core and windows.
  const SignData& core() const noexcept { return core_; }

 private:
  // sealbrook::Site, from the client site the host gave (ole_object.cpp)
  automation::ObjectRef ApplicationService() override;
  automation::ObjectRef ContainerDocument() override;

  // ControlWindow::Events
  void image1Click() override;
  void surfaceDblClick() override;
  void timer(TimerId timer) override;

  HRESULT inPlaceActivate() noexcept;
  // The block drawn into `area` of the device: its pictures as the medium shows them.
  void paintBlock(HDC dc, const host::Rect& area, Medium medium) const noexcept;
  // The presentation the host keeps, at the control's extent (data_object.cpp).
  HENHMETAFILE enhancedMetafile() const noexcept;
  HGLOBAL metafilePicture() const noexcept;
  // The instance exists for its host (initialised new or loaded): its timers run from now.
  void created() noexcept;
  // Initialised new or loaded, as saved.
  void initialised() noexcept;

  ControlWindow window_;
  SignData core_;
  SIZEL extent_;              // HIMETRIC, one that a control can have (record::possibleExtent)
  bool initialised_ = false;  // by InitNew or Load, either interface's
  bool dirty_ = false;        // the extent changed since the control was loaded or saved
  com::ComPtr<IOleClientSite> clientSite_;
  com::ComPtr<IOleInPlaceSite> inPlaceSite_;
  com::AdviseHolder<IOleAdviseHolder> adviseHolder_{CreateOleAdviseHolder};
  com::AdviseHolder<IDataAdviseHolder> dataAdviseHolder_{CreateDataAdviseHolder};
  com::ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  DWORD safety_ = 0;
  // The control raises no events: its points keep their sinks until unadvised or closed.
  com::ConnectionPoints points_{*this, {DIID___SignData, IID_IPropertyNotifySink}};
};

// The module's runtime services, shared by every control.
sealbrook::Runtime& runtime();

}  // namespace sealbrook::win

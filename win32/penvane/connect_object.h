// The COM class Connect ("Penvane.Connect"): _Connect and IDTExtensibility2 over the add-in's
// core. Every method runs through the ABI edge with the add-in kept alive; the host always gets
// an HRESULT.
#pragma once

#include "win32/com/dispatch.h"

#include "penvane.h"
#include "penvane/connect.h"

namespace penvane::win {

class ConnectObject final
    : public com::Dispatch<ConnectObject, _Connect, IDTExtensibility2, IRibbonExtensibility> {
 public:
  ConnectObject();

  // _Connect: the fields
  HRESULT STDMETHODCALLTYPE get_oHostApp(IDispatch** value) noexcept override;
  HRESULT STDMETHODCALLTYPE putref_oHostApp(IDispatch* value) noexcept override;
  HRESULT STDMETHODCALLTYPE get_MyButton1(IDispatch** value) noexcept override;
  HRESULT STDMETHODCALLTYPE putref_MyButton1(IDispatch* value) noexcept override;
  HRESULT STDMETHODCALLTYPE get_MyButton2(IDispatch** value) noexcept override;
  HRESULT STDMETHODCALLTYPE putref_MyButton2(IDispatch* value) noexcept override;
  HRESULT STDMETHODCALLTYPE get_MyButton3(IDispatch** value) noexcept override;
  HRESULT STDMETHODCALLTYPE putref_MyButton3(IDispatch* value) noexcept override;
  HRESULT STDMETHODCALLTYPE get_MyButton(IDispatch** value) noexcept override;
  HRESULT STDMETHODCALLTYPE putref_MyButton(IDispatch* value) noexcept override;
  // _Connect: the methods
  HRESULT STDMETHODCALLTYPE IDTExtensibility2_OnConnection(IDispatch* Application,
                                                           ext_ConnectMode ConnectMode,
                                                           IDispatch* AddInInst,
                                                           SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE
  IDTExtensibility2_OnStartupComplete(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE IDTExtensibility2_OnDisconnection(ext_DisconnectMode RemoveMode,
                                                              SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE IDTExtensibility2_OnBeginShutdown(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE MyButton1_Click(IDispatch* Ctrl,
                                            VARIANT_BOOL* CancelDefault) noexcept override;
  HRESULT STDMETHODCALLTYPE MyButton2_Click(IDispatch* Ctrl,
                                            VARIANT_BOOL* CancelDefault) noexcept override;
  HRESULT STDMETHODCALLTYPE MyButton3_Click(IDispatch* Ctrl,
                                            VARIANT_BOOL* CancelDefault) noexcept override;
  HRESULT STDMETHODCALLTYPE IDTExtensibility2_OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE MyButton_Click(IDispatch* Ctrl,
                                           VARIANT_BOOL* CancelDefault) noexcept override;

  // _Connect: the ribbon's callbacks
  HRESULT STDMETHODCALLTYPE Ribbon_SetUpPath(IDispatch*) noexcept override {
    return ribbonAction(u"Ribbon_SetUpPath");
  }
  HRESULT STDMETHODCALLTYPE Ribbon_Insert(IDispatch*) noexcept override {
    return ribbonAction(u"Ribbon_Insert");
  }
  HRESULT STDMETHODCALLTYPE Ribbon_Sign(IDispatch*) noexcept override {
    return ribbonAction(u"Ribbon_Sign");
  }
  HRESULT STDMETHODCALLTYPE Ribbon_InsertAndSign(IDispatch*) noexcept override {
    return ribbonAction(u"Ribbon_InsertAndSign");
  }
  HRESULT STDMETHODCALLTYPE Ribbon_LoadImage(BSTR imageId, IPictureDisp** image) noexcept override;
  HRESULT STDMETHODCALLTYPE Ribbon_OnLoad(IDispatch* ribbon) noexcept override;
  HRESULT STDMETHODCALLTYPE Ribbon_GetStatusLabel(IDispatch* control,
                                                  BSTR* label) noexcept override;
  HRESULT STDMETHODCALLTYPE Ribbon_GetStatusImage(IDispatch* control,
                                                  IPictureDisp** image) noexcept override;
  HRESULT STDMETHODCALLTYPE Ribbon_Verify(IDispatch*) noexcept override {
    return ribbonAction(u"Ribbon_Verify");
  }

  // IRibbonExtensibility
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) noexcept override;

  // IDTExtensibility2: the same callbacks, as the host calls them.
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                         IDispatch* AddInInst,
                                         SAFEARRAY** custom) noexcept override {
    return IDTExtensibility2_OnConnection(Application, ConnectMode, AddInInst, custom);
  }
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode,
                                            SAFEARRAY** custom) noexcept override {
    return IDTExtensibility2_OnDisconnection(RemoveMode, custom);
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override {
    return IDTExtensibility2_OnAddInsUpdate(custom);
  }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override {
    return IDTExtensibility2_OnStartupComplete(custom);
  }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override {
    return IDTExtensibility2_OnBeginShutdown(custom);
  }

 private:
  using Command = void (penvane::Connect::*)();
  HRESULT command(Command command,
                  automation::Location at = automation::Location::current()) noexcept;
  HRESULT getField(EventField& field, IDispatch** value,
                   automation::Location at = automation::Location::current()) noexcept;
  HRESULT setField(EventField& field, IDispatch* value,
                   automation::Location at = automation::Location::current()) noexcept;
  template <class Body>
  HRESULT guarded(Body&& body, automation::Location at = automation::Location::current()) noexcept;
  HRESULT ribbonAction(std::u16string_view onAction,
                       automation::Location at = automation::Location::current()) noexcept;

  // Shared with the path form, which holds the add-in that loaded it without keeping it alive.
  std::shared_ptr<penvane::Connect> core_;
};

}  // namespace penvane::win

#include "win32/penvane/connect_object.h"

#include "host/office.h"
#include "win32/automation/convert.h"
#include "win32/automation/dispatch_object.h"
#include "win32/penvane/library.h"

namespace penvane::win {
namespace {

using winauto::DispatchObject;

HRESULT copyOut(const automation::ObjectRef& object, IDispatch** value) {
  if (!value) return E_POINTER;
  *value = winauto::toDispatch(object).detach();
  return S_OK;
}

}  // namespace

ConnectObject::ConnectObject()
    : core_(std::make_shared<penvane::Connect>(library().module, library().frmPath,
                                               library().files, library().messages)) {}

HRESULT ConnectObject::getField(EventField& field, IDispatch** value) noexcept {
  return com::edge([&] { return copyOut(field.get(), value); });
}

HRESULT ConnectObject::setField(EventField& field, IDispatch* value) noexcept {
  return com::edge([&] {
    // A field typed as a command-bar button, with its click binding.
    field.set(automation::as(DispatchObject::wrap(value), host::kCommandBarButton));
    return S_OK;
  });
}

HRESULT ConnectObject::get_oHostApp(IDispatch** value) noexcept {
  return com::edge([&] { return copyOut(core_->oHostApp, value); });
}
HRESULT ConnectObject::putref_oHostApp(IDispatch* value) noexcept {
  return com::edge([&] {
    core_->oHostApp = DispatchObject::wrap(value);
    return S_OK;
  });
}
HRESULT ConnectObject::get_MyButton1(IDispatch** v) noexcept { return getField(core_->MyButton1, v); }
HRESULT ConnectObject::putref_MyButton1(IDispatch* v) noexcept { return setField(core_->MyButton1, v); }
HRESULT ConnectObject::get_MyButton2(IDispatch** v) noexcept { return getField(core_->MyButton2, v); }
HRESULT ConnectObject::putref_MyButton2(IDispatch* v) noexcept { return setField(core_->MyButton2, v); }
HRESULT ConnectObject::get_MyButton3(IDispatch** v) noexcept { return getField(core_->MyButton3, v); }
HRESULT ConnectObject::putref_MyButton3(IDispatch* v) noexcept { return setField(core_->MyButton3, v); }
HRESULT ConnectObject::get_MyButton(IDispatch** v) noexcept { return getField(core_->MyButton, v); }
HRESULT ConnectObject::putref_MyButton(IDispatch* v) noexcept { return setField(core_->MyButton, v); }

// The add-in callbacks: the "custom" array is never read.
template <class Callback>
HRESULT ConnectObject::callback(Callback&& body) noexcept {
  return com::edge([&] {
    penvane::Custom custom;
    body(*core_, custom);
    return S_OK;
  });
}

HRESULT ConnectObject::IDTExtensibility2_OnConnection(IDispatch* Application,
                                                      ext_ConnectMode ConnectMode,
                                                      IDispatch* AddInInst, SAFEARRAY**) noexcept {
  return callback([&](penvane::Connect& addin, penvane::Custom& custom) {
    addin.IDTExtensibility2_OnConnection(DispatchObject::wrap(Application), ConnectMode,
                                         DispatchObject::wrap(AddInInst), custom);
  });
}
HRESULT ConnectObject::IDTExtensibility2_OnStartupComplete(SAFEARRAY**) noexcept {
  return callback([](auto& addin, auto& custom) { addin.IDTExtensibility2_OnStartupComplete(custom); });
}
HRESULT ConnectObject::IDTExtensibility2_OnDisconnection(ext_DisconnectMode RemoveMode,
                                                         SAFEARRAY**) noexcept {
  return callback([&](auto& addin, auto& custom) {
    addin.IDTExtensibility2_OnDisconnection(RemoveMode, custom);
  });
}
HRESULT ConnectObject::IDTExtensibility2_OnBeginShutdown(SAFEARRAY**) noexcept {
  return callback([](auto& addin, auto& custom) { addin.IDTExtensibility2_OnBeginShutdown(custom); });
}
HRESULT ConnectObject::IDTExtensibility2_OnAddInsUpdate(SAFEARRAY**) noexcept {
  return callback([](auto& addin, auto& custom) { addin.IDTExtensibility2_OnAddInsUpdate(custom); });
}

HRESULT ConnectObject::click(Click handler, IDispatch* ctrl, VARIANT_BOOL* cancelDefault) noexcept {
  return com::edge([&] {
    bool cancel = cancelDefault && *cancelDefault != VARIANT_FALSE;
    ((*core_).*handler)(DispatchObject::wrap(ctrl), cancel);
    if (cancelDefault) *cancelDefault = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}
HRESULT ConnectObject::MyButton_Click(IDispatch* c, VARIANT_BOOL* d) noexcept {
  return click(&penvane::Connect::MyButton_Click, c, d);
}
HRESULT ConnectObject::MyButton1_Click(IDispatch* c, VARIANT_BOOL* d) noexcept {
  return click(&penvane::Connect::MyButton1_Click, c, d);
}
HRESULT ConnectObject::MyButton2_Click(IDispatch* c, VARIANT_BOOL* d) noexcept {
  return click(&penvane::Connect::MyButton2_Click, c, d);
}
HRESULT ConnectObject::MyButton3_Click(IDispatch* c, VARIANT_BOOL* d) noexcept {
  return click(&penvane::Connect::MyButton3_Click, c, d);
}

}  // namespace penvane::win

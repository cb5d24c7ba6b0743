#include "win32/penvane/connect_object.h"

#include <olectl.h>

#include "win32/automation/convert.h"
#include "win32/automation/dispatch_object.h"
#include "win32/com/bstr.h"
#include "win32/com/module.h"
#include "win32/penvane/library.h"
#include "win32/ui/window.h"

#include "host/office.h"
#include "penvane/ribbon.h"

namespace penvane::win {
namespace {

// The ribbon buttons' icons in penvane.rc, in the buttons' order, and the status pictures'.
constexpr int kFirstRibbonIcon = 11;
constexpr int kFirstStatusIcon = 21;

// An icon of the library's own as an OLE picture that the ribbon owns.
HRESULT iconPicture(int resource, IPictureDisp** image) noexcept {
  const auto icon = static_cast<HICON>(LoadImageW(com::module::handle(), MAKEINTRESOURCEW(resource),
                                                  IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  if (!icon) return HRESULT_FROM_WIN32(GetLastError());
  PICTDESC picture{};
  picture.cbSizeofstruct = sizeof picture;
  picture.picType = PICTYPE_ICON;
  picture.icon.hicon = icon;
  const HRESULT hr =
      OleCreatePictureIndirect(&picture, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(image));
  if (FAILED(hr)) DestroyIcon(icon);
  return hr;
}

using automation::win::DispatchObject;

HRESULT copyOut(const automation::ObjectRef& object, IDispatch** value) {
  if (!value) return E_POINTER;
  *value = automation::win::toDispatch(object).detach();
  return S_OK;
}

}  // namespace

ConnectObject::ConnectObject()
    : core_(std::make_shared<penvane::Connect>(library().frmPath, library().platform)) {}

// Every member runs at the ABI edge with the add-in kept alive: the host may release it in any
// call the add-in makes into the host (a click that closes the host, a host that unloads the
// add-in from its own command bar), and the member must not go on inside an object that is gone.
template <class Body>
HRESULT ConnectObject::guarded(Body&& body, automation::Location at) noexcept {
  const com::ComPtr<ConnectObject> alive(this);
  return com::edge(std::forward<Body>(body), at);
}

HRESULT ConnectObject::getField(EventField& field, IDispatch** value,
                                automation::Location at) noexcept {
  return guarded([&] { return copyOut(field.get(), value); }, at);
}

HRESULT ConnectObject::setField(EventField& field, IDispatch* value,
                                automation::Location at) noexcept {
  return guarded(
      [&] {
        // A field typed as a command-bar button, with its click binding.
        field.set(automation::as(DispatchObject::wrap(value), host::kCommandBarButton));
        return S_OK;
      },
      at);
}

HRESULT ConnectObject::get_oHostApp(IDispatch** value) noexcept {
  return guarded([&] { return copyOut(core_->hostApp, value); });
}
HRESULT ConnectObject::putref_oHostApp(IDispatch* value) noexcept {
  return guarded([&] {
    core_->hostApp = DispatchObject::wrap(value);
    return S_OK;
  });
}
HRESULT ConnectObject::get_MyButton1(IDispatch** v) noexcept {
  return getField(core_->insertButton, v);
}
HRESULT ConnectObject::putref_MyButton1(IDispatch* v) noexcept {
  return setField(core_->insertButton, v);
}
HRESULT ConnectObject::get_MyButton2(IDispatch** v) noexcept {
  return getField(core_->signButton, v);
}
HRESULT ConnectObject::putref_MyButton2(IDispatch* v) noexcept {
  return setField(core_->signButton, v);
}
HRESULT ConnectObject::get_MyButton3(IDispatch** v) noexcept {
  return getField(core_->insertAndSignButton, v);
}
HRESULT ConnectObject::putref_MyButton3(IDispatch* v) noexcept {
  return setField(core_->insertAndSignButton, v);
}
HRESULT ConnectObject::get_MyButton(IDispatch** v) noexcept {
  return getField(core_->setUpPathButton, v);
}
HRESULT ConnectObject::putref_MyButton(IDispatch* v) noexcept {
  return setField(core_->setUpPathButton, v);
}

// The add-in callbacks: the "custom" array is never read, nor the add-in's own object.
HRESULT ConnectObject::IDTExtensibility2_OnConnection(IDispatch* Application,
                                                      ext_ConnectMode ConnectMode, IDispatch*,
                                                      SAFEARRAY**) noexcept {
  return guarded([&] {
    core_->OnConnection(DispatchObject::wrap(Application), ConnectMode);
    return S_OK;
  });
}
HRESULT ConnectObject::IDTExtensibility2_OnStartupComplete(SAFEARRAY**) noexcept {
  return command(&penvane::Connect::OnStartupComplete);
}
HRESULT ConnectObject::IDTExtensibility2_OnDisconnection(ext_DisconnectMode RemoveMode,
                                                         SAFEARRAY**) noexcept {
  return guarded([&] {
    core_->OnDisconnection(RemoveMode);
    return S_OK;
  });
}
HRESULT ConnectObject::IDTExtensibility2_OnBeginShutdown(SAFEARRAY**) noexcept {
  return command(&penvane::Connect::OnBeginShutdown);
}
HRESULT ConnectObject::IDTExtensibility2_OnAddInsUpdate(SAFEARRAY**) noexcept {
  return command(&penvane::Connect::OnAddInsUpdate);
}

HRESULT ConnectObject::command(Command command, automation::Location at) noexcept {
  return guarded(
      [&] {
        ((*core_).*command)();
        return S_OK;
      },
      at);
}

// The menu buttons' clicks: Ctrl and CancelDefault are neither read nor written.
HRESULT ConnectObject::MyButton_Click(IDispatch*, VARIANT_BOOL*) noexcept {
  return command(&penvane::Connect::SetUpPath);
}
HRESULT ConnectObject::MyButton1_Click(IDispatch*, VARIANT_BOOL*) noexcept {
  return command(&penvane::Connect::Insert);
}
HRESULT ConnectObject::MyButton2_Click(IDispatch*, VARIANT_BOOL*) noexcept {
  return command(&penvane::Connect::Sign);
}
HRESULT ConnectObject::MyButton3_Click(IDispatch*, VARIANT_BOOL*) noexcept {
  return command(&penvane::Connect::InsertAndSign);
}

// --- The ribbon ---------------------------------------------------------------------------------

HRESULT ConnectObject::ribbonAction(std::u16string_view onAction,
                                    automation::Location at) noexcept {
  return guarded(
      [&] {
        core_->RibbonAction(onAction);
        return S_OK;
      },
      at);
}

HRESULT ConnectObject::GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) noexcept {
  if (!RibbonXml) return E_POINTER;
  *RibbonXml = nullptr;
  return com::edge([&] {
    *RibbonXml = com::Bstr(penvane::ribbon::GetCustomUI(com::fromBstr(RibbonID))).detach();
    return S_OK;
  });
}

// The buttons' pictures: icons of the library's own, as OLE pictures that the ribbon owns.
HRESULT ConnectObject::Ribbon_LoadImage(BSTR imageId, IPictureDisp** image) noexcept {
  if (!image) return E_POINTER;
  *image = nullptr;
  return com::edge([&] {
    const auto index = penvane::ribbon::ImageIndex(com::fromBstr(imageId));
    if (!index) return E_INVALIDARG;
    return iconPicture(kFirstRibbonIcon + static_cast<int>(*index), image);
  });
}

HRESULT ConnectObject::Ribbon_OnLoad(IDispatch* ribbon) noexcept {
  return guarded([&] {
    core_->RibbonLoaded(DispatchObject::wrap(ribbon));
    return S_OK;
  });
}

HRESULT ConnectObject::Ribbon_GetStatusLabel(IDispatch*, BSTR* label) noexcept {
  if (!label) return E_POINTER;
  *label = nullptr;
  return guarded([&] {
    *label = com::Bstr(penvane::ribbon::StatusLabel(core_->ShownStatus())).detach();
    return S_OK;
  });
}

HRESULT ConnectObject::Ribbon_GetStatusImage(IDispatch*, IPictureDisp** image) noexcept {
  if (!image) return E_POINTER;
  *image = nullptr;
  return guarded([&] {
    const size_t index = penvane::ribbon::StatusImage(core_->ShownStatus());
    return iconPicture(kFirstStatusIcon + static_cast<int>(index), image);
  });
}

}  // namespace penvane::win

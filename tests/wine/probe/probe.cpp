// The probe server: Echo describes its arguments, Fail raises, Walk drives an application
// object through the client bridge, Target holds an object set by reference.
#include "probe.h"

#include <windows.h>

#include "win32/automation/convert.h"
#include "win32/automation/dispatch_object.h"
#include "win32/com/bstr.h"
#include "win32/com/class_factory.h"
#include "win32/com/dispatch.h"
#include "win32/com/registry.h"

#include "automation/object.h"
#include "base/error.h"
#include "base/unicode.h"
#include "host/office.h"

namespace {

using automation::Variant;

// What the host called on add-in probes, for the tests of the add-in loader.
std::wstring g_calls;

void note(const std::wstring& call) {
  if (!g_calls.empty()) g_calls += L";";
  g_calls += call;
}

class Probe final : public com::Dispatch<Probe, IProbe, IDTExtensibility2> {
 public:
  // IDTExtensibility2
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode mode,
                                         IDispatch* addInInst, SAFEARRAY**) noexcept override {
    note(L"OnConnection(" + std::to_wstring(mode) + (application ? L",app" : L",null") +
         (addInInst ? L",inst)" : L",null)"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode mode,
                                            SAFEARRAY**) noexcept override {
    note(L"OnDisconnection(" + std::to_wstring(mode) + L")");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) noexcept override {
    note(L"OnAddInsUpdate");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) noexcept override {
    note(L"OnStartupComplete");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) noexcept override {
    note(L"OnBeginShutdown");
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Echo(VARIANT first, VARIANT second, BSTR* result) noexcept override {
    return com::edge([&] {
      const bool omitted = V_VT(&second) == VT_ERROR && V_ERROR(&second) == DISP_E_PARAMNOTFOUND;
      std::string text = automation::win::fromVariant(first).describe() + ";" +
                         (omitted ? "missing" : automation::win::fromVariant(second).describe());
      *result = com::Bstr(text::fromUtf8(text)).detach();
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE Fail(BSTR description) noexcept override {
    return com::edge([&]() -> HRESULT {
      throw automation::Error(automation::hr::kAccessDenied, com::fromBstr(description), u"Probe");
    });
  }

  HRESULT STDMETHODCALLTYPE Walk(IDispatch* application, BSTR* report) noexcept override {
    return com::edge([&] {
      using namespace automation;
      const ObjectRef app = automation::win::DispatchObject::wrap(application);
      std::u16string out = toText(get(app, ""));
      put(app, "Visible", true);
      const ObjectRef controls =
          getObject(getObject(app, "CommandBars", {u"Menu Bar"}), "Controls");
      const ObjectRef popup = call(controls, "Add", {named("Type", int32_t{10})}).asObject();
      out += popup->supports(host::kCommandBarPopup) ? u";popup" : u";not a popup";
      try {
        get(app, "ActiveDocument");
      } catch (const Error& e) {
        out += u";" + e.description();
      }
      *report = com::Bstr(out).detach();
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_Target(IDispatch** target) noexcept override {
    if (!target) return E_POINTER;
    return target_.copyTo(target);
  }
  HRESULT STDMETHODCALLTYPE putref_Target(IDispatch* target) noexcept override {
    target_ = com::ComPtr<IDispatch>(target);
    return S_OK;
  }

 private:
  com::ComPtr<IDispatch> target_;
};

const com::ClassEntry kClasses[] = {{&CLSID_Probe, com::creator<Probe>}};

std::vector<com::Key> rows() {
  return registration::Library({com::fromGuid(LIBID_ProbeLib), 1, 0, u"Probe", 0, 0},
                               com::modulePath(), com::kArchitecture)
      .addInterface(com::fromGuid(IID_IProbe), u"IProbe")
      .addClass({com::fromGuid(CLSID_Probe), u"Probe", u"Cks.Probe"})
      .keys();
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  return com::getClassObject(kClasses, clsid, riid, ppv);
}
STDAPI DllCanUnloadNow() {
  return com::canUnloadNow();
}
STDAPI DllRegisterServer() {
  return com::registerServer(rows);
}
STDAPI DllUnregisterServer() {
  return com::unregisterServer(rows);
}
// For the tests of the add-in loader: the calls so far, cleared on reading.
extern "C" BSTR STDAPICALLTYPE ProbeCalls() {
  BSTR calls = SysAllocString(g_calls.c_str());
  g_calls.clear();
  return calls;
}
// For the tests of per-user registration: the same keys under HKCU\Software\Classes.
extern "C" HRESULT STDAPICALLTYPE ProbeRegisterUser(BOOL install) {
  return com::edge([&] {
    return install ? com::registerKeys(rows(), com::Scope::User)
                   : com::unregisterKeys(rows(), com::Scope::User);
  });
}

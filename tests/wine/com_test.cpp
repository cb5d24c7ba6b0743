// The COM layer under Wine: objects and their interface lists, the ABI edge, the class factory
// and unloading, registration and its exact undoing, the type-library IDispatch of a DLL.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "automation/error.h"
#include "probe.h"
#include "win32/automation/dispatch_object.h"
#include "win32/com/bstr.h"
#include "win32/com/edge.h"
#include "win32/com/module.h"
#include "win32/com/object.h"
#include "win32/com/registry.h"
#include "wine_test.h"

namespace {

using automation::Error;
using automation::Variant;
namespace hr = automation::hr;

class Thing final : public com::Object<Thing, IOleInPlaceObject, IPersist> {
 public:
  using Bases = com::Bases<IOleWindow>;

  HRESULT STDMETHODCALLTYPE GetWindow(HWND*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE UIDeactivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT, LPCRECT) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) noexcept override {
    *id = CLSID_NULL;
    return S_OK;
  }
};

TEST(ComObject, AnswersItsListAndBaseInterfacesWithOneIdentity) {
  const long before = com::module::locks();
  {
    auto thing = Thing::make();
    EXPECT_EQ(com::module::locks(), before + 1);
    com::ComPtr<IUnknown> a, b;
    com::ComPtr<IOleWindow> window;
    com::ComPtr<IPersist> persist;
    com::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(thing.query(window), S_OK);  // a base of IOleInPlaceObject
    ASSERT_EQ(thing.query(persist), S_OK);
    EXPECT_EQ(thing.query(dispatch), E_NOINTERFACE);
    ASSERT_EQ(window.query(a), S_OK);
    ASSERT_EQ(persist.query(b), S_OK);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(static_cast<void*>(window.get()),
              static_cast<void*>(static_cast<IOleInPlaceObject*>(thing.get())));
  }
  EXPECT_EQ(com::module::locks(), before);
}

TEST(ComObject, AttachTakesOverWhileConstructionShares) {
  auto thing = Thing::make();
  IPersist* raw = thing.get();
  {
    com::ComPtr<IPersist> shared(raw);  // AddRef
    EXPECT_EQ(raw->AddRef(), 3u);
    auto owner = com::ComPtr<IPersist>::attach(raw);  // takes the reference just made
  }
  EXPECT_EQ(raw->AddRef(), 2u);
  raw->Release();
}

TEST(ComEdge, ExceptionsBecomeHresultsWithTheirDescription) {
  EXPECT_EQ(com::edge([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
  EXPECT_EQ(com::edge([]() -> HRESULT { throw std::runtime_error("x"); }), E_FAIL);
  EXPECT_EQ(com::edge([]() -> HRESULT { throw 7; }), E_UNEXPECTED);
  EXPECT_EQ(com::edge([]() -> HRESULT { throw Error(hr::kBadIndex, u"no item 9"); }),
            DISP_E_BADINDEX);
  com::ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  com::Bstr description;
  info->GetDescription(description.put());
  EXPECT_EQ(description.str(), u"no item 9");
}

TEST(ComBstr, KeepsEmbeddedNulsAndReadsNullAsEmpty) {
  const std::u16string text(u"a\0b\u1EEF", 4);
  EXPECT_EQ(com::Bstr(text).str(), text);
  EXPECT_EQ(com::u16(BSTR(nullptr)), u"");
}

class ProbeServer : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(winetest::binPath(L"Probe.dll").c_str());
    ASSERT_NE(module_, nullptr);
    getClassObject_ = winetest::export_<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>(
        module_, "DllGetClassObject");
    canUnloadNow_ = winetest::export_<HRESULT STDAPICALLTYPE()>(module_, "DllCanUnloadNow");
    ASSERT_TRUE(getClassObject_ && canUnloadNow_);
  }
  void TearDown() override { FreeLibrary(module_); }

  HMODULE module_ = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
};

TEST_F(ProbeServer, ClassFactoryCreatesRefusesAggregationAndUnloadsWhenAllIsReleased) {
  com::ComPtr<IClassFactory> factory;
  EXPECT_EQ(getClassObject_(IID_IProbe, IID_IClassFactory, factory.putVoid()),
            CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(getClassObject_(CLSID_Probe, IID_IClassFactory, factory.putVoid()), S_OK);
  EXPECT_EQ(canUnloadNow_(), S_FALSE);

  com::ComPtr<IUnknown> aggregate;
  auto outer = Thing::make();
  EXPECT_EQ(factory->CreateInstance(outer->identity(), IID_IUnknown, aggregate.putVoid()),
            CLASS_E_NOAGGREGATION);
  com::ComPtr<IProbe> probe;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IProbe, probe.putVoid()), S_OK);
  factory->LockServer(TRUE);
  factory.reset();
  probe.reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);  // locked
  ASSERT_EQ(getClassObject_(CLSID_Probe, IID_IClassFactory, factory.putVoid()), S_OK);
  factory->LockServer(FALSE);
  factory.reset();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

std::wstring probeRegistration(HKEY root, const std::wstring& base) {
  return winetest::dumpKey(root, base + L"CLSID\\" + com::guidString(CLSID_Probe)) +
         winetest::dumpKey(root, base + L"Cks.Probe") +
         winetest::dumpKey(root, base + L"TypeLib\\" + com::guidString(LIBID_ProbeLib)) +
         winetest::dumpKey(root, base + L"Interface\\" + com::guidString(IID_IProbe)) +
         winetest::dumpKey(root, base + L"Interface\\{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}");
}

TEST(Registration, Regsvr32WritesTheKeysAndUnregisteringRestoresTheRegistryExactly) {
  const std::wstring dll = winetest::binPath(L"Probe.dll");
  // Something that is not ours, under a key that we write into.
  const std::wstring foreign = L"TypeLib\\" + com::guidString(LIBID_ProbeLib) + L"\\9.9";
  ASSERT_EQ(com::registerKeys({com::Key::ours(com::u16(foreign)).value(u"", u"another version")},
                              com::Scope::Machine),
            S_OK);
  const std::wstring before = probeRegistration(HKEY_CLASSES_ROOT, L"");

  ASSERT_EQ(winetest::regsvr32(dll), 0);
  const std::wstring registered = probeRegistration(HKEY_CLASSES_ROOT, L"");
  EXPECT_THAT(registered, testing::HasSubstr(L"InprocServer32] ThreadingModel=Apartment"));
  EXPECT_THAT(registered, testing::HasSubstr(L"\\1.0\\0\\win64] =" + dll));
  EXPECT_THAT(registered, testing::HasSubstr(L"Cks.Probe\\CLSID] =" + com::guidString(CLSID_Probe)));
  EXPECT_THAT(registered, testing::Not(testing::HasSubstr(L"B65AD801")));  // not ours to register
  ASSERT_EQ(winetest::regsvr32(dll), 0);
  EXPECT_EQ(probeRegistration(HKEY_CLASSES_ROOT, L""), registered);

  ASSERT_EQ(winetest::regsvr32(dll, /*unregister=*/true), 0);
  EXPECT_EQ(probeRegistration(HKEY_CLASSES_ROOT, L""), before);
  com::unregisterKeys({com::Key::ours(com::u16(foreign))}, com::Scope::Machine);
}

TEST_F(ProbeServer, PerUserRegistrationGoesUnderTheUsersClasses) {
  auto registerUser = winetest::export_<HRESULT STDAPICALLTYPE(BOOL)>(module_, "ProbeRegisterUser");
  ASSERT_NE(registerUser, nullptr);
  const std::wstring userClasses = L"Software\\Classes\\";
  const std::wstring before = probeRegistration(HKEY_CURRENT_USER, userClasses);
  ASSERT_EQ(registerUser(TRUE), S_OK);
  EXPECT_THAT(probeRegistration(HKEY_CURRENT_USER, userClasses),
              testing::HasSubstr(L"InprocServer32] ThreadingModel=Apartment"));
  ASSERT_EQ(registerUser(FALSE), S_OK);
  EXPECT_EQ(probeRegistration(HKEY_CURRENT_USER, userClasses), before);

  // Unregistering the server removes what is ours in both places.
  ASSERT_EQ(registerUser(TRUE), S_OK);
  ASSERT_EQ(winetest::regsvr32(winetest::binPath(L"Probe.dll"), /*unregister=*/true), 0);
  EXPECT_EQ(probeRegistration(HKEY_CURRENT_USER, userClasses), before);
}

class RegisteredProbe : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(winetest::regsvr32(winetest::binPath(L"Probe.dll")), 0); }
  static void TearDownTestSuite() {
    winetest::regsvr32(winetest::binPath(L"Probe.dll"), /*unregister=*/true);
  }
  automation::ObjectRef create() {
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(L"Cks.Probe", &clsid), S_OK);
    com::ComPtr<IDispatch> dispatch;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               dispatch.putVoid()),
              S_OK);
    return winauto::DispatchObject::wrap(dispatch.get());
  }
};

TEST_F(RegisteredProbe, TypeLibraryDispatchTakesPositionalNamedAndOmittedArguments) {
  auto probe = create();
  EXPECT_EQ(automation::call(probe, "Echo", {int16_t{1}, u"two"}), Variant(u"1%;\"two\""));
  EXPECT_EQ(automation::call(probe, "echo", {int32_t{1}}), Variant(u"1&;missing"));
  EXPECT_EQ(automation::call(probe, "Echo", {automation::named("second", true),
                                             automation::named("first", 2.5)}),
            Variant(u"2.5#;True"));
  try {
    automation::call(probe, "Echo", {automation::named("third", 1)});
    ADD_FAILURE() << "unknown named argument accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 448);
  }
}

TEST_F(RegisteredProbe, FailuresInsideTheServerReachTheCallerWithTheirDescription) {
  auto probe = create();
  try {
    automation::call(probe, "Fail", {u"no access to the file"});
    ADD_FAILURE() << "no failure";
  } catch (const Error& e) {
    EXPECT_EQ(e.hresult(), hr::kAccessDenied);
    EXPECT_EQ(e.description(), u"no access to the file");
    EXPECT_EQ(e.source(), u"Probe");
  }
  try {
    automation::get(probe, "NoSuchMember");
    ADD_FAILURE() << "no failure";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 438);
  }
}

TEST_F(RegisteredProbe, AnObjectSetByReferenceComesBackAsTheSameObject) {
  auto probe = create();
  auto other = create();
  automation::putRef(probe, "Target", other);
  auto back = automation::get(probe, "Target").asObject();
  auto* proxy = dynamic_cast<winauto::DispatchObject*>(back.get());
  ASSERT_NE(proxy, nullptr);
  com::ComPtr<IUnknown> a, b;
  com::ComPtr<IDispatch>(proxy->dispatch()).query(a);
  com::ComPtr<IDispatch>(dynamic_cast<winauto::DispatchObject&>(*other).dispatch()).query(b);
  EXPECT_EQ(a.get(), b.get());
}

}  // namespace

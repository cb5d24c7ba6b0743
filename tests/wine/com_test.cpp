// The COM layer under Wine: objects and their interface lists, the ABI edge, the class factory
// and unloading, registration and its exact undoing, the type-library IDispatch of a DLL, and the
// control's COM contracts (its connection points, its client site).
#include <olectl.h>

#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/automation/dispatch_object.h"
#include "win32/com/bstr.h"
#include "win32/com/edge.h"
#include "win32/com/module.h"
#include "win32/com/object.h"
#include "win32/com/registry.h"
#include "wordhost/ole_container.h"

#include "base/error.h"
#include "probe.h"
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

// A view that implements IViewObjectEx and declares the bases it answers through it.
template <class Declared>
class View final : public com::Object<View<Declared>, IViewObjectEx> {
 public:
  using Bases = Declared;

  HRESULT STDMETHODCALLTYPE Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECTL, LPCRECTL,
                                 BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) noexcept override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                        LOGPALETTE**) noexcept override {
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD, IAdviseSink*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD*, DWORD*, IAdviseSink**) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetRect(DWORD, LPRECTL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD, LPCRECT, POINT, LONG, DWORD*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*,
                                             LPSIZEL) noexcept override {
    return E_NOTIMPL;
  }
};

TEST(ComObject, AnswersTheBasesAClassDeclaresAndNoOthers) {
  auto view = View<com::Bases<IViewObject2, IViewObject>>::make();
  com::ComPtr<IViewObjectEx> ex;
  com::ComPtr<IViewObject2> view2;
  com::ComPtr<IViewObject> view1;
  ASSERT_EQ(view.query(ex), S_OK);
  ASSERT_EQ(view.query(view2), S_OK);
  ASSERT_EQ(view.query(view1), S_OK);
  EXPECT_EQ(static_cast<void*>(view2.get()), static_cast<void*>(ex.get()));
  EXPECT_EQ(static_cast<void*>(view1.get()), static_cast<void*>(ex.get()));
  com::ComPtr<IUnknown> a, b;
  ASSERT_EQ(view1.query(a), S_OK);
  ASSERT_EQ(ex.query(b), S_OK);
  EXPECT_EQ(a.get(), b.get());
  com::ComPtr<IDispatch> dispatch;
  com::ComPtr<IOleWindow> window;
  EXPECT_EQ(view.query(dispatch), E_NOINTERFACE);
  EXPECT_EQ(view.query(window), E_NOINTERFACE);

  // What is not declared is not answered, though the class derives from it.
  auto bare = View<com::Bases<IViewObject2>>::make();
  EXPECT_EQ(bare.query(view2), S_OK);
  EXPECT_EQ(bare.query(view1), E_NOINTERFACE);
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
  EXPECT_EQ(com::fromBstr(nullptr), u"");
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
  EXPECT_THAT(registered,
              testing::HasSubstr(L"Cks.Probe\\CLSID] =" + com::guidString(CLSID_Probe)));
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
  static void SetUpTestSuite() {
    ASSERT_EQ(winetest::regsvr32(winetest::binPath(L"Probe.dll")), 0);
  }
  static void TearDownTestSuite() {
    winetest::regsvr32(winetest::binPath(L"Probe.dll"), /*unregister=*/true);
  }
  automation::ObjectRef create() {
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(L"Cks.Probe", &clsid), S_OK);
    com::ComPtr<IDispatch> dispatch;
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch.putVoid()),
        S_OK);
    return automation::win::DispatchObject::wrap(dispatch.get());
  }
};

TEST_F(RegisteredProbe, TypeLibraryDispatchTakesPositionalNamedAndOmittedArguments) {
  auto probe = create();
  EXPECT_EQ(automation::call(probe, "Echo", {int16_t{1}, u"two"}), Variant(u"1%;\"two\""));
  EXPECT_EQ(automation::call(probe, "echo", {int32_t{1}}), Variant(u"1&;missing"));
  EXPECT_EQ(automation::call(probe, "Echo",
                             {automation::named("second", true), automation::named("first", 2.5)}),
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
  auto* proxy = dynamic_cast<automation::win::DispatchObject*>(back.get());
  ASSERT_NE(proxy, nullptr);
  com::ComPtr<IUnknown> a, b;
  com::ComPtr<IDispatch>(proxy->dispatch()).query(a);
  com::ComPtr<IDispatch>(dynamic_cast<automation::win::DispatchObject&>(*other).dispatch())
      .query(b);
  EXPECT_EQ(a.get(), b.get());
}

// The control SignData as a COM object, created from Sealbrook.ocx's class factory.
class SignDataControl : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Loaded once and kept: the control's window class lives as long as the process.
    const HMODULE module = LoadLibraryW(winetest::binPath(L"Sealbrook.ocx").c_str());
    ASSERT_NE(module, nullptr);
    getClassObject_ = winetest::export_<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>(
        module, "DllGetClassObject");
    canUnloadNow_ = winetest::export_<HRESULT STDAPICALLTYPE()>(module, "DllCanUnloadNow");
    ASSERT_TRUE(getClassObject_ && canUnloadNow_);
  }
  void SetUp() override {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromString(L"{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}", &clsid), S_OK);
    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject_(clsid, IID_IClassFactory, factory.putVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, control_.putVoid()), S_OK);
    ASSERT_EQ(control_.query(container_), S_OK);
  }
  void TearDown() override {
    if (control_) control_->Close(OLECLOSE_NOSAVE);
  }

  static ULONG references(IUnknown* object) {
    object->AddRef();
    return object->Release();
  }
  com::ComPtr<IConnectionPoint> point(REFIID iid) {
    com::ComPtr<IConnectionPoint> found;
    EXPECT_EQ(container_->FindConnectionPoint(iid, found.put()), S_OK);
    return found;
  }

  static inline HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
  static inline HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
  com::ComPtr<IOleObject> control_;
  com::ComPtr<IConnectionPointContainer> container_;
};

// {9BA10D34-A1E9-4E35-A79B-7D9107CA7493}, the control's event interface __SignData
const IID kSignDataEvents = {
    0x9BA10D34, 0xA1E9, 0x4E35, {0xA7, 0x9B, 0x7D, 0x91, 0x07, 0xCA, 0x74, 0x93}};

class PropertySink final : public com::Object<PropertySink, IPropertyNotifySink> {
 public:
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) noexcept override { return S_OK; }
};

TEST_F(SignDataControl, FindsTheSamePointForAnInterfaceEveryTimeAndNoneForOthers) {
  const auto notify = point(IID_IPropertyNotifySink);
  const auto events = point(kSignDataEvents);
  EXPECT_EQ(point(IID_IPropertyNotifySink), notify);
  EXPECT_EQ(point(kSignDataEvents), events);
  EXPECT_NE(notify, events);
  IID iid{};
  ASSERT_EQ(events->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, kSignDataEvents));
  com::ComPtr<IConnectionPoint> none;
  EXPECT_EQ(container_->FindConnectionPoint(IID_IDispatch, none.put()), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(none.get(), nullptr);

  // A point is an object of its own that answers only for itself.
  com::ComPtr<IUnknown> pointIdentity, controlIdentity;
  com::ComPtr<IConnectionPointContainer> throughPoint;
  ASSERT_EQ(notify.query(pointIdentity), S_OK);
  ASSERT_EQ(control_.query(controlIdentity), S_OK);
  EXPECT_EQ(static_cast<void*>(pointIdentity.get()), static_cast<void*>(notify.get()));
  EXPECT_NE(pointIdentity.get(), controlIdentity.get());
  EXPECT_EQ(notify.query(throughPoint), E_NOINTERFACE);
}

TEST_F(SignDataControl, APointKeepsItsControlAliveAndNothingOutlivesBoth) {
  auto notify = point(IID_IPropertyNotifySink);
  com::ComPtr<IUnknown> identity;
  ASSERT_EQ(control_.query(identity), S_OK);
  IUnknown* const raw = identity.get();
  identity.reset();
  container_.reset();
  control_.reset();  // only the point is held now

  com::ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(notify->GetConnectionPointContainer(container.put()), S_OK);
  ASSERT_EQ(container.query(identity), S_OK);
  EXPECT_EQ(identity.get(), raw);
  com::ComPtr<IOleObject> object;
  ASSERT_EQ(container.query(object), S_OK);
  object->Close(OLECLOSE_NOSAVE);
  object.reset();
  identity.reset();
  container.reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  notify.reset();  // the last reference: the control goes, and its points with it
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(SignDataControl, AdviseTakesOnlySinksOfThePointsInterfaceAndKeepsTheReferenceItGot) {
  const auto notify = point(IID_IPropertyNotifySink);
  auto stranger = Thing::make();
  DWORD cookie = 99;
  EXPECT_EQ(notify->Advise(stranger->identity(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(references(stranger->identity()), 1u);

  auto sink = PropertySink::make();
  ASSERT_EQ(notify->Advise(sink->identity(), &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(references(sink->identity()), 2u);
  DWORD refused = 0;
  EXPECT_EQ(point(kSignDataEvents)->Advise(sink->identity(), &refused), CONNECT_E_CANNOTCONNECT);

  com::ComPtr<IEnumConnections> connections;
  ASSERT_EQ(notify->EnumConnections(connections.put()), S_OK);
  CONNECTDATA data[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(2, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  auto held = com::ComPtr<IUnknown>::attach(data[0].pUnk);
  com::ComPtr<IPropertyNotifySink> asSink;
  ASSERT_EQ(sink.query(asSink), S_OK);
  EXPECT_EQ(static_cast<void*>(held.get()), static_cast<void*>(asSink.get()));
  EXPECT_EQ(data[0].dwCookie, cookie);
  held.reset();
  asSink.reset();
  connections.reset();

  ASSERT_EQ(notify->Unadvise(cookie), S_OK);
  EXPECT_EQ(references(sink->identity()), 1u);
  EXPECT_EQ(notify->Unadvise(cookie), CONNECT_E_NOCONNECTION);

  // Closing lets go of every sink still connected.
  ASSERT_EQ(notify->Advise(sink->identity(), &cookie), S_OK);
  control_->Close(OLECLOSE_NOSAVE);
  EXPECT_EQ(references(sink->identity()), 1u);
}

TEST_F(SignDataControl, EnumeratesItsPointsAsFindConnectionPointHandsThemOut) {
  com::ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container_->EnumConnectionPoints(points.put()), S_OK);
  IConnectionPoint* first[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(3, first, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  auto a = com::ComPtr<IConnectionPoint>::attach(first[0]);
  auto b = com::ComPtr<IConnectionPoint>::attach(first[1]);
  EXPECT_EQ(a, point(kSignDataEvents));
  EXPECT_EQ(b, point(IID_IPropertyNotifySink));
  EXPECT_EQ(points->Next(1, first, nullptr), S_FALSE);

  ASSERT_EQ(points->Reset(), S_OK);
  EXPECT_EQ(points->Skip(1), S_OK);
  com::ComPtr<IEnumConnectionPoints> clone;
  ASSERT_EQ(points->Clone(clone.put()), S_OK);
  IConnectionPoint* next = nullptr;
  ASSERT_EQ(clone->Next(1, &next, nullptr), S_OK);
  EXPECT_EQ(com::ComPtr<IConnectionPoint>::attach(next), b);
  EXPECT_EQ(points->Skip(2), S_FALSE);
  EXPECT_EQ(points->Next(2, first, nullptr), E_POINTER);  // more than one needs a count
}

TEST_F(SignDataControl, TakingTheClientSiteAwayReleasesItWithTheInPlaceSite) {
  const HWND document = CreateWindowExW(0, L"STATIC", L"document", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                        300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(document, nullptr);
  const long sites = wordhost::ControlSite::alive();
  RECT position{10, 10, 250, 146};
  auto site = wordhost::ControlSite::make(document, position);
  ASSERT_EQ(control_->SetClientSite(site.get()), S_OK);
  ASSERT_EQ(control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, document, &position),
            S_OK);
  com::ComPtr<IOleInPlaceObject> inPlace;
  ASSERT_EQ(control_.query(inPlace), S_OK);
  HWND window = nullptr;
  ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_GT(references(site->identity()), 1u);

  ASSERT_EQ(control_->SetClientSite(nullptr), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_THAT(site->calls, testing::Contains("OnInPlaceDeactivate"));
  com::ComPtr<IOleClientSite> current;
  EXPECT_EQ(control_->GetClientSite(current.put()), S_OK);
  EXPECT_EQ(current.get(), nullptr);
  site.reset();  // ours was the last reference
  EXPECT_EQ(wordhost::ControlSite::alive(), sites);
  DestroyWindow(document);
}

}  // namespace

// A hostile caller of both libraries through real COM: Penvane.Connect and Sealbrook.SignData as
// regsvr32 registers them and CoCreateInstance makes them, called as no well-behaved host calls
// them. Every interface's identity and reference count, the class factories and unloading;
// IDispatch with unknown names, broken argument arrays and VARIANTs of no valid type; the
// add-in's callbacks out of order, twice, after disconnection, against a host that is not Word,
// one whose every member fails, one that answers nonsense and one that lets the add-in go in the
// middle of a call; the control without a site, with odd verbs, extents, aspects, formats and
// bounds, loaded from every kind of broken stream and storage, and released by its container
// while it activates. Each case answers with its documented HRESULT; nothing crashes, hangs or
// leaks, and each test ends with both libraries ready to unload.
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/com_ptr.h"
#include "win32/com/connection_point.h"
#include "win32/com/guid.h"
#include "win32/com/object.h"
#include "win32/com/variant.h"
#include "win32/penvane/window_names.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/resources.h"
#include "wordhost/running_word.h"

#include "extensibility.h"
#include "host/office.h"
#include "ribbon.h"
#include "sealbrook/record.h"
#include "text/literals.h"
#include "wine_test.h"

// MinGW-w64's objsafe.h declares IObjectSafety without its identifier for __uuidof.
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IObjectSafety, 0xCB5BDC81, 0x93C1, 0x11CF, 0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0,
                0x64)
#endif

namespace {

using testing::AnyOf;
using testing::Eq;

GUID guidOf(const wchar_t* text) {
  GUID guid{};
  CLSIDFromString(text, &guid);
  return guid;
}

const GUID kConnectClass = guidOf(L"{72122E6D-358D-4A2B-946F-177E22D274BC}");
const GUID kConnectInterface = guidOf(L"{598B77D4-DFD1-4DD6-BBDC-2F978B5D11FE}");
const GUID kSignDataClass = guidOf(L"{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}");
const GUID kSignDataInterface = guidOf(L"{DEA3D560-A645-43D5-BDF6-A07383F18A83}");
const GUID kSignDataEvents = guidOf(L"{9BA10D34-A1E9-4E35-A79B-7D9107CA7493}");
const GUID kNobodysInterface = guidOf(L"{0D2C5E6A-9A51-4B7E-8F1C-3E0A7B9D4C21}");

// The members of _Connect, by their dispatch ids.
enum ConnectId : DISPID {
  kHostApp = 1,
  kButton1 = 2,
  kOnStartupComplete = 7,
  kButton1Click = 10,
  kButton2Click = 11,
  kButton3Click = 12,
  kOnAddInsUpdate = 13,
  kRibbonInsert = 16,
  kRibbonSign = 17,
  kRibbonInsertAndSign = 18,
  kRibbonLoadImage = 19,
};

// One of the two libraries, loaded beside COM for the whole suite so that its exports can be
// called directly.
struct Library {
  const wchar_t* file;
  HMODULE module = nullptr;

  HRESULT canUnloadNow() const {
    return winetest::export_<HRESULT STDAPICALLTYPE()>(module, "DllCanUnloadNow")();
  }
  HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    return winetest::export_<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>(
        module, "DllGetClassObject")(clsid, iid, out);
  }
};

ULONG references(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

// Arguments of an IDispatch call, the last one first as DISPPARAMS holds them. Owns its VARIANTs
// unless they are by reference.
class Arguments {
 public:
  Arguments() = default;
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (auto& v : values_)
      if (!(V_VT(&v) & VT_BYREF)) VariantClear(&v);
  }
  // Appends the next argument (in the callee's order).
  Arguments& add(const VARIANT& v) {
    values_.insert(values_.begin(), v);
    return *this;
  }
  Arguments& object(IDispatch* dispatch) {
    VARIANT v{};
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = dispatch;
    if (dispatch) dispatch->AddRef();
    return add(v);
  }
  Arguments& text(const wchar_t* value) {
    VARIANT v{};
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(value);
    return add(v);
  }
  Arguments& integer(int32_t value) {
    VARIANT v{};
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return add(v);
  }
  Arguments& ofType(VARTYPE vt) {
    VARIANT v{};
    V_VT(&v) = vt;
    return add(v);
  }
  Arguments& missing() {
    VARIANT v{};
    V_VT(&v) = VT_ERROR;
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    return add(v);
  }
  Arguments& booleanRef(VARIANT_BOOL* at) {
    VARIANT v{};
    V_VT(&v) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&v) = at;
    return add(v);
  }
  Arguments& customRef(SAFEARRAY** at) {
    VARIANT v{};
    V_VT(&v) = VT_BYREF | VT_ARRAY | VT_VARIANT;
    V_ARRAYREF(&v) = at;
    return add(v);
  }

  DISPPARAMS* params() {
    params_ = DISPPARAMS{values_.empty() ? nullptr : values_.data(), nullptr,
                         static_cast<UINT>(values_.size()), 0};
    return &params_;
  }
  // For a property put: the value is the named argument DISPID_PROPERTYPUT.
  DISPPARAMS* putParams() {
    params_ = DISPPARAMS{values_.data(), &put_, static_cast<UINT>(values_.size()), 1};
    return &params_;
  }

 private:
  std::vector<VARIANT> values_;
  DISPID put_ = DISPID_PROPERTYPUT;
  DISPPARAMS params_{};
};

HRESULT invoke(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params,
               VARIANT* result = nullptr, UINT* argError = nullptr) {
  EXCEPINFO info{};
  const HRESULT hr =
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result, &info, argError);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrHelpFile);
  return hr;
}
HRESULT call(IDispatch* object, DISPID id, Arguments& args) {
  com::ScopedVariant result;
  return invoke(object, id, DISPATCH_METHOD, args.params(), result.ptr());
}

// An IDispatch of the caller's own that knows no name and has no member.
template <class Derived, class... More>
class Mute : public com::Object<Derived, IDispatch, More...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

// The outer object for aggregation; a stranger to put where a command-bar button belongs.
class Stranger final : public Mute<Stranger> {};

// --- The suite: both libraries registered and loaded --------------------------------------------

class Hostile : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (Library* library : {&penvane_, &sealbrook_}) {
      const std::wstring path = winetest::binPath(library->file);
      ASSERT_EQ(winetest::regsvr32(path), 0);
      library->module = LoadLibraryW(path.c_str());
      ASSERT_NE(library->module, nullptr);
    }
  }
  static void TearDownTestSuite() {
    for (Library* library : {&penvane_, &sealbrook_}) {
      winetest::regsvr32(winetest::binPath(library->file), /*unregister=*/true);
      FreeLibrary(library->module);
    }
  }
  void TearDown() override {
    // Whatever a test made of either library is gone at its end, once the path form that the
    // add-in's start-up loads is closed: while it is open, Penvane.dll stays.
    EXPECT_EQ(penvane_.canUnloadNow(), pathForm() ? S_FALSE : S_OK);
    closePathForm();
    EXPECT_EQ(penvane_.canUnloadNow(), S_OK);
    EXPECT_EQ(sealbrook_.canUnloadNow(), S_OK);
  }

  static HWND pathForm() { return FindWindowW(penvane::win::kFormClass, nullptr); }
  static void closePathForm() {
    if (const HWND form = pathForm()) SendMessageW(form, WM_CLOSE, 0, 0);
  }

  template <class I>
  static com::ComPtr<I> create(REFCLSID clsid) {
    com::ComPtr<I> made;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), made.putVoid()),
              S_OK);
    return made;
  }
  static com::ComPtr<IDispatch> createDispatch(REFCLSID clsid, REFIID primary) {
    com::ComPtr<IDispatch> made;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, primary, made.putVoid()),
              S_OK);
    return made;
  }

  static inline Library penvane_{L"Penvane.dll"};
  static inline Library sealbrook_{L"Sealbrook.ocx"};
};

// --- Identity, reference counts, class factories, unloading -------------------------------------

// The interfaces each object answers.
std::vector<IID> connectInterfaces() {
  return {IID_IUnknown, IID_IDispatch, kConnectInterface, __uuidof(IDTExtensibility2),
          __uuidof(IRibbonExtensibility)};
}
std::vector<IID> signDataInterfaces() {
  return {IID_IUnknown,
          IID_IDispatch,
          kSignDataInterface,
          IID_IOleObject,
          IID_IOleWindow,
          IID_IOleInPlaceObject,
          IID_IOleInPlaceActiveObject,
          IID_IOleControl,
          IID_IViewObject,
          IID_IViewObject2,
          IID_IPersist,
          IID_IPersistStreamInit,
          IID_IPersistStorage,
          IID_IDataObject,
          IID_IProvideClassInfo,
          IID_IProvideClassInfo2,
          IID_IConnectionPointContainer,
          __uuidof(IObjectSafety)};
}

// The same IUnknown from every interface; from each interface to every other and on to every
// third (reflexive, symmetric, transitive); a null out pointer and an unknown interface refused
// with null; and the reference count back where it started.
void expectOneIdentity(IUnknown* object, const std::vector<IID>& iids) {
  com::ComPtr<IUnknown> identity;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
  const ULONG start = references(identity.get());
  {
    std::vector<com::ComPtr<IUnknown>> answered;
    for (const IID& iid : iids) {
      com::ComPtr<IUnknown> p;
      ASSERT_EQ(object->QueryInterface(iid, p.putVoid()), S_OK) << com::guidString(iid);
      answered.push_back(p);
    }
    for (size_t a = 0; a < iids.size(); ++a) {
      SCOPED_TRACE(com::guidString(iids[a]));
      com::ComPtr<IUnknown> back;
      ASSERT_EQ(answered[a]->QueryInterface(IID_IUnknown, back.putVoid()), S_OK);
      EXPECT_EQ(back.get(), identity.get());
      for (size_t b = 0; b < iids.size(); ++b) {
        com::ComPtr<IUnknown> other;
        ASSERT_EQ(answered[a]->QueryInterface(iids[b], other.putVoid()), S_OK);
        for (size_t c = 0; c < iids.size(); ++c) {
          com::ComPtr<IUnknown> third;
          EXPECT_EQ(other->QueryInterface(iids[c], third.putVoid()), S_OK);
        }
      }
      EXPECT_EQ(answered[a]->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
      void* none = &none;
      EXPECT_EQ(answered[a]->QueryInterface(kNobodysInterface, &none), E_NOINTERFACE);
      EXPECT_EQ(none, nullptr);
    }
  }
  EXPECT_EQ(references(identity.get()), start);
  for (int i = 0; i < 100; ++i) identity->AddRef();
  for (int i = 0; i < 100; ++i) identity->Release();
  EXPECT_EQ(references(identity.get()), start);
}

TEST_F(Hostile, EveryInterfaceOfEitherObjectAnswersWithOneIdentity) {
  {
    SCOPED_TRACE("Penvane.Connect");
    expectOneIdentity(create<IUnknown>(kConnectClass).get(), connectInterfaces());
  }
  {
    SCOPED_TRACE("Sealbrook.SignData");
    expectOneIdentity(create<IUnknown>(kSignDataClass).get(), signDataInterfaces());
  }
  // Interfaces a control might have and this one has not.
  const auto control = create<IUnknown>(kSignDataClass);
  for (const IID& iid : {IID_IViewObjectEx, IID_IOleInPlaceObjectWindowless, IID_IPersistFile,
                         IID_IPersistPropertyBag, IID_IQuickActivate, IID_IClassFactory}) {
    void* none = &none;
    EXPECT_EQ(control->QueryInterface(iid, &none), E_NOINTERFACE) << com::guidString(iid);
    EXPECT_EQ(none, nullptr);
  }
}

TEST_F(Hostile, ClassFactoriesRefuseAggregationAndUnknownInterfacesAndTheLibrariesThenUnload) {
  for (const auto& [library, clsid] :
       {std::pair{&penvane_, kConnectClass}, std::pair{&sealbrook_, kSignDataClass}}) {
    SCOPED_TRACE(library->file);
    void* none = &none;
    EXPECT_EQ(library->getClassObject(kNobodysInterface, IID_IClassFactory, &none),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(library->getClassObject(clsid, IID_IClassFactory, nullptr), E_POINTER);
    none = &none;
    EXPECT_EQ(library->getClassObject(clsid, kNobodysInterface, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(library->canUnloadNow(), S_OK);

    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(library->getClassObject(clsid, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(library->canUnloadNow(), S_FALSE);
    expectOneIdentity(factory.get(), {IID_IUnknown, IID_IClassFactory});
    const auto outer = Stranger::make();
    none = &none;
    EXPECT_EQ(factory->CreateInstance(outer->identity(), IID_IUnknown, &none),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(references(outer->identity()), 1u);
    none = &none;
    EXPECT_EQ(factory->CreateInstance(nullptr, kNobodysInterface, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);

    // A lock outlives the factory; the library unloads once it is undone.
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(library->canUnloadNow(), S_FALSE);
    ASSERT_EQ(library->getClassObject(clsid, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    com::ComPtr<IUnknown> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()), S_OK);
    factory.reset();
    EXPECT_EQ(library->canUnloadNow(), S_FALSE);  // the object is alive
    object.reset();
    EXPECT_EQ(library->canUnloadNow(), S_OK);
  }
}

TEST_F(Hostile, MadeAndReleasedOverAndOverNeitherObjectLeavesWindowsGdiObjectsOrHandles) {
  const auto cycle = [] {
    const auto addin = create<IDTExtensibility2>(kConnectClass);
    const auto control = create<IOleObject>(kSignDataClass);
    com::ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.query(persist), S_OK);
    ASSERT_EQ(persist->InitNew(), S_OK);
    control->Close(OLECLOSE_NOSAVE);
  };
  cycle();
  const long gdi = wordhost::gdiObjects(), user = wordhost::userObjects(),
             handles = wordhost::kernelHandles();
  for (int i = 0; i < 50; ++i) cycle();
  EXPECT_EQ(wordhost::gdiObjects(), gdi);
  EXPECT_EQ(wordhost::userObjects(), user);
  EXPECT_EQ(wordhost::kernelHandles(), handles);
}

// --- IDispatch -----------------------------------------------------------------------------------

TEST_F(Hostile, GetIdsOfNamesAnswersKnownNamesAndRefusesUnknownNamesNullArraysAndOtherInterfaces) {
  const auto connect = createDispatch(kConnectClass, kConnectInterface);
  const auto control = createDispatch(kSignDataClass, kSignDataInterface);
  wchar_t member[] = L"MyButton1_Click", parameter[] = L"CancelDefault", unknown[] = L"Nobody";
  LPOLESTR names[] = {member, parameter};
  DISPID ids[2] = {};
  ASSERT_EQ(connect->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), S_OK);
  EXPECT_EQ(ids[0], kButton1Click);
  EXPECT_EQ(ids[1], 1);
  names[1] = unknown;
  EXPECT_EQ(connect->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);

  for (IDispatch* object : {connect.get(), control.get()}) {
    LPOLESTR stranger[] = {unknown};
    DISPID id = 0;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, stranger, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    EXPECT_EQ(object->GetIDsOfNames(kNobodysInterface, stranger, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, stranger, 1, LOCALE_USER_DEFAULT, nullptr),
              E_POINTER);
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &id), E_POINTER);
    LPOLESTR nothing[] = {nullptr};
    id = 0;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, nothing, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    UINT count = 7;
    EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(object->GetTypeInfoCount(nullptr), E_POINTER);
    com::ComPtr<ITypeInfo> info;
    EXPECT_EQ(object->GetTypeInfo(1, LOCALE_USER_DEFAULT, info.put()), DISP_E_BADINDEX);
    EXPECT_EQ(info.get(), nullptr);
    EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
  }
}

// Broken argument arrays and VARIANTs are answered before anything reads them.
void expectArgumentsCheckedFirst(IDispatch* object, DISPID id) {
  UINT argError = 99;
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, nullptr), E_INVALIDARG);
  DISPPARAMS noArray{nullptr, nullptr, 2, 0};
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, &noArray), E_INVALIDARG);
  VARIANT two[2] = {};
  DISPID namedIds[3] = {0, 1, 2};
  DISPPARAMS moreNamedThanGiven{two, namedIds, 2, 3};
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, &moreNamedThanGiven), E_INVALIDARG);
  DISPPARAMS noNamedIds{two, nullptr, 2, 1};
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, &noNamedIds), E_INVALIDARG);

  for (const VARTYPE bad :
       {VARTYPE{0x7FFF}, VARTYPE{VT_VARIANT}, VARTYPE{15}, VARTYPE{VT_VECTOR | VT_I4},
        VARTYPE{VT_BYREF | VT_EMPTY}, VARTYPE{VT_ARRAY | VT_NULL}, VARTYPE{VT_LPWSTR}}) {
    SCOPED_TRACE(bad);
    Arguments args;
    args.object(nullptr).ofType(bad);
    argError = 99;
    EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, args.params(), nullptr, &argError),
              DISP_E_BADVARTYPE);
    EXPECT_EQ(argError, 0u);  // the last argument, first in the array
  }
  // By reference to nowhere; by reference to a by-reference VARIANT.
  for (const VARTYPE byRef :
       {VARTYPE{VT_BYREF | VT_BOOL}, VARTYPE{VT_BYREF | VT_BSTR}, VARTYPE{VT_BYREF | VT_VARIANT},
        VARTYPE{VT_BYREF | VT_DISPATCH}, VARTYPE{VT_BYREF | VT_ARRAY | VT_VARIANT}}) {
    SCOPED_TRACE(byRef);
    Arguments args;
    args.object(nullptr).ofType(byRef);
    EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, args.params()), E_POINTER);
  }
  VARIANT loop{};
  V_VT(&loop) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&loop) = &loop;
  Arguments looping;
  looping.object(nullptr).add(loop);
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, looping.params()), E_INVALIDARG);
}

TEST_F(Hostile, InvokeChecksItsArgumentsBeforeTheAutomationLibraryReadsThem) {
  wordhost::DialogDriver dialogs;
  {
    SCOPED_TRACE("_Connect");
    const auto connect = createDispatch(kConnectClass, kConnectInterface);
    expectArgumentsCheckedFirst(connect.get(), kButton1Click);
    // CancelDefault by reference to nowhere, the rest in order.
    Arguments click;
    click.object(nullptr).booleanRef(nullptr);
    EXPECT_EQ(call(connect.get(), kButton1Click, click), E_POINTER);
  }
  {
    SCOPED_TRACE("_SignData");
    const auto control = createDispatch(kSignDataClass, kSignDataInterface);
    expectArgumentsCheckedFirst(control.get(), DISPID_VALUE);
  }
  EXPECT_TRUE(dialogs.messages().empty());  // no click ran
}

TEST_F(Hostile, InvokeRefusesUnknownMembersWrongCountsAndTypesWithTheirDispatchErrors) {
  wordhost::DialogDriver dialogs;
  const auto connect = createDispatch(kConnectClass, kConnectInterface);
  const auto control = createDispatch(kSignDataClass, kSignDataInterface);
  Arguments none;
  for (IDispatch* object : {connect.get(), control.get()}) {
    EXPECT_EQ(invoke(object, 999, DISPATCH_METHOD, none.params()), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(object, DISPID_UNKNOWN, DISPATCH_METHOD, none.params()),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(object->Invoke(DISPID_VALUE, kNobodysInterface, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                             none.params(), nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
  }
  EXPECT_EQ(invoke(control.get(), DISPID_VALUE, DISPATCH_PROPERTYGET, none.params()),
            DISP_E_MEMBERNOTFOUND);

  // A property read with and without a place for the result, and with an argument too many.
  com::ScopedVariant value;
  EXPECT_EQ(invoke(connect.get(), kHostApp, DISPATCH_PROPERTYGET, none.params(), value.receive()),
            S_OK);
  EXPECT_EQ(V_VT(&value.get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&value.get()), nullptr);
  value.reset();
  EXPECT_EQ(invoke(connect.get(), kHostApp, DISPATCH_PROPERTYGET, none.params(), nullptr), S_OK);
  Arguments extra;
  extra.integer(1);
  EXPECT_EQ(invoke(connect.get(), kHostApp, DISPATCH_PROPERTYGET, extra.params(), value.receive()),
            DISP_E_BADPARAMCOUNT);

  // A click with too few and too many arguments, and with a text, a null or nothing where the
  // button belongs.
  VARIANT_BOOL cancel = VARIANT_FALSE;
  Arguments tooFew;
  tooFew.object(nullptr);
  EXPECT_THAT(call(connect.get(), kButton2Click, tooFew),
              AnyOf(Eq(DISP_E_BADPARAMCOUNT), Eq(DISP_E_PARAMNOTOPTIONAL)));
  Arguments tooMany;
  tooMany.object(nullptr).booleanRef(&cancel).integer(3);
  EXPECT_EQ(call(connect.get(), kButton2Click, tooMany), DISP_E_BADPARAMCOUNT);
  Arguments text;
  text.text(L"not a button").booleanRef(&cancel);
  EXPECT_EQ(call(connect.get(), kButton2Click, text), DISP_E_TYPEMISMATCH);
  Arguments null;
  null.ofType(VT_NULL).booleanRef(&cancel);
  EXPECT_EQ(call(connect.get(), kButton2Click, null), DISP_E_TYPEMISMATCH);
  Arguments missing;
  missing.missing().booleanRef(&cancel);
  EXPECT_THAT(call(connect.get(), kButton2Click, missing),
              AnyOf(Eq(DISP_E_PARAMNOTOPTIONAL), Eq(DISP_E_TYPEMISMATCH)));
  // Nothing where the button belongs: no button (the click runs), or no object at all.
  Arguments empty;
  empty.ofType(VT_EMPTY).booleanRef(&cancel);
  EXPECT_THAT(call(connect.get(), kButton2Click, empty), AnyOf(Eq(S_OK), Eq(DISP_E_TYPEMISMATCH)));
  EXPECT_EQ(cancel, VARIANT_FALSE);

  // A picture nobody has: the member's failure, as an exception of the call.
  Arguments image;
  image.text(L"no such image");
  EXCEPINFO info{};
  EXPECT_EQ(connect->Invoke(kRibbonLoadImage, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                            image.params(), value.receive(), &info, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(info.scode, E_INVALIDARG);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrHelpFile);
  Arguments strangerField;
  strangerField.text(L"a text for a button");
  EXPECT_EQ(invoke(connect.get(), kButton1, DISPATCH_PROPERTYPUTREF, strangerField.putParams()),
            DISP_E_TYPEMISMATCH);
}

// --- The add-in's callbacks ----------------------------------------------------------------------

// A host application of the caller's own, as IDispatch only. It is not Word, or fails every
// member, or answers every call with a VARIANT that has no valid type, or lets the add-in go as
// soon as the add-in calls it.
class FakeHost final : public com::Object<FakeHost, IDispatch> {
 public:
  enum class Kind { NotWord, FailsEverything, AnswersNonsense, LetsTheAddinGo };
  FakeHost(Kind kind, VARIANT nonsense = {}) noexcept : kind_(kind), nonsense_(nonsense) {
    V_VT(&loop_) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&loop_) = &loop_;
  }

  // The add-in, held by the host until it lets it go; and what its library said right then.
  com::ComPtr<IUnknown> addin;
  const Library* library = nullptr;
  HRESULT unloadableWhenLetGo = E_FAIL;
  int calls = 0;

  // A by-reference VARIANT that refers to itself.
  VARIANT* loop() noexcept { return &loop_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (count) *count = 0;
    return kind_ == Kind::FailsEverything ? E_FAIL : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return kind_ == Kind::FailsEverything ? E_FAIL : DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    ++calls;
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = 100 + static_cast<DISPID>(i);
      if (kind_ == Kind::NotWord && !(i == 0 && names[i] && !lstrcmpiW(names[i], L"Name"))) {
        ids[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
      }
    }
    return kind_ == Kind::FailsEverything ? E_FAIL : hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO* info, UINT*) noexcept override {
    ++calls;
    switch (kind_) {
      case Kind::NotWord:
        if (id != DISPID_VALUE && id != 100) return DISP_E_MEMBERNOTFOUND;
        if (result) {
          V_VT(result) = VT_BSTR;
          V_BSTR(result) = SysAllocString(L"Microsoft Excel");
        }
        return S_OK;
      case Kind::FailsEverything:
        if (!info || calls % 2) return E_FAIL;
        *info = EXCEPINFO{};
        info->scode = E_ACCESSDENIED;
        info->bstrDescription = SysAllocString(L"refused");
        return DISP_E_EXCEPTION;
      case Kind::AnswersNonsense:
        if (result) *result = nonsense_;
        return S_OK;
      case Kind::LetsTheAddinGo:
        if (addin) {
          addin.reset();
          unloadableWhenLetGo = library->canUnloadNow();
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    return E_UNEXPECTED;
  }

 private:
  const Kind kind_;
  const VARIANT nonsense_;
  VARIANT loop_{};
};

// A command-bar button of the caller's own: it takes the add-in's click sink through its
// connection point, so that the test can raise Click on the sink with whatever it likes.
class FakeButton final : public Mute<FakeButton, IConnectionPointContainer> {
 public:
  void* queryMore(REFIID riid) noexcept {
    return IsEqualIID(riid, com::toGuid(host::kCommandBarButton)) ? static_cast<IDispatch*>(this)
                                                                  : nullptr;
  }
  // The sinks connected now.
  std::vector<com::ComPtr<IDispatch>> sinks() {
    std::vector<com::ComPtr<IDispatch>> out;
    com::ComPtr<IConnectionPoint> point;
    com::ComPtr<IEnumConnections> connections;
    if (FAILED(points_.find(com::toGuid(host::kCommandBarButtonEvents), point.put())) ||
        FAILED(point->EnumConnections(connections.put())))
      return out;
    CONNECTDATA data{};
    while (connections->Next(1, &data, nullptr) == S_OK) {
      const auto sink = com::ComPtr<IUnknown>::attach(data.pUnk);
      com::ComPtr<IDispatch> dispatch;
      if (SUCCEEDED(sink.query(dispatch))) out.push_back(dispatch);
    }
    return out;
  }

  // Its one point is found by its interface; it offers no enumeration of points.
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid,
                                                IConnectionPoint** point) noexcept override {
    return points_.find(riid, point);
  }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override {
    if (points) *points = nullptr;
    return E_NOTIMPL;
  }

 private:
  com::ConnectionPoints points_{*this, {com::toGuid(host::kCommandBarButtonEvents)}};
};

class HostileAddin : public Hostile {
 protected:
  // The callbacks that a host makes, in the order a start-up and a shutdown make them.
  static void startUpAndShutDown(IDTExtensibility2* addin, IDispatch* application) {
    SAFEARRAY* custom = nullptr;
    EXPECT_EQ(addin->OnConnection(application, ext_cm_Startup, nullptr, &custom), S_OK);
    EXPECT_EQ(addin->OnStartupComplete(&custom), S_OK);
    clickEverything(addin);
    EXPECT_EQ(addin->OnBeginShutdown(&custom), S_OK);
    EXPECT_EQ(addin->OnDisconnection(ext_dm_HostShutdown, &custom), S_OK);
  }
  // The buttons' clicks and the ribbon's actions that need no form, through IDispatch.
  static void clickEverything(IUnknown* addin) {
    com::ComPtr<IDispatch> connect;
    ASSERT_EQ(addin->QueryInterface(kConnectInterface, connect.putVoid()), S_OK);
    for (const DISPID click : {kButton1Click, kButton2Click, kButton3Click}) {
      VARIANT_BOOL cancel = VARIANT_TRUE;
      Arguments args;
      args.object(nullptr).booleanRef(&cancel);
      EXPECT_EQ(call(connect.get(), click, args), S_OK) << click;
      EXPECT_EQ(cancel, VARIANT_TRUE) << click;  // never written
    }
    for (const DISPID action : {kRibbonInsert, kRibbonSign, kRibbonInsertAndSign}) {
      Arguments args;
      args.object(nullptr);
      EXPECT_EQ(call(connect.get(), action, args), S_OK) << action;
    }
  }

  wordhost::DialogDriver dialogs_;
};

TEST_F(HostileAddin, CallbacksWithoutAHostOutOfOrderAndTwiceAllReturnNormally) {
  const auto addin = create<IDTExtensibility2>(kConnectClass);
  SAFEARRAY* custom = nullptr;
  EXPECT_EQ(addin->OnStartupComplete(&custom), S_OK);  // before any connection
  EXPECT_EQ(addin->OnBeginShutdown(nullptr), S_OK);
  EXPECT_EQ(addin->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);  // never connected
  EXPECT_EQ(addin->OnAddInsUpdate(nullptr), S_OK);
  EXPECT_EQ(addin->OnConnection(nullptr, ext_cm_Startup, nullptr, nullptr), S_OK);
  EXPECT_EQ(addin->OnConnection(nullptr, static_cast<ext_ConnectMode>(-7), nullptr, &custom), S_OK);
  EXPECT_EQ(addin->OnDisconnection(static_cast<ext_DisconnectMode>(99), nullptr), S_OK);
  EXPECT_EQ(addin->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
  clickEverything(addin.get());
  // The same through _Connect's IDispatch, with the custom array by reference to nowhere.
  com::ComPtr<IDispatch> connect;
  ASSERT_EQ(addin.query(kConnectInterface, connect.putVoid()), S_OK);
  Arguments nowhere;
  nowhere.customRef(nullptr);
  EXPECT_EQ(call(connect.get(), kOnStartupComplete, nowhere), E_POINTER);
  Arguments nothing;
  nothing.customRef(&custom);
  EXPECT_EQ(call(connect.get(), kOnAddInsUpdate, nothing), S_OK);
  // The ribbon's description and pictures with nothing to put them in.
  com::ComPtr<IRibbonExtensibility> ribbon;
  ASSERT_EQ(addin.query(ribbon), S_OK);
  EXPECT_EQ(ribbon->GetCustomUI(nullptr, nullptr), E_POINTER);
  com::Bstr xml;
  EXPECT_EQ(ribbon->GetCustomUI(nullptr, xml.put()), S_OK);
}

TEST_F(HostileAddin,
       InWordCallbacksOutOfOrderTwiceAndAfterDisconnectionLeaveOneMenuAndNoReferences) {
  wordhost::RunningWord running;
  const int64_t baseline = running.outstandingReferences();
  const auto popups = [&] { return running.word().menuBar().controls.size(); };
  {
    const auto addin = create<IDTExtensibility2>(kConnectClass);
    SAFEARRAY* custom = nullptr;
    EXPECT_EQ(addin->OnStartupComplete(&custom), S_OK);
    EXPECT_EQ(popups(), 0u);  // no host yet: nothing was built
    for (int i = 0; i < 2; ++i)
      EXPECT_EQ(addin->OnConnection(running.application(), ext_cm_Startup, nullptr, &custom), S_OK);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(addin->OnStartupComplete(&custom), S_OK);
    ASSERT_EQ(popups(), 1u);  // found the second time, not added again
    const auto popup = running.word().menuBar().find(text::literals::kPopupCaption);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->controls.size(), 4u);
    EXPECT_EQ(addin->OnAddInsUpdate(&custom), S_OK);

    // Unloaded by the user twice, then shut down after that.
    EXPECT_EQ(addin->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);
    EXPECT_EQ(popup->controls.size(), 0u);
    EXPECT_EQ(addin->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);
    EXPECT_EQ(addin->OnBeginShutdown(&custom), S_OK);
    dialogs_.clear();
    clickEverything(addin.get());
    EXPECT_FALSE(dialogs_.messages().empty());  // the commands tell the user, and end
  }
  EXPECT_EQ(running.outstandingReferences(), baseline);
}

TEST_F(HostileAddin, AHostThatIsNotWordOrFailsEveryMemberGetsNormalReturnsAndItsReferencesBack) {
  for (const auto kind : {FakeHost::Kind::NotWord, FakeHost::Kind::FailsEverything}) {
    SCOPED_TRACE(static_cast<int>(kind));
    const auto host = FakeHost::make(kind);
    dialogs_.clear();
    startUpAndShutDown(create<IDTExtensibility2>(kConnectClass).get(), host.get());
    EXPECT_GT(host->calls, 0);
    EXPECT_EQ(references(host->identity()), 1u);
    // A host that is not Word is left alone: the commands end without a word.
    if (kind == FakeHost::Kind::NotWord) {
      EXPECT_TRUE(dialogs_.messages().empty());
    }
  }
}

TEST_F(HostileAddin, AHostAnsweringVariantsOfNoValidTypeGetsNormalReturns) {
  const auto variant = [](VARTYPE vt, void* byRef = nullptr) {
    VARIANT v{};
    V_VT(&v) = vt;
    V_BYREF(&v) = byRef;
    return v;
  };
  const auto loopHost = FakeHost::make(FakeHost::Kind::AnswersNonsense);
  const std::vector<VARIANT> nonsense = {
      variant(0x7FFF),
      variant(VT_VARIANT),
      variant(VT_VECTOR | VT_I4),
      variant(VT_BYREF | VT_EMPTY),
      variant(VT_BYREF | VT_BSTR),
      variant(VT_BYREF | VT_BOOL),
      variant(VT_BYREF | VT_I4),
      variant(VT_BYREF | VT_VARIANT),
      variant(VT_BYREF | VT_VARIANT, loopHost->loop()),
      variant(VT_RECORD),
  };
  for (const VARIANT& answer : nonsense) {
    SCOPED_TRACE(V_VT(&answer));
    const auto host = FakeHost::make(FakeHost::Kind::AnswersNonsense, answer);
    startUpAndShutDown(create<IDTExtensibility2>(kConnectClass).get(), host.get());
    EXPECT_GT(host->calls, 0);
    EXPECT_EQ(references(host->identity()), 1u);
  }
}

TEST_F(HostileAddin, AHostThatLetsTheAddinGoInsideACallLeavesItAliveUntilTheCallReturns) {
  // Calls that reach the host: a connection after start-up, start-up, and a click.
  using Callback = HRESULT (*)(IDTExtensibility2*, IDispatch*, IDispatch*);
  const Callback callbacks[] = {
      [](IDTExtensibility2* addin, IDispatch*, IDispatch* host) {
        return addin->OnConnection(host, ext_cm_AfterStartup, nullptr, nullptr);
      },
      [](IDTExtensibility2* addin, IDispatch*, IDispatch*) {
        return addin->OnStartupComplete(nullptr);
      },
      [](IDTExtensibility2*, IDispatch* connect, IDispatch*) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        Arguments args;
        args.object(nullptr).booleanRef(&cancel);
        return call(connect, kButton1Click, args);
      },
  };
  for (const Callback callback : callbacks) {
    const auto host = FakeHost::make(FakeHost::Kind::LetsTheAddinGo);
    host->library = &penvane_;
    IDTExtensibility2* addin = nullptr;
    IDispatch* connect = nullptr;
    {
      const auto made = create<IDTExtensibility2>(kConnectClass);
      ASSERT_EQ(made->OnConnection(host.get(), ext_cm_Startup, nullptr, nullptr), S_OK);
      com::ComPtr<IDispatch> dispatch;
      ASSERT_EQ(made.query(kConnectInterface, dispatch.putVoid()), S_OK);
      addin = made.get();
      connect = dispatch.get();
      host->addin = com::ComPtr<IUnknown>(made.get());
    }
    EXPECT_EQ(callback(addin, connect, host.get()), S_OK);
    EXPECT_EQ(host->addin.get(), nullptr);
    EXPECT_EQ(host->unloadableWhenLetGo, S_FALSE);  // still in its callback then
    closePathForm();
    EXPECT_EQ(penvane_.canUnloadNow(), S_OK);  // and gone with its return
    EXPECT_EQ(references(host->identity()), 1u);
  }
}

TEST_F(HostileAddin, AButtonRaisingClickWithBrokenArgumentsIsAnsweredByTheSinkWithoutACrash) {
  const auto connect = createDispatch(kConnectClass, kConnectInterface);
  const auto button = FakeButton::make();
  Arguments bind;
  bind.object(button.get());
  ASSERT_EQ(invoke(connect.get(), kButton1, DISPATCH_PROPERTYPUTREF, bind.putParams()), S_OK);
  const auto sinks = button->sinks();
  ASSERT_EQ(sinks.size(), 1u);
  IDispatch* const sink = sinks[0].get();
  const DISPID click = host::kClickDispId;

  expectArgumentsCheckedFirst(sink, click);
  Arguments nowhere;
  nowhere.object(button.get()).booleanRef(nullptr);
  EXPECT_EQ(call(sink, click, nowhere), E_POINTER);
  EXPECT_TRUE(dialogs_.messages().empty());
  // A well-formed click runs the insert command, which tells the user there is no host.
  VARIANT_BOOL cancel = VARIANT_FALSE;
  Arguments proper;
  proper.object(button.get()).booleanRef(&cancel);
  EXPECT_EQ(call(sink, click, proper), S_OK);
  EXPECT_EQ(dialogs_.messages().size(), 1u);
  Arguments none;
  EXPECT_EQ(call(sink, 999, none), DISP_E_MEMBERNOTFOUND);

  // A stranger is no button: the field keeps the button it has, and nothing of the stranger.
  const auto stranger = Stranger::make();
  {
    Arguments wrong;
    wrong.object(stranger.get());
    EXPECT_TRUE(
        FAILED(invoke(connect.get(), kButton1, DISPATCH_PROPERTYPUTREF, wrong.putParams())));
  }
  EXPECT_EQ(references(stranger->identity()), 1u);
  EXPECT_EQ(button->sinks().size(), 1u);
  Arguments nothing;
  nothing.object(nullptr);
  EXPECT_EQ(invoke(connect.get(), kButton1, DISPATCH_PROPERTYPUTREF, nothing.putParams()), S_OK);
  EXPECT_TRUE(button->sinks().empty());
}

// --- The control ---------------------------------------------------------------------------------

class HostileControl : public Hostile {
 protected:
  void SetUp() override {
    control_ = create<IOleObject>(kSignDataClass);
    ASSERT_TRUE(control_);
  }
  void TearDown() override {
    if (control_) control_->Close(OLECLOSE_NOSAVE);
    control_.reset();
    Hostile::TearDown();
  }

  template <class I>
  com::ComPtr<I> as() const {
    com::ComPtr<I> typed;
    EXPECT_EQ(control_.query(typed), S_OK);
    return typed;
  }
  SIZEL extent() const {
    SIZEL size{};
    EXPECT_EQ(control_->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    return size;
  }
  static bool sameSize(SIZEL a, SIZEL b) { return a.cx == b.cx && a.cy == b.cy; }

  static constexpr SIZEL kNewExtent{6350, 3598};  // 3600 x 2040 twips
  com::ComPtr<IOleObject> control_;
};

TEST_F(HostileControl, WithoutASiteEveryVerbAnswersAndNoWindowAppears) {
  ASSERT_EQ(as<IPersistStreamInit>()->InitNew(), S_OK);
  const long user = wordhost::userObjects();
  struct Case {
    LONG verb;
    HRESULT expected;
  };
  const Case cases[] = {
      {OLEIVERB_PRIMARY, E_UNEXPECTED},
      {OLEIVERB_SHOW, E_UNEXPECTED},
      {OLEIVERB_UIACTIVATE, E_UNEXPECTED},
      {OLEIVERB_INPLACEACTIVATE, E_UNEXPECTED},
      {OLEIVERB_HIDE, S_OK},
      {OLEIVERB_OPEN, E_NOTIMPL},
      {OLEIVERB_DISCARDUNDOSTATE, E_NOTIMPL},
      {OLEIVERB_PROPERTIES, E_NOTIMPL},
      {-8, E_NOTIMPL},
      {LONG_MIN, E_NOTIMPL},
      {1, E_UNEXPECTED},
      {LONG_MAX, E_UNEXPECTED},
  };
  for (const Case& c : cases) {
    RECT position{0, 0, 100, 100};
    MSG message{};
    EXPECT_EQ(control_->DoVerb(c.verb, &message, nullptr, 0, nullptr, &position), c.expected)
        << c.verb;
    EXPECT_EQ(control_->DoVerb(c.verb, nullptr, nullptr, -1, nullptr, nullptr), c.expected)
        << c.verb;
  }
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(as<IOleInPlaceObject>()->GetWindow(&window), E_FAIL);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(wordhost::userObjects(), user);

  com::ComPtr<IEnumOLEVERB> verbs;
  EXPECT_EQ(control_->EnumVerbs(nullptr), E_POINTER);
  EXPECT_THAT(control_->EnumVerbs(verbs.put()), AnyOf(Eq(S_OK), Eq(OLEOBJ_E_NOVERBS)));
}

TEST_F(HostileControl, OnlyExtentsAControlCanHaveAreTakenAndOnlyForItsContent) {
  EXPECT_TRUE(sameSize(extent(), kNewExtent));
  EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  EXPECT_EQ(control_->GetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  SIZEL size{1000, 1000};
  for (const DWORD aspect :
       {DWORD{DVASPECT_THUMBNAIL}, DWORD{DVASPECT_ICON}, DWORD{DVASPECT_DOCPRINT}, DWORD{0},
        DWORD{0xFFFFFFFF}, DWORD{DVASPECT_CONTENT | DVASPECT_ICON}}) {
    EXPECT_EQ(control_->SetExtent(aspect, &size), DV_E_DVASPECT) << aspect;
    EXPECT_EQ(control_->GetExtent(aspect, &size), DV_E_DVASPECT) << aspect;
  }
  const int32_t largest = sealbrook::record::kLargest;
  for (const SIZEL impossible :
       {SIZEL{0, 0}, SIZEL{0, 3598}, SIZEL{6350, 0}, SIZEL{-1, 3598}, SIZEL{6350, -1},
        SIZEL{LONG_MIN, LONG_MIN}, SIZEL{LONG_MAX, LONG_MAX}, SIZEL{largest + 1, 3598},
        SIZEL{6350, largest + 1}}) {
    SIZEL asked = impossible;
    EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, &asked), E_INVALIDARG)
        << impossible.cx << " x " << impossible.cy;
    EXPECT_TRUE(sameSize(extent(), kNewExtent));
  }
  for (const SIZEL possible : {SIZEL{1, 1}, SIZEL{largest, largest}, SIZEL{8000, 4000}}) {
    SIZEL asked = possible;
    EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, &asked), S_OK);
    EXPECT_TRUE(sameSize(extent(), possible));
  }
  // The view's extent is the same, for the content as a whole only.
  const auto view = as<IViewObject2>();
  SIZEL seen{};
  EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &seen), S_OK);
  EXPECT_TRUE(sameSize(seen, SIZEL{8000, 4000}));
  for (const LONG index : {0L, 1L, -2L, LONG_MAX})
    EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, index, nullptr, &seen), DV_E_LINDEX) << index;
  EXPECT_EQ(view->GetExtent(DVASPECT_ICON, -1, nullptr, &seen), DV_E_DVASPECT);
}

class AdviseSink final : public com::Object<AdviseSink, IAdviseSink> {
 public:
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) noexcept override {}
  void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) noexcept override {}
  void STDMETHODCALLTYPE OnRename(IMoniker*) noexcept override {}
  void STDMETHODCALLTYPE OnSave() noexcept override {}
  void STDMETHODCALLTYPE OnClose() noexcept override { ++closed; }
  int closed = 0;
};

TEST_F(HostileControl, EveryMemberWithoutASiteWithNullsAndBogusCookiesAnswersAsDocumented) {
  // Advise connections: bogus cookies, null sinks, and enumerations before any sink came.
  for (const DWORD bogus : {DWORD{0}, DWORD{1}, DWORD{0xDEADBEEF}}) {
    EXPECT_EQ(control_->Unadvise(bogus), OLE_E_NOCONNECTION) << bogus;
    EXPECT_EQ(as<IDataObject>()->DUnadvise(bogus), OLE_E_NOCONNECTION) << bogus;
  }
  com::ComPtr<IEnumSTATDATA> advised;
  HRESULT hr = control_->EnumAdvise(advised.put());
  EXPECT_TRUE(FAILED(hr) || advised) << hr;  // never success with nothing to enumerate
  hr = as<IDataObject>()->EnumDAdvise(advised.put());
  EXPECT_TRUE(FAILED(hr) || advised) << hr;
  const auto sink = AdviseSink::make();
  DWORD cookie = 0;
  EXPECT_TRUE(FAILED(control_->Advise(nullptr, &cookie)));
  EXPECT_TRUE(FAILED(control_->Advise(sink.get(), nullptr)));
  ASSERT_EQ(control_->Advise(sink.get(), &cookie), S_OK);
  EXPECT_EQ(control_->Unadvise(cookie + 1), OLE_E_NOCONNECTION);
  const auto data = as<IDataObject>();
  FORMATETC enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  FORMATETC part{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, 0, TYMED_ENHMF};
  FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(data->DAdvise(&enhanced, 0, nullptr, &cookie), E_INVALIDARG);
  EXPECT_EQ(data->DAdvise(&enhanced, 0, sink.get(), nullptr), E_POINTER);
  EXPECT_EQ(data->DAdvise(nullptr, 0, sink.get(), &cookie), E_POINTER);
  EXPECT_EQ(data->DAdvise(&part, 0, sink.get(), &cookie), DV_E_LINDEX);
  EXPECT_EQ(data->DAdvise(&text, 0, sink.get(), &cookie), DV_E_FORMATETC);
  ASSERT_EQ(data->DAdvise(&enhanced, ADVF_PRIMEFIRST, sink.get(), &cookie), S_OK);
  ASSERT_EQ(data->EnumDAdvise(advised.put()), S_OK);
  STATDATA connected{};
  ULONG fetched = 0;
  ASSERT_EQ(advised->Next(1, &connected, &fetched), S_OK);
  EXPECT_EQ(connected.dwConnection, cookie);
  if (connected.pAdvSink) connected.pAdvSink->Release();
  advised.reset();
  EXPECT_EQ(data->DUnadvise(cookie), S_OK);
  for (const auto& iid : {IID_IPropertyNotifySink, kSignDataEvents}) {
    com::ComPtr<IConnectionPoint> point;
    ASSERT_EQ(as<IConnectionPointContainer>()->FindConnectionPoint(iid, point.put()), S_OK);
    EXPECT_EQ(point->Unadvise(0), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(0xDEADBEEF), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(point->Advise(sink->identity(), nullptr), E_POINTER);
    EXPECT_EQ(point->GetConnectionInterface(nullptr), E_POINTER);
    EXPECT_EQ(point->GetConnectionPointContainer(nullptr), E_POINTER);
    EXPECT_EQ(point->EnumConnections(nullptr), E_POINTER);
  }
  EXPECT_EQ(as<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink, nullptr),
            E_POINTER);

  // The rest of IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject and IOleControl.
  EXPECT_EQ(control_->SetHostNames(nullptr, nullptr), S_OK);
  EXPECT_EQ(control_->GetClientSite(nullptr), E_POINTER);
  EXPECT_EQ(control_->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, nullptr),
            E_NOTIMPL);
  EXPECT_EQ(control_->GetUserClassID(nullptr), E_POINTER);
  EXPECT_EQ(control_->GetUserType(USERCLASSTYPE_FULL, nullptr), E_POINTER);
  EXPECT_EQ(control_->GetMiscStatus(DVASPECT_CONTENT, nullptr), E_POINTER);
  EXPECT_EQ(control_->InitFromData(nullptr, TRUE, 0), E_NOTIMPL);
  EXPECT_EQ(control_->GetClipboardData(0, nullptr), E_NOTIMPL);
  const auto inPlace = as<IOleInPlaceObject>();
  EXPECT_EQ(inPlace->GetWindow(nullptr), E_POINTER);
  EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(inPlace->UIDeactivate(), S_OK);
  EXPECT_EQ(inPlace->SetObjectRects(nullptr, nullptr), E_POINTER);
  const RECT huge{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX};
  EXPECT_EQ(inPlace->SetObjectRects(&huge, nullptr), S_OK);
  const auto active = as<IOleInPlaceActiveObject>();
  EXPECT_EQ(active->TranslateAccelerator(nullptr), S_FALSE);
  EXPECT_EQ(active->ResizeBorder(nullptr, nullptr, TRUE), S_OK);
  const auto oleControl = as<IOleControl>();
  EXPECT_EQ(oleControl->GetControlInfo(nullptr), E_POINTER);
  EXPECT_EQ(oleControl->OnMnemonic(nullptr), E_NOTIMPL);
  EXPECT_EQ(oleControl->FreezeEvents(TRUE), S_OK);
  EXPECT_EQ(oleControl->FreezeEvents(FALSE), S_OK);
  const auto classInfo = as<IProvideClassInfo2>();
  EXPECT_EQ(classInfo->GetClassInfo(nullptr), E_POINTER);
  GUID guid{};
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID + 1, &guid), E_INVALIDARG);
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr), E_POINTER);
  const auto safety = as<IObjectSafety>();
  DWORD supported = 0, enabled = 0;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), E_NOINTERFACE);
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersistStreamInit, nullptr, &enabled),
            E_POINTER);
  EXPECT_EQ(
      safety->SetInterfaceSafetyOptions(IID_IPersistStreamInit, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                        INTERFACESAFE_FOR_UNTRUSTED_CALLER),
      E_FAIL);

  // Closed twice, its site taken away twice: the sink hears of the close once.
  EXPECT_EQ(control_->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_EQ(control_->Close(OLECLOSE_PROMPTSAVE), S_OK);
  EXPECT_EQ(control_->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(control_->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(sink->closed, 1);
  EXPECT_EQ(references(sink->identity()), 1u);
  com::ComPtr<IOleClientSite> site;
  EXPECT_EQ(control_->GetClientSite(site.put()), S_OK);
  EXPECT_EQ(site.get(), nullptr);
}

TEST_F(HostileControl, ItsConnectionPointsEnumerateAsTheEnumeratorContractHasIt) {
  com::ComPtr<IEnumConnectionPoints> points;
  EXPECT_EQ(as<IConnectionPointContainer>()->EnumConnectionPoints(nullptr), E_POINTER);
  ASSERT_EQ(as<IConnectionPointContainer>()->EnumConnectionPoints(points.put()), S_OK);
  expectOneIdentity(points.get(), {IID_IUnknown, IID_IEnumConnectionPoints});
  IConnectionPoint* got[3] = {};
  ULONG fetched = 7;
  EXPECT_EQ(points->Next(0, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(points->Next(1, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(points->Next(2, got, nullptr), E_POINTER);
  EXPECT_EQ(points->Clone(nullptr), E_POINTER);
  EXPECT_EQ(points->Skip(ULONG_MAX), S_FALSE);
  EXPECT_EQ(points->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(points->Reset(), S_OK);
  ASSERT_EQ(points->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  for (ULONG i = 0; i < fetched; ++i) {
    const auto point = com::ComPtr<IConnectionPoint>::attach(got[i]);
    IID iid{};
    ASSERT_EQ(point->GetConnectionInterface(&iid), S_OK);
    com::ComPtr<IConnectionPoint> found;
    ASSERT_EQ(as<IConnectionPointContainer>()->FindConnectionPoint(iid, found.put()), S_OK);
    EXPECT_EQ(found, point);
  }
  // The enumerator keeps the control alive, and nothing outlives both.
  control_->Close(OLECLOSE_NOSAVE);
  control_.reset();
  EXPECT_EQ(sealbrook_.canUnloadNow(), S_FALSE);
  com::ComPtr<IEnumConnectionPoints> clone;
  ASSERT_EQ(points->Clone(clone.put()), S_OK);
  points.reset();
  EXPECT_EQ(sealbrook_.canUnloadNow(), S_FALSE);
  clone.reset();
}

// A screen-compatible memory device context with a bitmap to draw on.
class Canvas {
 public:
  Canvas() {
    const HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const noexcept { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

TEST_F(HostileControl, DrawTakesTheContentAsAWholeIntoAnyBoundsAndRefusesTheRest) {
  const auto view = as<IViewObject2>();
  Canvas canvas;
  const auto draw = [&](DWORD aspect, LONG index, HDC dc, const RECTL* bounds) {
    return view->Draw(aspect, index, nullptr, nullptr, nullptr, dc, bounds, nullptr, nullptr, 0);
  };
  const RECTL block{0, 0, 240, 136};
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &block), S_OK);
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), nullptr), E_INVALIDARG);
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, nullptr, &block), E_INVALIDARG);
  for (const DWORD aspect : {DWORD{DVASPECT_THUMBNAIL}, DWORD{DVASPECT_ICON},
                             DWORD{DVASPECT_DOCPRINT}, DWORD{0}, DWORD{0xFFFFFFFF}})
    EXPECT_EQ(draw(aspect, -1, canvas.dc(), &block), DV_E_DVASPECT) << aspect;
  for (const LONG index : {0L, 1L, -2L, LONG_MIN, LONG_MAX})
    EXPECT_EQ(draw(DVASPECT_CONTENT, index, canvas.dc(), &block), DV_E_LINDEX) << index;

  // Empty, mirrored and large bounds are drawn; bounds whose width or height is no length at all
  // are refused.
  const long gdi = wordhost::gdiObjects();
  for (const RECTL bounds : {RECTL{0, 0, 0, 0}, RECTL{50, 50, 50, 90}, RECTL{240, 136, 0, 0},
                             RECTL{-100000, -100000, 100000, 100000}, RECTL{0, 0, 1, 1},
                             RECTL{0, 0, LONG_MAX, LONG_MAX}})
    EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &bounds), S_OK)
        << bounds.left << "," << bounds.top << " " << bounds.right << "," << bounds.bottom;
  for (const RECTL bounds : {RECTL{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX},
                             RECTL{LONG_MAX, 0, LONG_MIN, 136}, RECTL{0, -2, 240, LONG_MAX}})
    EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &bounds), E_INVALIDARG)
        << bounds.left << "," << bounds.top << " " << bounds.right << "," << bounds.bottom;
  for (int i = 0; i < 200; ++i) draw(DVASPECT_CONTENT, -1, canvas.dc(), &block);
  EXPECT_EQ(wordhost::gdiObjects(), gdi);
  // An extent of the smallest size a control can have draws as well.
  SIZEL tiny{1, 1};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &tiny), S_OK);
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &block), S_OK);
}

TEST_F(HostileControl, GetDataGivesItsTwoPresentationsOnlyAndRefusesEveryOtherFormatAndMedium) {
  const auto data = as<IDataObject>();
  std::vector<CLIPFORMAT> formats;
  for (CLIPFORMAT cf = 0; cf <= CF_MAX; ++cf) formats.push_back(cf);
  for (const CLIPFORMAT cf : {CLIPFORMAT{CF_OWNERDISPLAY}, CLIPFORMAT{CF_DSPTEXT},
                              CLIPFORMAT{CF_DSPENHMETAFILE}, CLIPFORMAT{0xFFFF}})
    formats.push_back(cf);
  for (const wchar_t* name : {L"Embed Source", L"Object Descriptor", L"Rich Text Format"})
    formats.push_back(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)));
  const DWORD media[] = {TYMED_NULL, TYMED_HGLOBAL, TYMED_FILE,  TYMED_ISTREAM, TYMED_ISTORAGE,
                         TYMED_GDI,  TYMED_MFPICT,  TYMED_ENHMF, 0xFFFFFFFF};
  for (const CLIPFORMAT cf : {CLIPFORMAT{CF_ENHMETAFILE}, CLIPFORMAT{CF_METAFILEPICT}}) {
    // The system's brushes are made at their first use: once each before counting.
    FORMATETC format{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF | TYMED_MFPICT};
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    ReleaseStgMedium(&medium);
  }
  const long gdi = wordhost::gdiObjects();
  for (const CLIPFORMAT cf : formats) {
    for (const DWORD tymed : media) {
      SCOPED_TRACE(std::to_string(cf) + " on " + std::to_string(tymed));
      FORMATETC format{cf, nullptr, DVASPECT_CONTENT, -1, tymed};
      const bool ours = cf == CF_ENHMETAFILE || cf == CF_METAFILEPICT;
      const DWORD wanted = cf == CF_ENHMETAFILE ? TYMED_ENHMF : TYMED_MFPICT;
      const HRESULT expected = !ours ? DV_E_FORMATETC : (tymed & wanted) ? S_OK : DV_E_TYMED;
      EXPECT_EQ(data->QueryGetData(&format), expected);
      STGMEDIUM medium{};
      medium.tymed = 0xBAD;
      ASSERT_EQ(data->GetData(&format, &medium), expected);
      if (expected == S_OK) {
        EXPECT_EQ(medium.tymed, wanted);
        EXPECT_NE(medium.hGlobal, nullptr);
        EXPECT_EQ(medium.pUnkForRelease, nullptr);
        ReleaseStgMedium(&medium);
      } else {
        EXPECT_EQ(medium.tymed, DWORD{TYMED_NULL});
      }
      EXPECT_EQ(data->GetDataHere(&format, &medium), E_NOTIMPL);
    }
  }
  EXPECT_EQ(wordhost::gdiObjects(), gdi);

  FORMATETC enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  EXPECT_EQ(data->GetData(&enhanced, nullptr), E_POINTER);
  STGMEDIUM medium{};
  EXPECT_EQ(data->GetData(nullptr, &medium), E_POINTER);
  EXPECT_EQ(data->QueryGetData(nullptr), E_POINTER);
  for (const LONG index : {0L, 1L, -2L}) {
    FORMATETC part{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, index, TYMED_ENHMF};
    EXPECT_EQ(data->GetData(&part, &medium), DV_E_LINDEX) << index;
    EXPECT_EQ(data->QueryGetData(&part), DV_E_LINDEX) << index;
  }
  for (const DWORD aspect : {DWORD{DVASPECT_ICON}, DWORD{DVASPECT_THUMBNAIL}, DWORD{0}}) {
    FORMATETC other{CF_ENHMETAFILE, nullptr, aspect, -1, TYMED_ENHMF};
    EXPECT_EQ(data->GetData(&other, &medium), DV_E_DVASPECT) << aspect;
  }
  com::ComPtr<IEnumFORMATETC> offered;
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_GET, nullptr), E_POINTER);
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, offered.put()), E_NOTIMPL);
  EXPECT_EQ(offered.get(), nullptr);
  EXPECT_EQ(data->SetData(&enhanced, &medium, TRUE), E_NOTIMPL);
}

// --- Persistence ---------------------------------------------------------------------------------

std::vector<uint8_t> recordOf(int32_t width, int32_t height) {
  const auto bytes = sealbrook::record::encode({width, height});
  return {bytes.begin(), bytes.end()};
}

com::ComPtr<IStream> streamOf(const std::vector<uint8_t>& bytes) {
  com::ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

uint64_t positionOf(IStream* stream) {
  const LARGE_INTEGER none{};
  ULARGE_INTEGER at{};
  stream->Seek(none, STREAM_SEEK_CUR, &at);
  return at.QuadPart;
}

// A stream over memory that breaks as it is told: every Read fails, or fails once some bytes
// have been read, or claims more bytes than it was asked for; every Write fails or writes less.
class BrokenStream final : public com::Object<BrokenStream, IStream> {
 public:
  using Bases = com::Bases<ISequentialStream>;
  enum class Fault { None, ReadFails, ReadFailsAfter, ReadClaimsMore, WriteFails, WritesShort };
  BrokenStream(Fault fault, const std::vector<uint8_t>& bytes, ULONG after = 0)
      : inner_(streamOf(bytes)), fault_(fault), after_(after) {}

  HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) noexcept override {
    if (read) *read = 0;
    if (fault_ == Fault::ReadFails || (fault_ == Fault::ReadFailsAfter && done_ >= after_))
      return STG_E_READFAULT;
    ULONG got = 0;
    const HRESULT hr = inner_->Read(data, size, &got);
    done_ += got;
    if (read) *read = fault_ == Fault::ReadClaimsMore ? size + 100 : got;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) noexcept override {
    if (written) *written = 0;
    if (fault_ == Fault::WriteFails) return STG_E_MEDIUMFULL;
    return inner_->Write(data, fault_ == Fault::WritesShort ? size / 2 : size, written);
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* at) noexcept override {
    return inner_->Seek(move, origin, at);
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

  uint64_t position() { return positionOf(inner_.get()); }

 private:
  com::ComPtr<IStream> inner_;
  const Fault fault_;
  const ULONG after_;
  ULONG done_ = 0;
};

TEST_F(HostileControl, ItIsInitialisedOnceWhicheverWayAndAFailedLoadLeavesItUninitialised) {
  const auto stream = as<IPersistStreamInit>();
  const auto storage = as<IPersistStorage>();
  EXPECT_EQ(stream->InitNew(), S_OK);
  EXPECT_EQ(stream->InitNew(), E_UNEXPECTED);
  const auto saved = streamOf(recordOf(8000, 4000));
  EXPECT_EQ(stream->Load(saved.get()), E_UNEXPECTED);
  EXPECT_EQ(positionOf(saved.get()), 0u);  // not read at all
  com::ComPtr<IStorage> fresh;
  ASSERT_EQ(StgCreateDocfile(
                nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                0, fresh.put()),
            S_OK);
  EXPECT_EQ(storage->InitNew(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(storage->Load(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_TRUE(sameSize(extent(), kNewExtent));

  // Loaded, then asked again every way.
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  const auto loaded = as<IPersistStreamInit>();
  EXPECT_EQ(loaded->Load(nullptr), E_POINTER);
  const auto cutOff = streamOf({'S', 'B', 'R', 'K', 1, 0, 8, 0, 1, 2});
  EXPECT_EQ(loaded->Load(cutOff.get()), E_FAIL);
  EXPECT_EQ(loaded->Load(saved.get()), S_OK);  // the failure initialised nothing
  EXPECT_TRUE(sameSize(extent(), (SIZEL{8000, 4000})));
  EXPECT_EQ(loaded->Load(streamOf(recordOf(9000, 4000)).get()), E_UNEXPECTED);
  EXPECT_EQ(loaded->InitNew(), E_UNEXPECTED);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_TRUE(sameSize(extent(), (SIZEL{8000, 4000})));

  // Through storage first.
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(nullptr), E_POINTER);
  EXPECT_EQ(as<IPersistStorage>()->Load(nullptr), E_POINTER);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(fresh.get()), S_OK);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(as<IPersistStreamInit>()->InitNew(), E_UNEXPECTED);
}

TEST_F(HostileControl, ItIsDirtyExactlyWhenWhatItSavesChangedUntilASaveClearsIt) {
  const auto persist = as<IPersistStreamInit>();
  const auto storage = as<IPersistStorage>();
  ASSERT_EQ(persist->InitNew(), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  SIZEL same = kNewExtent;
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &same), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);  // nothing changed
  SIZEL impossible{0, 0};
  EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, &impossible), E_INVALIDARG);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  SIZEL larger{8000, 4000};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &larger), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  EXPECT_EQ(storage->IsDirty(), S_OK);  // one object, one state

  // Drawing it, asking for its presentation and a save that keeps the flag change nothing.
  Canvas canvas;
  const RECTL block{0, 0, 240, 136};
  as<IViewObject2>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &block,
                           nullptr, nullptr, 0);
  FORMATETC enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  STGMEDIUM medium{};
  ASSERT_EQ(as<IDataObject>()->GetData(&enhanced, &medium), S_OK);
  ReleaseStgMedium(&medium);
  const auto copy = streamOf({});
  ASSERT_EQ(persist->Save(copy.get(), FALSE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  const auto saved = streamOf({});
  ASSERT_EQ(persist->Save(saved.get(), TRUE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  // Through storage: a save as a copy keeps the flag, a save into its own storage clears it.
  SIZEL wider{9000, 4000};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &wider), S_OK);
  com::ComPtr<IStorage> target;
  ASSERT_EQ(StgCreateDocfile(
                nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                0, target.put()),
            S_OK);
  ASSERT_EQ(storage->Save(target.get(), FALSE), S_OK);
  EXPECT_EQ(storage->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(storage->IsDirty(), S_OK);
  ASSERT_EQ(storage->Save(target.get(), TRUE), S_OK);
  EXPECT_EQ(storage->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(storage->IsDirty(), S_FALSE);

  // Closed dirty and asked to save, it has its site save it; clean, or told not to, it does not.
  const HWND document = CreateWindowExW(0, L"STATIC", L"document", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                        300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  struct Closing {
    DWORD option;
    bool resized;
    bool saved;
  };
  for (const Closing c :
       {Closing{OLECLOSE_SAVEIFDIRTY, true, true}, Closing{OLECLOSE_PROMPTSAVE, true, true},
        Closing{OLECLOSE_NOSAVE, true, false}, Closing{OLECLOSE_SAVEIFDIRTY, false, false}}) {
    const auto other = create<IOleObject>(kSignDataClass);
    const auto site = wordhost::ControlSite::make(document, RECT{});
    ASSERT_EQ(other->SetClientSite(site.get()), S_OK);
    SIZEL resized{5000, 2000};
    if (c.resized) {
      ASSERT_EQ(other->SetExtent(DVASPECT_CONTENT, &resized), S_OK);
    }
    EXPECT_EQ(other->Close(c.option), S_OK);
    EXPECT_EQ(std::count(site->calls.begin(), site->calls.end(), "SaveObject"), c.saved ? 1 : 0)
        << c.option << " " << c.resized;
  }
  DestroyWindow(document);

  // What was saved loads clean, at the size saved.
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  const LARGE_INTEGER start{};
  saved->Seek(start, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(as<IPersistStreamInit>()->Load(saved.get()), S_OK);
  EXPECT_TRUE(sameSize(extent(), larger));
  EXPECT_EQ(as<IPersistStreamInit>()->IsDirty(), S_FALSE);
}

TEST_F(HostileControl, AStreamItSavedLoadsBackAndLeavesThePositionWhereTheSaveEnded) {
  SIZEL larger{8000, 4000};
  ASSERT_EQ(as<IPersistStreamInit>()->InitNew(), S_OK);
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &larger), S_OK);
  ULARGE_INTEGER most{};
  ASSERT_EQ(as<IPersistStreamInit>()->GetSizeMax(&most), S_OK);
  EXPECT_EQ(as<IPersistStreamInit>()->GetSizeMax(nullptr), E_POINTER);
  // Saved after something of the host's, and followed by more of it.
  const auto stream = streamOf({});
  stream->Write("host", 4, nullptr);
  ASSERT_EQ(as<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  const uint64_t end = positionOf(stream.get());
  EXPECT_EQ(end, 4 + most.QuadPart);
  stream->Write("more of the host's", 18, nullptr);
  EXPECT_EQ(as<IPersistStreamInit>()->Save(nullptr, TRUE), E_POINTER);
  for (const auto fault : {BrokenStream::Fault::WriteFails, BrokenStream::Fault::WritesShort}) {
    const auto broken = BrokenStream::make(fault, std::vector<uint8_t>{});
    EXPECT_TRUE(FAILED(as<IPersistStreamInit>()->Save(broken.get(), TRUE)));
  }

  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  LARGE_INTEGER at{};
  at.QuadPart = 4;
  stream->Seek(at, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(as<IPersistStreamInit>()->Load(stream.get()), S_OK);
  EXPECT_EQ(positionOf(stream.get()), end);
  EXPECT_TRUE(sameSize(extent(), larger));
}

TEST_F(HostileControl, StreamsOfEveryShapeLoadOrFailWithThePositionAfterWhatWasRead) {
  std::vector<uint8_t> later = recordOf(8000, 4000);
  later[4] = 2;   // version 2
  later[6] = 12;  // four bytes more than version 1
  later.insert(later.end(), {0xAA, 0xBB, 0xCC, 0xDD});
  std::vector<uint8_t> claimsMore = later;
  claimsMore[6] = 200;  // more than the stream holds
  std::vector<uint8_t> oversized = recordOf(8000, 4000);
  oversized.resize(oversized.size() + (1 << 20), 0x5A);
  const std::vector<uint8_t> whole = recordOf(8000, 4000);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    HRESULT expected;
    uint64_t position;
    SIZEL extent;
  };
  const Case cases[] = {
      {"empty", {}, S_OK, 0, kNewExtent},
      {"shorter than a header, not ours", {'a', 'b', 'c'}, S_OK, 3, kNewExtent},
      {"another control's data",
       {'V', 'B', '5', '!', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
       S_OK,
       8,
       kNewExtent},
      {"ours cut off in its header", {'S', 'B', 'R', 'K', 1}, E_FAIL, 5, kNewExtent},
      {"ours, the header only", {whole.begin(), whole.begin() + 8}, E_FAIL, 8, kNewExtent},
      {"ours cut off in its extent", {whole.begin(), whole.begin() + 12}, E_FAIL, 12, kNewExtent},
      {"ours, longer than the stream", claimsMore, E_FAIL, claimsMore.size(), kNewExtent},
      {"ours, of a later version", later, S_OK, later.size(), SIZEL{8000, 4000}},
      {"ours, followed by a megabyte", oversized, S_OK, 16, SIZEL{8000, 4000}},
      {"ours, with an extent no control has", recordOf(0, -5), S_OK, 16, kNewExtent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    control_ = create<IOleObject>(kSignDataClass);
    const auto stream = streamOf(c.bytes);
    EXPECT_EQ(as<IPersistStreamInit>()->Load(stream.get()), c.expected);
    EXPECT_EQ(positionOf(stream.get()), c.position);
    EXPECT_TRUE(sameSize(extent(), c.extent));
    control_->Close(OLECLOSE_NOSAVE);
  }

  // A stream whose every read fails, fails after the header, or claims more than it was asked.
  struct Broken {
    BrokenStream::Fault fault;
    HRESULT expected;
    uint64_t position;
  };
  for (const Broken& b : {Broken{BrokenStream::Fault::ReadFails, STG_E_READFAULT, 0},
                          Broken{BrokenStream::Fault::ReadFailsAfter, STG_E_READFAULT, 8},
                          Broken{BrokenStream::Fault::ReadClaimsMore, STG_E_READFAULT, 8}}) {
    SCOPED_TRACE(static_cast<int>(b.fault));
    control_ = create<IOleObject>(kSignDataClass);
    const auto stream = BrokenStream::make(b.fault, whole, 8);
    EXPECT_EQ(as<IPersistStreamInit>()->Load(stream.get()), b.expected);
    EXPECT_EQ(stream->position(), b.position);
    EXPECT_TRUE(sameSize(extent(), kNewExtent));
    control_->Close(OLECLOSE_NOSAVE);
  }

  // Random bytes, some starting as our record does: whatever they hold, no crash, the position
  // within the stream, and an extent a control can have.
  std::mt19937 random(20240611);
  const long handles = wordhost::kernelHandles();
  for (int i = 0; i < 300; ++i) {
    std::vector<uint8_t> bytes(random() % 40);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    if (i % 2 && bytes.size() >= 4) std::copy(whole.begin(), whole.begin() + 4, bytes.begin());
    control_ = create<IOleObject>(kSignDataClass);
    const auto stream = streamOf(bytes);
    const HRESULT hr = as<IPersistStreamInit>()->Load(stream.get());
    EXPECT_THAT(hr, AnyOf(Eq(S_OK), Eq(E_FAIL))) << i;
    EXPECT_LE(positionOf(stream.get()), bytes.size()) << i;
    const SIZEL size = extent();
    EXPECT_TRUE(sealbrook::record::possibleExtent({size.cx, size.cy})) << i;
    control_->Close(OLECLOSE_NOSAVE);
  }
  EXPECT_EQ(wordhost::kernelHandles(), handles);
}

// A storage in memory, with a stream "Contents" holding the bytes when there are any.
com::ComPtr<IStorage> storageWith(const std::vector<uint8_t>* contents) {
  com::ComPtr<IStorage> storage;
  EXPECT_EQ(StgCreateDocfile(
                nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                0, storage.put()),
            S_OK);
  if (contents) {
    com::ComPtr<IStream> stream;
    EXPECT_EQ(storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0,
                                    0, stream.put()),
              S_OK);
    if (!contents->empty())
      stream->Write(contents->data(), static_cast<ULONG>(contents->size()), nullptr);
  }
  return storage;
}

TEST_F(HostileControl, StoragesOfEveryShapeLoadOrFailAndASavedOneLoadsBack) {
  const std::vector<uint8_t> empty, whole = recordOf(8000, 4000);
  const std::vector<uint8_t> cutOff(whole.begin(), whole.begin() + 12);
  const std::vector<uint8_t> foreign = {'V', 'B', '5', '!', 0, 0, 0, 0, 9, 9, 9, 9};
  struct Case {
    const char* what;
    const std::vector<uint8_t>* contents;
    HRESULT expected;
    SIZEL extent;
  };
  for (const Case& c : {Case{"no stream", nullptr, S_OK, kNewExtent},
                        Case{"an empty stream", &empty, S_OK, kNewExtent},
                        Case{"another control's data", &foreign, S_OK, kNewExtent},
                        Case{"our record cut off", &cutOff, E_FAIL, kNewExtent},
                        Case{"our record", &whole, S_OK, SIZEL{8000, 4000}}}) {
    SCOPED_TRACE(c.what);
    control_ = create<IOleObject>(kSignDataClass);
    EXPECT_EQ(as<IPersistStorage>()->Load(storageWith(c.contents).get()), c.expected);
    EXPECT_TRUE(sameSize(extent(), c.extent));
    control_->Close(OLECLOSE_NOSAVE);
  }
  // Random contents, some beginning as our record does.
  std::mt19937 random(7);
  for (int i = 0; i < 50; ++i) {
    std::vector<uint8_t> bytes(random() % 40);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    if (i % 2 && bytes.size() >= 4) std::copy(whole.begin(), whole.begin() + 4, bytes.begin());
    control_ = create<IOleObject>(kSignDataClass);
    EXPECT_THAT(as<IPersistStorage>()->Load(storageWith(&bytes).get()), AnyOf(Eq(S_OK), Eq(E_FAIL)))
        << i;
    const SIZEL size = extent();
    EXPECT_TRUE(sealbrook::record::possibleExtent({size.cx, size.cy})) << i;
    control_->Close(OLECLOSE_NOSAVE);
  }
  // "Contents" as a storage, not a stream: nothing of ours.
  control_ = create<IOleObject>(kSignDataClass);
  const auto odd = storageWith(nullptr);
  com::ComPtr<IStorage> inner;
  ASSERT_EQ(odd->CreateStorage(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                               inner.put()),
            S_OK);
  inner.reset();
  EXPECT_EQ(as<IPersistStorage>()->Load(odd.get()), S_OK);
  EXPECT_TRUE(sameSize(extent(), kNewExtent));

  // A save and a load: the same size, and the class of the control in the storage.
  SIZEL larger{7000, 3000};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &larger), S_OK);
  const auto saved = storageWith(nullptr);
  EXPECT_EQ(as<IPersistStorage>()->Save(nullptr, TRUE), E_POINTER);
  ASSERT_EQ(as<IPersistStorage>()->Save(saved.get(), FALSE), S_OK);
  ASSERT_EQ(as<IPersistStorage>()->SaveCompleted(nullptr), S_OK);
  CLSID clsid{};
  ASSERT_EQ(ReadClassStg(saved.get(), &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, kSignDataClass));
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  ASSERT_EQ(as<IPersistStorage>()->Load(saved.get()), S_OK);
  EXPECT_TRUE(sameSize(extent(), larger));
  EXPECT_EQ(as<IPersistStorage>()->HandsOffStorage(), S_OK);
}

// --- A container that lets go of the control while it activates ----------------------------------

// A client and in-place site that releases the control (its only reference) as soon as the
// control tells it that it activates in place, and asks the library right then whether it could
// be unloaded.
class LettingGoSite final : public com::Object<LettingGoSite, IOleClientSite, IOleInPlaceSite> {
 public:
  using Bases = com::Bases<IOleWindow>;
  LettingGoSite(HWND window, const Library& library) noexcept
      : window_(window), library_(library) {}

  com::ComPtr<IOleObject> control;
  HRESULT unloadableWhenLetGo = E_FAIL;

  HRESULT STDMETHODCALLTYPE SaveObject() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) noexcept override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) noexcept override {
    if (!hwnd) return E_POINTER;
    *hwnd = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override {
    control.reset();
    unloadableWhenLetGo = library_.canUnloadNow();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO) noexcept override {
    if (!frame || !doc || !position || !clip) return E_POINTER;
    *frame = nullptr;
    *doc = nullptr;
    *position = *clip = RECT{10, 10, 250, 146};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

 private:
  HWND window_;
  const Library& library_;
};

TEST_F(HostileControl, ReleasedByItsContainerWhileItActivatesItFinishesThenGoesWithItsWindows) {
  control_.reset();
  const HWND document = CreateWindowExW(0, L"STATIC", L"document", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                        300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(document, nullptr);
  const long user = wordhost::userObjects();
  for (int i = 0; i < 3; ++i) {
    const auto site = LettingGoSite::make(document, sealbrook_);
    IOleObject* control = nullptr;
    {
      auto made = create<IOleObject>(kSignDataClass);
      ASSERT_EQ(made->SetClientSite(site.get()), S_OK);
      com::ComPtr<IPersistStreamInit> persist;
      ASSERT_EQ(made.query(persist), S_OK);
      ASSERT_EQ(persist->InitNew(), S_OK);
      control = made.get();
      site->control = std::move(made);
    }
    RECT position{10, 10, 250, 146};
    EXPECT_EQ(
        control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, document, &position),
        S_OK);
    EXPECT_EQ(site->control.get(), nullptr);
    EXPECT_EQ(site->unloadableWhenLetGo, S_FALSE);  // still activating then
    EXPECT_EQ(FindWindowExW(document, nullptr, L"Sealbrook.SignData", nullptr), nullptr);
    EXPECT_EQ(sealbrook_.canUnloadNow(), S_OK);
    EXPECT_EQ(references(site->identity()), 1u);
  }
  EXPECT_EQ(wordhost::userObjects(), user);
  DestroyWindow(document);
}

}  // namespace

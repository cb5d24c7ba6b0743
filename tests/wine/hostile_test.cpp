// A hostile caller of both libraries through real COM: Penvane.Connect and Sealbrook.SignData as
// regsvr32 registers them and CoCreateInstance makes them, called as no well-behaved host calls
// them: every interface's identity and reference count, the class factories and unloading;
// IDispatch with unknown names, broken argument arrays and VARIANTs of no valid type. Each case
// answers with its documented HRESULT; nothing crashes, hangs or leaks.
#include "hostile.h"

namespace {

using namespace hostile;  // NOLINT(google-build-using-namespace)

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

}  // namespace

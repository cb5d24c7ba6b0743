// The add-in's callbacks called by a hostile caller: out of order, twice, after disconnection,
// against a host that is not Word, one whose every member fails, one that answers nonsense and
// one that lets the add-in go in the middle of a call, and a button that raises its click with
// broken arguments. Each returns normally and gives every reference back.
#include "hostile.h"

namespace {

using namespace hostile;  // NOLINT(google-build-using-namespace)

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

}  // namespace

// The simulated Word through real COM: the server bridge exposes it, the client bridge calls it,
// as the add-in and the control will; events through connection points; GetObject through the
// running object table; the dialog driver; the add-in loader against a real DLL.
#include <windows.h>

#include <commdlg.h>
#include <olectl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/automation/convert.h"
#include "win32/automation/dispatch_object.h"
#include "win32/automation/event_sink.h"
#include "win32/automation/get_object.h"
#include "win32/com/bstr.h"
#include "win32/com/guid.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/running_word.h"

#include "base/error.h"
#include "host/office.h"
#include "host/word.h"
#include "probe.h"
#include "tests/common/failure.h"
#include "wine_test.h"

namespace {

using automation::call;
using automation::Error;
using automation::get;
using automation::getObject;
using automation::named;
using automation::ObjectRef;
using automation::put;
using automation::Variant;
using testing::Contains;
using testing::ElementsAre;
namespace hr = automation::hr;

using testing_support::failureOf;

class Bridge : public testing::Test {
 protected:
  void SetUp() override { baseline_ = running_.outstandingReferences(); }
  void TearDown() override {
    // Every scenario releases what it took.
    EXPECT_EQ(running_.outstandingReferences(), baseline_);
  }
  simword::Word& word() { return running_.word(); }
  ObjectRef application() { return automation::win::DispatchObject::wrap(running_.application()); }

  wordhost::RunningWord running_;
  int64_t baseline_ = 0;
};

TEST_F(Bridge, GetObjectFindsTheRunningSimulatedWord) {
  auto app = automation::win::getObject(u"Word.Application");
  EXPECT_EQ(get(app, ""), Variant(u"Microsoft Word"));
  EXPECT_EQ(failureOf([] { automation::win::getObject(u"No.Such.Application"); }).number(), 429);
}

TEST_F(Bridge, GetsPutsAndCallsKeepTheirArgumentsTypesNamesAndLocale) {
  {
    auto app = application();
    put(app, "Visible", true);
    EXPECT_TRUE(word().visible());
    auto controls = getObject(getObject(app, "CommandBars", {u"Menu Bar"}), "Controls");
    auto popup = call(controls, "Add", {named("Type", int32_t{10})}).asObject();
    put(popup, "Caption", Variant(u"Ch\u1EEF k\u00FD s\u1ED1"));
    call(getObject(popup, "Controls"), "Add", {int16_t{1}});
    word().open();
    auto props = getObject(getObject(app, "ActiveDocument"), "CustomDocumentProperties");
    call(props, "Add", {u"Sign", false, int32_t{4}, u"C:\\x.gif", Variant()}, 1033);
    EXPECT_EQ(get(call(props, "Item", {u"Sign"}, 1033).asObject(), "Value"), Variant(u"C:\\x.gif"));
  }
  EXPECT_EQ(word().menuBar().controls.at(0)->caption, u"Ch\u1EEF k\u00FD s\u1ED1");
  EXPECT_THAT(word().log().lines(),
              testing::IsSupersetOf({
                  "Application.Visible = True",
                  "CommandBarControls.Add(Type:=10&)",
                  "CommandBarControls.Add(1%)",
                  "DocumentProperties.Add(\"Sign\", False, 4&, \"C:\\x.gif\", Empty) @1033",
                  "DocumentProperties.Item(\"Sign\") @1033",
              }));
}

TEST_F(Bridge, ErrorsRaisedInsideWordReachTheCallerWithHresultAndDescription) {
  auto app = application();
  const Error noDocument = failureOf([&] { get(app, "ActiveDocument"); });
  EXPECT_EQ(noDocument.number(), 4248);
  EXPECT_EQ(noDocument.description(),
            u"This command is not available because no document is open.");

  word().failMember("Visible", hr::kAccessDenied, u"planted");
  const Error planted = failureOf([&] { put(app, "Visible", true); });
  EXPECT_EQ(planted.hresult(), hr::kAccessDenied);
  EXPECT_EQ(planted.description(), u"planted");
  EXPECT_EQ(failureOf([&] { get(app, "NoSuchMember"); }).number(), 438);
}

TEST_F(Bridge, TypedInterfacesAreQueryInterfaceOnTheHostObjects) {
  auto controls = getObject(getObject(application(), "CommandBars", {u"Menu Bar"}), "Controls");
  auto popup = call(controls, "Add", {named("Type", int32_t{10})}).asObject();
  auto button = call(controls, "Add", {int16_t{1}}).asObject();
  EXPECT_TRUE(popup->supports(host::kCommandBarPopup));
  EXPECT_FALSE(popup->supports(host::kCommandBarButton));
  EXPECT_TRUE(button->supports(host::kCommandBarButton));
  EXPECT_TRUE(getObject(application(), "CommandBars")->supports(host::kCommandBars));
  EXPECT_EQ(failureOf([&] { automation::as(popup, host::kCommandBarButton); }).number(), 13);
}

TEST_F(Bridge, ByReferenceArgumentsTheCalleeLeavesAloneComeBackUntouched) {
  word().addControl(word().menuBar().controls, 1, u"First");
  com::ComPtr<IDispatch> controls = automation::win::toDispatch(
      getObject(getObject(application(), "CommandBars", {u"Menu Bar"}), "Controls"));
  LPOLESTR name = const_cast<LPOLESTR>(L"Item");
  DISPID id = 0;
  ASSERT_EQ(controls->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  BYTE index = 1;  // a type the core does not hold, by reference
  VARIANT arg;
  V_VT(&arg) = VT_BYREF | VT_UI1;
  V_UI1REF(&arg) = &index;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  com::ScopedVariant result;
  EXPECT_EQ(controls->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params,
                             result.ptr(), nullptr, nullptr),
            S_OK);
  EXPECT_EQ(V_VT(&result.get()), VT_DISPATCH);
  EXPECT_EQ(index, 1);
}

struct ClickSink final : automation::EventSink {
  std::vector<std::string> events;
  bool ctrlIsButton = false;
  void onEvent(std::string_view event, automation::Arguments& args) override {
    events.emplace_back(event);
    ctrlIsButton = args.size() == 2 && args[0].value.asObject()->supports(host::kCommandBarButton);
    if (args.size() == 2 && args[1].byRef) args[1].value = true;  // CancelDefault
  }
};

TEST_F(Bridge, AClickReachesASinkConnectedThroughTheConnectionPointAndCancelDefaultComesBack) {
  auto sink = std::make_shared<ClickSink>();
  {
    auto controls = getObject(getObject(application(), "CommandBars", {u"Menu Bar"}), "Controls");
    auto button = call(controls, "Add", {int16_t{1}}).asObject();
    auto connection = button->connect(host::commandBarButtonEvents(), sink);
    const auto result = word().click(word().menuBar().controls.at(0));
    EXPECT_EQ(result.delivered, 1u);
    EXPECT_TRUE(result.cancelDefault);
    EXPECT_TRUE(sink->ctrlIsButton);
  }
  EXPECT_EQ(word().click(word().menuBar().controls.at(0)).delivered, 0u);
  EXPECT_THAT(sink->events, ElementsAre("Click"));
  EXPECT_EQ(word().connectedSinks(), 0u);
}

TEST_F(Bridge, AButtonHasOnePointForItsEventsThatTakesOnlySinksOfThem) {
  auto controls = getObject(getObject(application(), "CommandBars", {u"Menu Bar"}), "Controls");
  const com::ComPtr<IDispatch> button =
      automation::win::toDispatch(call(controls, "Add", {int16_t{1}}).asObject());
  com::ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(button.query(container), S_OK);
  const IID clickEvents = com::toGuid(host::commandBarButtonEvents().iid);
  com::ComPtr<IConnectionPoint> point, again, none;
  ASSERT_EQ(container->FindConnectionPoint(clickEvents, point.put()), S_OK);
  ASSERT_EQ(container->FindConnectionPoint(clickEvents, again.put()), S_OK);
  EXPECT_EQ(point, again);
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, none.put()),
            CONNECT_E_NOCONNECTION);

  // A sink with IDispatch, but for other events.
  const automation::EventInterface otherEvents{
      automation::Guid::parse("{0C3F6E21-54B0-4D7A-9E2B-6A1D8F4C7B35}"), "Other", {}};
  auto stranger =
      automation::win::EventSinkObject::make(otherEvents, std::make_shared<ClickSink>());
  DWORD cookie = 7;
  EXPECT_EQ(point->Advise(stranger->identity(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(word().connectedSinks(), 0u);

  auto sink = std::make_shared<ClickSink>();
  auto listener = automation::win::EventSinkObject::make(host::commandBarButtonEvents(), sink);
  ASSERT_EQ(point->Advise(listener->identity(), &cookie), S_OK);
  EXPECT_EQ(word().connectedSinks(), 1u);
  EXPECT_EQ(word().click(word().menuBar().controls.at(0)).delivered, 1u);
  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(word().connectedSinks(), 0u);
  EXPECT_THAT(sink->events, ElementsAre("Click"));
}

TEST_F(Bridge, AnotherDllDrivesWordThroughTheClientBridgeAndReleasesEverything) {
  const std::wstring dll = winetest::binPath(L"Probe.dll");
  ASSERT_EQ(winetest::regsvr32(dll), 0);
  {
    com::ComPtr<IProbe> probe;
    ASSERT_EQ(
        CoCreateInstance(CLSID_Probe, nullptr, CLSCTX_INPROC_SERVER, IID_IProbe, probe.putVoid()),
        S_OK);
    com::Bstr report;
    ASSERT_EQ(probe->Walk(running_.application(), report.put()), S_OK);
    EXPECT_EQ(report.str(),
              u"Microsoft Word;popup;This command is not available because no document is open.");
  }
  auto canUnloadNow =
      winetest::export_<HRESULT STDAPICALLTYPE()>(GetModuleHandleW(dll.c_str()), "DllCanUnloadNow");
  ASSERT_NE(canUnloadNow, nullptr);
  EXPECT_EQ(canUnloadNow(), S_OK);
  winetest::regsvr32(dll, /*unregister=*/true);
}

TEST_F(Bridge, AddinsLoadAtStartUpAndLaterAsWordLoadsThem) {
  const std::wstring dll = winetest::binPath(L"Probe.dll");
  ASSERT_EQ(winetest::regsvr32(dll), 0);
  ASSERT_EQ(wordhost::AddinHost::listAddin(L"Cks.Probe", 3), S_OK);
  {
    wordhost::AddinHost host(running_.application());
    ASSERT_EQ(host.startUp(), S_OK);
    EXPECT_TRUE(host.isLoaded(L"Cks.Probe"));
    ASSERT_EQ(host.shutDown(), S_OK);
    ASSERT_EQ(host.load(L"Cks.Probe"), S_OK);
    ASSERT_EQ(host.unload(L"Cks.Probe"), S_OK);
  }
  const HMODULE module = GetModuleHandleW(dll.c_str());
  ASSERT_NE(module, nullptr);
  auto calls = winetest::export_<BSTR STDAPICALLTYPE()>(module, "ProbeCalls");
  const com::Bstr seen = com::Bstr::attach(calls());
  EXPECT_EQ(std::wstring(seen.get()),
            L"OnConnection(1,app,inst);OnStartupComplete;OnBeginShutdown;OnDisconnection(0);"
            L"OnConnection(0,app,inst);OnDisconnection(1)");
  wordhost::AddinHost::unlistAddin(L"Cks.Probe");
  winetest::regsvr32(dll, /*unregister=*/true);
}

TEST(Dialogs, MessageBoxesAreRecordedAndAnswered) {
  wordhost::DialogDriver dialogs;
  EXPECT_EQ(MessageBoxW(nullptr, L"Th\u00ABng", L"Title", MB_OK | MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, L"second", L"Penvane", MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, L"third", L"", MB_OK), IDOK);
  ASSERT_EQ(dialogs.messages().size(), 3u);
  EXPECT_EQ(dialogs.messages()[0].title, L"Title");
  EXPECT_EQ(dialogs.messages()[0].text, L"Th\u00ABng");
  EXPECT_EQ(dialogs.messages()[0].icon, wordhost::Icon::Exclamation);
  EXPECT_EQ(dialogs.messages()[1].icon, wordhost::Icon::Information);
  EXPECT_EQ(dialogs.messages()[2].icon, wordhost::Icon::None);
}

TEST(Dialogs, OpenFileDialogsArePickedOrCancelled) {
  wordhost::DialogDriver dialogs;
  const std::wstring file = winetest::binPath(L"Probe.dll");
  dialogs.pickFile(file);
  dialogs.cancelFile();
  auto open = [](std::wstring& picked) {
    wchar_t buffer[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = L"Pictures(*.gif)\0*.gif\0All Files(*.*)\0*.*\0";
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Pick";
    ofn.Flags = OFN_EXPLORER;
    const BOOL ok = GetOpenFileNameW(&ofn);
    picked = buffer;
    return ok;
  };
  std::wstring picked;
  EXPECT_TRUE(open(picked));
  EXPECT_EQ(picked, file);
  EXPECT_FALSE(open(picked));
  ASSERT_EQ(dialogs.fileDialogs().size(), 2u);
  for (const auto& shown : dialogs.fileDialogs()) {
    EXPECT_EQ(shown.title, L"Pick");
    EXPECT_THAT(shown.fileTypes, ElementsAre(L"Pictures(*.gif)", L"All Files(*.*)"));
    EXPECT_EQ(shown.selectedType, 1);
  }
}

}  // namespace

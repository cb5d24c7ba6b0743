// The simulated Word keeps the contract that the add-in and the control rely on, as Word itself
// keeps it: missing items raise, Add appends, customisations survive a restart, signatures lose
// their validity when the document changes, design mode shows its bar.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/error.h"
#include "host/office.h"
#include "host/word.h"
#include "simword/word.h"
#include "tests/common/failure.h"

namespace simword {
namespace {

using automation::Arguments;
using automation::call;
using automation::Error;
using automation::get;
using automation::getObject;
using automation::named;
using automation::ObjectRef;
using automation::put;
using automation::Variant;
using testing::ElementsAre;
namespace hr = automation::hr;

using testing_support::failureOf;

class SimWord : public testing::Test {
 protected:
  ObjectRef menuControls(const ObjectRef& app) {
    return getObject(getObject(getObject(app, "CommandBars"), "Item", {u"Menu Bar"}), "Controls");
  }

  Word word;
};

TEST_F(SimWord, ApplicationAnswersItsNameVisibilityAndItself) {
  auto app = word.application();
  EXPECT_EQ(get(app, ""), Variant(u"Microsoft Word"));
  word.setName(u"Microsoft Excel");
  EXPECT_EQ(get(app, "Name"), Variant(u"Microsoft Excel"));
  EXPECT_EQ(get(getObject(app, "Application"), ""), Variant(u"Microsoft Excel"));
  put(app, "Visible", true);
  EXPECT_TRUE(word.visible());
  EXPECT_EQ(failureOf([&] { get(app, "NoSuchMember"); }).number(), 438);
  EXPECT_EQ(failureOf([&] { get(app, "ActiveDocument"); }).number(), 4248);
}

TEST_F(SimWord, CommandBarsAreFoundByNameOrFailAndAlternativesAnswerForMissingOnes) {
  auto app = word.application();
  EXPECT_EQ(get(getObject(app, "CommandBars", {u"menu bar"}), "Name"), Variant(u"Menu Bar"));
  EXPECT_EQ(failureOf([&] { getObject(app, "CommandBars", {u"Standard"}); }).number(), 5);
  EXPECT_EQ(failureOf([&] { call(getObject(app, "CommandBars"), "Item", {u"x"}); }).number(), 5);

  word.removeCommandBars();
  EXPECT_EQ(failureOf([&] { get(app, "CommandBars"); }).number(), 438);
  word.removeCommandBars(/*returnNothing=*/true);
  EXPECT_EQ(get(app, "CommandBars"), Variant(nullptr));

  EXPECT_EQ(failureOf([&] { get(app, "ActiveExplorer"); }).number(), 438);
  word.addExplorer();
  auto explorerBars = getObject(getObject(app, "ActiveExplorer"), "CommandBars");
  EXPECT_TRUE(explorerBars->supports(host::kCommandBars));
  EXPECT_EQ(get(getObject(explorerBars, "Item", {u"Menu Bar"}), "Name"), Variant(u"Menu Bar"));
}

TEST_F(SimWord, ControlsAreAddedAtTheEndAndFoundByCaptionAsWordMatchesThem) {
  auto app = word.application();
  auto controls = menuControls(app);
  word.addControl(word.menuBar().controls, 1, u"&File");

  auto popup = call(controls, "Add", {named("Type", int32_t{10})}).asObject();
  put(popup, "Caption", Variant(u"Ch\u1EEF &k\u00FD s\u1ED1"));
  auto button = call(getObject(popup, "Controls"), "Add", {int16_t{1}}).asObject();
  put(button, "Caption", Variant(u"K\u00FD"));

  ASSERT_EQ(word.menuBar().controls.size(), 2u);
  EXPECT_EQ(word.menuBar().controls[1]->type, 10);
  EXPECT_EQ(word.menuBar().controls[1]->controls[0]->caption, u"K\u00FD");

  // Case-insensitive, '&' ignored, Vietnamese capitals included.
  auto found = call(controls, "Item", {u"CH\u1EEE K\u00DD S\u1ED0"}).asObject();
  EXPECT_TRUE(found->supports(host::kCommandBarPopup));
  EXPECT_EQ(get(call(controls, "Item", {u"file"}).asObject(), "Type"), Variant(int32_t{1}));
  EXPECT_EQ(failureOf([&] { call(controls, "Item", {u"Ch\u1EEF k\u00FD"}); }).number(), 5);
  EXPECT_EQ(failureOf([&] { call(controls, "Item", {int32_t{3}}); }).number(), 5);

  EXPECT_THAT(word.log().lines(),
              testing::IsSupersetOf(
                  {"CommandBarControls.Add(Type:=10&)",
                   "CommandBarPopup.Caption = \"Ch\xE1\xBB\xAF &k\xC3\xBD s\xE1\xBB\x91\"",
                   "CommandBarControls.Add(1%)"}));
}

TEST_F(SimWord, TypedInterfacesFollowTheKindOfControl) {
  auto app = word.application();
  auto controls = menuControls(app);
  auto popup = call(controls, "Add", {named("Type", int32_t{10})}).asObject();
  auto button = call(controls, "Add", {int32_t{1}}).asObject();
  EXPECT_TRUE(popup->supports(host::kCommandBarControl));
  EXPECT_TRUE(popup->supports(host::kCommandBarPopup));
  EXPECT_FALSE(popup->supports(host::kCommandBarButton));
  EXPECT_TRUE(button->supports(host::kCommandBarButton));
  EXPECT_FALSE(button->supports(host::kCommandBarPopup));
  EXPECT_EQ(failureOf([&] { automation::as(popup, host::kCommandBarButton); }).number(), 13);
  EXPECT_EQ(failureOf([&] { get(button, "Controls"); }).number(), 438);
  EXPECT_EQ(failureOf([&] { call(controls, "Add", {int32_t{4}}); }).number(), 5);
  EXPECT_THAT(word.log().lines(),
              testing::Contains("CommandBarPopup is CommandBarButton !0x80004002"));
}

TEST_F(SimWord, ArgumentsAreCheckedAsIDispatchChecksThem) {
  auto controls = menuControls(word.application());
  EXPECT_EQ(failureOf([&] { call(controls, "Add", {named("Kind", int32_t{1})}); }).number(), 448);
  EXPECT_EQ(failureOf([&] { call(controls, "Item", {int32_t{1}, int32_t{2}}); }).number(), 450);
  EXPECT_EQ(failureOf([&] { call(controls, "Item"); }).number(), 449);
  EXPECT_EQ(failureOf([&] { put(controls, "Count", int32_t{1}); }).number(), 438);
}

TEST_F(SimWord, ButtonPropertiesAreKeptAndDeleteRemovesTheButton) {
  auto app = word.application();
  auto button = call(menuControls(app), "Add", {int16_t{1}}).asObject();
  put(button, "Style", int32_t{2});
  put(button, "Tag", u"\u004B\u00FD");
  put(button, "OnAction", u"!<Penvane.Connect>");
  put(button, "Visible", false);
  const auto& model = *word.menuBar().controls.at(0);
  EXPECT_EQ(model.style, 2);
  EXPECT_EQ(model.tag, u"K\u00FD");
  EXPECT_EQ(model.onAction, u"!<Penvane.Connect>");
  EXPECT_FALSE(model.visible);
  EXPECT_FALSE(model.temporary);

  call(button, "Delete");
  EXPECT_TRUE(word.menuBar().controls.empty());
  EXPECT_EQ(failureOf([&] { get(button, "Caption"); }).hresult(), hr::kFail);
}

struct RecordingSink : automation::EventSink {
  std::vector<std::string> events;
  bool cancel = false;
  void onEvent(std::string_view event, Arguments& args) override {
    events.push_back(std::string(event));
    EXPECT_EQ(args.size(), 2u);
    EXPECT_TRUE(args[0].value.asObject()->supports(host::kCommandBarButton));
    EXPECT_TRUE(args[1].byRef);
    if (cancel) args[1].value = true;
  }
};

TEST_F(SimWord, ClicksReachConnectedSinksAndCancelDefaultComesBack) {
  auto button = call(menuControls(word.application()), "Add", {int16_t{1}}).asObject();
  auto sink = std::make_shared<RecordingSink>();
  sink->cancel = true;
  auto connection = button->connect(host::commandBarButtonEvents(), sink);
  const auto control = word.menuBar().controls[0];

  auto result = word.click(control);
  EXPECT_EQ(result.delivered, 1u);
  EXPECT_TRUE(result.cancelDefault);
  EXPECT_THAT(sink->events, ElementsAre("Click"));

  connection.reset();
  EXPECT_EQ(word.click(control).delivered, 0u);
  EXPECT_THAT(word.log().lines(),
              testing::IsSupersetOf({"CommandBarButton connect _CommandBarButtonEvents",
                                     "CommandBarButton disconnect _CommandBarButtonEvents"}));
  auto popup = call(menuControls(word.application()), "Add", {int32_t{10}}).asObject();
  EXPECT_ANY_THROW(popup->connect(host::commandBarButtonEvents(), sink));
}

TEST_F(SimWord, ARestartKeepsPermanentControlsAndDropsTemporaryOnesAndConnections) {
  auto controls = menuControls(word.application());
  auto popup = call(controls, "Add", {named("Type", int32_t{10})}).asObject();
  put(popup, "Caption", u"Kept");
  auto kept = call(getObject(popup, "Controls"), "Add", {int16_t{1}}).asObject();
  put(kept, "Tag", u"t");
  call(controls, "Add", {int32_t{1}, named("Temporary", true)});
  auto connection =
      kept->connect(host::commandBarButtonEvents(), std::make_shared<RecordingSink>());
  word.open();

  word.restart();
  ASSERT_EQ(word.menuBar().controls.size(), 1u);
  EXPECT_EQ(word.menuBar().controls[0]->caption, u"Kept");
  EXPECT_EQ(word.menuBar().controls[0]->controls.at(0)->tag, u"t");
  EXPECT_EQ(word.connectedSinks(), 0u);
  EXPECT_EQ(word.activeDocument(), nullptr);
}

TEST_F(SimWord, FormsDesignModeShowsTheExitDesignModeBar) {
  auto app = word.application();
  word.open();
  auto bar = getObject(app, "CommandBars", {u"Exit Design Mode"});
  EXPECT_EQ(get(bar, "Visible"), Variant(false));
  call(getObject(app, "ActiveDocument"), "ToggleFormsDesign");
  EXPECT_EQ(get(bar, "Visible"), Variant(true));

  host::ExitFormsDesign(app);
  EXPECT_FALSE(word.activeDocument()->designMode);
  host::ExitFormsDesign(app);  // not in design mode: nothing toggles
  EXPECT_FALSE(word.activeDocument()->designMode);

  word.removeBar(u"Exit Design Mode");
  EXPECT_EQ(failureOf([&] { host::ExitFormsDesign(app); }).number(), 5);
}

// Today's Word keeps the bar but shows design mode on the ribbon; Word 2003 does not know the
// ribbon's member, which fails at its name and reaches no object.
TEST_F(SimWord, TodaysWordShowsDesignModeOnTheRibbonOnly) {
  Word today(Profile::Word2016);
  auto app = today.application();
  today.open().designMode = true;
  EXPECT_EQ(get(getObject(app, "CommandBars", {u"Exit Design Mode"}), "Visible"), Variant(false));
  EXPECT_EQ(call(getObject(app, "CommandBars"), "GetPressedMso", {u"DesignMode"}), Variant(true));
  EXPECT_TRUE(host::InFormsDesign(app));

  word.open().designMode = true;
  const uint64_t next = word.log().next();
  EXPECT_EQ(failureOf([&] {
              call(getObject(word.application(), "CommandBars"), "GetPressedMso", {u"DesignMode"});
            }).hresult(),
            hr::kUnknownName);
  EXPECT_EQ(word.log().next(), next + 1);  // the CommandBars get only
  EXPECT_TRUE(host::InFormsDesign(word.application()));
}

TEST_F(SimWord, AddOleControlPlacesTheControlInlineAndEntersDesignMode) {
  struct Fake : EmbeddedControl {};
  std::vector<std::u16string> created;
  word.setControlFactory([&](std::u16string_view classType, Document&) {
    created.emplace_back(classType);
    return std::make_unique<Fake>();
  });
  auto app = word.application();
  auto& doc = word.open();
  doc.edit(u"ab");
  auto shapes = getObject(getObject(app, "Selection"), "InlineShapes");
  call(shapes, "AddOLEControl", {named("ClassType", u"Sealbrook.SignData")});

  EXPECT_THAT(created, ElementsAre(u"Sealbrook.SignData"));
  ASSERT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.content(), u"ab\x0001");
  EXPECT_TRUE(doc.designMode);
  EXPECT_EQ(get(shapes, "Count"), Variant(int32_t{1}));

  word.setControlFactory(nullptr);
  EXPECT_EQ(
      failureOf([&] { call(shapes, "AddOLEControl", {named("ClassType", u"X.Y")}); }).number(),
      429);
}

TEST_F(SimWord, CustomPropertiesAreAddedFoundAndReplacedWithTheirLocale) {
  auto app = word.application();
  word.open();
  auto props = getObject(getObject(app, "ActiveDocument"), "CustomDocumentProperties");
  EXPECT_TRUE(props->supports(host::kDocumentProperties));
  EXPECT_EQ(get(props, "Count"), Variant(int32_t{0}));
  EXPECT_EQ(failureOf([&] { call(props, "Item", {u"Sign"}, 1033); }).number(), 5);

  call(props, "Add", {u"Sign", false, int32_t{4}, u"C:\\a.gif", Variant()}, 1033);
  EXPECT_EQ(failureOf([&] { call(props, "Add", {u"sign", false, int32_t{4}, u"x"}); }).number(), 5);
  put(call(props, "Item", {u"Sign"}, 1033).asObject(), "Value", u"C:\\b.gif", {}, 1033);

  const auto& p = word.activeDocument()->properties.at(0);
  EXPECT_EQ(p.value, Variant(u"C:\\b.gif"));
  EXPECT_EQ(p.type, 4);
  EXPECT_THAT(word.log().lines(),
              testing::IsSupersetOf(
                  {"DocumentProperties.Add(\"Sign\", False, 4&, \"C:\\a.gif\", Empty) @1033",
                   "DocumentProperties.Item(\"Sign\") @1033",
                   "DocumentProperty.Value = \"C:\\b.gif\" @1033"}));
}

TEST_F(SimWord, SignaturesFollowTheUsersChoiceAndLoseValidityWhenTheDocumentChanges) {
  auto app = word.application();
  auto& doc = word.open();
  auto signatures = [&] { return getObject(getObject(app, "ActiveDocument"), "Signatures"); };

  word.signing().willSign(u"Tr\u1EA7n B", u"CA", automation::Date{47000}, automation::Date{46000});
  word.signing().willCancel();
  word.signing().willFail(hr::kAccessDenied, u"no certificate");

  auto signature = call(signatures(), "Add").asObject();
  EXPECT_EQ(get(signature, "Signer"), Variant(u"Tr\u1EA7n B"));
  EXPECT_EQ(failureOf([&] { call(signatures(), "Add"); }).hresult(), hr::kFail);
  const Error refused = failureOf([&] { call(signatures(), "Add"); });
  EXPECT_EQ(refused.hresult(), hr::kAccessDenied);
  EXPECT_EQ(refused.description(), u"no certificate");
  EXPECT_FALSE(doc.signatures.at(0).committed);
  call(signatures(), "Commit");
  EXPECT_TRUE(doc.signatures.at(0).committed);

  EXPECT_EQ(get(signatures(), "Count"), Variant(int32_t{1}));
  EXPECT_EQ(get(call(signatures(), "Item", {int16_t{1}}).asObject(), "IsValid"), Variant(true));
  EXPECT_EQ(failureOf([&] { call(signatures(), "Item", {int16_t{0}}); }).number(), 9);
  EXPECT_EQ(failureOf([&] { call(signatures(), "Item", {int16_t{2}}); }).number(), 9);

  doc.edit(u"changed after signing");
  EXPECT_EQ(get(signature, "IsValid"), Variant(false));
  call(signatures(), "Add");  // the default signer, over the new content
  EXPECT_EQ(get(call(signatures(), "Item", {int16_t{2}}).asObject(), "IsValid"), Variant(true));
  doc.signatures[1].markedInvalid = true;
  EXPECT_EQ(get(call(signatures(), "Item", {int16_t{2}}).asObject(), "IsValid"), Variant(false));
}

TEST_F(SimWord, ObjectsOfAClosedDocumentFail) {
  auto app = word.application();
  auto& doc = word.open(u"A");
  auto signatures = getObject(getObject(app, "ActiveDocument"), "Signatures");
  word.close(doc);
  EXPECT_EQ(failureOf([&] { get(signatures, "Count"); }).number(), 5825);
}

TEST_F(SimWord, EveryCallIsLoggedInOrderAndReferencesReturnToZero) {
  {
    auto app = word.application();
    word.open();
    get(getObject(app, "CommandBars", {u"Exit Design Mode"}), "Visible");
    auto controls = menuControls(app);
    EXPECT_GT(word.outstandingReferences(), 1);
  }
  EXPECT_EQ(word.outstandingReferences(), 0);
  EXPECT_THAT(word.log().lines(),
              ElementsAre("Application.CommandBars(\"Exit Design Mode\")", "CommandBar.Visible",
                          "Application.CommandBars", "CommandBars.Item(\"Menu Bar\")",
                          "CommandBar.Controls"));
  EXPECT_EQ(word.log().records()[3].number, 4u);
}

TEST_F(SimWord, FaultsHitTheNthCallOrEveryCallOfAMember) {
  auto app = word.application();
  word.failCall(2, hr::kFail, u"second call");
  EXPECT_NO_THROW(get(app, "Name"));
  const Error second = failureOf([&] { get(app, "Name"); });
  EXPECT_EQ(second.description(), u"second call");
  EXPECT_NO_THROW(get(app, "Name"));

  word.failMember("CommandBarControls.Add", hr::kAccessDenied);
  auto controls = menuControls(app);
  EXPECT_EQ(failureOf([&] { call(controls, "Add", {int16_t{1}}); }).hresult(), hr::kAccessDenied);
  EXPECT_EQ(failureOf([&] { call(controls, "Add", {int16_t{1}}); }).hresult(), hr::kAccessDenied);
  EXPECT_TRUE(word.menuBar().controls.empty());

  word.failMember("Visible", hr::kFail);
  EXPECT_ANY_THROW(put(app, "Visible", true));
  EXPECT_FALSE(word.visible());
  word.clearFaults();
  EXPECT_NO_THROW(put(app, "Visible", true));
  EXPECT_THAT(word.log().lines()[1], "Application.Name !0x80004005");
}

}  // namespace
}  // namespace simword

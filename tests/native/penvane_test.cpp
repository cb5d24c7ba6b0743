// The add-in's start-up against the simulated Word: the host calls in their order and forms,
// the continue-on-error regime at every step, the menu across runs of the host, the bindings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/unicode.h"
#include "host/office.h"
#include "penvane/connect.h"
#include "penvane_fakes.h"
#include "simword/word.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {
namespace {

using automation::hr::kFail;
using testing::ElementsAre;
using testing::ElementsAreArray;
namespace literals = text::literals;

std::string utf8(std::u16string_view s) {
  return text::toUtf8(s);
}
std::string tag(std::string_view tcvn3) {
  return text::toUtf8(text::widenBytes(tcvn3));
}

// Connect with its four commands observed.
class ObservedConnect final : public Connect {
 public:
  using Connect::Connect;
  std::vector<std::string> clicks;
  void SetUpPath() override { clicks.emplace_back("SetUpPath"); }
  void Insert() override { clicks.emplace_back("Insert"); }
  void Sign() override { clicks.emplace_back("Sign"); }
  void InsertAndSign() override { clicks.emplace_back("InsertAndSign"); }
};

class AddinStartup : public testing::Test {
 protected:
  void connect(int32_t mode) { addin->OnConnection(word.application(), mode); }
  void startupComplete() { addin->OnStartupComplete(); }
  void beginShutdown() { addin->OnBeginShutdown(); }
  void disconnect(int32_t mode) { addin->OnDisconnection(mode); }
  // Host start-up with the add-in listed: connection (mode 1), then start-up completion.
  void hostStarts() {
    connect(1);
    startupComplete();
  }
  void hostExits() {
    beginShutdown();
    disconnect(0);
  }
  simword::ControlPtr popup() { return word.menuBar().find(literals::kPopupCaption); }
  std::vector<std::u16string> popupCaptions() {
    std::vector<std::u16string> out;
    for (const auto& c : popup()->controls) out.push_back(c->caption);
    return out;
  }
  size_t count(const std::string& line) {
    const auto lines = word.log().lines();
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
  }

  std::shared_ptr<ObservedConnect> newAddin() {
    return std::make_shared<ObservedConnect>(lib.frmPath, lib.platform);
  }
  // Loads of the path form: each one creates its window.
  size_t formLoads() const {
    return static_cast<size_t>(
        std::count(lib.formWindow.calls.begin(), lib.formWindow.calls.end(), "Create"));
  }

  simword::Word word;
  fakes::Library lib;
  std::shared_ptr<ObservedConnect> addin = newAddin();
  ImagePath& imagePath = addin->imagePath();
};

std::vector<std::string> buttonCreation(std::u16string_view key, std::u16string_view caption,
                                        std::string_view tcvn3) {
  return {"CommandBarPopup.Controls",
          "CommandBarControls.Item(\"" + utf8(key) + "\") !0x80070057",
          "CommandBarPopup.Controls",
          "CommandBarControls.Add(1%)",
          "CommandBarButton is CommandBarButton",
          "CommandBarButton connect _CommandBarButtonEvents",
          "CommandBarButton.Caption = \"" + utf8(caption) + "\"",
          "CommandBarButton.Style = 2&",
          "CommandBarButton.Tag = \"" + tag(tcvn3) + "\"",
          "CommandBarButton.OnAction = \"!<Penvane.Connect>\"",
          "CommandBarButton.Visible = True"};
}

TEST_F(AddinStartup, OnAnEmptyMenuBarStartupMakesTheStatedCallsInOrder) {
  connect(1);
  EXPECT_TRUE(word.log().lines().empty());  // loaded at host start-up: nothing yet
  startupComplete();

  std::vector<std::string> expected = {
      "Application.CommandBars",
      "CommandBars is CommandBars",
      "CommandBars.Item(\"Menu Bar\")",
      "CommandBar is CommandBar",
      "CommandBar.Controls",
      "CommandBarControls.Item(\"" + utf8(literals::kPopupCaption) + "\") !0x80070057",
      "CommandBar.Controls",
      "CommandBarControls.Add(Type:=10&)",
      "CommandBarPopup.Caption = \"" + utf8(literals::kPopupCaption) + "\"",
  };
  for (const auto& part :
       {buttonCreation(literals::kSetUpPathCaption, literals::kSetUpPathCaption,
                       literals::kTagSetUpPath),
        buttonCreation(literals::kInsertCaption, literals::kInsertCaption, literals::kTagInsert),
        buttonCreation(u"K\u00FD", literals::kSignCaption, literals::kSign),
        buttonCreation(literals::kInsertAndSignCaption, literals::kInsertAndSignCaption,
                       literals::kTagInsertAndSign)})
    expected.insert(expected.end(), part.begin(), part.end());
  expected.push_back("Application.UserControl");  // before the path form's dialog
  EXPECT_THAT(word.log().lines(), ElementsAreArray(expected));

  ASSERT_EQ(word.menuBar().controls.size(), 1u);
  EXPECT_THAT(popupCaptions(),
              ElementsAre(literals::kSetUpPathCaption, literals::kInsertCaption,
                          literals::kSignCaption, literals::kInsertAndSignCaption));
  for (const auto& b : popup()->controls) {
    EXPECT_EQ(b->style, 2);
    EXPECT_EQ(b->onAction, u"!<Penvane.Connect>");
    EXPECT_TRUE(b->visible);
    EXPECT_FALSE(b->temporary);
  }
  EXPECT_EQ(popup()->controls[2]->tag, text::widenBytes(literals::kSign));
  EXPECT_TRUE(imagePath.ready());
  EXPECT_EQ(formLoads(), 1u);
}

TEST_F(AddinStartup, LoadedByTheUserTheMenuIsBuiltDuringConnection) {
  connect(0);
  EXPECT_EQ(popup()->controls.size(), 4u);
  EXPECT_EQ(word.connectedSinks(), 4u);
  EXPECT_TRUE(imagePath.ready());
}

TEST_F(AddinStartup, WithoutApplicationCommandBarsTheExplorersBarsAreUsed) {
  auto& explorer = word.addExplorer();
  for (bool returnNothing : {false, true}) {
    word.removeCommandBars(returnNothing);
    addin = newAddin();
    hostStarts();
    const auto explorerPopup = explorer.find(u"Menu Bar")->find(literals::kPopupCaption);
    ASSERT_NE(explorerPopup, nullptr);
    EXPECT_EQ(explorerPopup->controls.size(), 4u);
    hostExits();
  }
  EXPECT_TRUE(word.menuBar().controls.empty());
}

TEST_F(AddinStartup, AnExistingPopupIsUsedAsItIs) {
  const auto existing = word.addControl(word.menuBar().controls, 10, u"CH\u1EEE &K\u00DD S\u1ED0");
  hostStarts();
  ASSERT_EQ(word.menuBar().controls.size(), 1u);
  EXPECT_EQ(existing->caption, u"CH\u1EEE &K\u00DD S\u1ED0");
  EXPECT_EQ(existing->controls.size(), 4u);
  EXPECT_EQ(count("CommandBarControls.Add(Type:=10&)"), 0u);
}

TEST_F(AddinStartup, ButtonsAlreadyThereAreBoundUnchangedAndTheirClicksArrive) {
  const auto menu =
      word.addControl(word.menuBar().controls, 10, std::u16string(literals::kPopupCaption));
  for (auto caption : {literals::kSetUpPathCaption, literals::kInsertCaption,
                       literals::kSignCaption, literals::kInsertAndSignCaption})
    word.addControl(menu->controls, 1, std::u16string(caption))->tag = u"left by an earlier run";
  hostStarts();

  EXPECT_EQ(menu->controls.size(), 4u);
  for (const auto& line : word.log().lines()) {
    EXPECT_THAT(line, testing::Not(testing::HasSubstr(" = "))) << "no property is set";
    EXPECT_THAT(line, testing::Not(testing::HasSubstr(".Add(")));
  }
  for (const auto& b : menu->controls) {
    EXPECT_EQ(b->tag, u"left by an earlier run");
    EXPECT_EQ(word.click(b).delivered, 1u);
  }
  EXPECT_THAT(addin->clicks, ElementsAre("SetUpPath", "Insert", "Sign", "InsertAndSign"));
}

TEST_F(AddinStartup, AControlCaptionedLikeAButtonButNotAButtonGetsANewButtonBeside) {
  const auto menu =
      word.addControl(word.menuBar().controls, 10, std::u16string(literals::kPopupCaption));
  const auto impostor = word.addControl(menu->controls, 10, u"K\u00FD");  // a popup, not a button
  hostStarts();
  ASSERT_EQ(menu->controls.size(), 5u);
  EXPECT_EQ(menu->controls[0], impostor);
  EXPECT_EQ(menu->controls[3]->caption, literals::kSignCaption);
  EXPECT_TRUE(menu->controls[3]->isButton());
  word.click(menu->controls[3]);
  EXPECT_THAT(addin->clicks, ElementsAre("Sign"));
}

TEST_F(AddinStartup, APlainButtonUnderThePopupCaptionLeavesTheAddinWithoutButtons) {
  const auto plain =
      word.addControl(word.menuBar().controls, 1, std::u16string(literals::kPopupCaption));
  hostStarts();
  EXPECT_EQ(word.menuBar().controls.size(), 1u);
  EXPECT_EQ(word.connectedSinks(), 0u);
  EXPECT_EQ(word.click(plain).delivered, 0u);
  EXPECT_TRUE(imagePath.ready());  // the settings are still read
  EXPECT_EQ(formLoads(), 1u);      // and the path form still loaded
}

TEST_F(AddinStartup, AcrossHostRunsThePopupStaysAndIsRefilled) {
  hostStarts();
  hostExits();
  addin.reset();
  word.restart();
  ASSERT_NE(popup(), nullptr);
  EXPECT_TRUE(popup()->controls.empty());

  addin = newAddin();
  hostStarts();
  EXPECT_EQ(word.menuBar().controls.size(), 1u);
  EXPECT_THAT(popupCaptions(),
              ElementsAre(literals::kSetUpPathCaption, literals::kInsertCaption,
                          literals::kSignCaption, literals::kInsertAndSignCaption));
}

TEST_F(AddinStartup, HostExitDeletesTheButtonsOnceAndReleasesEverything) {
  hostStarts();
  imagePath.replace(u"C:\\sig.gif");
  hostExits();
  EXPECT_EQ(count("CommandBarButton.Delete()"), 4u);
  EXPECT_TRUE(popup()->controls.empty());
  EXPECT_EQ(imagePath.path(), u"");
  EXPECT_FALSE(imagePath.ready());
  EXPECT_EQ(addin->hostApp, nullptr);
  EXPECT_EQ(word.outstandingReferences(), 0);
  EXPECT_EQ(word.connectedSinks(), 0u);
}

TEST_F(AddinStartup, UserUnloadDeletesClearsAndReleasesInDisconnection) {
  connect(0);
  imagePath.replace(u"C:\\sig.gif");
  disconnect(1);
  EXPECT_EQ(count("CommandBarButton.Delete()"), 4u);
  EXPECT_TRUE(popup()->controls.empty());
  EXPECT_EQ(imagePath.path(), u"");
  EXPECT_FALSE(imagePath.ready());
  EXPECT_EQ(addin->hostApp, nullptr);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(AddinStartup, ThePathFormIsLoadedOnceAndAddinsUpdateChangesNothing) {
  hostStarts();
  startupComplete();
  EXPECT_EQ(formLoads(), 1u);
  const auto before = word.log().next();
  addin->OnAddInsUpdate();
  EXPECT_EQ(word.log().next(), before);
  EXPECT_EQ(popup()->controls.size(), 4u);
}

TEST_F(AddinStartup, AFailingPathFormDoesNotStopStartup) {
  lib.formWindow.createFails = true;
  hostStarts();
  EXPECT_EQ(popup()->controls.size(), 4u);
  EXPECT_TRUE(imagePath.ready());
  EXPECT_EQ(addin->vImage(), nullptr);
}

// Every host call of start-up completion fails once, in turn: the later steps still run and
// nothing is leaked.
TEST(AddinStartupFaults, EachHostCallOfStartupCanFailAndTheRestStillRuns) {
  struct Run {
    simword::Word word;
    fakes::Library lib;
    std::shared_ptr<Connect> addin = std::make_shared<Connect>(lib.frmPath, lib.platform);

    void startUp() {
      addin->OnConnection(word.application(), 1);
      addin->OnStartupComplete();
    }
    void exit() {
      addin->OnBeginShutdown();
      addin->OnDisconnection(0);
      addin.reset();
    }
  };
  uint64_t calls = 0;
  {
    Run dry;
    dry.startUp();
    calls = dry.word.log().next() - 1;
  }
  ASSERT_GT(calls, 40u);
  for (uint64_t n = 1; n <= calls; ++n) {
    SCOPED_TRACE("call " + std::to_string(n) + " fails");
    Run run;
    run.word.failCall(n, kFail, u"planted");
    run.startUp();
    EXPECT_EQ(run.word.log().records().at(n - 1).result, kFail);
    EXPECT_TRUE(run.addin->imagePath().ready());
    // Whether a user sees Word: what cannot be read counts as nobody, and no dialog comes.
    const bool userControlRead = run.word.log().records().at(n - 1).member != "UserControl";
    EXPECT_EQ(run.lib.fileDialog.shown.size(), userControlRead ? 1u : 0u);
    // One failure spoils one button at the most: every other button is complete.
    if (const auto popup = run.word.menuBar().find(literals::kPopupCaption)) {
      size_t complete = 0;
      for (const auto& b : popup->controls)
        complete += b->style == 2 && b->onAction == u"!<Penvane.Connect>" && !b->tag.empty() &&
                    !b->caption.empty() && b->visible;
      EXPECT_GE(complete + 1, popup->controls.size());
      EXPECT_GE(popup->controls.size(), 3u);
    }
    run.exit();
    EXPECT_EQ(run.word.outstandingReferences(), 0);
    EXPECT_EQ(run.word.connectedSinks(), 0u);
  }
}

TEST_F(AddinStartup, AButtonThatCannotBeAddedLeavesTheOthersIntact) {
  // On an empty menu start-up makes 9 calls for the popup, then 11 per button, the button's
  // Add being the 4th of its block (as the first test pins down): fail the Add of the sign button.
  word.failCall(9 + 2 * 11 + 4, kFail);
  hostStarts();
  EXPECT_EQ(word.log().records().at(9 + 2 * 11 + 3).str(),
            "CommandBarControls.Add(1%) !0x80004005");
  EXPECT_THAT(popupCaptions(), ElementsAre(literals::kSetUpPathCaption, literals::kInsertCaption,
                                           literals::kInsertAndSignCaption));
  EXPECT_EQ(addin->signButton.get(), nullptr);
  EXPECT_EQ(word.connectedSinks(), 3u);
  hostExits();
  EXPECT_EQ(count("CommandBarButton.Delete()"), 3u);
}

TEST_F(AddinStartup, AFailedPropertyPutLeavesThatPropertyAndTheLaterPutsAreMade) {
  word.failMember("Tag", kFail);
  hostStarts();
  for (const auto& b : popup()->controls) {
    EXPECT_EQ(b->tag, u"");
    EXPECT_EQ(b->onAction, u"!<Penvane.Connect>");
    EXPECT_TRUE(b->visible);
  }
}

TEST_F(AddinStartup, EveryDeleteOfBeginShutdownIsIndependent) {
  hostStarts();
  imagePath.replace(u"x");
  word.failMember("Delete", kFail);
  beginShutdown();
  EXPECT_EQ(popup()->controls.size(), 4u);  // nothing deleted
  EXPECT_EQ(count("CommandBarButton.Delete() !0x80004005"), 4u);
  EXPECT_EQ(addin->setUpPathButton.get(), nullptr);
  EXPECT_EQ(imagePath.path(), u"");
  EXPECT_FALSE(imagePath.ready());
  EXPECT_EQ(word.connectedSinks(), 0u);
}

}  // namespace
}  // namespace penvane

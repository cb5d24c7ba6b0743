// The signing control against the simulated Word: its popup, the design-mode exit, and the sign
// command step by step, with every failure.
#include <algorithm>
#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/error.h"
#include "sealbrook/signdata.h"
#include "sealbrook_fakes.h"
#include "simword/word.h"

namespace sealbrook {
namespace {

using automation::Error;
using automation::hr::kFail;
using fakes::fileOf;
using testing::ElementsAre;
using testing::ElementsAreArray;
using FakeRuntime = fakes::Runtime;
using FakeSurface = fakes::Surface;

class Control : public testing::Test {
 protected:
  Control() { document = &word.open(u"Report"); }

  // The property "Sign" before the command; none of it is looked at on a signed document.
  enum class Property { Missing, Other, Signed };
  std::vector<std::string> signLines(Property property, bool designMode) {
    std::vector<std::string> lines = {"Application.ActiveDocument", "Document.Signatures",
                                      "Signatures.Count"};
    if (property != Property::Signed)
      for (const char* l : {"Application.ActiveDocument", "Document.CustomDocumentProperties",
                            "DocumentProperties is DocumentProperties", "DocumentProperties.Count"})
        lines.push_back(l);
    if (property == Property::Other) {
      lines.push_back("DocumentProperties.Item(\"Sign\") @1033");
      lines.push_back("DocumentProperty.Value @1033");
      lines.push_back("DocumentProperty.Value = \"C:\\WINDOWS\\ck copy.gif\" @1033");
    } else if (property == Property::Missing) {
      lines.push_back(
          "DocumentProperties.Add(\"Sign\", False, 4&, \"C:\\WINDOWS\\ck copy.gif\", Empty) @1033");
    }
    for (const char* l : {"Application.ActiveDocument", "Document.Signatures", "Signatures.Add()",
                          "Application.ActiveDocument", "Document.Signatures",
                          "Signatures.Commit()", "Application.CommandBars",
                          "Application.CommandBars(\"Exit Design Mode\")", "CommandBar.Visible"})
      lines.push_back(l);
    if (designMode) {
      lines.push_back("Application.ActiveDocument");
      lines.push_back("Document.ToggleFormsDesign()");
    }
    return lines;
  }
  simword::Word word;
  simword::Document* document;
  FakeRuntime runtime{word};
  FakeSurface surface{runtime.calls};
  fakes::Site site;
  SignData control{runtime, surface, site};
};

// A fresh control on a signed document in design mode, its timers run by a clock the test owns
// as the platform runs them (each at its interval as it stands when the tick comes): after 1 s it
// leaves design mode, once; it shows nothing until the first status look at 5 s.
TEST_F(Control, StartsEmptyWithBothTimersRunning) {
  document->designMode = true;
  document->signatures.push_back(simword::SigningService::defaultSignature());
  std::map<TimerId, uint32_t> due = {{TimerId::Timer1, control.Timer1Interval()},
                                     {TimerId::Timer2, control.Timer2Interval()}};
  int timer2Runs = 0;
  for (uint32_t now = 1000; now <= 10000; now += 1000) {
    for (auto& [timer, at] : due) {
      if (at == 0 || now < at) continue;
      if (timer == TimerId::Timer2) ++timer2Runs;
      control.Tick(timer);
      const uint32_t interval =
          timer == TimerId::Timer1 ? control.Timer1Interval() : control.Timer2Interval();
      at = interval ? now + interval : 0;
    }
    if (now == 1000) {
      EXPECT_FALSE(document->designMode);
    }
    if (now < 5000) {
      EXPECT_EQ(control.Picture1(), nullptr);
      EXPECT_EQ(control.Image1(), nullptr);
    }
  }
  EXPECT_EQ(timer2Runs, 1);
  EXPECT_EQ(fileOf(control.Image1()), kSignaturePicture);
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  EXPECT_EQ(std::count(runtime.calls.begin(), runtime.calls.end(), "Timer1.Interval=5000"), 2);
}

TEST_F(Control, TheSignatureClickAndTheSurfaceDoubleClickOpenThePopup) {
  control.Image1_Click();
  control.UserControl_DblClick();
  EXPECT_EQ(surface.menus, 2);
  EXPECT_TRUE(word.log().lines().empty());  // dismissed: nothing happens

  surface.choice = MenuChoice::Sign;
  control.Image1_Click();
  EXPECT_EQ(document->signatures.size(), 1u);
  surface.choice = MenuChoice::Verify;
  const auto before = word.log().next();
  control.UserControl_DblClick();
  EXPECT_GT(word.log().next(), before);  // verify read the signature
  EXPECT_EQ(runtime.boxes.size(), 1u);
}

TEST_F(Control, Timer2StopsItselfFirstAndLeavesDesignModeOnlyWhenTheBarShows) {
  document->designMode = true;
  control.Timer2_Timer();
  EXPECT_THAT(runtime.calls, ElementsAre("Timer2.Interval=0", "GetObject"));
  EXPECT_FALSE(document->designMode);
  EXPECT_THAT(word.log().lines(),
              ElementsAre("Application.CommandBars",
                          "Application.CommandBars(\"Exit Design Mode\")", "CommandBar.Visible",
                          "Application.ActiveDocument", "Document.ToggleFormsDesign()"));

  word.log().clear();
  control.Timer2_Timer();  // not in design mode: nothing toggles
  EXPECT_FALSE(document->designMode);
  EXPECT_THAT(word.log().lines(),
              ElementsAre("Application.CommandBars",
                          "Application.CommandBars(\"Exit Design Mode\")", "CommandBar.Visible"));
  EXPECT_EQ(word.outstandingReferences(), 0);
}

// The control works on the Word whose document holds it: its site's application service first,
// then the application of the site's container; the running-object table only when the site
// gives neither. Today's Word shows design mode on the ribbon, where the bar stays hidden.
TEST_F(Control, ItReachesTheWordOfItsSiteAndReadsDesignModeAsThatWordShowsIt) {
  simword::Word today(simword::Profile::Word2016);
  simword::Document& held = today.open(u"Holds the block");
  held.designMode = true;
  document->designMode = true;
  site.document = today.document(held);
  control.Timer2_Timer();
  EXPECT_FALSE(held.designMode);
  EXPECT_TRUE(document->designMode);
  EXPECT_THAT(runtime.calls, ElementsAre("Timer2.Interval=0"));  // no GetObject
  EXPECT_THAT(today.log().lines(),
              ElementsAre("Document.Application", "Application.CommandBars",
                          "CommandBars.GetPressedMso(\"DesignMode\")", "Application.ActiveDocument",
                          "Document.ToggleFormsDesign()"));

  // The service goes before the container.
  simword::Word other;
  site.application = other.application();
  other.open().signatures.push_back(simword::SigningService::defaultSignature());
  control.Timer1_Timer();
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  EXPECT_EQ(today.log().lines().size(), 5u);

  // A container whose document cannot name its application fails the handler: no other Word.
  site.application = nullptr;
  today.failMember("Document.Application", automation::hr::kAccessDenied);
  control.mnuSign_Click();
  EXPECT_TRUE(held.signatures.empty());
  EXPECT_TRUE(document->signatures.empty());
  site.document = nullptr;
}

TEST_F(Control, Timer2FailuresLeaveTheTimerStoppedAndGoToThePlatform) {
  runtime.hostRunning = false;
  EXPECT_THROW(control.Timer2_Timer(), Error);
  EXPECT_EQ(control.Timer2Interval(), 0u);
  runtime.hostRunning = true;
  word.removeBar(u"Exit Design Mode");
  EXPECT_THROW(control.Timer2_Timer(), Error);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(Control, ATickRunsItsTimersEventOnlyWhileTheTimerRuns) {
  document->designMode = true;
  control.Tick(TimerId::Timer2);
  EXPECT_FALSE(document->designMode);
  EXPECT_THAT(runtime.calls, ElementsAre("Timer2.Interval=0", "GetObject"));
  // A tick queued before Timer2 stopped: nothing runs.
  document->designMode = true;
  runtime.calls.clear();
  control.Tick(TimerId::Timer2);
  EXPECT_TRUE(document->designMode);
  EXPECT_TRUE(runtime.calls.empty());

  control.Tick(TimerId::Timer1);
  EXPECT_THAT(runtime.calls,
              ElementsAre("DoEvents", "Timer1.Interval=0", "GetObject", "Timer1.Interval=5000"));
}

TEST_F(Control, SignOnADocumentWithoutPropertiesAddsSignShowsThePicturesAndSigns) {
  document->designMode = true;
  control.mnuSign_Click();
  EXPECT_THAT(word.log().lines(), ElementsAreArray(signLines(Property::Missing, true)));
  ASSERT_EQ(document->properties.size(), 1u);
  EXPECT_EQ(document->properties[0].name, u"Sign");
  EXPECT_EQ(document->properties[0].type, 4);
  EXPECT_EQ(document->properties[0].value, automation::Variant(kSignaturePicture));
  EXPECT_EQ(fileOf(control.Image1()), kSignaturePicture);
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  ASSERT_EQ(document->signatures.size(), 1u);
  EXPECT_TRUE(document->signatures[0].committed);
  EXPECT_TRUE(document->isValid(document->signatures[0]));  // made after the property
  EXPECT_FALSE(document->designMode);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(Control, SignReplacesAnExistingSignPropertyWhateverItHeld) {
  document->properties.push_back({u"Author", false, 4, automation::Variant(u"me"), {}});
  document->properties.push_back({u"Sign", false, 4, automation::Variant(u"old value"), {}});
  control.mnuSign_Click();
  EXPECT_THAT(word.log().lines(), ElementsAreArray(signLines(Property::Other, false)));
  EXPECT_EQ(document->properties[1].value, automation::Variant(kSignaturePicture));
  EXPECT_EQ(document->signatures.size(), 1u);
}

TEST_F(Control, OtherPropertiesButNoSignEndTheCommandBeforeAnythingChanges) {
  document->properties.push_back({u"Author", false, 4, automation::Variant(u"me"), {}});
  control.mnuSign_Click();
  EXPECT_EQ(document->properties.size(), 1u);
  EXPECT_EQ(control.Image1(), nullptr);
  EXPECT_TRUE(document->signatures.empty());
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(Control, AMissingPictureFileStopsTheCommandBeforeSigning) {
  runtime.files.erase(std::u16string(kSignaturePicture));
  control.mnuSign_Click();
  EXPECT_EQ(document->properties.size(), 1u);  // written already
  EXPECT_EQ(control.Image1(), nullptr);
  EXPECT_TRUE(document->signatures.empty());

  runtime.files.insert(std::u16string(kSignaturePicture));
  runtime.files.erase(std::u16string(kValidPicture));
  control.mnuSign_Click();
  EXPECT_EQ(fileOf(control.Image1()), kSignaturePicture);  // shown, then the command ended
  EXPECT_EQ(control.Picture1(), nullptr);
  EXPECT_TRUE(document->signatures.empty());
}

// Where Windows is not on drive C, or the pictures were installed beside the control: the same
// names in the Windows directory, then beside the control, and the fixed path still first.
TEST_F(Control, PicturesMissingAtTheirFixedPathsAreFoundInTheWindowsDirectoryOrBesideTheControl) {
  runtime.folders = {u"D:\\WINNT", u"C:\\Users\\an\\AppData\\Local\\Sealbrook"};
  runtime.files = {
      u"D:\\WINNT\\ck copy.gif", u"C:\\Users\\an\\AppData\\Local\\Sealbrook\\ck copy.gif",
      u"C:\\Users\\an\\AppData\\Local\\Sealbrook\\Pass.gif", std::u16string(kInvalidPicture)};
  control.mnuSign_Click();
  EXPECT_EQ(fileOf(control.Image1()), u"D:\\WINNT\\ck copy.gif");
  EXPECT_EQ(fileOf(control.Picture1()), u"C:\\Users\\an\\AppData\\Local\\Sealbrook\\Pass.gif");
  EXPECT_EQ(document->signatures.size(), 1u);

  document->edit(u"changed");
  control.Timer1_Timer();
  EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);  // found where it was described

  // A file that is there but is no picture is not looked for elsewhere.
  runtime.invalid = {std::u16string(kSignaturePicture)};
  runtime.files.insert(std::u16string(kSignaturePicture));
  control.mnuSign_Click();
  EXPECT_EQ(document->signatures.size(), 1u);
}

TEST_F(Control, ARefusedSignatureTakesBackThePicturesThatWereShownBefore) {
  // On a document never signed: back to the empty block.
  word.signing().willCancel();
  control.mnuSign_Click();
  EXPECT_EQ(control.Image1(), nullptr);
  EXPECT_EQ(control.Picture1(), nullptr);
  EXPECT_TRUE(document->signatures.empty());
  EXPECT_EQ(document->properties.size(), 1u);  // the property stays written

  // After an earlier signature: back to what was on show.
  control.mnuSign_Click();
  const PicturePtr image = control.Image1(), status = control.Picture1();
  word.signing().willFail(automation::hr::kAccessDenied, u"no certificate");
  control.mnuSign_Click();
  EXPECT_EQ(control.Image1(), image);
  EXPECT_EQ(control.Picture1(), status);
  EXPECT_EQ(document->signatures.size(), 1u);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(Control, AFailedCommitAlsoTakesBackThePicturesAndLeavesTheUncommittedSignature) {
  word.failMember("Commit", kFail);
  control.mnuSign_Click();
  EXPECT_EQ(control.Image1(), nullptr);
  ASSERT_EQ(document->signatures.size(), 1u);
  EXPECT_FALSE(document->signatures[0].committed);
}

// A signed document keeps its properties: writing one would change the document and spoil the
// first signature, so a second signer only adds a signature and both stay valid. So too after a
// signature made without the block (through the add-in's buttons), which wrote no "Sign".
TEST_F(Control, SigningAgainAddsASecondSignatureAndBothStayValid) {
  control.mnuSign_Click();
  word.log().clear();
  control.mnuSign_Click();
  EXPECT_THAT(word.log().lines(), ElementsAreArray(signLines(Property::Signed, false)));
  ASSERT_EQ(document->signatures.size(), 2u);
  EXPECT_TRUE(document->isValid(document->signatures[0]));
  EXPECT_TRUE(document->isValid(document->signatures[1]));

  auto& other = word.open(u"Signed through the add-in");
  other.properties.push_back({u"Author", false, 4, automation::Variant(u"me"), {}});
  other.signatures.push_back(simword::SigningService::defaultSignature());
  other.signatures[0].committed = true;
  control.mnuSign_Click();
  ASSERT_EQ(other.signatures.size(), 2u);
  EXPECT_TRUE(other.isValid(other.signatures[0]) && other.isValid(other.signatures[1]));
  EXPECT_EQ(other.properties.size(), 1u);
}

TEST_F(Control, WithoutAHostOrADocumentTheCommandEndsSilently) {
  runtime.hostRunning = false;
  control.mnuSign_Click();
  runtime.hostRunning = true;
  word.close(*document);
  control.mnuSign_Click();
  EXPECT_EQ(control.Image1(), nullptr);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

// Each host call of the sign command fails once, in turn: the command ends silently, releases
// everything, and shows the new pictures exactly when a new signature was committed.
TEST(ControlFaults, EachHostCallOfTheSignCommandCanFail) {
  uint64_t calls = 0;
  {
    simword::Word word;
    word.open().designMode = true;
    FakeRuntime runtime(word);
    std::vector<std::string> ignored;
    FakeSurface surface(ignored);
    fakes::Site site;
    SignData control(runtime, surface, site);
    control.mnuSign_Click();
    calls = word.log().next() - 1;
  }
  ASSERT_EQ(calls, 19u);
  for (uint64_t n = 1; n <= calls; ++n) {
    SCOPED_TRACE("call " + std::to_string(n) + " fails");
    simword::Word word;
    auto& document = word.open();
    document.designMode = true;
    FakeRuntime runtime(word);
    std::vector<std::string> ignored;
    FakeSurface surface(ignored);
    {
      fakes::Site site;
      SignData control(runtime, surface, site);
      word.failCall(n, kFail, u"planted");
      EXPECT_NO_THROW(control.mnuSign_Click());
      const bool signedNow = !document.signatures.empty() && document.signatures[0].committed;
      EXPECT_EQ(control.Picture1() != nullptr, signedNow);
      EXPECT_EQ(control.Image1() != nullptr, signedNow);
    }
    EXPECT_EQ(word.outstandingReferences(), 0);
  }
}

}  // namespace
}  // namespace sealbrook

// The add-in's document commands and its path form against the simulated Word: the host calls in
// their order, the gates, the one trap of each command with its own reaction, and the form's
// states and handlers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/unicode.h"
#include "penvane/connect.h"
#include "penvane/ribbon.h"
#include "penvane_fakes.h"
#include "simword/word.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "text_fakes.h"

namespace penvane {
namespace {

using automation::hr::kFail;
using testing::ElementsAre;
using testing::ElementsAreArray;
namespace literals = text::literals;

const std::u16string kSignature = u"C:\\Sig\\my sig.gif";

// The box of an insertion that Word refused, with Word's own words below.
fakes::Shown blocked(const std::u16string& description) {
  return {text::UnicodeToTCVN3(literals::kActiveXBlocked) + u"\r\n" + description, 48,
          text::widenBytes(literals::kNotice)};
}

class Commands : public testing::Test {
 protected:
  Commands() {
    word.setControlFactory([this](std::u16string_view classType, simword::Document&) {
      inserted.emplace_back(classType);
      return std::make_unique<simword::EmbeddedControl>();
    });
    document = &word.open(u"Report");
    lib.files.ordinary = {kSignature};
    addin->hostApp = word.application();
  }

  // The commands as the buttons' clicks run them.
  void insert() { addin->Insert(); }
  void sign() { addin->Sign(); }
  void insertAndSign() { addin->InsertAndSign(); }

  fakes::Shown notice(std::string_view tcvn3, int32_t buttons) const {
    return {text::widenBytes(tcvn3), buttons, text::widenBytes(literals::kNotice)};
  }
  // A document that has been signed before.
  void signedBefore() {
    document->signatures.push_back(simword::SigningService::defaultSignature());
  }

  simword::Word word;
  simword::Document* document;
  std::vector<std::u16string> inserted;
  fakes::Library lib;
  std::shared_ptr<Connect> addin = std::make_shared<Connect>(lib.frmPath, lib.platform);
};

const std::vector<std::string> kShowHost = {"Application._Default", "Application.Application",
                                            "Application.Visible = True"};
const std::vector<std::string> kInsertBlock = {
    "Application.ActiveDocument", "Document.Signatures",
    "Signatures.Count",           "Application.Selection",
    "Selection.InlineShapes",     "InlineShapes.AddOLEControl(ClassType:=\"Sealbrook.SignData\")"};
const std::vector<std::string> kSign = {"Application.ActiveDocument", "Document.Signatures",
                                        "Signatures.Add()",           "Application.ActiveDocument",
                                        "Document.Signatures",        "Signatures.Commit()"};
// Word 2003 does not know CommandBars.GetPressedMso: the bar tells.
const std::vector<std::string> kExitDesignMode = {
    "Application.CommandBars", "Application.CommandBars(\"Exit Design Mode\")",
    "CommandBar.Visible", "Application.ActiveDocument", "Document.ToggleFormsDesign()"};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(Commands, InsertWithAReadyPathShowsWordAndInsertsTheBlockEvenWithoutAFile) {
  addin->imagePath().read();  // a start-up without settings file: "No"
  insert();
  EXPECT_THAT(word.log().lines(), ElementsAreArray(joined({kShowHost, kInsertBlock})));
  EXPECT_THAT(inserted, ElementsAre(u"Sealbrook.SignData"));
  EXPECT_TRUE(word.visible());
  EXPECT_TRUE(lib.files.searched.empty());
  EXPECT_TRUE(lib.messages.shown.empty());
  EXPECT_TRUE(document->designMode);           // left to the control's own Timer2
  EXPECT_EQ(word.outstandingReferences(), 1);  // oHostApp
}

TEST_F(Commands, InsertWithoutAReadyPathOnlyTellsWhenNoFileWasChosen) {
  insert();  // not ready, and the empty path names no file
  EXPECT_THAT(lib.messages.shown, ElementsAre(notice(literals::kNoFileChosen, 48)));
  EXPECT_THAT(word.log().lines(), ElementsAre("Application._Default"));

  lib.messages.shown.clear();
  addin->imagePath().replace(kSignature);  // a file that exists: nothing at all
  insert();
  EXPECT_TRUE(lib.messages.shown.empty());
  EXPECT_FALSE(word.visible());
  EXPECT_TRUE(inserted.empty());
}

TEST_F(Commands, NoCommandDoesAnythingInAHostNotNamedExactlyMicrosoftWord) {
  addin->imagePath().read();
  addin->imagePath().replace(kSignature);
  for (const char16_t* name : {u"Microsoft Word 2003", u"microsoft word", u"Microsoft Excel"}) {
    word.setName(name);
    word.log().clear();
    insert();
    sign();
    insertAndSign();
    EXPECT_THAT(word.log().lines(), ElementsAre("Application._Default", "Application._Default",
                                                "Application._Default"));
  }
  EXPECT_TRUE(lib.messages.shown.empty());
  EXPECT_TRUE(document->signatures.empty());
  EXPECT_FALSE(word.visible());
}

TEST_F(Commands, InsertOnASignedDocumentOrWithoutADocument) {
  addin->imagePath().read();
  signedBefore();
  insert();
  EXPECT_TRUE(inserted.empty());
  EXPECT_TRUE(lib.messages.shown.empty());

  word.close(*document);
  insert();
  EXPECT_THAT(lib.messages.shown, ElementsAre(notice(literals::kFileNotFound, 48)));
  EXPECT_EQ(word.outstandingReferences(), 1);
}

TEST_F(Commands, SignNeedsNoPathAndLeavesDesignMode) {
  document->designMode = true;
  sign();
  EXPECT_THAT(word.log().lines(), ElementsAreArray(joined({kShowHost, kSign, kExitDesignMode})));
  ASSERT_EQ(document->signatures.size(), 1u);
  EXPECT_TRUE(document->signatures[0].committed);
  EXPECT_FALSE(document->designMode);
  EXPECT_TRUE(lib.files.searched.empty());
  EXPECT_TRUE(inserted.empty());
  EXPECT_EQ(word.outstandingReferences(), 1);
}

TEST_F(Commands, SignPassesOverARefusalAndReportsEveryOtherFailure) {
  word.signing().willCancel();
  sign();
  EXPECT_TRUE(lib.messages.shown.empty());
  word.signing().willFail(automation::hr::kAccessDenied, u"no certificate");
  sign();
  EXPECT_THAT(lib.messages.shown, ElementsAre(notice(literals::kSigningFailed, 64)));
  word.removeBar(u"Exit Design Mode");  // signed, then the bar is missing
  sign();
  EXPECT_EQ(lib.messages.shown.size(), 2u);
  EXPECT_EQ(document->signatures.size(), 1u);
}

// The gate reads the count as the runtime compares it with 0: Empty is none, and a Null count
// says nothing, so no block goes in.
TEST_F(Commands, InsertReadsAnEmptyCountAsNoneAndANullCountAsNotNone) {
  addin->imagePath().read();
  word.answerMember("Signatures.Count", automation::Variant::null());
  insert();
  EXPECT_TRUE(inserted.empty());
  word.clearFaults();
  word.answerMember("Signatures.Count", automation::Variant());
  insert();
  EXPECT_THAT(inserted, ElementsAre(u"Sealbrook.SignData"));
  EXPECT_TRUE(lib.messages.shown.empty());
}

TEST_F(Commands, InsertAndSignInsertsSignsAndLeavesDesignMode) {
  addin->imagePath().replace(kSignature);  // not ready: not looked at
  insertAndSign();
  EXPECT_THAT(word.log().lines(),
              ElementsAreArray(joined({kShowHost, kInsertBlock, kSign, kExitDesignMode})));
  EXPECT_THAT(lib.files.searched, ElementsAre(kSignature));
  EXPECT_THAT(inserted, ElementsAre(u"Sealbrook.SignData"));
  ASSERT_EQ(document->signatures.size(), 1u);
  EXPECT_TRUE(document->signatures[0].committed);
  EXPECT_FALSE(document->designMode);
  EXPECT_TRUE(lib.messages.shown.empty());
}

TEST_F(Commands, InsertAndSignOnASignedDocumentSignsAgainWithoutASecondBlock) {
  addin->imagePath().replace(kSignature);
  signedBefore();
  insertAndSign();
  EXPECT_TRUE(inserted.empty());
  EXPECT_EQ(document->signatures.size(), 2u);
}

TEST_F(Commands, InsertAndSignWithoutTheFileShowsWordThenStops) {
  for (const char16_t* path : {u"No", u"", u"C:\\Sig\\missing.gif", u"C:\\Sig"}) {
    addin->imagePath().replace(path);
    lib.messages.shown.clear();
    word.log().clear();
    insertAndSign();
    EXPECT_THAT(lib.messages.shown, ElementsAre(notice(literals::kFileNotFound, 48)));
    EXPECT_THAT(word.log().lines(), ElementsAreArray(kShowHost));
  }
  EXPECT_TRUE(inserted.empty());
  EXPECT_TRUE(document->signatures.empty());
  EXPECT_TRUE(word.visible());
}

TEST_F(Commands, AWildcardThatMatchesAFilePassesTheExistenceTest) {
  addin->imagePath().replace(u"C:\\Sig\\*.gif");
  insertAndSign();
  EXPECT_TRUE(lib.messages.shown.empty());
  EXPECT_EQ(document->signatures.size(), 1u);
}

TEST_F(Commands, InsertAndSignKeepsTheBlockWhenSigningFails) {
  addin->imagePath().replace(kSignature);
  word.signing().willCancel();  // E_FAIL: silent
  insertAndSign();
  EXPECT_THAT(inserted, ElementsAre(u"Sealbrook.SignData"));
  EXPECT_EQ(document->inlineShapes.size(), 1u);
  EXPECT_TRUE(lib.messages.shown.empty());

  word.close(*document);
  document = &word.open();
  word.signing().willFail(automation::hr::kAccessDenied, u"Kh\u00F4ng c\u00F3 ch\u1EE9ng th\u01B0");
  insertAndSign();
  EXPECT_EQ(document->inlineShapes.size(), 1u);
  // The host's own description, no icon, and no title: the library's title shows.
  EXPECT_THAT(lib.messages.shown, ElementsAre(fakes::Shown{
                                      u"Kh\u00F4ng c\u00F3 ch\u1EE9ng th\u01B0", 0, std::nullopt}));
}

// On a screen without TCVN3 fonts the notices read in Unicode: the text by the message font, the
// title by the caption font; Word's own words as Word gives them.
TEST_F(Commands, NoticesShowUnicodeWhereTheFontsAreNotTcvn3) {
  text::fakes::Faces faces;
  faces.tcvn3 = {text::Element::Caption};
  const Platform unicode{lib.settings,    lib.files,      lib.messages,
                         lib.statusTimer, lib.signatures, faces};
  auto addin = std::make_shared<Connect>(lib.frmPath, unicode);
  addin->hostApp = word.application();
  addin->imagePath().replace(u"C:\\nowhere.gif");
  addin->InsertAndSign();
  word.setActiveXControls(false);
  addin->imagePath().replace(kSignature);
  addin->InsertAndSign();
  const std::u16string title = text::widenBytes(literals::kNotice);
  EXPECT_THAT(
      lib.messages.shown,
      ElementsAre(fakes::Shown{text::fromUtf8("Không tìm thấy file chữ ký !"), 48, title},
                  fakes::Shown{std::u16string(literals::kActiveXBlocked) + u"\r\nCommand failed",
                               48, title}));
}

// With ActiveX controls off, Word refuses the block: the signature picture goes in instead, found
// where the block finds it, and the commands carry on; the user is told once in the session. A
// signed document still gets nothing.
TEST_F(Commands, WhereWordRefusesTheBlockTheSignaturePictureGoesInAndTheCommandsCarryOn) {
  word.setActiveXControls(false);
  lib.files.folders = {u"D:\\WINNT", u"C:\\Sealbrook"};
  lib.files.ordinary = {kSignature, u"D:\\WINNT\\ck copy.gif", u"C:\\Sealbrook\\ck copy.gif"};
  addin->imagePath().replace(kSignature);
  insertAndSign();
  ASSERT_EQ(document->inlineShapes.size(), 1u);
  EXPECT_EQ(document->inlineShapes[0].pictureFile, u"D:\\WINNT\\ck copy.gif");
  EXPECT_EQ(document->signatures.size(), 1u);
  EXPECT_THAT(lib.messages.shown,
              ElementsAre(fakes::Shown{
                  text::UnicodeToTCVN3(literals::kPictureInstead) + u"\r\nCommand failed", 64,
                  text::widenBytes(literals::kNotice)}));
  auto& other = word.open(u"Other");
  addin->imagePath().read();
  insert();
  EXPECT_EQ(other.inlineShapes.size(), 1u);
  insert();  // not signed yet: a second picture
  EXPECT_EQ(other.inlineShapes.size(), 2u);
  word.activate(document);
  insert();  // signed: nothing
  EXPECT_EQ(document->inlineShapes.size(), 1u);
  EXPECT_EQ(lib.messages.shown.size(), 1u);
}

// Each host call of insert-and-sign fails once, in turn: E_FAIL ends it in silence, any other
// failure shows its description; Word's refusal to create the block says so, whatever its code;
// nothing is left referenced.
TEST(CommandFaults, EachHostCallOfInsertAndSignCanFail) {
  const auto run = [](uint64_t failing, automation::HResult hresult, fakes::Library& lib,
                      simword::Word& word) {
    word.setControlFactory([](std::u16string_view, simword::Document&) {
      return std::make_unique<simword::EmbeddedControl>();
    });
    word.open().designMode = true;
    lib.files.ordinary = {kSignature};
    auto addin = std::make_shared<Connect>(lib.frmPath, lib.platform);
    addin->imagePath().replace(kSignature);
    addin->hostApp = word.application();
    if (failing) word.failCall(failing, hresult, u"planted");
    EXPECT_NO_THROW(addin->InsertAndSign());
  };
  uint64_t calls = 0;
  {
    simword::Word word;
    fakes::Library lib;
    run(0, 0, lib, word);
    calls = word.log().next() - 1;
  }
  ASSERT_EQ(calls, 20u);
  for (uint64_t n = 1; n <= calls; ++n) {
    for (const automation::HResult hresult : {kFail, automation::hr::kAccessDenied}) {
      SCOPED_TRACE("call " + std::to_string(n) + " fails with " + std::to_string(hresult));
      simword::Word word;
      fakes::Library lib;
      run(n, hresult, lib, word);
      if (word.log().records().at(n - 1).member == "AddOLEControl")
        EXPECT_THAT(lib.messages.shown, ElementsAre(blocked(u"planted")));
      else if (hresult == kFail)
        EXPECT_TRUE(lib.messages.shown.empty());
      else
        EXPECT_THAT(lib.messages.shown, ElementsAre(fakes::Shown{u"planted", 0, std::nullopt}));
      EXPECT_EQ(word.outstandingReferences(), 0);
    }
  }
}

// --- The path form -------------------------------------------------------------------------------

class PathForm : public Commands {
 protected:
  void startUp() { addin->OnConnection(word.application(), 0); }
  void setUpPath() { addin->SetUpPath(); }
  std::u16string stored() {
    return lib.settings.files[u"C:\\WINDOWS\\system32\\settings.ini"][u"Path/ChildPath"];
  }
  const std::vector<std::string>& windowCalls() const { return lib.formWindow.calls; }
  using State = FrmPath::State;
};

TEST_F(PathForm, StartUpLoadsTheFormHiddenAndItsDialogReplacesThePathInMemoryOnly) {
  lib.fileDialog.answers = {u"C:\\Pictures\\me.jpg"};
  startUp();
  EXPECT_EQ(lib.frmPath.state(), State::Loaded);
  EXPECT_THAT(windowCalls(), ElementsAre("Create"));
  ASSERT_EQ(lib.fileDialog.shown.size(), 1u);
  // The filter as users have always seen it, written out here so that a change to it shows.
  EXPECT_EQ(lib.fileDialog.shown[0].first,
            u"All Picture(*.emf;*.wmf;*.jpg;*.jpeg;*.ifif;*.jpe;*.png)|*.emf;*.wmf;*.jpg;*.jpeg;"
            u"*.ifif;*.jpe;*.png|All Files(*.*)|*.*|JPEG File Interchange Format(*.jpg;*.jpeg;"
            u"*.ifif;*.jpe)|*.jpg;*.jpeg;*.ifif;*.jpe");
  EXPECT_EQ(lib.fileDialog.shown[0].second, text::widenBytes(literals::kChoosePathTitle));
  EXPECT_EQ(addin->imagePath().path(), u"C:\\Pictures\\me.jpg");
  EXPECT_TRUE(addin->imagePath().ready());
  EXPECT_TRUE(lib.settings.files.empty());
  EXPECT_NE(addin->vImage(), nullptr);

  // The first set-up after start-up shows no dialog and saves the path then in memory.
  setUpPath();
  EXPECT_EQ(lib.fileDialog.shown.size(), 1u);
  EXPECT_THAT(windowCalls(), ElementsAre("Create", "Show", "Destroy"));
  EXPECT_EQ(lib.frmPath.state(), State::NotLoaded);
  EXPECT_EQ(stored(), u"C:\\Pictures\\me.jpg");

  // Every later one shows the dialog first; cancelled, it writes the unchanged path again.
  lib.settings.files.clear();
  setUpPath();
  EXPECT_EQ(lib.fileDialog.shown.size(), 2u);
  EXPECT_EQ(stored(), u"C:\\Pictures\\me.jpg");
  EXPECT_TRUE(lib.messages.shown.empty());
}

TEST_F(PathForm, ACancelledStartUpDialogKeepsTheSettingsPathAndSavesIt) {
  startUp();  // no settings file: "No"
  EXPECT_EQ(addin->imagePath().path(), u"No");
  setUpPath();
  EXPECT_EQ(stored(), u"No");
}

TEST_F(PathForm, AnEmptyPathIsNotSaved) {
  lib.settings.files[u"C:\\WINDOWS\\system32\\settings.ini"][u"Path/ChildPath"] = u"";
  startUp();
  setUpPath();
  EXPECT_THAT(lib.messages.shown, ElementsAre(notice(literals::kChoosePathFirst, 48)));
  EXPECT_FALSE(addin->imagePath().ready());
  EXPECT_EQ(stored(), u"");
}

TEST_F(PathForm, TheFormsButtonsAndClosing) {
  startUp();
  lib.frmPath.Ok();
  EXPECT_THAT(lib.messages.shown, ElementsAre(fakes::Shown{u"OK", 0, std::nullopt}));
  EXPECT_EQ(lib.frmPath.state(), State::Loaded);
  lib.frmPath.Cancel();
  EXPECT_EQ(lib.frmPath.state(), State::NotLoaded);
  lib.frmPath.Cancel();  // not loaded: nothing to unload
  EXPECT_THAT(windowCalls(), ElementsAre("Create", "Destroy"));

  // Shown again: loading runs the dialog again; the close box unloads.
  setUpPath();
  EXPECT_EQ(lib.fileDialog.shown.size(), 2u);
  lib.frmPath.Show({addin, {}, {}});
  lib.frmPath.Close();
  EXPECT_EQ(lib.frmPath.state(), State::NotLoaded);
  EXPECT_EQ(lib.fileDialog.shown.size(), 3u);
}

TEST_F(PathForm, TheMenusChenRunsInsertAndSignOfTheAddinThatLoadedTheForm) {
  startUp();
  addin->imagePath().replace(kSignature);
  lib.formWindow.choices = {MenuItem::Sign, MenuItem::None, MenuItem::InsertAndSign};
  lib.frmPath.OpenMenu();
  lib.frmPath.OpenMenu();
  EXPECT_TRUE(document->signatures.empty());
  lib.frmPath.OpenMenu();
  EXPECT_EQ(document->signatures.size(), 1u);
  EXPECT_THAT(inserted, ElementsAre(u"Sealbrook.SignData"));

  // Another add-in that references the form while this one lives does not take it over: the
  // menu still runs this one's command (the other's path names no file).
  auto other = std::make_shared<Connect>(lib.frmPath, lib.platform);
  other->OnConnection(word.application(), 0);
  other->imagePath().replace(u"C:\\nowhere.gif");
  lib.formWindow.choices = {MenuItem::InsertAndSign};
  lib.frmPath.OpenMenu();
  EXPECT_EQ(document->signatures.size(), 2u);
  EXPECT_TRUE(lib.messages.shown.empty());
  other->OnDisconnection(1);
  other.reset();
  document->signatures.resize(1);

  // Once that add-in is gone, the menu does nothing.
  addin.reset();
  lib.formWindow.choices = {MenuItem::InsertAndSign};
  lib.frmPath.OpenMenu();
  EXPECT_EQ(document->signatures.size(), 1u);
  EXPECT_EQ(std::count(windowCalls().begin(), windowCalls().end(), "PopupMenu"), 5);

  // The add-in connected again finds the form still loaded, and the menu runs its command.
  addin = std::make_shared<Connect>(lib.frmPath, lib.platform);
  startUp();
  addin->imagePath().replace(kSignature);
  lib.formWindow.choices = {MenuItem::InsertAndSign};
  lib.frmPath.OpenMenu();
  EXPECT_EQ(document->signatures.size(), 2u);
}

// Start-up returns before the dialog waits for the user. Until the dialog comes, the path is the
// one read from the settings and ready: the commands use it. A set-up-path that comes first
// brings the dialog at once and saves what the user picks there; the posted dialog then does not
// come again. A form unloaded before its dialog came drops it.
TEST_F(PathForm, TheStartUpDialogComesAfterStartUpAndASetUpBeforeItBringsItAtOnce) {
  lib.settings.files[u"C:\\WINDOWS\\system32\\settings.ini"][u"Path/ChildPath"] = kSignature;
  lib.formWindow.holdPosts = true;
  startUp();
  EXPECT_TRUE(lib.fileDialog.shown.empty());
  EXPECT_TRUE(lib.frmPath.dialogPending());
  EXPECT_TRUE(addin->imagePath().ready());
  insertAndSign();  // with the path from the settings
  EXPECT_EQ(document->signatures.size(), 1u);

  lib.fileDialog.answers = {u"C:\\Pictures\\me.jpg"};
  setUpPath();
  EXPECT_EQ(lib.fileDialog.shown.size(), 1u);
  EXPECT_EQ(stored(), u"C:\\Pictures\\me.jpg");
  lib.formWindow.runPosted();
  EXPECT_EQ(lib.fileDialog.shown.size(), 1u);

  lib.formWindow.holdPosts = true;
  lib.frmPath.ImageSign({addin, {}, {}});
  lib.frmPath.Cancel();
  lib.formWindow.runPosted();
  EXPECT_EQ(lib.fileDialog.shown.size(), 1u);
}

// Word started by a program and kept hidden: the form loads without a dialog, nobody waits.
TEST_F(PathForm, AWordThatNobodySeesGetsNoDialog) {
  word.startedByProgram();
  startUp();
  EXPECT_EQ(lib.frmPath.state(), State::Loaded);
  EXPECT_FALSE(lib.frmPath.dialogPending());
  EXPECT_TRUE(lib.fileDialog.shown.empty());
  EXPECT_EQ(addin->imagePath().path(), u"No");
  EXPECT_TRUE(addin->imagePath().ready());
}

TEST_F(PathForm, AFormThatFailsEndsTheSetUpUnsavedButNotStartUp) {
  lib.fileDialog.fails = true;
  startUp();
  EXPECT_TRUE(addin->imagePath().ready());
  EXPECT_EQ(word.menuBar().find(literals::kPopupCaption)->controls.size(), 4u);

  lib.frmPath.Unload();
  lib.settings.files.clear();
  EXPECT_THROW(setUpPath(), automation::Error);
  EXPECT_TRUE(lib.settings.files.empty());
}

}  // namespace
}  // namespace penvane

// --- The ribbon ----------------------------------------------------------------------------------

namespace penvane {
namespace {

// The ribbon's IRibbonUI as the add-in is given it: what is invalidated.
class RibbonUI final : public automation::Object {
 public:
  std::vector<std::u16string> invalidated;
  automation::Variant invoke(std::string_view member, automation::Invoke,
                             automation::Arguments& args, automation::Locale) override {
    if (member == "InvalidateControl") invalidated.push_back(args.at(0).value.asText());
    return {};
  }
  bool supports(const automation::Guid&) override { return false; }
  automation::ConnectionPtr connect(const automation::EventInterface&,
                                    std::shared_ptr<automation::EventSink>) override {
    throw automation::Error(automation::hr::kNoInterface);
  }
};

// The status follows the active document: Word's events, the timer's looks, the add-in's own
// commands; the control is invalidated only when the status changed. What cannot be read is never
// valid. Nothing is written: the host sees reads only.
TEST_F(Commands, TheRibbonsStatusFollowsTheActiveDocumentAndChangesOnlyWhenItChanged) {
  auto ui = std::make_shared<RibbonUI>();
  addin->RibbonLoaded(ui);
  EXPECT_THAT(lib.statusTimer.calls, ElementsAre("Start 5000"));
  EXPECT_EQ(word.connectedSinks(), 1u);  // Word's application events
  EXPECT_EQ(addin->ShownStatus(), host::Status::NotSigned);
  lib.statusTimer.tick();
  EXPECT_TRUE(ui->invalidated.empty());

  signedBefore();
  lib.statusTimer.tick();
  EXPECT_EQ(addin->ShownStatus(), host::Status::Valid);
  document->edit(u"changed after signing");
  lib.statusTimer.tick();
  lib.statusTimer.tick();
  EXPECT_EQ(addin->ShownStatus(), host::Status::Invalid);
  word.open(u"Other");  // DocumentOpen, DocumentChange
  EXPECT_EQ(addin->ShownStatus(), host::Status::NotSigned);
  word.failMember("Signatures.Count", kFail);
  word.activate(document);  // WindowActivate, DocumentChange
  EXPECT_EQ(addin->ShownStatus(), host::Status::Unknown);
  EXPECT_THAT(ui->invalidated, testing::Each(ribbon::kStatusId));
  EXPECT_EQ(ui->invalidated.size(), 4u);
  for (const auto& r : word.log().records())
    EXPECT_TRUE(r.kind == simword::CallKind::Get || r.kind == simword::CallKind::Connect)
        << r.str();

  word.clearFaults();
  sign();
  EXPECT_EQ(lib.statusTimer.calls.back(), "TickSoon");
  addin->OnDisconnection(ext_dm_HostShutdown);
  EXPECT_EQ(lib.statusTimer.calls.back(), "Stop");
  EXPECT_EQ(word.connectedSinks(), 0u);
}

// Verify on the ribbon: every signature of the active document in one list, in order, the names
// as Word gives them; a failure in a box with Word's words.
TEST_F(Commands, VerifyOnTheRibbonListsEverySignatureInOneWindowAndAFailureInABox) {
  signedBefore();
  signedBefore();
  document->signatures[1].signer = automation::Variant(u"\u0110\u1EB7ng \u00C1nh");
  document->signatures[1].markedInvalid = true;
  EXPECT_TRUE(addin->RibbonAction(u"Ribbon_Verify"));
  ASSERT_EQ(lib.signatures.shown.size(), 1u);
  const SignatureList& list = lib.signatures.shown[0];
  EXPECT_EQ(list.title, literals::kSignaturesTitle);
  using Row = std::array<std::u16string, 6>;
  EXPECT_THAT(list.rows,
              ElementsAre(Row{u"1", text::fromUtf8("Nguyễn Văn An"), u"Vietnam Test CA",
                              u"12/31/2028", u"12/8/2026 12:00:00 PM", text::fromUtf8("Có")},
                          Row{u"2", text::fromUtf8("Đặng Ánh"), u"Vietnam Test CA", u"12/31/2028",
                              u"12/8/2026 12:00:00 PM", text::fromUtf8("Không")}));
  EXPECT_EQ(list.text.substr(0, list.text.find(u"\r\n")),
            text::fromUtf8("STT\tNgười ký\tCấp tại\tNgày hết hạn\tNgày ký\tHợp lệ"));
  EXPECT_NE(list.text.find(text::fromUtf8("\r\n2\tĐặng Ánh\tVietnam Test CA\t")),
            std::u16string::npos);
  EXPECT_TRUE(lib.messages.shown.empty());

  document->signatures[1].signer = automation::Variant::null();
  addin->RibbonAction(u"Ribbon_Verify");
  EXPECT_EQ(lib.signatures.shown.size(), 1u);
  EXPECT_THAT(lib.messages.shown,
              ElementsAre(fakes::Shown{u"Invalid use of Null", 16, std::nullopt}));
  EXPECT_EQ(word.outstandingReferences(), 1);  // oHostApp
}

}  // namespace
}  // namespace penvane

namespace penvane {
namespace {

TEST(Ribbon, OnlyAWordDocumentsRibbonGetsTheGroupWithTheMenusFourCommands) {
  EXPECT_EQ(ribbon::GetCustomUI(u"Microsoft.Outlook.Explorer"), u"");
  EXPECT_EQ(ribbon::GetCustomUI(u""), u"");
  const std::u16string xml = ribbon::GetCustomUI(ribbon::kWordDocument);
  EXPECT_EQ(xml.find(u"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\""),
            0u);
  EXPECT_NE(xml.find(u"label=\"" + std::u16string(literals::kPopupCaption) + u"\""),
            std::u16string::npos);
  for (const ribbon::Button& b : ribbon::Buttons()) {
    EXPECT_NE(xml.find(u"onAction=\"" + std::u16string(b.onAction) + u"\""), std::u16string::npos);
    EXPECT_NE(xml.find(u"label=\"" + std::u16string(b.caption) + u"\""), std::u16string::npos);
    EXPECT_EQ(ribbon::ImageIndex(b.image), size_t(&b - ribbon::Buttons().data()));
  }
  EXPECT_EQ(ribbon::ImageIndex(u"elsewhere"), std::nullopt);
}

TEST_F(Commands, EachRibbonButtonRunsTheCommandOfTheMenuButtonOfItsCaption) {
  addin->imagePath().replace(kSignature);
  EXPECT_TRUE(addin->RibbonAction(u"Ribbon_InsertAndSign"));
  EXPECT_THAT(inserted, ElementsAre(u"Sealbrook.SignData"));
  EXPECT_EQ(document->signatures.size(), 1u);
  EXPECT_TRUE(addin->RibbonAction(u"Ribbon_Sign"));
  EXPECT_EQ(document->signatures.size(), 2u);
  EXPECT_FALSE(addin->RibbonAction(u"Ribbon_Unknown"));
  word.signing().willFail(automation::hr::kAccessDenied, u"no certificate");
  EXPECT_TRUE(addin->RibbonAction(u"Ribbon_Sign"));
  EXPECT_THAT(lib.messages.shown, ElementsAre(notice(literals::kSigningFailed, 64)));
}

}  // namespace
}  // namespace penvane

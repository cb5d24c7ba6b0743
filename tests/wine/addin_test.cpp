// The add-in's four buttons end to end: Penvane.dll and Sealbrook.ocx registered by regsvr32,
// the add-in loaded by the simulated Word at start-up, the buttons clicked on Word's menu bar, the
// real control inserted inline by the OLE container, Word's signing, every message box the add-in
// shows, the open-file dialog, settings.ini in the prefix's system directory, and the path form
// through its own window.
#include <fstream>
#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/diagnosis_log.h"
#include "win32/penvane/window_names.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/process.h"
#include "wordhost/running_word.h"
#include "wordhost/timers.h"

#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;
namespace literals = text::literals;
using winetest::settingsFile;
using winetest::shown;
using winetest::tcvn3;
using winetest::tempFolder;

const wchar_t kProgId[] = L"Penvane.Connect";

// The buttons of the popup "Chữ ký số", in their order.
enum Button : size_t { kSetUpPath, kInsert, kSign, kInsertAndSign };

// A path of plain ASCII as settings.ini holds it.
std::string ansi(const std::wstring& path) {
  return std::string(path.begin(), path.end());
}

// A message box in one line: title, text, icon.
std::wstring line(const std::wstring& title, const std::wstring& text, wordhost::Icon icon) {
  const wchar_t* const icons[] = {L"no icon",  L"exclamation", L"information",
                                  L"critical", L"question",    L"other icon"};
  return title + L" | " + text + L" | " + icons[static_cast<int>(icon)];
}
// The add-in's notices carry the title "Thông báo"; the others the library's title.
std::wstring notice(std::string_view text, wordhost::Icon icon) {
  return line(shown(literals::kNotice), shown(text), icon);
}
std::wstring untitled(const std::wstring& text) {
  return line(L"Penvane", text, wordhost::Icon::None);
}

class AddinInWord : public testing::Test {
 protected:
  explicit AddinInWord(simword::Profile profile = simword::Profile::Word2003) : running_(profile) {}

  // A folder of the prefix with the user's files: the signature image, pictures of the dialog's
  // types and of others, and an image whose name the ANSI code page cannot hold.
  static std::wstring folder() { return tempFolder() + L"Penvane add-in test\\"; }
  static std::wstring signatureImage() { return folder() + L"ck copy.gif"; }
  static std::wstring unicodeImage() { return folder() + L"ch\u1EEF k\u00FD.gif"; }
  static constexpr const wchar_t* kOtherFiles[] = {L"scan.png", L"photo.jpeg", L"photo.jfif",
                                                   L"drawing.emf", L"notes.txt"};

  static void SetUpTestSuite() {
    ASSERT_EQ(winetest::regsvr32(winetest::binPath(L"Penvane.dll")), 0);
    ASSERT_EQ(winetest::regsvr32(winetest::binPath(L"Sealbrook.ocx")), 0);
    ASSERT_TRUE(wordhost::installPictures());
    CreateDirectoryW(folder().c_str(), nullptr);
    const std::wstring asset = winetest::binPath(L"assets\\ck copy.gif");
    ASSERT_TRUE(CopyFileW(asset.c_str(), signatureImage().c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(asset.c_str(), unicodeImage().c_str(), FALSE));
    for (const wchar_t* name : kOtherFiles) {
      const HANDLE file = CreateFileW((folder() + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      CloseHandle(file);
    }
  }
  static void TearDownTestSuite() {
    for (const wchar_t* name : kOtherFiles) DeleteFileW((folder() + name).c_str());
    DeleteFileW(signatureImage().c_str());
    DeleteFileW(unicodeImage().c_str());
    RemoveDirectoryW(folder().c_str());
    wordhost::removePictures();
    winetest::regsvr32(winetest::binPath(L"Sealbrook.ocx"), /*unregister=*/true);
    winetest::regsvr32(winetest::binPath(L"Penvane.dll"), /*unregister=*/true);
  }

  void SetUp() override {
    removeSettings();
    ASSERT_EQ(wordhost::AddinHost::listAddin(kProgId, 3), S_OK);
    baseline_ = running_.outstandingReferences();
  }
  void TearDown() override {
    if (host_.isLoaded(kProgId)) {
      EXPECT_EQ(host_.shutDown(), S_OK);
    }
    // The form outlives the add-in that loaded it: closed here, the next test loads it afresh.
    if (const HWND form = pathForm()) SendMessageW(form, WM_CLOSE, 0, 0);
    while (simword::Document* doc = word().activeDocument()) word().close(*doc);
    wordhost::AddinHost::unlistAddin(kProgId);
    removeSettings();
    EXPECT_EQ(running_.outstandingReferences(), baseline_);
  }

  simword::Word& word() { return running_.word(); }

  // Word starts with the add-in on its list. The add-in loads its path form, whose open-file
  // dialog comes at once: the user picks this file, or cancels.
  void startUp(std::optional<std::wstring> pick = std::nullopt) {
    if (pick)
      dialogs_.pickFile(*pick);
    else
      dialogs_.cancelFile();
    ASSERT_EQ(host_.startUp(), S_OK);
    ASSERT_TRUE(host_.isLoaded(kProgId));
  }
  // The user clicks one of the buttons of "Chữ ký số" on Word's menu bar.
  void click(Button button) {
    const simword::ControlPtr popup = word().menuBar().find(literals::kPopupCaption);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->controls.size(), 4u);
    const auto result = word().click(popup->controls[button]);
    EXPECT_EQ(result.delivered, 1u);
    EXPECT_EQ(result.failed, 0u);
  }
  // The message boxes shown so far, one line each.
  std::vector<std::wstring> messages() const {
    std::vector<std::wstring> out;
    for (const auto& m : dialogs_.messages()) out.push_back(line(m.title, m.text, m.icon));
    return out;
  }

  // The path form's window in this process, if it is loaded.
  static HWND pathForm() {
    for (HWND w = nullptr;
         (w = FindWindowExW(nullptr, w, penvane::win::kFormClass, nullptr)) != nullptr;) {
      DWORD process = 0;
      GetWindowThreadProcessId(w, &process);
      if (process == GetCurrentProcessId()) return w;
    }
    return nullptr;
  }
  // The user clicks one of the form's command buttons, found by its caption.
  static void clickOnForm(const wchar_t* caption) {
    const HWND button = FindWindowExW(pathForm(), nullptr, L"Button", caption);
    ASSERT_NE(button, nullptr) << caption;
    SendMessageW(button, BM_CLICK, 0, 0);
  }

  // settings.ini in the system directory, as bytes.
  static std::string settings() {
    std::ifstream in(settingsFile().c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void writeSettings(const std::string& content) {
    std::ofstream(settingsFile().c_str(), std::ios::binary) << content;
  }
  static void removeSettings() { DeleteFileW(settingsFile().c_str()); }
  // settings.ini held open without sharing by another program, while it lives.
  struct HeldSettings {
    HANDLE file = CreateFileW(settingsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ~HeldSettings() { CloseHandle(file); }
  };

  wordhost::RunningWord running_;
  wordhost::OleContainer container_{running_};
  wordhost::DialogDriver dialogs_;
  wordhost::AddinHost host_{running_.application()};
  int64_t baseline_ = 0;
};

// The same tests in Word 2003 and in today's Word.
class AddinInEachWord : public AddinInWord, public testing::WithParamInterface<simword::Profile> {
 protected:
  AddinInEachWord() : AddinInWord(GetParam()) {}
};

// --- The document commands ---------------------------------------------------------------------

TEST_P(AddinInEachWord, InsertWithThePathReadyAfterStartUpPutsTheRealControlInline) {
  startUp();  // no settings file and a cancelled dialog: the path is "No", and ready
  auto& doc = word().open(u"Report");
  click(kInsert);
  EXPECT_TRUE(word().visible());
  ASSERT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.inlineShapes[0].classType, u"Sealbrook.SignData");
  const HWND block = wordhost::OleContainer::embedded(doc, 0).window();
  ASSERT_NE(block, nullptr);  // active in place, in the document's window
  EXPECT_TRUE(IsWindowVisible(block));
  EXPECT_EQ(GetParent(block), container_.documentWindow(doc));
  EXPECT_TRUE(doc.signatures.empty());
  EXPECT_THAT(messages(), IsEmpty());
  // Word entered forms design mode with the insertion; the block's Timer2 leaves it.
  EXPECT_TRUE(doc.designMode);
  wordhost::fireTimers(2);
  EXPECT_FALSE(doc.designMode);
}

TEST_P(AddinInEachWord, InsertAndSignWithAPickedImageInsertsTheControlAndWordSigns) {
  startUp(signatureImage());
  auto& doc = word().open(u"Contract");
  click(kInsertAndSign);
  ASSERT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_NE(wordhost::OleContainer::embedded(doc, 0).window(), nullptr);
  ASSERT_EQ(doc.signatures.size(), 1u);
  EXPECT_TRUE(doc.signatures[0].committed);
  EXPECT_TRUE(doc.isValid(doc.signatures[0]));
  EXPECT_FALSE(doc.designMode);  // the add-in left design mode itself
  EXPECT_THAT(messages(), IsEmpty());
}

TEST_P(AddinInEachWord, ASignedDocumentGetsNoSecondBlockButNewSignatures) {
  startUp(signatureImage());
  auto& doc = word().open(u"Contract");
  click(kInsertAndSign);
  click(kInsertAndSign);
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.signatures.size(), 2u);
  click(kInsert);  // signed: nothing inserted, nothing said
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  click(kSign);
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  ASSERT_EQ(doc.signatures.size(), 3u);
  EXPECT_TRUE(doc.signatures[2].committed);
  EXPECT_THAT(messages(), IsEmpty());
}

// The add-in's signing writes no property "Sign"; the block's signing after it leaves the signed
// document's properties alone, so that the first signature stays valid beside the second.
TEST_P(AddinInEachWord, ASecondSignerThroughTheBlockKeepsTheAddinsSignatureValid) {
  startUp(signatureImage());
  auto& doc = word().open(u"Contract");
  click(kInsertAndSign);
  const HWND picture1 = GetWindow(wordhost::OleContainer::embedded(doc, 0).window(), GW_CHILD);
  dialogs_.chooseMenuItem(0);  // "Ký"
  SendMessageW(picture1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(picture1, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_EQ(doc.signatures.size(), 2u);
  EXPECT_TRUE(doc.isValid(doc.signatures[0]) && doc.isValid(doc.signatures[1]));
  EXPECT_EQ(doc.findProperty(u"Sign"), nullptr);
  EXPECT_FALSE(doc.designMode);
  EXPECT_THAT(messages(), IsEmpty());
}

TEST_P(AddinInEachWord, SignNeedsNoImageAndNoBlock) {
  startUp();
  auto& doc = word().open();
  click(kSign);
  EXPECT_TRUE(word().visible());
  EXPECT_TRUE(doc.inlineShapes.empty());
  ASSERT_EQ(doc.signatures.size(), 1u);
  EXPECT_TRUE(doc.signatures[0].committed);
  EXPECT_THAT(messages(), IsEmpty());
}

TEST_P(AddinInEachWord, ACancelledSigningIsSilentAndTheInsertedBlockStays) {
  startUp(signatureImage());
  auto& doc = word().open();
  word().signing().willCancel();
  click(kInsertAndSign);
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_TRUE(doc.signatures.empty());
  word().signing().willCancel();
  click(kSign);
  EXPECT_TRUE(doc.signatures.empty());
  EXPECT_THAT(messages(), IsEmpty());
}

TEST_P(AddinInEachWord, AnotherSigningFailureIsShownToTheUser) {
  startUp(signatureImage());
  auto& doc = word().open();
  const std::u16string why = u"The certificate cannot be used for signing.";
  // Insert and sign: Word's own description, no icon, the library's title.
  word().signing().willFail(0x80092004, why);
  click(kInsertAndSign);
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_TRUE(doc.signatures.empty());
  // Sign: the add-in's own words, with the information icon.
  word().signing().willFail(0x80092004, why);
  click(kSign);
  EXPECT_TRUE(doc.signatures.empty());
  EXPECT_THAT(messages(),
              ElementsAre(untitled(com::wide(why)),
                          notice(literals::kSigningFailed, wordhost::Icon::Information)));
}

TEST_P(AddinInEachWord, WithoutTheImageInsertAndSignStopsAtItsMessage) {
  writeSettings("[Path]\r\nChildPath=C:\\nowhere\\signature.gif\r\n");
  startUp();
  auto& doc = word().open();
  click(kInsertAndSign);
  EXPECT_TRUE(word().visible());  // shown before the file was looked for
  EXPECT_TRUE(doc.inlineShapes.empty());
  EXPECT_TRUE(doc.signatures.empty());
  EXPECT_THAT(messages(),
              ElementsAre(notice(literals::kFileNotFound, wordhost::Icon::Exclamation)));
}

// With ActiveX controls off Word refuses the block: the signature picture that the block shows
// goes in instead, from its fixed path, and insert and sign signs; the user is told once.
// With no picture to be found, both insert commands say so, with Word's own words below, and
// leave nothing behind: no block, no signature, no design mode.
TEST_P(AddinInEachWord, WhereWordBlocksActiveXThePictureGoesInOrTheCommandsSayWhy) {
  startUp(signatureImage());
  auto& doc = word().open(u"Contract");
  word().setActiveXControls(false);
  click(kInsertAndSign);
  ASSERT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.inlineShapes[0].pictureFile, u"C:\\WINDOWS\\ck copy.gif");
  EXPECT_EQ(doc.signatures.size(), 1u);
  auto& draft = word().open(u"Draft");
  click(kInsert);
  EXPECT_EQ(draft.inlineShapes.size(), 1u);
  EXPECT_THAT(messages(), ElementsAre(line(shown(literals::kNotice),
                                           std::wstring(com::wide(literals::kPictureInstead)) +
                                               L"\r\nCommand failed",
                                           wordhost::Icon::Information)));

  wordhost::removePictures();
  dialogs_.clear();
  auto& memo = word().open(u"Memo");
  click(kInsert);
  click(kInsertAndSign);
  const std::wstring blocked =
      line(shown(literals::kNotice), com::wide(literals::kActiveXBlocked) + L"\r\nCommand failed",
           wordhost::Icon::Exclamation);
  EXPECT_THAT(messages(), ElementsAre(blocked, blocked));
  EXPECT_TRUE(memo.inlineShapes.empty());
  EXPECT_TRUE(memo.signatures.empty());
  EXPECT_FALSE(memo.designMode);
  ASSERT_TRUE(wordhost::installPictures());
}

// On a stock screen the notices read in Unicode; where the screen's fonts are TCVN3 fonts, every
// box, title and dialog of the add-in is the TCVN3 text byte for byte, Word's own words converted
// to it.
TEST_F(AddinInWord, NoticesReadInUnicodeAndWithTcvn3FontsAreTheTcvn3TextByteForByte) {
  writeSettings("[Path]\r\nChildPath=C:\\nowhere\\signature.gif\r\n");
  startUp();
  word().open();
  click(kInsertAndSign);
  EXPECT_THAT(messages(), ElementsAre(line(L"Th\u00F4ng b\u00E1o",
                                           L"Kh\u00F4ng t\u00ECm th\u1EA5y file ch\u1EEF k\u00FD !",
                                           wordhost::Icon::Exclamation)));
  host_.shutDown();
  if (const HWND form = pathForm()) SendMessageW(form, WM_CLOSE, 0, 0);

  const winetest::Tcvn3Fonts fonts;
  dialogs_.clear();
  startUp();
  EXPECT_EQ(dialogs_.fileDialogs().back().title, tcvn3(literals::kChoosePathTitle));
  wchar_t caption[64] = {};
  GetWindowTextW(pathForm(), caption, 64);
  EXPECT_EQ(caption, tcvn3(literals::kChoosePathTitle));
  click(kInsertAndSign);
  EXPECT_THAT(messages(), ElementsAre(line(tcvn3(literals::kNotice), tcvn3(literals::kFileNotFound),
                                           wordhost::Icon::Exclamation)));
  dialogs_.clear();
  word().failMember("AddOLEControl", 0x800A1066,
                    u"L\u1EC7nh kh\u00F4ng th\u1EF1c hi\u1EC7n \u0111\u01B0\u1EE3c");
  click(kInsert);
  EXPECT_THAT(
      messages(),
      ElementsAre(line(tcvn3(literals::kNotice),
                       com::wide(text::UnicodeToTCVN3(literals::kPictureInstead)) +
                           L"\r\nL\u00D6nh kh\u00ABng th\u00F9c hi\u00D6n \u00AE\u00AD\u00EEc",
                       wordhost::Icon::Information)));
}

TEST_F(AddinInWord, InsertWithoutADocumentTellsThatTheFileIsNotFound) {
  startUp(signatureImage());
  click(kInsert);
  EXPECT_THAT(messages(),
              ElementsAre(notice(literals::kFileNotFound, wordhost::Icon::Exclamation)));
}

TEST_F(AddinInWord, AnEmptyPathIsNothingToSaveAndThenNoFileChosen) {
  writeSettings("[Path]\r\nChildPath=\r\n");
  startUp();
  auto& doc = word().open();
  click(kSetUpPath);  // the first after start-up: no dialog; the empty path is not saved
  click(kInsert);     // and the path is no longer ready
  EXPECT_TRUE(doc.inlineShapes.empty());
  EXPECT_FALSE(word().visible());
  EXPECT_EQ(settings(), "[Path]\r\nChildPath=\r\n");
  EXPECT_EQ(dialogs_.fileDialogs().size(), 1u);
  EXPECT_THAT(messages(),
              ElementsAre(notice(literals::kChoosePathFirst, wordhost::Icon::Exclamation),
                          notice(literals::kNoFileChosen, wordhost::Icon::Exclamation)));
}

// --- The image path: the open-file dialog and settings.ini -------------------------------------

TEST_F(AddinInWord, TheDialogShowsTheImageTypesWithTheFirstSelected) {
  // On Wine the dialog opens in the current directory; it must not move it.
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryW(folder().c_str()));
  startUp(winetest::binPath(L"assets\\Pass.gif"));
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, after);
  SetCurrentDirectoryW(before);
  EXPECT_EQ(std::wstring(after) + L"\\", folder());

  ASSERT_EQ(dialogs_.fileDialogs().size(), 1u);
  const wordhost::ShownFileDialog& shown = dialogs_.fileDialogs()[0];
  EXPECT_EQ(shown.title, winetest::shown(literals::kChoosePathTitle));
  EXPECT_THAT(
      shown.fileTypes,
      ElementsAre(L"All Picture(*.emf;*.wmf;*.jpg;*.jpeg;*.ifif;*.jpe;*.png)", L"All Files(*.*)",
                  L"JPEG File Interchange Format(*.jpg;*.jpeg;*.ifif;*.jpe)"));
  EXPECT_EQ(shown.selectedType, 0);
  // The first type's patterns: a .jfif file is not among them, and neither is a GIF.
  EXPECT_THAT(shown.listed, UnorderedElementsAre(L"scan.png", L"photo.jpeg", L"drawing.emf"));
}

TEST_P(AddinInEachWord, SetUpPathSavesThePathInMemoryThenAsksAgainEachTime) {
  startUp();  // no settings file: "No", and the dialog cancelled
  EXPECT_EQ(dialogs_.fileDialogs().size(), 1u);
  EXPECT_NE(pathForm(), nullptr);

  click(kSetUpPath);  // the form is loaded already: no dialog, the path in memory is saved
  EXPECT_EQ(dialogs_.fileDialogs().size(), 1u);
  EXPECT_EQ(settings(), "[Path]\r\nChildPath=No\r\n");
  EXPECT_EQ(pathForm(), nullptr);  // shown, then unloaded at once

  dialogs_.pickFile(signatureImage());
  click(kSetUpPath);
  EXPECT_EQ(dialogs_.fileDialogs().size(), 2u);
  EXPECT_EQ(settings(), "[Path]\r\nChildPath=" + ansi(signatureImage()) + "\r\n");

  dialogs_.cancelFile();
  click(kSetUpPath);  // cancelled: the same path again
  EXPECT_EQ(dialogs_.fileDialogs().size(), 3u);
  EXPECT_EQ(settings(), "[Path]\r\nChildPath=" + ansi(signatureImage()) + "\r\n");
  EXPECT_EQ(pathForm(), nullptr);
  for (const auto& shown : dialogs_.fileDialogs())
    EXPECT_EQ(shown.title, winetest::shown(literals::kChoosePathTitle));
  EXPECT_THAT(messages(), IsEmpty());

  // The next start reads it.
  ASSERT_EQ(host_.shutDown(), S_OK);
  word().restart();
  startUp();
  auto& doc = word().open();
  click(kInsertAndSign);
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.signatures.size(), 1u);
}

TEST_F(AddinInWord, APathTheSettingsFileCannotHoldIsKeptButNotSaved) {
  if (GetACP() == CP_UTF8) {
    GTEST_SKIP() << "a UTF-8 code page holds every path";
  }
  startUp(unicodeImage());
  click(kSetUpPath);
  EXPECT_EQ(GetFileAttributesW(settingsFile().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_THAT(messages(),
              ElementsAre(notice(literals::kCouldNotSavePath, wordhost::Icon::Exclamation)));
  // The path stays in memory: the image is found.
  auto& doc = word().open();
  click(kInsertAndSign);
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.signatures.size(), 1u);
  EXPECT_EQ(messages().size(), 1u);
}

TEST_F(AddinInWord, ASettingsFileHeldOpenIsNeitherReadNorWritten) {
  writeSettings("[Path]\r\nChildPath=C:\\old\\signature.gif\r\n");
  {
    const HeldSettings held;
    ASSERT_NE(held.file, INVALID_HANDLE_VALUE);
    startUp();  // the read fails: the path stays as a fresh library has it, empty
  }
  click(kSetUpPath);
  EXPECT_THAT(messages(),
              ElementsAre(notice(literals::kChoosePathFirst, wordhost::Icon::Exclamation)));

  dialogs_.clear();
  dialogs_.pickFile(signatureImage());
  {
    const HeldSettings held;
    click(kSetUpPath);
  }
  EXPECT_THAT(messages(),
              ElementsAre(notice(literals::kCouldNotSavePath, wordhost::Icon::Exclamation)));
  EXPECT_EQ(settings(), "[Path]\r\nChildPath=C:\\old\\signature.gif\r\n");
}

// --- Start-up ---------------------------------------------------------------------------------

// The path form's dialog comes once start-up is over, owned by Word's window, so that it never
// opens behind Word.
TEST_P(AddinInEachWord, TheStartUpDialogComesAfterStartUpOwnedByWordsWindow) {
  auto& doc = word().open(u"Report");
  const HWND window = container_.documentWindow(doc);
  SetForegroundWindow(window);
  wordhost::runQueued();
  startUp();
  ASSERT_EQ(dialogs_.fileDialogs().size(), 1u);
  EXPECT_EQ(dialogs_.fileDialogs()[0].owner, window);
}

// Started by a program and kept hidden, Word loads the add-in: its menu, its settings and its
// form, but no dialog and no window comes up that nobody would answer.
TEST_P(AddinInEachWord, AWordStartedInvisiblyByAProgramLoadsTheAddinWithoutAnyWindow) {
  writeSettings("[Path]\r\nChildPath=" + ansi(signatureImage()) + "\r\n");
  word().startedByProgram();
  ASSERT_EQ(host_.startUp(), S_OK);
  EXPECT_TRUE(dialogs_.fileDialogs().empty());
  EXPECT_THAT(messages(), IsEmpty());
  ASSERT_NE(pathForm(), nullptr);
  EXPECT_FALSE(IsWindowVisible(pathForm()));
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    EXPECT_FALSE(process == GetCurrentProcessId() && IsWindowVisible(w));
  }
  // The program goes on: the add-in's commands work with the path from the settings.
  auto& doc = word().open();
  click(kInsertAndSign);
  EXPECT_EQ(doc.signatures.size(), 1u);
}

// --- The path form through its window ----------------------------------------------------------

TEST_F(AddinInWord, AfterStartUpTheFormIsLoadedHiddenAndItsButtonsWork) {
  startUp();
  const HWND form = pathForm();
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(IsWindowVisible(form));
  EXPECT_EQ(GetMenu(form), nullptr);  // its menu is a popup only
  wchar_t caption[64] = {};
  GetWindowTextW(form, caption, 64);
  EXPECT_EQ(caption, shown(literals::kChoosePathTitle));

  clickOnForm(L"Command1");
  EXPECT_THAT(messages(), ElementsAre(untitled(L"OK")));
  EXPECT_EQ(pathForm(), form);

  clickOnForm(L"Command2");
  EXPECT_EQ(pathForm(), nullptr);
  EXPECT_FALSE(IsWindow(form));

  // Unloaded: the next set-up-path command loads it again, with its dialog.
  dialogs_.pickFile(signatureImage());
  click(kSetUpPath);
  EXPECT_EQ(dialogs_.fileDialogs().size(), 2u);
  EXPECT_EQ(settings(), "[Path]\r\nChildPath=" + ansi(signatureImage()) + "\r\n");
}

TEST_F(AddinInWord, ClosingTheFormUnloadsIt) {
  startUp();
  const HWND form = pathForm();
  ASSERT_NE(form, nullptr);
  SendMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form));
  EXPECT_EQ(pathForm(), nullptr);
  click(kSetUpPath);
  EXPECT_EQ(dialogs_.fileDialogs().size(), 2u);
}

TEST_F(AddinInWord, TheFormsMenuChenInsertsAndSignsThroughTheAddin) {
  startUp(signatureImage());
  auto& doc = word().open();
  dialogs_.chooseMenuItem(0);  // "Ky": nothing
  clickOnForm(L"Command3");
  dialogs_.dismissMenu();
  clickOnForm(L"Command3");
  EXPECT_TRUE(doc.inlineShapes.empty());
  EXPECT_TRUE(doc.signatures.empty());

  dialogs_.chooseMenuItem(1);  // "chen"
  clickOnForm(L"Command3");
  EXPECT_THAT(dialogs_.menus(), testing::Each(ElementsAre(L"Ky", L"chen")));
  EXPECT_EQ(dialogs_.menus().size(), 3u);
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  ASSERT_EQ(doc.signatures.size(), 1u);
  EXPECT_TRUE(doc.signatures[0].committed);
  EXPECT_THAT(messages(), IsEmpty());
}

TEST_F(AddinInWord, OnceTheAddinIsUnloadedTheFormsMenuDoesNothing) {
  startUp(signatureImage());
  auto& doc = word().open();
  ASSERT_EQ(host_.unload(kProgId), S_OK);
  ASSERT_NE(pathForm(), nullptr);  // the form stays loaded
  dialogs_.chooseMenuItem(1);
  clickOnForm(L"Command3");
  EXPECT_EQ(dialogs_.menus().size(), 1u);
  EXPECT_TRUE(doc.inlineShapes.empty());
  EXPECT_TRUE(doc.signatures.empty());
  EXPECT_THAT(messages(), IsEmpty());
}

// Word's refusal to sign, caught by the sign command: one line in the log file while the user's
// registry names one, and nothing once it does not. The message box comes either way.
TEST_F(AddinInWord, ACaughtFailureLeavesItsLineInTheLogFileOnlyWhileTheLogIsOn) {
  const std::wstring file = folder() + L"diagnosis.log";
  DeleteFileW(file.c_str());
  startUp(signatureImage());
  word().open();
  const auto logged = [&] {
    std::ifstream in(file.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, com::kDiagnosisKey, com::kLogFileValue, REG_SZ,
                            file.c_str(), DWORD((file.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  word().signing().willFail(0x80092004, u"The certificate cannot be used for signing.");
  click(kSign);
  // The time, then the library, the handler, the code, Word's words and the line that called Word.
  std::string line;
  const std::string all = logged();
  for (size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1)
    if (all.find("\tSign\t", at) < end) {
      EXPECT_TRUE(line.empty()) << all;
      line = all.substr(at, end + 1 - at);
    }
  EXPECT_THAT(line, testing::HasSubstr("\tPenvane\tSign\t0x80092004\t"
                                       "The certificate cannot be used for signing.\t"));
  EXPECT_THAT(line, testing::EndsWith("\r\n"));
  EXPECT_THAT(line.substr(line.rfind('\t')), testing::HasSubstr("word.cpp:"));

  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Penvane");
  word().signing().willFail(0x80092004, u"Again.");
  click(kSign);
  EXPECT_EQ(logged(), all);
  EXPECT_EQ(messages().size(), 2u);
  DeleteFileW(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(Words, AddinInEachWord, winetest::eachWord(), winetest::profileName);

}  // namespace

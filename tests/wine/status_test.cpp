// The block's status picture and its verify command, end to end: Sealbrook.ocx registered by
// regsvr32 and inserted through AddOLEControl into the simulated Word, reached through real COM.
// Timer1's ticks are its WM_TIMER messages, sent by the test; the verify boxes are read off the
// screen with their title, text and icon; a click is a real mouse click.
#include <string>
#include <string_view>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/com_ptr.h"
#include "win32/sealbrook/window_names.h"
#include "wordhost/dialogs.h"
#include "wordhost/process.h"
#include "wordhost/resources.h"

#include "automation/object.h"
#include "control_in_word.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using automation::Date;
using automation::Variant;
using testing::ElementsAre;
using testing::Field;
using wordhost::Icon;
using wordhost::ShownMessage;
namespace literals = text::literals;

using winetest::shown;
using winetest::tcvn3;

// A host name converted to TCVN3: each byte as this prefix's ANSI code page reads it alone.
std::wstring converted(std::string_view bytes) {
  std::wstring out;
  for (const char byte : bytes) {
    wchar_t c = 0;
    MultiByteToWideChar(CP_ACP, 0, &byte, 1, &c, 1);
    out += c;
  }
  return out;
}

// A date as this prefix's locale writes it.
std::wstring dateText(double serial) {
  com::Bstr text;
  EXPECT_EQ(VarBstrFromDate(serial, LOCALE_USER_DEFAULT, 0, text.put()), S_OK);
  return com::wide(text.str());
}

// The text of one verify box.
std::wstring verifyText(int position, const std::wstring& signer, const std::wstring& issuer,
                        double expires, double signedOn) {
  return shown(literals::kSignerLabel) + std::to_wstring(position) + L": " + signer + L"\r\n" +
         shown(literals::kIssuerLabel) + issuer + L"\r\n" + shown(literals::kExpiryDateLabel) +
         dateText(expires) + L"\r\n" + shown(literals::kSignDateLabel) + dateText(signedOn) +
         L"\r\n";
}

// The same box where the screen's fonts are TCVN3 fonts: the labels' TCVN3 bytes, and the host's
// names converted to TCVN3.
std::wstring verifyTextInTcvn3(int position, const std::wstring& signer, const std::wstring& issuer,
                               double expires, double signedOn) {
  return tcvn3(literals::kSignerLabel) + std::to_wstring(position) + L": " + signer + L"\r\n" +
         tcvn3(literals::kIssuerLabel) + issuer + L"\r\n" + tcvn3(literals::kExpiryDateLabel) +
         dateText(expires) + L"\r\n" + tcvn3(literals::kSignDateLabel) + dateText(signedOn) +
         L"\r\n";
}

// The box of a failure the verify command has no handling for.
ShownMessage failureBox(const wchar_t* description) {
  return {L"Sealbrook", description, Icon::Critical};
}

MATCHER_P(IsBox, expected, "") {
  *result_listener << "title " << testing::PrintToString(arg.title) << ", text "
                   << testing::PrintToString(arg.text) << ", icon " << static_cast<int>(arg.icon);
  return arg.title == expected.title && arg.text == expected.text && arg.icon == expected.icon;
}

using Status = winetest::ControlInEachWord;
using winetest::ControlInWord;

TEST_P(Status, TheBlockShowsWhetherTheFirstSignatureIsValidAndKeepsItWhenSignaturesGo) {
  auto& doc = word().open(u"Report");
  auto& control = insert();
  tick();
  EXPECT_TRUE(winetest::Rendering(control.object(), false).isEmptyBlock());  // nothing signed

  signByHost();
  tick();
  {
    const winetest::Rendering shown(control.object(), false);
    EXPECT_TRUE(shown.showsSignature());
    EXPECT_TRUE(shown.showsValid());
  }
  doc.edit(u"changed after signing");
  tick();
  {
    const winetest::Rendering shown(control.object(), false);
    EXPECT_TRUE(shown.showsSignature());
    EXPECT_TRUE(shown.showsInvalid());
  }
  doc.signatures.clear();
  tick();
  const winetest::Rendering kept(control.object(), false);
  EXPECT_TRUE(kept.showsSignature());
  EXPECT_TRUE(kept.showsInvalid());
}

TEST_P(Status, EveryBlockReportsOnTheActiveDocument) {
  auto& valid = word().open(u"Valid");
  auto& inValid = insert();
  signByHost();
  auto& edited = word().open(u"Edited");
  auto& inEdited = insert();
  signByHost();
  edited.edit(u"changed after signing");

  word().activate(valid);
  tick();
  EXPECT_TRUE(winetest::Rendering(inValid.object(), false).showsValid());
  EXPECT_TRUE(winetest::Rendering(inEdited.object(), false).showsValid());
  word().activate(edited);
  tick();
  EXPECT_TRUE(winetest::Rendering(inValid.object(), false).showsInvalid());
  EXPECT_TRUE(winetest::Rendering(inEdited.object(), false).showsInvalid());
}

// Picture1's window procedure, wrapped to count its paints.
class PaintCounter {
 public:
  explicit PaintCounter(HWND window) : window_(window) {
    SetPropW(window_, kProp, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintCounter::proc)));
  }
  ~PaintCounter() {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropW(window_, kProp);
  }
  PaintCounter(const PaintCounter&) = delete;
  PaintCounter& operator=(const PaintCounter&) = delete;
  int paints = 0;

 private:
  static constexpr wchar_t kProp[] = L"PaintCounter";
  static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<PaintCounter*>(GetPropW(hwnd, kProp));
    if (msg == WM_PAINT) ++self->paints;
    return CallWindowProcW(self->original_, hwnd, msg, wParam, lParam);
  }
  HWND window_;
  WNDPROC original_ = nullptr;
};

TEST_P(Status, AStatusThatDidNotChangeRepaintsNothingAndMakesNoGdiObject) {
  auto& doc = word().open();
  auto& control = insert();
  signByHost();
  PaintCounter counter(picture1(control));
  tick();
  EXPECT_GE(counter.paints, 1);
  counter.paints = 0;
  const long gdi = wordhost::gdiObjects();
  for (int i = 0; i < 3; ++i) tick();
  EXPECT_EQ(counter.paints, 0);
  EXPECT_EQ(wordhost::gdiObjects(), gdi);
  doc.edit(u"changed after signing");
  tick();
  EXPECT_GE(counter.paints, 1);
}

TEST_P(Status, ATickQueuedBeforeARefreshDoesNotRunInsideIt) {
  word().open();
  insert();
  signByHost();
  const HWND timers = FindWindowExW(HWND_MESSAGE, nullptr, sealbrook::win::kTimersClass, nullptr);
  ASSERT_NE(timers, nullptr);
  word().log().clear();
  // The refresh lets pending messages run first, this tick among them.
  PostMessageW(timers, WM_TIMER, 1, 0);
  SendMessageW(timers, WM_TIMER, 1, 0);
  EXPECT_EQ(countLines("Signatures.Count"), 1u);
  wordhost::runQueued();
  EXPECT_EQ(countLines("Signatures.Count"), 1u);
}

// --- Verify ------------------------------------------------------------------------------------

// "Nguyễn Văn An", "Đặng Ánh" and the issuer "Cục Chứng thực số", as Word gives them and in TCVN3
// (where a capital with a tone mark stays as it is).
const wchar_t kFirstSignerName[] = L"Nguy\u1EC5n V\u0103n An";
const wchar_t kSecondSignerName[] = L"\u0110\u1EB7ng \u00C1nh";
const wchar_t kIssuerName[] = L"C\u1EE5c Ch\u1EE9ng th\u1EF1c s\u1ED1";
constexpr std::string_view kFirstSigner = "Nguy\xD4n V\xA8n An";
constexpr std::string_view kSecondSigner = "\xA7\xC6ng \xC1nh";
constexpr std::string_view kIssuer =
    "C\xF4"
    "c Ch\xF8ng th\xF9"
    "c s\xE8";
constexpr double kExpires = 47118.0;          // 2028-12-31
constexpr double kSignedOn = 46364.5;         // 2026-12-08 12:00
constexpr double kSignedLater = 46365.40625;  // 2026-12-09 09:45

// Two signatures of a document signed through the block, one no longer valid.
class Verify : public Status {
 protected:
  wordhost::EmbeddedObject& twoSignatures() {
    auto& doc = word().open();
    auto& control = insert();
    word().signing().willSign(com::u16(kFirstSignerName), com::u16(kIssuerName), Date{kExpires},
                              Date{kSignedOn});
    word().signing().willSign(com::u16(kSecondSignerName), com::u16(kIssuerName), Date{kExpires},
                              Date{kSignedLater});
    sign(control);
    sign(control);
    EXPECT_EQ(doc.signatures.size(), 2u);
    doc.signatures.at(1).markedInvalid = true;
    dialogs_.clear();
    return control;
  }
};

// On a stock screen (Wine's default fonts are no TCVN3 fonts) the box reads in Unicode, the
// signers' names as Word gives them; the dates as the locale writes them.
TEST_P(Verify, ShowsOneBoxASignatureInUnicodeWithTheDatesOfTheLocale) {
  auto& control = twoSignatures();
  verify(control);
  EXPECT_THAT(
      dialogs_.messages(),
      ElementsAre(
          IsBox(ShownMessage{shown(literals::kValidTitle),
                             verifyText(1, kFirstSignerName, kIssuerName, kExpires, kSignedOn),
                             Icon::Information}),
          IsBox(ShownMessage{shown(literals::kInvalidTitle),
                             verifyText(2, kSecondSignerName, kIssuerName, kExpires, kSignedLater),
                             Icon::Critical})));
  EXPECT_EQ(dialogs_.messages().at(0).title, L"Ch\u1EEF k\u00FD s\u1ED1 h\u1EE3p l\u1EC7");
  // Verify reports; only a refresh changes the status picture.
  EXPECT_TRUE(winetest::Rendering(control.object(), false).showsValid());
}

// Where the screen's fonts are TCVN3 fonts, the menu, the titles and the text are the TCVN3 text
// byte for byte, the signers converted to it.
TEST_P(Verify, WithTcvn3FontsTheMenuAndTheBoxesAreTheTcvn3TextByteForByte) {
  auto& control = twoSignatures();
  const winetest::Tcvn3Fonts fonts;
  verify(control);
  EXPECT_THAT(dialogs_.menus().back(),
              ElementsAre(tcvn3(literals::kSign), tcvn3(literals::kVerify)));
  EXPECT_THAT(
      dialogs_.messages(),
      ElementsAre(IsBox(ShownMessage{tcvn3(literals::kValidTitle),
                                     verifyTextInTcvn3(1, converted(kFirstSigner),
                                                       converted(kIssuer), kExpires, kSignedOn),
                                     Icon::Information}),
                  IsBox(ShownMessage{tcvn3(literals::kInvalidTitle),
                                     verifyTextInTcvn3(2, converted(kSecondSigner),
                                                       converted(kIssuer), kExpires, kSignedLater),
                                     Icon::Critical})));
}

TEST_P(Status, SigningTwiceThroughTheBlockLeavesBothSignaturesValid) {
  auto& doc = word().open();
  auto& control = insert();
  sign(control);
  sign(control);
  ASSERT_EQ(doc.signatures.size(), 2u);
  EXPECT_TRUE(doc.isValid(doc.signatures[0]));
  EXPECT_TRUE(doc.isValid(doc.signatures[1]));
  tick();
  EXPECT_TRUE(winetest::Rendering(control.object(), false).showsValid());
  dialogs_.clear();
  verify(control);
  EXPECT_THAT(dialogs_.messages(), ElementsAre(Field(&ShownMessage::icon, Icon::Information),
                                               Field(&ShownMessage::icon, Icon::Information)));
}

TEST_P(Status, AHostThatCannotTellTheCountOrTheValidityIsNeverShownAsValid) {
  auto& doc = word().open();
  auto& control = insert();
  signByHost();
  word().failMember("Signatures.Count", automation::hr::kFail);
  tick();
  EXPECT_TRUE(winetest::Rendering(control.object(), false).isEmptyBlock());

  word().clearFaults();
  word().failMember("IsValid", automation::hr::kFail);
  tick();
  {
    const winetest::Rendering shown(control.object(), false);
    EXPECT_TRUE(shown.showsSignature());
    EXPECT_TRUE(shown.showsInvalid());
  }
  // With the count unreadable, a signature that became valid again is not guessed to be.
  word().clearFaults();
  doc.edit(u"changed after signing");
  tick();
  doc.signatures[0].contentVersion = doc.version();
  word().failMember("Signatures.Count", automation::hr::kFail);
  tick();
  EXPECT_TRUE(winetest::Rendering(control.object(), false).showsInvalid());
  word().clearFaults();
  tick();
  EXPECT_TRUE(winetest::Rendering(control.object(), false).showsValid());
}

TEST_P(Status, AFailedVerifyShowsWhatFailedAndWordGoesOn) {
  auto& doc = word().open();
  auto& control = insert();
  word().signing().willSign(Variant::null(), u"Vietnam Test CA", Date{kExpires}, Date{kSignedOn});
  sign(control);
  dialogs_.clear();
  verify(control);
  EXPECT_THAT(dialogs_.messages(), ElementsAre(IsBox(failureBox(L"Invalid use of Null"))));

  // The control and Word carry on: the next tick refreshes, the next verify reports.
  doc.edit(u"changed after signing");
  tick();
  EXPECT_TRUE(winetest::Rendering(control.object(), false).showsInvalid());
  doc.signatures[0].signer = u"Vietnam Test Signer";
  dialogs_.clear();
  verify(control);
  EXPECT_THAT(dialogs_.messages(), ElementsAre(Field(&ShownMessage::icon, Icon::Critical)));
  EXPECT_EQ(dialogs_.messages()[0].title, shown(literals::kInvalidTitle));
}

// A block whose document Word closed reaches Word 2003 through the running-object table.
TEST_F(ControlInWord, VerifyWithNoDocumentOpenShowsWordsErrorInTheLibrarysBox) {
  auto& doc = word().open();
  insert();
  // The block outlives its document in Word's list: every document is closed.
  simword::InlineShape kept = std::move(doc.inlineShapes[0]);
  doc.inlineShapes.clear();
  word().close(doc);
  ASSERT_EQ(word().activeDocument(), nullptr);
  auto& control = static_cast<wordhost::EmbeddedObject&>(*kept.control);
  verify(control);
  EXPECT_THAT(dialogs_.messages(),
              ElementsAre(IsBox(
                  failureBox(L"This command is not available because no document is open."))));
  tick();  // and its timer still ticks
  EXPECT_EQ(countLines("Application.ActiveDocument !0x800A1098"), 2u);
}

// A real click, as the user makes it: the mouse moves to the point on the screen, the button
// goes down and up, and the system delivers it to the window under the pointer.
void clickOnScreen(HWND window, POINT at) {
  ClientToScreen(window, &at);
  ASSERT_TRUE(SetCursorPos(at.x, at.y));
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
  wordhost::runQueued();
}

TEST_P(Status, AClickOnABlockInABackgroundWindowMakesItsDocumentActiveBeforeThePopup) {
  auto& report = word().open(u"Report");
  auto& control = insert();
  auto& letter = word().open(u"Letter");
  insert();
  // Side by side, so that nothing covers the report's block; the letter's window is in front.
  const HWND reportWindow = container_.documentWindow(report);
  const HWND letterWindow = container_.documentWindow(letter);
  SetWindowPos(reportWindow, nullptr, 0, 0, 500, 400, SWP_NOZORDER);
  SetWindowPos(letterWindow, nullptr, 510, 0, 500, 400, SWP_NOZORDER);
  SetForegroundWindow(letterWindow);
  wordhost::runQueued();
  ASSERT_EQ(GetForegroundWindow(), letterWindow);
  ASSERT_EQ(word().activeDocument(), &letter);

  dialogs_.chooseMenuItem(0);  // "Ký"
  clickOnScreen(picture1(control), {5, 5});
  EXPECT_EQ(dialogs_.menus().size(), 1u);
  EXPECT_EQ(GetForegroundWindow(), reportWindow);
  EXPECT_EQ(word().activeDocument(), &report);
  EXPECT_EQ(report.signatures.size(), 1u);
  EXPECT_TRUE(letter.signatures.empty());
}

// --- Today's Word: the block reaches the Word that holds it -----------------------------------

class TodaysWord : public ControlInWord {
 protected:
  TodaysWord() : ControlInWord(simword::Profile::Word2016) {}
};

// Today's Word enters the running-object table only once its window first loses the focus: a
// signed document opened from Explorer before that still shows its status at the first refresh,
// and its block signs.
TEST_F(TodaysWord, ABlockOpenedBeforeWordFirstLostTheFocusShowsItsStatusAndSigns) {
  wordhost::OleContainer::SavedDocument saved;
  {  // signed with its block in an earlier session of Word
    wordhost::RunningWord earlier(simword::Profile::Word2016);
    wordhost::OleContainer container(earlier);
    auto& doc = earlier.word().open(u"Contract");
    winetest::insertBlock(earlier.word());
    const auto signatures = automation::getObject(
        automation::getObject(earlier.word().application(), "ActiveDocument"), "Signatures");
    automation::call(signatures, "Add");
    automation::call(signatures, "Commit");
    saved = container.save(doc);
    container.close(doc);
  }
  auto& reopened = container_.reopen(saved);
  auto& block = wordhost::OleContainer::embedded(reopened, 0);
  com::ComPtr<IUnknown> running;
  ASSERT_FALSE(running_.registered());
  ASSERT_TRUE(FAILED(GetActiveObject(wordhost::kWordApplication, nullptr, running.put())));

  tick();
  EXPECT_TRUE(winetest::Rendering(block.object(), false).showsValid());
  sign(block);
  ASSERT_EQ(reopened.signatures.size(), 2u);
  EXPECT_TRUE(reopened.isValid(reopened.signatures[0]) && reopened.isValid(reopened.signatures[1]));

  // Once a window of Word's loses the focus, Word is in the table.
  SendMessageW(container_.documentWindow(reopened), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_TRUE(running_.registered());
  EXPECT_EQ(GetActiveObject(wordhost::kWordApplication, nullptr, running.put()), S_OK);
}

// With two Words running, the running-object table gives the one that registered first; each
// block reports on, and signs, the Word whose document holds it.
TEST_F(TodaysWord, WithTwoWordsRunningEachBlockWorksOnItsOwnWord) {
  wordhost::RunningWord other(simword::Profile::Word2016);
  wordhost::OleContainer otherContainer(other);
  other.focusLeft();
  running_.focusLeft();
  auto& otherDoc = other.word().open(u"Other");
  auto& otherBlock = winetest::insertBlock(other.word());
  auto& doc = word().open(u"Mine");
  auto& block = insert();
  signByHost();

  tick();
  EXPECT_TRUE(winetest::Rendering(block.object(), false).showsValid());
  EXPECT_TRUE(winetest::Rendering(otherBlock.object(), false).isEmptyBlock());
  sign(block);
  EXPECT_EQ(doc.signatures.size(), 2u);
  EXPECT_TRUE(otherDoc.signatures.empty());
  otherContainer.close(otherDoc);
}

INSTANTIATE_TEST_SUITE_P(Words, Status, winetest::eachWord(), winetest::profileName);
INSTANTIATE_TEST_SUITE_P(Words, Verify, winetest::eachWord(), winetest::profileName);

}  // namespace

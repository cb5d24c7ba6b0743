// The control's status refresh and verify command against the simulated Word: the host calls in
// their order, the pictures each status shows, the verify boxes byte for byte, and what happens
// when the host cannot be read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/unicode.h"
#include "sealbrook_fakes.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "text_fakes.h"

namespace sealbrook {
namespace {

using automation::Variant;
using fakes::Box;
using fakes::fileOf;
using testing::ElementsAre;
using testing::ElementsAreArray;
namespace literals = text::literals;

class Status : public testing::Test {
 protected:
  Status() { document = &word.open(u"Report"); }

  void addSignature(bool valid, Variant signer = u"Nguy\u1EC5n V\u0103n An") {
    simword::Signature s = simword::SigningService::defaultSignature();
    s.signer = std::move(signer);
    s.contentVersion = document->version();
    s.committed = true;
    s.markedInvalid = !valid;
    document->signatures.push_back(s);
  }
  void refresh() {
    runtime.calls.clear();
    word.log().clear();
    control.Timer1_Timer();
  }
  void expectTimerRestarted() {
    EXPECT_EQ(control.Timer1Interval(), 5000u);
    ASSERT_FALSE(runtime.calls.empty());
    EXPECT_EQ(runtime.calls.back(), "Timer1.Interval=5000");
  }

  simword::Word word;
  simword::Document* document;
  fakes::Runtime runtime{word};
  fakes::Surface surface{runtime.calls};
  fakes::Site site;
  SignData control{runtime, surface, site};
};

const std::vector<std::string> kCount = {"Application.ActiveDocument", "Document.Signatures",
                                         "Signatures.Count"};
const std::vector<std::string> kFirstIsValid = {"Application.ActiveDocument", "Document.Signatures",
                                                "Signatures.Item(1%)", "Signature.IsValid"};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(Status, WithoutSignaturesTheRefreshTouchesNoPictureAndRestartsTheTimer) {
  refresh();
  EXPECT_THAT(runtime.calls,
              ElementsAre("DoEvents", "Timer1.Interval=0", "GetObject", "Timer1.Interval=5000"));
  EXPECT_THAT(word.log().lines(), ElementsAreArray(kCount));
  EXPECT_EQ(control.Picture1(), nullptr);
  EXPECT_EQ(control.Image1(), nullptr);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(Status, TheFirstSignatureAloneDecidesTheStatusPicture) {
  addSignature(true);
  addSignature(false);
  refresh();
  EXPECT_THAT(word.log().lines(), ElementsAreArray(joined({kCount, kFirstIsValid})));
  EXPECT_EQ(fileOf(control.Image1()), kSignaturePicture);
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  expectTimerRestarted();

  document->signatures[0].markedInvalid = true;
  document->signatures[1].markedInvalid = false;
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(Status, MoreSignaturesThanASixteenBitNumberCountsStillShowTheFirstOnesStatus) {
  addSignature(false);
  document->signatures.resize(32768, document->signatures.front());
  refresh();
  EXPECT_EQ(fileOf(control.Image1()), kSignaturePicture);
  EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);
  expectTimerRestarted();
}

TEST_F(Status, AnEditTurnsValidToNotValidAndRemovedSignaturesLeaveThePicturesAsTheyWere) {
  addSignature(true);
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  document->edit(u"changed after signing");
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);
  document->signatures.clear();
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);
  EXPECT_EQ(fileOf(control.Image1()), kSignaturePicture);
}

TEST_F(Status, TheActiveDocumentIsReportedOnWhereverTheControlSits) {
  addSignature(true);  // the control's own document, "Report"
  auto& other = word.open(u"Other");
  refresh();
  EXPECT_EQ(control.Picture1(), nullptr);  // "Other" has no signature
  word.activate(*document);
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  other.signatures.push_back(simword::SigningService::defaultSignature());
  other.signatures.back().markedInvalid = true;
  word.activate(other);
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);
}

// The status shows only what could be read: a count that cannot be read changes nothing, and a
// first signature whose validity cannot be read is never shown as valid.
TEST_F(Status, WhatCannotBeReadIsNeverShownAsValid) {
  runtime.hostRunning = false;
  refresh();
  EXPECT_EQ(control.Image1(), nullptr);
  EXPECT_EQ(control.Picture1(), nullptr);
  expectTimerRestarted();

  runtime.hostRunning = true;
  addSignature(true);
  word.failMember("IsValid", automation::hr::kFail);
  refresh();
  EXPECT_EQ(fileOf(control.Image1()), kSignaturePicture);
  EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);
  expectTimerRestarted();

  word.clearFaults();
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  word.failMember("Count", automation::hr::kFail);
  document->signatures[0].markedInvalid = true;
  refresh();
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);  // unchanged, not guessed
  word.clearFaults();

  document->signatures[0].markedInvalid = false;
  word.close(*document);
  refresh();  // no document at all
  EXPECT_EQ(fileOf(control.Picture1()), kValidPicture);
  expectTimerRestarted();
  EXPECT_EQ(word.outstandingReferences(), 0);
}

TEST_F(Status, AStatusThatDidNotChangeLoadsAndRedrawsNothing) {
  addSignature(true);
  refresh();
  const int loads = runtime.pictureLoads, redraws = surface.redraws;
  EXPECT_EQ(loads, 2);
  for (int i = 0; i < 3; ++i) refresh();
  EXPECT_EQ(runtime.pictureLoads, loads);
  EXPECT_EQ(surface.redraws, redraws);
  document->signatures[0].markedInvalid = true;
  refresh();
  EXPECT_EQ(surface.redraws, redraws + 1);
}

TEST_F(Status, ARefreshNeverRunsInsideAnother) {
  addSignature(true);
  int nested = 0;
  runtime.duringDoEvents = [&] {
    if (nested++ == 0) control.Timer1_Timer();  // a tick that was already queued
  };
  refresh();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(std::count(runtime.calls.begin(), runtime.calls.end(), "GetObject"), 1);
  expectTimerRestarted();
  runtime.duringDoEvents = nullptr;
  refresh();  // and the next tick runs as usual
  EXPECT_EQ(std::count(runtime.calls.begin(), runtime.calls.end(), "GetObject"), 1);
}

// Each host call of a refresh fails once, in turn: the timer always restarts, nothing is left
// referenced, and a valid status is shown only when the validity was read.
TEST(StatusFaults, EachHostCallOfTheRefreshCanFail) {
  for (uint64_t n = 1; n <= 7; ++n) {
    SCOPED_TRACE("call " + std::to_string(n) + " fails");
    simword::Word word;
    auto& document = word.open();
    document.signatures.push_back(simword::SigningService::defaultSignature());
    fakes::Runtime runtime(word);
    fakes::Surface surface(runtime.calls);
    {
      fakes::Site site;
      SignData control(runtime, surface, site);
      word.failCall(n, automation::hr::kFail, u"planted");
      control.Timer1_Timer();
      EXPECT_EQ(control.Timer1Interval(), 5000u);
      EXPECT_EQ(control.Picture1() != nullptr, n > 3);
      if (control.Picture1()) {
        EXPECT_EQ(fileOf(control.Picture1()), kInvalidPicture);
      }
    }
    EXPECT_EQ(word.outstandingReferences(), 0);
  }
}

// --- Verify ------------------------------------------------------------------------------------

std::u16string tcvn3(std::string_view bytes) {
  return text::widenBytes(bytes);
}

std::u16string verifyText(int position, std::u16string_view signerTcvn3, std::u16string_view expiry,
                          std::u16string_view signedOn) {
  return tcvn3(literals::kSignerLabel) + text::fromUtf8(std::to_string(position)) + u": " +
         std::u16string(signerTcvn3) + u"\r\n" + tcvn3(literals::kIssuerLabel) +
         u"Vietnam Test CA\r\n" + tcvn3(literals::kExpiryDateLabel) + std::u16string(expiry) +
         u"\r\n" + tcvn3(literals::kSignDateLabel) + std::u16string(signedOn) + u"\r\n";
}

// "Nguyễn Văn An" in TCVN3: ễ is D4, ă is A8.
const std::u16string kSignerTcvn3 = u"Nguy\u00D4n V\u00A8n An";

TEST_F(Status, VerifyShowsOneBoxASignatureInOrderWithTitleAndIconByValidity) {
  addSignature(true);
  addSignature(false);
  control.mnuVerify_Click();
  EXPECT_THAT(runtime.boxes,
              ElementsAre(Box{verifyText(1, kSignerTcvn3, u"12/31/2028", u"12/8/2026 12:00:00 PM"),
                              64, tcvn3(literals::kValidTitle)},
                          Box{verifyText(2, kSignerTcvn3, u"12/31/2028", u"12/8/2026 12:00:00 PM"),
                              16, tcvn3(literals::kInvalidTitle)}));
  EXPECT_EQ(control.Picture1(), nullptr);  // verify changes no picture
  EXPECT_EQ(word.outstandingReferences(), 0);
}

// Where the box's font is not a TCVN3 font (a stock Windows), its text and title show the same
// words in Unicode, and the signer's name as Word gives it; each part by its own font.
TEST_F(Status, VerifyShowsUnicodeWhereTheFontsAreNotTcvn3) {
  addSignature(true, u"\u0110\u1EB7ng \u00C1nh");
  text::fakes::Faces faces;
  faces.tcvn3 = {text::Element::Caption};
  SignData unicode(runtime, surface, site, automation::DateText::standard(),
                   text::AnsiCodePage::latin1(), faces);
  unicode.mnuVerify_Click();
  EXPECT_THAT(runtime.boxes,
              ElementsAre(Box{text::fromUtf8("Người ký 1: Đặng Ánh\r\nCấp tại: Vietnam Test CA\r\n"
                                             "Ngày hết hạn: 12/31/2028\r\n"
                                             "Ngày ký: 12/8/2026 12:00:00 PM\r\n"),
                              64, tcvn3(literals::kValidTitle)}));
}

TEST_F(Status, VerifyReadsEachValueThroughAFreshWalkInItsOrder) {
  addSignature(true);
  control.mnuVerify_Click();
  std::vector<std::string> expected = {"Application.ActiveDocument", "Document.Signatures",
                                       "Signatures.Count",           "Application.ActiveDocument",
                                       "Document.Signatures",        "Signatures.Count"};
  for (const char* member : {"IsValid", "Signer", "Issuer", "ExpireDate", "SignDate"}) {
    for (const char* walk :
         {"Application.ActiveDocument", "Document.Signatures", "Signatures.Item(1%)"})
      expected.push_back(walk);
    expected.push_back(std::string("Signature.") + member);
  }
  EXPECT_THAT(word.log().lines(), ElementsAreArray(expected));
}

TEST_F(Status, VerifyOfAnUnsignedDocumentShowsNothingAndANullDateAddsNothing) {
  control.mnuVerify_Click();
  EXPECT_TRUE(runtime.boxes.empty());
  addSignature(true, u"Tr\u1EA7n Th\u1ECB B\u00ECnh");
  document->signatures[0].expireDate = Variant::null();
  control.mnuVerify_Click();
  ASSERT_EQ(runtime.boxes.size(), 1u);
  // "Trần Thị Bình": ầ C7, ị DE, ì D7.
  EXPECT_EQ(runtime.boxes[0].prompt,
            verifyText(1, u"Tr\u00C7n Th\u00DE B\u00D7nh", u"", u"12/8/2026 12:00:00 PM"));
}

// A failure that the command has no handling for ends it with a box that says what failed; the
// boxes of earlier signatures have been shown, and Word goes on.
TEST_F(Status, VerifyEndsAtAFailureWithItsDescription) {
  const Box overflow{u"Overflow", 16, std::nullopt};
  const Box nullUse{u"Invalid use of Null", 16, std::nullopt};

  runtime.hostRunning = false;
  control.mnuVerify_Click();
  ASSERT_EQ(runtime.boxes.size(), 1u);
  EXPECT_EQ(runtime.boxes[0].buttons, 16);
  EXPECT_EQ(runtime.boxes[0].title, std::nullopt);
  runtime.hostRunning = true;

  runtime.boxes.clear();
  addSignature(true);
  addSignature(true, Variant::null());
  addSignature(true);
  control.mnuVerify_Click();
  ASSERT_EQ(runtime.boxes.size(), 2u);
  EXPECT_EQ(runtime.boxes[0].title, tcvn3(literals::kValidTitle));
  EXPECT_EQ(runtime.boxes[1], nullUse);

  runtime.boxes.clear();
  document->signatures.resize(1);
  document->signatures[0].signer = std::u16string(32767, u'a');
  control.mnuVerify_Click();
  EXPECT_THAT(runtime.boxes, ElementsAre(overflow));
  document->signatures[0].signer = std::u16string(32766, u'a');
  runtime.boxes.clear();
  control.mnuVerify_Click();
  ASSERT_EQ(runtime.boxes.size(), 1u);
  EXPECT_EQ(runtime.boxes[0].buttons, 64);

  runtime.boxes.clear();
  word.close(*document);
  control.mnuVerify_Click();
  ASSERT_EQ(runtime.boxes.size(), 1u);
  EXPECT_EQ(runtime.boxes[0].buttons, 16);
  EXPECT_EQ(word.outstandingReferences(), 0);
}

}  // namespace
}  // namespace sealbrook

#include "sealbrook/signdata.h"

#include <optional>

#include "automation/regimes.h"
#include "base/error.h"
#include "host/office.h"
#include "host/word.h"
#include "text/literals.h"

namespace sealbrook {
namespace {

using automation::call;
using automation::get;
using automation::getObject;
using automation::ObjectRef;
using automation::put;
using automation::Variant;
using text::Element;

constexpr automation::Locale kLocale = automation::kEnglishUnitedStates;

// MsgBox styles: OK with the critical or the information icon.
constexpr int32_t kCritical = 16;
constexpr int32_t kInformation = 64;

ObjectRef signaturesOf(const ObjectRef& application) {
  return getObject(getObject(application, "ActiveDocument"), "Signatures");
}

// Item i of the active document's signatures, walked afresh from the application; the index is
// 16-bit, as the control counts.
ObjectRef signature(const ObjectRef& application, int16_t index) {
  return getObject(signaturesOf(application), "Item", {index});
}

// The custom property "Sign": added, or its value replaced by the signature picture's path. The
// branch goes by the number of custom properties, not by the name.
void WriteSign(const ObjectRef& app) {
  const ObjectRef properties =
      automation::as(getObject(getObject(app, "ActiveDocument"), "CustomDocumentProperties"),
                     host::kDocumentProperties);
  const Variant count = get(properties, "Count");
  if (!automation::equalsZero(count)) {
    const ObjectRef sign = get(properties, "Item", {u"Sign"}, kLocale).asObject();
    // A value that is the path already is left alone: writing it again marks the document
    // changed for nothing.
    if (get(sign, "Value", {}, kLocale) != Variant(kSignaturePicture))
      put(sign, "Value", kSignaturePicture, {}, kLocale);
  } else {
    call(properties, "Add",
         {u"Sign", false, host::kPropertyTypeString, kSignaturePicture, Variant()}, kLocale);
  }
}

// Sets a flag for the length of a scope.
class Running {
 public:
  explicit Running(bool& flag) noexcept : flag_(flag) { flag = true; }
  ~Running() { flag_ = false; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void SignData::ShowPopup() {
  // No trap: showing the menu is not expected to fail.
  switch (surface_.PopupMenu()) {
    case MenuChoice::Sign:
      mnuSign_Click();
      break;
    case MenuChoice::Verify:
      mnuVerify_Click();
      break;
    case MenuChoice::None:
      break;
  }
}

void SignData::Tick(TimerId timer) {
  if (timer == TimerId::Timer1 && timer1_ != 0) Timer1_Timer();
  if (timer == TimerId::Timer2 && timer2_ != 0) Timer2_Timer();
}

// The Word whose document holds the control, reached as Automation's guidelines have an embedded
// object reach its container's application ("Accessing the Containing Application"): the site's
// application service, else the application of the document that contains the control
// (knowledge-base article Q190985 takes this route from a control in Word). Only a site that
// gives neither leaves the running-object table's "Word.Application", which today's Word enters
// late (not before its window first loses the focus) and which, with two Words running, is the
// first one started.
ObjectRef SignData::Application() {
  if (ObjectRef app = site_.ApplicationService()) return app;
  if (const ObjectRef document = site_.ContainerDocument())
    return getObject(document, "Application");
  return runtime_.GetObject(u"Word.Application");
}

void SignData::Timer2_Timer() {
  // Stopped first, for good: whatever happens below cannot repeat.
  setInterval(TimerId::Timer2, 0);
  const ObjectRef app = Application();
  host::ExitFormsDesign(app);
}

void SignData::mnuSign_Click() {
  // What the control showed before: should the host not make the signature, it shows that
  // again rather than a "valid" status over a document that was never signed.
  const PicturePtr shownPicture1 = picture1_;
  const PicturePtr shownImage1 = image1_;
  bool signing = false;

  automation::trap(
      [&] {
        const ObjectRef app = Application();
        // A document that already carries a signature keeps its properties as they are: any
        // change now would spoil the signatures in it, and a second signer would undo the first.
        if (!automation::isGreaterThanZero(get(signaturesOf(app), "Count"))) WriteSign(app);
        setImage1(LoadPicture(kSignaturePicture));
        setPicture1(LoadPicture(kValidPicture));

        signing = true;
        const ObjectRef signature = host::AddSignature(app);
        signing = false;

        host::ExitFormsDesign(app);
      },
      [&](const automation::Error&) {
        // Ends silently. A signature that was not made or not committed takes back the pictures.
        if (signing) {
          setImage1(shownImage1);
          setPicture1(shownPicture1);
        }
      });
}

void SignData::Timer1_Timer() {
  // A refresh never runs inside another: DoEvents may deliver a tick that was already queued, or
  // a click whose popup and boxes pump messages of their own.
  if (refreshing_) return;
  const Running running(refreshing_);
  automation::ResumeNext step;
  step([&] { runtime_.DoEvents(); });
  step([&] { setInterval(TimerId::Timer1, 0); });
  ObjectRef app;
  step([&] { app = Application(); });
  // A count that cannot be read changes no picture.
  bool hasSignature = false;
  step([&] {
    const Variant count = get(signaturesOf(app), "Count");
    // The count as it is: a document may hold more signatures than a 16-bit number counts.
    hasSignature = automation::isGreaterThanZero(count);
  });
  if (hasSignature) {
    step([&] { setImage1(LoadPicture(kSignaturePicture)); });
    // A first signature whose validity cannot be read is not vouched for.
    bool valid = false;
    step([&] { valid = automation::toBool(get(signature(app, 1), "IsValid")); });
    step([&] { setPicture1(LoadPicture(valid ? kValidPicture : kInvalidPicture)); });
  }
  step([&] { setInterval(TimerId::Timer1, 5000); });
  step([&] { app.reset(); });
}

// The verify command has no handling of its own for a failure: it ends there, and the user is
// shown what failed rather than Word ending.
void SignData::mnuVerify_Click() {
  automation::trap([&] { Verify(); },
                   [&](const automation::Error& e) {
                     runtime_.MsgBox(e.description(), kCritical, std::nullopt);
                   });
}

// One box a signature, in the collection's order: signer with its position, issuer, the two
// dates; the title and icon say whether it is valid. Every value is read afresh.
void SignData::Verify() {
  namespace literals = text::literals;
  const ObjectRef app = Application();
  if (!automation::isGreaterThanZero(get(signaturesOf(app), "Count"))) return;
  const int16_t n = automation::toI2(get(signaturesOf(app), "Count"));
  automation::forEach16(n, [&](int16_t index) {
    const bool valid = automation::toBool(get(signature(app, index), "IsValid"));
    // The labels and the host's names as the box's font reads them: TCVN3 in a TCVN3 font, the
    // names as Word gives them in any other.
    const auto label = [&](std::string_view tcvn3) {
      return text::shown(tcvn3, Element::Message, faces_);
    };
    const auto name = [&](const Variant& value) {
      return text::shownUnicode(automation::toText(value), Element::Message, faces_, codePage_);
    };
    std::u16string text = label(literals::kSignerLabel);
    text += automation::toText(Variant(index)) + u": ";
    text += name(get(signature(app, index), "Signer"));
    text += u"\r\n" + label(literals::kIssuerLabel);
    text += name(get(signature(app, index), "Issuer"));
    text += u"\r\n" + label(literals::kExpiryDateLabel);
    automation::appendText(text, get(signature(app, index), "ExpireDate"), dates_);
    text += u"\r\n" + label(literals::kSignDateLabel);
    automation::appendText(text, get(signature(app, index), "SignDate"), dates_);
    text += u"\r\n";
    runtime_.MsgBox(text, valid ? kInformation : kCritical,
                    text::shown(valid ? literals::kValidTitle : literals::kInvalidTitle,
                                Element::Caption, faces_));
  });
}

// A picture file by its fixed path. Where that file is missing (Windows not on drive C, or the
// pictures installed beside the control for one user), the same name in the Windows directory,
// then beside the control's library.
PicturePtr SignData::LoadPicture(std::u16string_view path) {
  constexpr int32_t kFileNotFound = 53;
  for (const std::u16string& location : host::pictureLocations(path, runtime_.PictureFolders())) {
    try {
      return runtime_.LoadPicture(location);
    } catch (const automation::Error& e) {
      if (e.number() != kFileNotFound) throw;
    }
  }
  // Found nowhere: the error of the fixed path.
  return runtime_.LoadPicture(path);
}

void SignData::setPicture1(PicturePtr picture) {
  if (picture == picture1_) return;
  picture1_ = std::move(picture);
  surface_.picturesChanged();
}

void SignData::setImage1(PicturePtr picture) {
  if (picture == image1_) return;
  image1_ = std::move(picture);
  surface_.picturesChanged();
}

void SignData::setInterval(TimerId timer, uint32_t milliseconds) {
  (timer == TimerId::Timer1 ? timer1_ : timer2_) = milliseconds;
  surface_.intervalChanged(timer, milliseconds);
}

}  // namespace sealbrook

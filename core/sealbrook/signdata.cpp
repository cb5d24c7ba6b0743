#include "sealbrook/signdata.h"

#include "automation/error.h"
#include "automation/regimes.h"
#include "host/office.h"
#include "host/word.h"

namespace sealbrook {
namespace {

using automation::ObjectRef;
using automation::Variant;
using automation::call;
using automation::get;
using automation::getObject;
using automation::put;

constexpr automation::Locale kLocale = automation::kEnglishUnitedStates;

}  // namespace

void SignData::ShowPopup() {
  // No trap: showing the menu is not expected to fail.
  switch (surface_.PopupMenu()) {
    case MenuChoice::Sign: mnuSign_Click(); break;
    case MenuChoice::Verify: mnuVerify_Click(); break;
    case MenuChoice::None: break;
  }
}

void SignData::Timer2_Timer() {
  // Stopped first, for good: whatever happens below cannot repeat.
  setInterval(TimerId::Timer2, 0);
  const ObjectRef app = runtime_.GetObject(u"Word.Application");
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
        const ObjectRef app = runtime_.GetObject(u"Word.Application");
        const ObjectRef properties = automation::as(
            getObject(getObject(app, "ActiveDocument"), "CustomDocumentProperties"),
            host::kDocumentProperties);
        const Variant count = get(properties, "Count");
        if (!automation::equalsZero(count)) {
          const ObjectRef sign = get(properties, "Item", {u"Sign"}, kLocale).asObject();
          put(sign, "Value", kSignaturePicture, {}, kLocale);
        } else {
          call(properties, "Add",
               {u"Sign", false, host::kPropertyTypeString, kSignaturePicture, Variant()}, kLocale);
        }
        setImage1(runtime_.LoadPicture(kSignaturePicture));
        setPicture1(runtime_.LoadPicture(kValidPicture));

        signing = true;
        const ObjectRef signature =
            call(getObject(getObject(app, "ActiveDocument"), "Signatures"), "Add").asObject();
        call(getObject(getObject(app, "ActiveDocument"), "Signatures"), "Commit");
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

// The status refresh and the verify command are wired here; what they do comes with the status
// display.
void SignData::Timer1_Timer() {}
void SignData::mnuVerify_Click() {}

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

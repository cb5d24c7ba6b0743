#include "win32/sealbrook/signdata_object.h"

#include "win32/automation/date_text.h"
#include "win32/sealbrook/platform.h"

#include "sealbrook/layout.h"

namespace sealbrook::win {

sealbrook::Runtime& runtime() {
  static Runtime instance;
  return instance;
}

namespace {

// How the user's locale writes dates and reads bytes, shared by every control.
const automation::win::LocaleDateText& dates() {
  static const automation::win::LocaleDateText instance;
  return instance;
}
const AnsiCodePage& codePage() {
  static const AnsiCodePage instance;
  return instance;
}

}  // namespace

SignDataObject::SignDataObject()
    : window_(*this),
      core_(runtime(), window_, *this, dates(), codePage(), ui::systemFaces()),
      extent_{initialExtent().width, initialExtent().height} {
  window_.attach(core_);
}

SignDataObject::~SignDataObject() {
  window_.stopTimers();
}

void SignDataObject::created() noexcept {
  window_.startTimers();
}

// The events run with the object kept alive: the host may close the control meanwhile (during
// its signing dialog, say).
void SignDataObject::image1Click() {
  const com::ComPtr<SignDataObject> alive(this);
  core_.Image1_Click();
}

void SignDataObject::surfaceDblClick() {
  const com::ComPtr<SignDataObject> alive(this);
  core_.UserControl_DblClick();
}

void SignDataObject::timer(TimerId timer) {
  const com::ComPtr<SignDataObject> alive(this);
  core_.Tick(timer);
}

}  // namespace sealbrook::win

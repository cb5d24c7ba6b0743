#include "penvane/frm_path.h"

#include "automation/regimes.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {

std::shared_ptr<const ImageControl> FrmPath::ImageSign(FormOwner owner, bool askUser) {
  if (state_ == State::NotLoaded)
    Load(std::move(owner), askUser ? Dialog::Later : Dialog::Never);
  else
    adopt(std::move(owner));
  return imageSign_;
}

void FrmPath::Show(FormOwner owner) {
  if (state_ == State::NotLoaded) {
    Load(std::move(owner), Dialog::Now);
  } else {
    adopt(std::move(owner));
    if (dialogPending_) ChooseImage();
  }
  window_.Show();
  state_ = State::Shown;
}

void FrmPath::Load(FormOwner owner, Dialog dialog) {
  window_.Create(*this);
  state_ = State::Loaded;
  owner_ = std::move(owner);
  dialogTime_ = dialog;
  ++loads_;
  LoadStep();
}

// A form still loaded when its owner was let go (the library stays, the add-in is connected
// again) belongs to the owner that references it next.
void FrmPath::adopt(FormOwner owner) {
  if (owner_.alive.expired()) owner_ = std::move(owner);
}

void FrmPath::Unload() {
  unload(UnloadMode::Code);
}

void FrmPath::Close() {
  unload(UnloadMode::ControlMenu);
}

// A form that is unloading already (QueryUnload unloads it again) is left to finish.
void FrmPath::unload(UnloadMode mode) {
  if (state_ == State::NotLoaded || unloading_) return;
  unloading_ = true;
  bool cancel = false;
  try {
    QueryUnload(cancel, mode);
  } catch (...) {
    unloading_ = false;
    throw;
  }
  unloading_ = false;
  if (cancel) return;
  dialogPending_ = false;
  window_.Destroy();
  state_ = State::NotLoaded;
}

// The load step: the open-file dialog for the signature image, now, once the host's loop is back
// (a failure then is passed over, as the start-up that loaded the form passes over its steps'),
// or not at all.
void FrmPath::LoadStep() {
  switch (dialogTime_) {
    case Dialog::Now:
      ChooseImage();
      break;
    case Dialog::Later:
      dialogPending_ = true;
      window_.Post([this, load = loads_] {
        if (!dialogPending_ || load != loads_) return;
        automation::ResumeNext step;
        step([&] { ChooseImage(); });
      });
      break;
    case Dialog::Never:
      break;
  }
}

// A file picked goes to the owner, in place of its path; a cancelled dialog changes nothing.
void FrmPath::ChooseImage() {
  dialogPending_ = false;
  const std::u16string fileName = fileDialog_.ShowOpen(
      kImageFilter, text::shown(text::literals::kChoosePathTitle, text::Element::Caption, faces_));
  if (!fileName.empty() && !owner_.alive.expired() && owner_.picked) owner_.picked(fileName);
}

// A close request is never refused.
void FrmPath::QueryUnload(bool& /*cancel*/, UnloadMode /*mode*/) {
  Unload();
}

void FrmPath::Ok() {
  messages_.MsgBox(u"OK", 0, std::nullopt);
}

void FrmPath::Cancel() {
  Unload();
}

void FrmPath::OpenMenu() {
  switch (window_.PopupMenu()) {
    case MenuItem::Sign:  // does nothing
    case MenuItem::None:
      break;
    case MenuItem::InsertAndSign:
      InsertAndSign();
      break;
  }
}

// The owner's command, while it lives; nothing once it is gone.
void FrmPath::InsertAndSign() {
  if (!owner_.alive.expired() && owner_.insertAndSign) owner_.insertAndSign();
}

}  // namespace penvane

#include "penvane/frm_path.h"

#include "automation/regimes.h"
#include "penvane/connect.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {

std::shared_ptr<const ImageControl> FrmPath::ImageSign(std::weak_ptr<Connect> loader,
                                                       bool askUser) {
  if (state_ == State::NotLoaded)
    Load(std::move(loader), askUser ? Dialog::Later : Dialog::Never);
  else
    adopt(std::move(loader));
  return imageSign_;
}

void FrmPath::Show(std::weak_ptr<Connect> loader) {
  if (state_ == State::NotLoaded) {
    Load(std::move(loader), Dialog::Now);
  } else {
    adopt(std::move(loader));
    if (dialogPending_) ChooseImage();
  }
  window_.Show();
  state_ = State::Shown;
}

void FrmPath::Load(std::weak_ptr<Connect> loader, Dialog dialog) {
  window_.Create(*this);
  state_ = State::Loaded;
  owner_ = std::move(loader);
  dialogTime_ = dialog;
  ++loads_;
  Form_Load();
}

// A form still loaded when its add-in was let go (the library stays, the add-in is connected
// again) belongs to the add-in that references it next.
void FrmPath::adopt(std::weak_ptr<Connect> loader) {
  if (owner_.expired()) owner_ = std::move(loader);
}

void FrmPath::Unload() {
  unload(vbFormCode);
}

void FrmPath::CloseRequested() {
  unload(vbFormControlMenu);
}

// A form that is unloading already (Form_QueryUnload unloads it again) is left to finish.
void FrmPath::unload(int16_t mode) {
  if (state_ == State::NotLoaded || unloading_) return;
  unloading_ = true;
  int16_t cancel = 0;
  try {
    Form_QueryUnload(cancel, mode);
  } catch (...) {
    unloading_ = false;
    throw;
  }
  unloading_ = false;
  if (cancel != 0) return;
  dialogPending_ = false;
  window_.Destroy();
  state_ = State::NotLoaded;
}

// The load step: the open-file dialog for the signature image, now, once the host's loop is back
// (a failure then is passed over, as the start-up that loaded the form passes over its steps'),
// or not at all.
void FrmPath::Form_Load() {
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

// A file picked replaces the path in memory; a cancelled dialog leaves the path as it was.
void FrmPath::ChooseImage() {
  dialogPending_ = false;
  const std::u16string fileName = fileDialog_.ShowOpen(
      kImageFilter, text::shown(text::literals::kChoosePathTitle, text::Element::Caption, faces_));
  if (!fileName.empty()) module_.sImagePath = fileName;
}

// A close request is never refused.
void FrmPath::Form_QueryUnload(int16_t& /*Cancel*/, int16_t /*UnloadMode*/) {
  Unload();
}

void FrmPath::Command1_Click() {
  messages_.MsgBox(u"OK", 0, std::nullopt);
}

void FrmPath::Command2_Click() {
  Unload();
}

void FrmPath::Command3_Click() {
  switch (window_.PopupMenu()) {
    case MenuItem::mnuKy:
      mnuKy_Click();
      break;
    case MenuItem::mnuchen:
      mnuchen_Click();
      break;
    case MenuItem::None:
      break;
  }
}

// The add-in that loaded the form, while it lives; nothing once it is gone.
void FrmPath::mnuchen_Click() {
  if (const auto owner = owner_.lock()) {
    bool cancelDefault = false;
    owner->MyButton3_Click(nullptr, cancelDefault);
  }
}

}  // namespace penvane

#include "penvane/frm_path.h"

#include "penvane/connect.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {

std::shared_ptr<const ImageControl> FrmPath::ImageSign(std::weak_ptr<Connect> loader) {
  if (state_ == State::NotLoaded)
    Load(std::move(loader));
  else
    adopt(std::move(loader));
  return imageSign_;
}

void FrmPath::Show(std::weak_ptr<Connect> loader) {
  if (state_ == State::NotLoaded)
    Load(std::move(loader));
  else
    adopt(std::move(loader));
  window_.Show();
  state_ = State::Shown;
}

void FrmPath::Load(std::weak_ptr<Connect> loader) {
  window_.Create(*this);
  state_ = State::Loaded;
  owner_ = std::move(loader);
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
  window_.Destroy();
  state_ = State::NotLoaded;
}

void FrmPath::Form_Load() {
  const std::u16string fileName =
      dialog_.ShowOpen(kImageFilter, text::widenBytes(text::literals::kChoosePathTitle));
  // A cancelled dialog leaves the path as it was.
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

// The path form frmPath: its load step asks the user for the signature image through the open-file
// dialog. One instance for the library, created on first use and loaded anew after each unload
// (each load runs the load step again). The form's window is the platform's (FormWindow); what
// the form does is here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/units.h"
#include "penvane/ports.h"
#include "text/shown.h"

namespace penvane {

// --- Design ----------------------------------------------------------------------------------

// Position and size of a control on the form, in twips.
using host::TwipRect;

struct FormControl {
  std::u16string_view name;
  std::u16string_view caption;  // command buttons only
  TwipRect rect;
};

// The form's client area, font and controls, as the designer left them.
inline constexpr int32_t kFormWidth = 3720;
inline constexpr int32_t kFormHeight = 1830;
inline constexpr std::u16string_view kFormFont = u"VK Sans Serif";
inline constexpr int32_t kFormFontTenthsOfPoints = 83;  // 8.25 pt
inline constexpr FormControl Command1{u"Command1", u"Command1", {570, 1260, 1245, 525}};
inline constexpr FormControl Command2{u"Command2", u"Command2", {2280, 1290, 1245, 525}};
inline constexpr FormControl Command3{u"Command3", u"Command3", {2700, 570, 945, 555}};
// Picture1 (a picture box) and ImageSign (an image) both show the built-in 30 x 27 icon.
inline constexpr FormControl Picture1{u"Picture1", {}, {1080, 150, 1425, 1185}};
inline constexpr FormControl ImageSignControl{u"ImageSign", {}, {2550, 0, 450, 405}};

// The popup menu mnuHethong: "He thong" with the items mnuKy "Ky" (no action) and mnuchen "chen"
// (insert and sign).
inline constexpr std::u16string_view kMenuCaption = u"He thong";
inline constexpr std::u16string_view kMenuKyCaption = u"Ky";
inline constexpr std::u16string_view kMenuChenCaption = u"chen";

// The open-file dialog's filter: three description and pattern pairs; the first is selected when
// the dialog opens. (".ifif", as the form has always listed it.)
inline constexpr std::u16string_view kImageFilter =
    u"All Picture(*.emf;*.wmf;*.jpg;*.jpeg;*.ifif;*.jpe;*.png)|*.emf;*.wmf;*.jpg;*.jpeg;*.ifif;"
    u"*.jpe;*.png|All Files(*.*)|*.*|JPEG File Interchange Format(*.jpg;*.jpeg;*.ifif;*.jpe)|"
    u"*.jpg;*.jpeg;*.ifif;*.jpe";
static_assert(kImageFilter.size() == 201);

// --- The form ----------------------------------------------------------------------------------

// The image control ImageSign as the add-in references it.
struct ImageControl {
  const FormControl& design;
};

// Whoever loaded the form: told of the file the user picks and of the menu's "insert and sign",
// while `alive` has not expired. The form holds it without keeping the owner alive.
struct FormOwner {
  std::weak_ptr<const void> alive;
  std::function<void(const std::u16string& file)> picked;
  std::function<void()> insertAndSign;
};

class FrmPath {
 public:
  enum class State : uint8_t { NotLoaded, Loaded, Shown };  // Loaded: loaded and hidden

  FrmPath(FormWindow& window, FileDialog& dialog, MessageBoxes& messages,
          const text::Faces& faces = text::Faces::tcvn3())
      : window_(window), fileDialog_(dialog), messages_(messages), faces_(faces) {}
  ~FrmPath() = default;
  FrmPath(const FrmPath&) = delete;
  FrmPath& operator=(const FrmPath&) = delete;

  State state() const noexcept { return state_; }

  // Referencing the image control loads the form, hidden, when it is not loaded. Once the owner
  // that loaded it is gone, the next one to reference or show the form takes its place.
  //
  // The load step's open-file dialog does not hold up the caller (the host's start-up, whose
  // time today's Office counts against the add-in): it comes once the host's message loop is
  // back. With `askUser` false (nobody sees the host) it does not come at all. Until the dialog
  // has come, the owner's path is the one it read from the settings; a show of the form brings a
  // dialog that is still to come at once, so that the set-up-path command saves what the user
  // picks there.
  std::shared_ptr<const ImageControl> ImageSign(FormOwner owner, bool askUser = true);
  // Shows the form modeless; a form that is not loaded is loaded first, its dialog coming at once.
  void Show(FormOwner owner);
  // Unloads the form (asking QueryUnload first); nothing when it is not loaded.
  void Unload();
  // Whether the load step's dialog is still to come.
  bool dialogPending() const noexcept { return dialogPending_; }

  // What the user does on the form. None traps errors: a failure goes to the caller, and from the
  // window to the platform.
  void Ok();        // Command1: says OK
  void Cancel();    // Command2: unloads the form
  void OpenMenu();  // Command3: the popup menu
  void Close();     // the close box or the system menu: unloads the form

  // Why the form unloads, as QueryUnload is told.
  enum class UnloadMode : uint8_t { ControlMenu, Code };

 private:
  enum class Dialog : uint8_t { Now, Later, Never };  // when the load step asks for the image
  void Load(FormOwner owner, Dialog dialog);
  void LoadStep();
  void QueryUnload(bool& cancel, UnloadMode mode);
  void adopt(FormOwner owner);
  void unload(UnloadMode mode);
  void ChooseImage();
  void InsertAndSign();

  FormWindow& window_;
  FileDialog& fileDialog_;
  MessageBoxes& messages_;
  const text::Faces& faces_;
  State state_ = State::NotLoaded;
  bool unloading_ = false;
  Dialog dialogTime_ = Dialog::Now;  // of the current load
  bool dialogPending_ = false;
  uint64_t loads_ = 0;  // loads so far: a dialog posted for an earlier load does not come
  FormOwner owner_;
  const std::shared_ptr<const ImageControl> imageSign_ =
      std::make_shared<const ImageControl>(ImageControl{ImageSignControl});
};

}  // namespace penvane

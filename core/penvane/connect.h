// The add-in class Connect: the host's add-in callbacks, the menu "Chữ ký số" with its four
// buttons on the host's main menu bar, the click bindings of those buttons, and the commands
// behind them.
#pragma once

#include <memory>
#include <optional>

#include "automation/date_text.h"
#include "automation/object.h"
#include "base/error.h"
#include "host/signatures.h"
#include "penvane/event_field.h"
#include "penvane/frm_path.h"
#include "penvane/image_path.h"
#include "penvane/ports.h"
#include "text/shown.h"

namespace penvane {

// ext_ConnectMode and ext_DisconnectMode values that the add-in tells apart.
inline constexpr int32_t ext_cm_Startup = 1;
inline constexpr int32_t ext_dm_HostShutdown = 0;

// What the add-in uses of the platform besides its path form. The message boxes show
// the system's texts as the screen's fonts read them; the signatures' window writes dates as the
// user's locale does.
struct Platform {
  SettingsStore& settings;
  FileSearch& files;
  MessageBoxes& messages;
  Timer& statusTimer;
  SignatureWindow& signatures;
  const text::Faces& faces = text::Faces::tcvn3();
  const automation::DateText& dates = automation::DateText::standard();
};

// Held by a shared_ptr: the path form holds the add-in that loaded it without keeping it alive.
class Connect : public std::enable_shared_from_this<Connect> {
 public:
  Connect(FrmPath& frmPath, const Platform& platform);
  virtual ~Connect();
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  // The host, and the menu's four buttons; putting a button in its field binds its click to the
  // button's command.
  automation::ObjectRef hostApp;
  EventField setUpPathButton;
  EventField insertButton;
  EventField signButton;
  EventField insertAndSignButton;

  // The host's add-in callbacks: each returns normally whatever happens inside.
  void OnConnection(const automation::ObjectRef& application, int32_t connectMode);
  void OnStartupComplete();
  void OnAddInsUpdate() {}
  void OnBeginShutdown();
  void OnDisconnection(int32_t removeMode);

  // The commands, from the menu's buttons, the ribbon's, and the path form's menu (insert and
  // sign).
  virtual void SetUpPath();
  virtual void Insert();
  virtual void Sign();
  virtual void InsertAndSign();

  // A button of the add-in's ribbon group, by its onAction callback's name: the matching command.
  // False when no button has that name.
  bool RibbonAction(std::u16string_view onAction);

  // The ribbon's status of the active document (Word 2007 and later). The ribbon gives its
  // IRibbonUI when it loads the group: from then on the status follows Word's application events
  // (a document opened, saved, changed or its window activated), the add-in's own commands, and
  // otherwise a look every 5 s while Word is idle; the status control is invalidated only when the
  // status changed. It only reads: nothing is written to any document.
  void RibbonLoaded(const automation::ObjectRef& ribbon);
  // The status the control shows: as last looked at, or looked at now.
  host::Status ShownStatus();
  // Verify on the ribbon: the list of every signature of the active document in one window.
  // Word's description of a failure in a box, and Word goes on.
  void Verify();
  // Looks at the active document; invalidates the status control when the status changed.
  void RefreshStatus();

  ImagePath& imagePath() noexcept { return imagePath_; }
  const std::shared_ptr<const ImageControl>& vImage() const noexcept { return vImage_; }

 private:
  using Command = void (Connect::*)();
  EventField::Handler clicks(Command command);
  FormOwner asFormOwner();

  // The building blocks of the document commands.
  bool HostIsWord() const;
  automation::ObjectRef ShowHost() const;
  bool FileExists(const std::u16string& path) const;
  void InsertBlock(const automation::ObjectRef& application, bool& refused);
  void InsertPicture(const automation::ObjectRef& shapes, const automation::Error& refusal);
  void BlockRefused(const automation::Error& error) const;
  std::u16string shown(std::string_view tcvn3, text::Element element) const;
  void notice(std::string_view tcvn3, int32_t buttons) const;

  host::Status ReadStatus() const;
  void AfterCommand();
  SignatureList ReadSignatures() const;

  FrmPath& frmPath_;
  ImagePath imagePath_;
  FileSearch& files_;
  MessageBoxes& messages_;
  const text::Faces& faces_;
  Timer& statusTimer_;
  SignatureWindow& signatures_;
  const automation::DateText& dates_;
  bool pictureInsteadTold_ = false;  // this session, once
  automation::ObjectRef ribbonUI_;
  EventField wordEvents_;  // Word's application events, while the ribbon shows the status
  std::optional<host::Status> shownStatus_;
  std::shared_ptr<const ImageControl> vImage_;  // the path form's ImageSign; nothing reads it
};

}  // namespace penvane

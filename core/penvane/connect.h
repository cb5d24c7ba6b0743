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
#include "penvane/module1.h"
#include "penvane/ports.h"
#include "text/shown.h"

namespace penvane {

// The "custom" array of the add-in callbacks; never read.
struct Custom {};

// ext_ConnectMode and ext_DisconnectMode values that the add-in tells apart.
inline constexpr int32_t ext_cm_Startup = 1;
inline constexpr int32_t ext_dm_HostShutdown = 0;

// What the add-in uses of the platform besides its module and its form. The message boxes show
// the system's texts as the screen's fonts read them; the signatures' window writes dates as the
// user's locale does.
struct Platform {
  FileSearch& files;
  MessageBoxes& messages;
  Timer& statusTimer;
  SignatureWindow& signatures;
  const text::Faces& faces = text::Faces::tcvn3();
  const automation::DateText& dates = automation::DateText::standard();
};

// Held by a shared_ptr: the path form keeps a weak reference to the add-in that loaded it.
class Connect : public std::enable_shared_from_this<Connect> {
 public:
  Connect(Module1& module, FrmPath& frmPath, const Platform& platform);
  virtual ~Connect();
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  // Fields.
  automation::ObjectRef oHostApp;
  EventField MyButton;   // set up the path
  EventField MyButton1;  // insert
  EventField MyButton2;  // sign
  EventField MyButton3;  // insert and sign

  // IDTExtensibility2: every callback returns normally whatever happens inside.
  void IDTExtensibility2_OnConnection(const automation::ObjectRef& Application, int32_t ConnectMode,
                                      const automation::ObjectRef& AddInInst, Custom& custom);
  void IDTExtensibility2_OnStartupComplete(Custom& custom);
  void IDTExtensibility2_OnAddInsUpdate(Custom& custom);
  void IDTExtensibility2_OnBeginShutdown(Custom& custom);
  void IDTExtensibility2_OnDisconnection(int32_t RemoveMode, Custom& custom);

  // Button clicks, reached through the bindings of the four fields (and MyButton3_Click from the
  // path form's menu). Ctrl and CancelDefault are neither read nor written.
  virtual void MyButton_Click(const automation::ObjectRef& Ctrl, bool& CancelDefault);
  virtual void MyButton1_Click(const automation::ObjectRef& Ctrl, bool& CancelDefault);
  virtual void MyButton2_Click(const automation::ObjectRef& Ctrl, bool& CancelDefault);
  virtual void MyButton3_Click(const automation::ObjectRef& Ctrl, bool& CancelDefault);

  // A button of the add-in's ribbon group, by its onAction callback's name: the matching menu
  // button's command, with no button and CancelDefault false. False when no button has that name.
  bool RibbonAction(std::u16string_view onAction);

  // The ribbon's status of the active document (Word 2007 and later). The ribbon gives its
  // IRibbonUI when it loads the group: from then on the status follows Word's application events
  // (a document opened, saved, changed or its window activated), the add-in's own commands, and
  // otherwise a look every 5 s while Word is idle; the status control is invalidated only when the
  // status changed. It only reads: nothing is written to any document.
  void Ribbon_OnLoad(const automation::ObjectRef& ribbon);
  // The status the control shows: as last looked at, or looked at now.
  host::Status Ribbon_GetStatus();
  // Verify on the ribbon: the list of every signature of the active document in one window.
  // Word's description of a failure in a box, and Word goes on.
  void Ribbon_Verify(const automation::ObjectRef& Ctrl, bool& CancelDefault);
  // Looks at the active document; invalidates the status control when the status changed.
  void RefreshStatus();

  const std::shared_ptr<const ImageControl>& vImage() const noexcept { return vImage_; }

 private:
  using ClickHandler = void (Connect::*)(const automation::ObjectRef&, bool&);
  EventField::Handler clicks(ClickHandler handler);

  // The building blocks of the document commands.
  bool HostIsWord() const;
  automation::ObjectRef ShowHost() const;
  bool FileExists(const std::u16string& path) const;
  void InsertBlock(const automation::ObjectRef& application, bool& refused);
  void InsertPicture(const automation::ObjectRef& shapes, const automation::Error& refusal);
  void BlockRefused(const automation::Error& error) const;
  static automation::ObjectRef Sign(const automation::ObjectRef& application);
  std::u16string shown(std::string_view tcvn3, text::Element element) const;
  void notice(std::string_view tcvn3, int32_t buttons) const;

  host::Status ReadStatus() const;
  void AfterCommand();
  SignatureList ReadSignatures() const;

  Module1& module_;
  FrmPath& frmPath_;
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

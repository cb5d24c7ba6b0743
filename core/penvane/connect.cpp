#include "penvane/connect.h"

#include <algorithm>

#include "automation/regimes.h"
#include "base/error.h"
#include "host/office.h"
#include "host/pictures.h"
#include "host/word.h"
#include "penvane/ribbon.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {
namespace {

using automation::as;
using automation::call;
using automation::get;
using automation::getObject;
using automation::named;
using automation::ObjectRef;
using automation::put;
using automation::ResumeNext;
using automation::Variant;
namespace literals = text::literals;
using text::Element;

constexpr char16_t kOnAction[] = u"!<Penvane.Connect>";
constexpr char16_t kHostName[] = u"Microsoft Word";
constexpr char16_t kControlClass[] = u"Sealbrook.SignData";

// MsgBox styles.
constexpr int32_t kOkOnly = 0;
constexpr int32_t kCritical = 16;
constexpr int32_t kExclamation = 48;
constexpr int32_t kInformation = 64;

// One of the four buttons: its field, the key it is looked up by, its caption and its tag.
struct MenuButton {
  EventField Connect::*field;
  std::u16string_view key;
  std::u16string_view caption;
  std::string_view tag;  // TCVN3 bytes
};

const MenuButton kButtons[] = {
    {&Connect::setUpPathButton, literals::kSetUpPathCaption, literals::kSetUpPathCaption,
     literals::kTagSetUpPath},
    {&Connect::insertButton, literals::kInsertCaption, literals::kInsertCaption,
     literals::kTagInsert},
    // The stored text "Ký", which equals the caption.
    {&Connect::signButton, u"K\u00FD", literals::kSignCaption, literals::kSign},
    {&Connect::insertAndSignButton, literals::kInsertAndSignCaption,
     literals::kInsertAndSignCaption, literals::kTagInsertAndSign},
};

}  // namespace

Connect::Connect(FrmPath& frmPath, const Platform& platform)
    : setUpPathButton(host::commandBarButtonEvents(), clicks(&Connect::SetUpPath)),
      insertButton(host::commandBarButtonEvents(), clicks(&Connect::Insert)),
      signButton(host::commandBarButtonEvents(), clicks(&Connect::Sign)),
      insertAndSignButton(host::commandBarButtonEvents(), clicks(&Connect::InsertAndSign)),
      frmPath_(frmPath),
      imagePath_(platform.settings, platform.messages, platform.faces),
      files_(platform.files),
      messages_(platform.messages),
      faces_(platform.faces),
      statusTimer_(platform.statusTimer),
      signatures_(platform.signatures),
      dates_(platform.dates),
      wordEvents_(host::wordApplicationEvents(),
                  [this](std::string_view, automation::Arguments&) { RefreshStatus(); }) {}

Connect::~Connect() {
  if (ribbonUI_) statusTimer_.Stop();
}

// Click(Ctrl As CommandBarButton, CancelDefault As Boolean): neither is read nor written.
EventField::Handler Connect::clicks(Command command) {
  return [this, command](std::string_view event, automation::Arguments&) {
    if (event == "Click") (this->*command)();
  };
}

// The path form tells this add-in, while it lives, of the file the user picks and of its menu's
// insert and sign.
FormOwner Connect::asFormOwner() {
  const std::weak_ptr<Connect> self = weak_from_this();
  return {self,
          [self](const std::u16string& file) {
            if (const auto addin = self.lock()) addin->imagePath_.replace(file);
          },
          [self] {
            if (const auto addin = self.lock()) addin->InsertAndSign();
          }};
}

void Connect::OnConnection(const ObjectRef& application, int32_t connectMode) {
  ResumeNext step;
  step([&] { hostApp = application; });
  // Loaded after the host started: nobody else will report that start-up is complete.
  if (connectMode != ext_cm_Startup) step([&] { OnStartupComplete(); });
}

void Connect::OnStartupComplete() {
  ResumeNext step;
  ObjectRef commandBars;
  ObjectRef menuBar;
  ObjectRef popup;

  // 1. The command-bar collection, from the application or else from its explorer window.
  step([&] { commandBars = as(getObject(hostApp, "CommandBars"), host::kCommandBars); });
  if (!commandBars)
    step([&] {
      commandBars =
          as(getObject(getObject(hostApp, "ActiveExplorer"), "CommandBars"), host::kCommandBars);
    });

  // 2. The main menu bar.
  step([&] { menuBar = as(getObject(commandBars, "Item", {u"Menu Bar"}), host::kCommandBar); });

  // 3. The popup, found by its caption (and then used unchanged), or added at the end.
  step([&] {
    popup = getObject(getObject(menuBar, "Controls"), "Item", {literals::kPopupCaption});
  });
  if (!popup) {
    step([&] {
      popup = call(getObject(menuBar, "Controls"), "Add", {named("Type", host::kControlPopup)})
                  .asObject();
    });
    step([&] { put(popup, "Caption", literals::kPopupCaption); });
  }

  // 4. The four buttons, found by their keys (and then used unchanged), or added at the end of
  //    the popup and set up. Putting a button into its field binds its click.
  for (const auto& b : kButtons) {
    EventField& field = this->*b.field;
    step([&] {
      field.set(
          as(getObject(getObject(popup, "Controls"), "Item", {b.key}), host::kCommandBarButton));
    });
    if (field) continue;
    step([&] {
      field.set(
          as(call(getObject(popup, "Controls"), "Add", {int16_t{host::kControlButton}}).asObject(),
             host::kCommandBarButton));
    });
    step([&] { put(field.get(), "Caption", b.caption); });
    step([&] { put(field.get(), "Style", host::kButtonCaption); });
    step([&] { put(field.get(), "Tag", text::widenBytes(b.tag)); });
    step([&] { put(field.get(), "OnAction", kOnAction); });
    step([&] { put(field.get(), "Visible", true); });
  }

  // 5. The image path from the settings. 6. The path form: referencing its image control loads it.
  // Its dialog asks
  //    the user only where a user sees Word: a Word that a program started and keeps hidden
  //    reports UserControl false (Word reports true whenever it is visible), and must not wait
  //    on a dialog that nobody sees. What cannot be read counts as nobody.
  step([&] { imagePath_.read(); });
  if (!vImage_) {
    bool userSees = false;
    step([&] { userSees = automation::toBool(get(hostApp, "UserControl")); });
    step([&] { vImage_ = frmPath_.ImageSign(asFormOwner(), userSees); });
  }
  // 7. The local references to the bars and the popup go with this scope.
}

void Connect::OnBeginShutdown() {
  ResumeNext step;
  for (const auto& b : kButtons) {
    EventField& field = this->*b.field;
    step([&] { call(field.get(), "Delete"); });
    field.clear();
  }
  imagePath_.forget();
}

void Connect::OnDisconnection(int32_t removeMode) {
  ResumeNext step;
  // Unloaded by the user: the host will not call begin-shutdown itself.
  if (removeMode != ext_dm_HostShutdown) step([&] { OnBeginShutdown(); });
  // The ribbon's status stops following Word.
  if (ribbonUI_) statusTimer_.Stop();
  wordEvents_.clear();
  ribbonUI_.reset();
  hostApp.reset();
}

// --- The document commands ----------------------------------------------------------------------

// The host's name, its default property, exactly.
bool Connect::HostIsWord() const {
  return automation::toText(get(hostApp, "")) == kHostName;
}

// The application, made visible; the commands' later steps walk from it.
ObjectRef Connect::ShowHost() const {
  ObjectRef application = getObject(hostApp, "Application");
  put(application, "Visible", true);
  return application;
}

// A path names no file when the search finds none; the empty path names none either.
bool Connect::FileExists(const std::u16string& path) const {
  return !path.empty() && !files_.Dir(path).empty();
}

// The signature block at the cursor, unless the document is signed already. Where Word will not
// create it (ActiveX controls off, by the Trust Center or by policy; Office 2024 and Microsoft 365
// turn them off by default), the signature picture that the block would show goes in instead, as
// an ordinary inline picture, so that the document still shows who signed; the first time in the
// session the user is told why, and that the status is on the ribbon. Only when that picture
// cannot go in either does the insertion fail, with Word's refusal, and `refused` tells the
// caller's trap so.
void Connect::InsertBlock(const ObjectRef& application, bool& refused) {
  const Variant count =
      get(getObject(getObject(application, "ActiveDocument"), "Signatures"), "Count");
  if (!automation::equalsZero(count)) return;
  const ObjectRef shapes = getObject(getObject(application, "Selection"), "InlineShapes");
  automation::trap([&] { call(shapes, "AddOLEControl", {named("ClassType", kControlClass)}); },
                   [&](const automation::Error& refusal) {
                     refused = true;
                     InsertPicture(shapes, refusal);
                     refused = false;
                   });
}

// The signature picture where the block finds it, inline at the cursor; Word's refusal of the
// block when it is nowhere or does not go in.
void Connect::InsertPicture(const ObjectRef& shapes, const automation::Error& refusal) {
  std::u16string picture;
  for (const std::u16string& location :
       host::pictureLocations(host::kSignaturePicture, files_.PictureFolders()))
    if (FileExists(location)) {
      picture = location;
      break;
    }
  if (picture.empty()) throw refusal;
  automation::trap(
      [&] {
        call(shapes, "AddPicture",
             {named("FileName", picture), named("LinkToFile", false),
              named("SaveWithDocument", true)});
      },
      [&](const automation::Error&) { throw refusal; });
  if (pictureInsteadTold_) return;
  pictureInsteadTold_ = true;
  messages_.MsgBox(text::shownUnicode(literals::kPictureInstead, Element::Message, faces_) +
                       u"\r\n" +
                       text::shownUnicode(refusal.description(), Element::Message, faces_),
                   kInformation, shown(literals::kNotice, Element::Caption));
}

// Word would not create the block, nor the picture in its place. Says so, and what to do, with
// Word's own words on a line below. Nothing was inserted.
void Connect::BlockRefused(const automation::Error& error) const {
  messages_.MsgBox(text::shownUnicode(literals::kActiveXBlocked, Element::Message, faces_) +
                       u"\r\n" + text::shownUnicode(error.description(), Element::Message, faces_),
                   kExclamation, shown(literals::kNotice, Element::Caption));
}

std::u16string Connect::shown(std::string_view tcvn3, text::Element element) const {
  return text::shown(tcvn3, element, faces_);
}

void Connect::notice(std::string_view tcvn3, int32_t buttons) const {
  messages_.MsgBox(shown(tcvn3, Element::Message), buttons,
                   shown(literals::kNotice, Element::Caption));
}

// Insert: trusts a ready path; without one, only tells the user that no file was chosen.
void Connect::Insert() {
  bool refused = false;
  automation::trap(
      [&] {
        if (!HostIsWord()) return;
        if (imagePath_.ready()) {
          InsertBlock(ShowHost(), refused);
          return;
        }
        if (!FileExists(imagePath_.path())) notice(literals::kNoFileChosen, kExclamation);
      },
      [&](const automation::Error& e) {
        if (refused)
          BlockRefused(e);
        else
          notice(literals::kFileNotFound, kExclamation);
      });
  AfterCommand();
}

// Sign: no image path needed. The user's refusal (E_FAIL) is passed over in silence.
void Connect::Sign() {
  automation::trap(
      [&] {
        if (!HostIsWord()) return;
        const ObjectRef application = ShowHost();
        const ObjectRef signature = host::AddSignature(application);
        host::ExitFormsDesign(application);
      },
      [&](const automation::Error& e) {
        if (e.number() != automation::hr::kFail) notice(literals::kSigningFailed, kInformation);
      });
  AfterCommand();
}

// Insert and sign. A block inserted before a failed signing stays in the document; where Word
// would not create the block nor the picture in its place, the command ends before it signs.
void Connect::InsertAndSign() {
  bool refused = false;
  automation::trap(
      [&] {
        if (!HostIsWord()) return;
        const ObjectRef application = ShowHost();
        if (!FileExists(imagePath_.path())) {
          notice(literals::kFileNotFound, kExclamation);
          return;
        }
        InsertBlock(application, refused);
        const ObjectRef signature = host::AddSignature(application);
        host::ExitFormsDesign(application);
      },
      [&](const automation::Error& e) {
        if (refused)
          BlockRefused(e);
        else if (e.number() != automation::hr::kFail)
          messages_.MsgBox(e.description(), kOkOnly, std::nullopt);
      });
  AfterCommand();
}

// --- The ribbon ---------------------------------------------------------------------------------

// A ribbon loaded again (another window of Word's) takes the place of the one before; the events
// are followed once.
void Connect::RibbonLoaded(const ObjectRef& ribbon) {
  ribbonUI_ = ribbon;
  ResumeNext step;
  if (!wordEvents_) step([&] { wordEvents_.set(hostApp); });
  step([&] {
    statusTimer_.Start(ribbon::kStatusPeriod, [weak = weak_from_this()] {
      if (const auto self = weak.lock()) self->RefreshStatus();
    });
  });
}

// What cannot be read is never shown as valid: it cannot be told.
host::Status Connect::ReadStatus() const {
  host::Status status = host::Status::Unknown;
  automation::trap([&] { status = host::ReadStatus(hostApp); }, [](const automation::Error&) {});
  return status;
}

host::Status Connect::ShownStatus() {
  if (!shownStatus_) shownStatus_ = ReadStatus();
  return *shownStatus_;
}

void Connect::RefreshStatus() {
  if (!ribbonUI_) return;
  const host::Status status = ReadStatus();
  if (shownStatus_ == status) return;
  shownStatus_ = status;
  ResumeNext step;
  step([&] { call(ribbonUI_, "InvalidateControl", {ribbon::kStatusId}); });
}

// A command may have changed the document: the status is looked at again once Word's loop is
// back (not inside the command, whose failures stay its own).
void Connect::AfterCommand() {
  if (!ribbonUI_) return;
  ResumeNext step;
  step([&] { statusTimer_.TickSoon(); });
}

// Every signature of the active document, read as verify reads them; the names as Word gives
// them, the dates as the user's locale writes them.
SignatureList Connect::ReadSignatures() const {
  namespace lit = literals;
  SignatureList list{std::u16string(lit::kSignaturesTitle),
                     {std::u16string(lit::kColumnNumber), std::u16string(lit::kColumnSigner),
                      std::u16string(lit::kColumnIssuer), std::u16string(lit::kColumnExpires),
                      std::u16string(lit::kColumnSigned), std::u16string(lit::kColumnValid)},
                     {},
                     std::u16string(lit::kNoSignatures),
                     std::u16string(lit::kCopy),
                     std::u16string(lit::kClose),
                     {}};
  host::ForEachSignature(hostApp, [&](int16_t index, const host::SignatureRead& read) {
    std::u16string expires;
    std::u16string signedOn;
    automation::appendText(expires, read.expireDate, dates_);
    automation::appendText(signedOn, read.signDate, dates_);
    list.rows.push_back({automation::toText(Variant(index)), automation::toText(read.signer),
                         automation::toText(read.issuer), expires, signedOn,
                         std::u16string(read.valid ? lit::kYes : lit::kNo)});
  });
  // As text: the columns' names, then a line for each signature, fields between tabs.
  const auto line = [&](const std::array<std::u16string, 6>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) list.text += (i ? u"\t" : u"") + fields[i];
    list.text += u"\r\n";
  };
  line(list.columns);
  for (const auto& row : list.rows) line(row);
  return list;
}

void Connect::Verify() {
  automation::trap([&] { signatures_.Show(ReadSignatures()); },
                   [&](const automation::Error& e) {
                     messages_.MsgBox(e.description(), kCritical, std::nullopt);
                   });
}

bool Connect::RibbonAction(std::u16string_view onAction) {
  const auto& buttons = ribbon::Buttons();
  const auto* const button =
      std::find_if(buttons.begin(), buttons.end(),
                   [&](const ribbon::Button& b) { return b.onAction == onAction; });
  if (button == buttons.end()) return false;
  (this->*button->command)();
  return true;
}

// --- The set-up-path command -------------------------------------------------------------------

// Shows the path form (loading it runs its file dialog), unloads it at once, then saves the path.
// No trap: a failure of the form ends the command unsaved, at the platform's edge.
void Connect::SetUpPath() {
  frmPath_.Show(asFormOwner());
  frmPath_.Unload();
  imagePath_.save();
}

}  // namespace penvane

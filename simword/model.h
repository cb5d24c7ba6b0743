// The state of the simulated Word: command bars and their controls, documents with their
// content, custom properties, inline controls and digital signatures. Tests set it up and read it
// directly; the host objects (objects.h) expose it to the code under test, by member name.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/object.h"
#include "base/error.h"

namespace simword {

using automation::HResult;
using automation::Variant;

// The Word that the simulation speaks for. Word 2003 is the host the add-in and the control were
// first written for. Word 2016 stands for today's Word (2016, 2019, 2021, 2024, Microsoft 365): it
// differs only where Microsoft documents a difference, each modelled where it shows (wordhost
// models the running-object table and the controls' windows):
//   - design mode shows on the ribbon: the bar "Exit Design Mode" is still there but never
//     visible, and CommandBars.GetPressedMso("DesignMode") answers whether the active document is
//     in design mode (Office's CommandBars.GetPressedMso reference; Word 2003 has no such member);
//   - its Application registers in the running-object table only once its main window first loses
//     the focus (knowledge-base articles Q238975 and Q288902).
// Both profiles: Word started by a program is neither visible nor under the user's control
// (Application.UserControl reference), and ActiveX controls may be turned off (Trust Center, or
// by policy; Office 2024 and Microsoft 365 from version 2504 turn them off by default).
enum class Profile : uint8_t { Word2003, Word2016 };

// --- Command bars --------------------------------------------------------------------------------

struct Control;
using ControlPtr = std::shared_ptr<Control>;

struct ClickSink {
  uint64_t id;
  std::shared_ptr<automation::EventSink> sink;
};

struct Control {
  int32_t type = 1;  // 1 button, 10 popup
  std::u16string caption;
  int32_t style = 0;  // msoButtonAutomatic
  std::u16string tag;
  std::u16string onAction;
  bool visible = true;
  bool temporary = false;
  bool deleted = false;
  std::vector<ControlPtr> controls;  // a popup's own controls
  std::vector<ClickSink> sinks;      // connected button event sinks

  bool isButton() const { return type == 1; }
  bool isPopup() const { return type == 10; }
};

struct CommandBar {
  std::u16string name;
  bool visible = true;
  // Word shows "Exit Design Mode" exactly while the active document is in forms design mode.
  bool showsDesignMode = false;
  std::vector<ControlPtr> controls;

  // The control whose caption matches as Word matches them: case-insensitive, '&' ignored.
  ControlPtr find(std::u16string_view caption) const;
};
using CommandBarPtr = std::shared_ptr<CommandBar>;

struct CommandBarSet {
  std::vector<CommandBarPtr> bars;
  CommandBarPtr find(std::u16string_view name) const;
};

// Caption and name matching as Word does it.
bool captionsMatch(std::u16string_view a, std::u16string_view b);

// --- Documents -----------------------------------------------------------------------------------

struct Document;

// A control embedded in a document, created by the control factory; the document owns it and
// closes it with itself.
class EmbeddedControl {
 public:
  virtual ~EmbeddedControl() = default;
};
using ControlFactory = std::function<std::unique_ptr<EmbeddedControl>(std::u16string_view classType,
                                                                      Document& document)>;

// An inline control (its class and the control the factory made), or an inline picture (its
// file, as the document keeps a copy of it).
struct InlineShape {
  std::u16string classType;
  size_t position = 0;  // in the document's content
  std::unique_ptr<EmbeddedControl> control;
  std::u16string pictureFile;
};

struct Signature {
  Variant signer;
  Variant issuer;
  Variant expireDate;
  Variant signDate;
  uint64_t contentVersion = 0;  // the document's version that the signature covers
  bool committed = false;
  bool markedInvalid = false;
};

struct Property {
  std::u16string name;
  bool linkToContent = false;
  int32_t type = 4;
  Variant value;
  Variant linkSource;
};

struct Document {
  std::u16string name;
  bool designMode = false;
  std::vector<Signature> signatures;
  std::vector<Property> properties;
  std::vector<InlineShape> inlineShapes;

  const std::u16string& content() const { return content_; }
  uint64_t version() const { return version_; }
  // The user types or edits: any change invalidates the signatures made before it.
  void edit(std::u16string content);
  void changed() { ++version_; }
  void insertAtCursor(char16_t c);
  bool isValid(const Signature& s) const {
    return !s.markedInvalid && s.contentVersion == version_;
  }
  Property* findProperty(std::u16string_view name);

 private:
  std::u16string content_;
  size_t cursor_ = 0;
  uint64_t version_ = 0;
};
using DocumentPtr = std::shared_ptr<Document>;

// --- The host's signing service ------------------------------------------------------------------

// What the user does in Word's signing dialog, one outcome per Signatures.Add, in order; when no
// outcome is queued, the default signer signs.
class SigningService {
 public:
  struct Outcome {
    std::optional<Signature> signature;  // signed, or failed with the error below
    HResult hresult = automation::hr::kFail;
    std::u16string description;
  };

  void willSign(Variant signer, Variant issuer, Variant expireDate, Variant signDate);
  void willCancel();  // the user cancels: 0x80004005
  void willFail(HResult hresult, std::u16string description);

  Outcome next();
  static Signature defaultSignature();

 private:
  std::deque<Outcome> queue_;
};

}  // namespace simword

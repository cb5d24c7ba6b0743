// The add-in's place on Word's ribbon (Word 2007 and later): a group "Chữ ký số" on the Insert tab,
// after Word's own Text group (where Word keeps its signature line), holding the menu's four
// commands as large buttons, then the signature status of the active document and verify. The
// menu on the menu bar stays as it is, for a Word without a ribbon.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "automation/object.h"
#include "host/signatures.h"

namespace penvane {

class Connect;

namespace ribbon {

// The ribbon of a Word document: the one ribbon id Word asks for.
inline constexpr std::u16string_view kWordDocument = u"Microsoft.Word.Document";
// The customUI namespace that every Word with a ribbon reads.
inline constexpr std::u16string_view kNamespace =
    u"http://schemas.microsoft.com/office/2006/01/customui";
// The callback that gives each button its picture, by the button's image name.
inline constexpr std::u16string_view kLoadImage = u"Ribbon_LoadImage";
// The callback that hands the add-in the ribbon's IRibbonUI when the ribbon loads the group.
inline constexpr std::u16string_view kOnLoad = u"Ribbon_OnLoad";
// The status control, its callbacks, and how often the status is looked at while Word is idle.
inline constexpr std::u16string_view kStatusId = u"PenvaneStatus";
inline constexpr std::u16string_view kGetStatusLabel = u"Ribbon_GetStatusLabel";
inline constexpr std::u16string_view kGetStatusImage = u"Ribbon_GetStatusImage";
inline constexpr uint32_t kStatusPeriod = 5000;

struct Button {
  std::u16string_view id;         // unique in the document
  std::u16string_view caption;    // the menu button's caption, real Unicode
  std::u16string_view onAction;   // the callback's name on the add-in's dispatch interface
  std::u16string_view image;      // the name loadImage is asked for
  std::u16string_view screentip;  // Vietnamese, as the caption
  std::u16string_view supertip;   // Vietnamese: what the command does
  std::u16string_view keytip;
  void (Connect::*command)();
};

// The buttons: the menu's four, in the menu's order, then verify.
const std::array<Button, 5>& Buttons();

// The status control's label, and its picture as a position among the status pictures.
std::u16string_view StatusLabel(host::Status status);
size_t StatusImage(host::Status status);

// The customUI document for a ribbon; empty text, which asks for nothing, for any other ribbon.
std::u16string GetCustomUI(std::u16string_view ribbonId);

// The button whose picture has this image name, as its position among the buttons.
std::optional<size_t> ImageIndex(std::u16string_view image);

}  // namespace ribbon
}  // namespace penvane

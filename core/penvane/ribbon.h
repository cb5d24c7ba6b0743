// The add-in's place on Word's ribbon (Word 2007 and later): a group "Chữ ký số" on the Insert tab,
// after Word's own Text group (where Word keeps its signature line), holding the menu's four
// commands as large buttons. The menu on the menu bar stays as it is, for a Word without a ribbon.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "automation/object.h"

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

struct Button {
  std::u16string_view id;         // unique in the document
  std::u16string_view caption;    // the menu button's caption, real Unicode
  std::u16string_view onAction;   // the callback's name on the add-in's dispatch interface
  std::u16string_view image;      // the name loadImage is asked for
  std::u16string_view screentip;  // Vietnamese, as the caption
  std::u16string_view supertip;   // Vietnamese: what the command does
  std::u16string_view keytip;
  void (Connect::*command)(const automation::ObjectRef& Ctrl, bool& CancelDefault);
};

// The four buttons, in the menu's order.
const std::array<Button, 4>& Buttons();

// The customUI document for a ribbon; empty text, which asks for nothing, for any other ribbon.
std::u16string GetCustomUI(std::u16string_view ribbonId);

// The button whose picture has this image name, as its position among the buttons.
std::optional<size_t> ImageIndex(std::u16string_view image);

}  // namespace ribbon
}  // namespace penvane

// How the system's texts show on the screen. They are TCVN3 text, which reads as Vietnamese only
// in a TCVN3 font (the ABC fonts, whose names begin with ".Vn"); in any other font the accented
// letters show as other characters ("Ch÷ ký sè" for "Chữ ký số"). So each text shows as the
// element of the screen it appears in can read it: its TCVN3 bytes where the system's font for
// that element is a TCVN3 font, the same words in Unicode everywhere else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/tcvn3.h"

namespace text {

// The elements whose system font decides: a message box's text, a popup menu, a title bar (of a
// window, a dialog or a message box).
enum class Element : uint8_t { Message, Menu, Caption };

// Port: whether the system's font for an element is a TCVN3 font.
class Faces {
 public:
  virtual ~Faces() = default;
  virtual bool Tcvn3(Element element) const = 0;

  // Every element in a TCVN3 font: how the system was first meant to be seen.
  static const Faces& tcvn3();
  // Whether a font of that face name is a TCVN3 font: its name begins with ".Vn".
  static bool isTcvn3Face(std::u16string_view face);
};

// One of the system's texts (TCVN3 bytes) as it shows in the element.
std::u16string shown(std::string_view tcvn3, Element element, const Faces& faces);
// Text written in Unicode (a signer's name as the host gives it, and the system's texts added
// since its first version) as it shows in the element: brought into TCVN3 where the element's
// font is a TCVN3 font, as it is, nothing lost, everywhere else.
std::u16string shownUnicode(std::u16string_view text, Element element, const Faces& faces,
                            const AnsiCodePage& codePage = AnsiCodePage::latin1());

}  // namespace text

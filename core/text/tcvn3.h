// TCVN3 text: Vietnamese in the 8-bit VN3 character set, held one character per byte, the
// character being U+0000 plus the byte. This is how message boxes, the control's menu and the
// button tags carry their texts; it reads correctly only in a TCVN3 font.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace text {

// The TCVN3 bytes as UTF-16 text, one code unit per byte (U+0000 plus the byte).
std::u16string widenBytes(std::string_view bytes);
// Back to bytes: nothing when a code unit is above U+00FF.
std::optional<std::string> narrowBytes(std::u16string_view text);

// Port: the platform's ANSI code page, as the runtime turns a single byte into a character.
class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  virtual char16_t character(uint8_t byte) const = 0;

  // Windows-1252's reading of the bytes that TCVN3 letters use, and the reading of a platform
  // without an ANSI code page: U+0000 plus the byte.
  static const AnsiCodePage& latin1();
};

// Vietnamese in Unicode to TCVN3 text: exactly one output character for each input code unit.
// A precomposed letter that VN3 encodes (and the capital "Ỉ") becomes the code page's character
// for its VN3 byte; every other code unit (ASCII, capitals with tone marks, combining marks,
// surrogates) comes back unchanged. Counted in 16 bits as the runtime counts: 32767 code units or
// more fail with overflow (error 6).
std::u16string UnicodeToTCVN3(std::u16string_view text,
                              const AnsiCodePage& codePage = AnsiCodePage::latin1());

// TCVN3 text (one code unit per byte) back to the Vietnamese it reads as in a TCVN3 font: each
// byte of a letter above becomes that letter in Unicode (the small "ỉ" for D8, which it shares
// with "Ỉ"); every other code unit stays as it is.
std::u16string TCVN3ToUnicode(std::u16string_view tcvn3);

}  // namespace text

// TCVN3 text: Vietnamese in the 8-bit VN3 character set, held one character per byte, the
// character being U+0000 plus the byte. This is how message boxes, the control's menu and the
// button tags carry their texts; it reads correctly only in a TCVN3 font.
#pragma once

#include <string>
#include <string_view>

namespace text {

// The TCVN3 bytes as UTF-16 text, one code unit per byte (U+0000 plus the byte).
std::u16string widenBytes(std::string_view bytes);

}  // namespace text

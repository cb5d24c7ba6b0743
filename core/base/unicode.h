// UTF-8 <-> UTF-16 for the places where the project's text (UTF-16, as the host speaks it) meets
// byte-oriented things: log lines, exception messages, test output.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Unpaired surrogates become U+FFFD; nothing throws.
std::string toUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD; nothing throws.
std::u16string fromUtf8(std::string_view utf8);

}  // namespace text

// The TCVN3 conversion over any UTF-16 text (the host's names of signers and issuers), read
// through the platform's code page and through one that shifts every byte, so that each output
// character shows whether it came from the table: one output character per code unit, a changed
// one only for a letter of the table's two blocks and the same VN3 byte through both code pages;
// texts of 32767 code units or more fail with overflow and nothing else fails. Read back (as a
// screen without TCVN3 fonts shows it), each VN3 byte is a letter that converts to that byte.
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "base/error.h"
#include "require.h"
#include "text/tcvn3.h"

namespace {

using fuzz::require;

class ShiftedCodePage final : public text::AnsiCodePage {
 public:
  explicit ShiftedCodePage(char16_t base) : base_(base) {}
  char16_t character(uint8_t byte) const override { return static_cast<char16_t>(base_ + byte); }
  char16_t base() const { return base_; }

 private:
  char16_t base_;
};

bool inTableBlocks(char16_t c) {
  return (c >= 0x00C0 && c <= 0x01BF) || (c >= 0x1EA0 && c <= 0x1EFF);
}

// The input as UTF-16 code units; on request repeated to the 16-bit limit of the runtime's
// count, 32766 to 32768 code units, so that short inputs reach both sides of it.
std::u16string textOf(FuzzedDataProvider& input) {
  const bool nearTheLimit = input.ConsumeIntegral<uint8_t>() == 0x4C;  // one input in 256
  std::u16string text;
  while (input.remaining_bytes() >= 2) text += input.ConsumeIntegral<char16_t>();
  if (!nearTheLimit || text.empty()) return text;
  const size_t length = 32766 + text[0] % 3;
  std::u16string repeated;
  repeated.reserve(length + text.size());
  while (repeated.size() < length) repeated += text;
  repeated.resize(length);
  return repeated;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const ShiftedCodePage shifted(input.ConsumeIntegral<char16_t>());
  const std::u16string text = textOf(input);

  std::u16string latin;
  try {
    latin = text::UnicodeToTCVN3(text);
  } catch (const automation::Error& e) {
    require(text.size() >= 32767, "only a text of 32767 code units or more fails");
    require(e.hresult() == automation::hr::kOverflow, "a text too long fails with overflow");
    return 0;
  }
  require(text.size() < 32767, "a text of 32767 code units or more fails");
  const std::u16string other = text::UnicodeToTCVN3(text, shifted);
  require(latin.size() == text.size() && other.size() == text.size(),
          "one output character for each input code unit");
  const std::u16string readBack = text::TCVN3ToUnicode(latin);
  require(readBack.size() == latin.size(), "one letter read back for each byte");
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t in = text[i];
    if (latin[i] == in && other[i] == in) continue;  // not a letter of the table
    require(inTableBlocks(in), "only letters of the table's two blocks change");
    require(latin[i] >= 0xA1 && latin[i] <= 0xFE, "a letter becomes a VN3 letter byte");
    require(other[i] == static_cast<char16_t>(shifted.base() + latin[i]),
            "a letter becomes the code page's character for its byte");
    require(text::UnicodeToTCVN3(readBack.substr(i, 1)) == latin.substr(i, 1),
            "a byte reads back as a letter that converts to that byte");
  }
  return 0;
}

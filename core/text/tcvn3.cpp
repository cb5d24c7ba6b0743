#include "text/tcvn3.h"

#include <array>

#include "base/error.h"

namespace text {
namespace {

struct Letter {
  char16_t unicode;
  uint8_t vn3;
};

// The 75 entries: the precomposed lowercase letters that are not plain ASCII, the seven capitals
// Ă Â Ê Ô Ơ Ư Đ, and Ỉ, which shares ỉ's byte.
constexpr Letter kLetters[] = {
    // a: à ả ã á ạ
    {0x00E0, 0xB5},
    {0x1EA3, 0xB6},
    {0x00E3, 0xB7},
    {0x00E1, 0xB8},
    {0x1EA1, 0xB9},
    // ă ằ ẳ ẵ ắ ặ
    {0x0103, 0xA8},
    {0x1EB1, 0xBB},
    {0x1EB3, 0xBC},
    {0x1EB5, 0xBD},
    {0x1EAF, 0xBE},
    {0x1EB7, 0xC6},
    // â ầ ẩ ẫ ấ ậ
    {0x00E2, 0xA9},
    {0x1EA7, 0xC7},
    {0x1EA9, 0xC8},
    {0x1EAB, 0xC9},
    {0x1EA5, 0xCA},
    {0x1EAD, 0xCB},
    // e: è ẻ ẽ é ẹ
    {0x00E8, 0xCC},
    {0x1EBB, 0xCE},
    {0x1EBD, 0xCF},
    {0x00E9, 0xD0},
    {0x1EB9, 0xD1},
    // ê ề ể ễ ế ệ
    {0x00EA, 0xAA},
    {0x1EC1, 0xD2},
    {0x1EC3, 0xD3},
    {0x1EC5, 0xD4},
    {0x1EBF, 0xD5},
    {0x1EC7, 0xD6},
    // i: ì ỉ ĩ í ị
    {0x00EC, 0xD7},
    {0x1EC9, 0xD8},
    {0x0129, 0xDC},
    {0x00ED, 0xDD},
    {0x1ECB, 0xDE},
    // o: ò ỏ õ ó ọ
    {0x00F2, 0xDF},
    {0x1ECF, 0xE1},
    {0x00F5, 0xE2},
    {0x00F3, 0xE3},
    {0x1ECD, 0xE4},
    // ô ồ ổ ỗ ố ộ
    {0x00F4, 0xAB},
    {0x1ED3, 0xE5},
    {0x1ED5, 0xE6},
    {0x1ED7, 0xE7},
    {0x1ED1, 0xE8},
    {0x1ED9, 0xE9},
    // ơ ờ ở ỡ ớ ợ
    {0x01A1, 0xAC},
    {0x1EDD, 0xEA},
    {0x1EDF, 0xEB},
    {0x1EE1, 0xEC},
    {0x1EDB, 0xED},
    {0x1EE3, 0xEE},
    // u: ù ủ ũ ú ụ
    {0x00F9, 0xEF},
    {0x1EE7, 0xF1},
    {0x0169, 0xF2},
    {0x00FA, 0xF3},
    {0x1EE5, 0xF4},
    // ư ừ ử ữ ứ ự
    {0x01B0, 0xAD},
    {0x1EEB, 0xF5},
    {0x1EED, 0xF6},
    {0x1EEF, 0xF7},
    {0x1EE9, 0xF8},
    {0x1EF1, 0xF9},
    // y: ỳ ỷ ỹ ý ỵ
    {0x1EF3, 0xFA},
    {0x1EF7, 0xFB},
    {0x1EF9, 0xFC},
    {0x00FD, 0xFD},
    {0x1EF5, 0xFE},
    // đ, the capitals Ă Â Ê Ô Ơ Ư Đ, and Ỉ
    {0x0111, 0xAE},
    {0x0102, 0xA1},
    {0x00C2, 0xA2},
    {0x00CA, 0xA3},
    {0x00D4, 0xA4},
    {0x01A0, 0xA5},
    {0x01AF, 0xA6},
    {0x0110, 0xA7},
    {0x1EC8, 0xD8},
};
static_assert(std::size(kLetters) == 75);

// The table as two direct lookups over the two blocks its keys lie in (0 = not in the table), so
// that the conversion takes constant time a code unit.
constexpr char16_t kLatinFirst = 0x00C0, kLatinLast = 0x01BF;
constexpr char16_t kVietFirst = 0x1EA0, kVietLast = 0x1EFF;
struct Lookup {
  std::array<uint8_t, kLatinLast - kLatinFirst + 1> latin{};
  std::array<uint8_t, kVietLast - kVietFirst + 1> viet{};
};
constexpr Lookup makeLookup() {
  Lookup t{};
  for (const Letter& l : kLetters) {
    if (l.unicode >= kLatinFirst && l.unicode <= kLatinLast)
      t.latin[l.unicode - kLatinFirst] = l.vn3;
    else
      t.viet[l.unicode - kVietFirst] = l.vn3;  // every other key lies in this block
  }
  return t;
}
constexpr Lookup kLookup = makeLookup();

constexpr uint8_t vn3Byte(char16_t c) {
  if (c >= kLatinFirst && c <= kLatinLast) return kLookup.latin[c - kLatinFirst];
  if (c >= kVietFirst && c <= kVietLast) return kLookup.viet[c - kVietFirst];
  return 0;
}
static_assert(vn3Byte(0x1EC8) == 0xD8 && vn3Byte(0x1EA0) == 0 && vn3Byte(u'a') == 0);

// The other way: each VN3 byte's letter, the first in the table's order (so ỉ, not Ỉ, for D8);
// 0 for a byte that stands for no letter of the table.
constexpr std::array<char16_t, 256> makeLetters() {
  std::array<char16_t, 256> t{};
  for (const Letter& l : kLetters)
    if (t[l.vn3] == 0) t[l.vn3] = l.unicode;
  return t;
}
constexpr std::array<char16_t, 256> kLetterOf = makeLetters();
static_assert(kLetterOf[0xD8] == 0x1EC9 && kLetterOf[0xAD] == 0x01B0 && kLetterOf[u'a'] == 0);

class Latin1 final : public AnsiCodePage {
 public:
  char16_t character(uint8_t byte) const override { return byte; }
};

}  // namespace

std::u16string widenBytes(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (const char b : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(b));
  return out;
}

std::optional<std::string> narrowBytes(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (c > 0xFF) return std::nullopt;
    out += static_cast<char>(c);
  }
  return out;
}

const AnsiCodePage& AnsiCodePage::latin1() {
  static const Latin1 instance;
  return instance;
}

std::u16string UnicodeToTCVN3(std::u16string_view text, const AnsiCodePage& codePage) {
  // The length and the position are 16-bit: from 32768 code units the length overflows, and at
  // 32767 the position steps past the last one.
  if (text.size() >= 32767) throw automation::Error(automation::hr::kOverflow);
  std::u16string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    const uint8_t byte = vn3Byte(c);
    out += byte ? codePage.character(byte) : c;
  }
  return out;
}

std::u16string TCVN3ToUnicode(std::u16string_view tcvn3) {
  std::u16string out;
  out.reserve(tcvn3.size());
  for (const char16_t c : tcvn3) {
    const char16_t letter = c <= 0xFF ? kLetterOf[c] : 0;
    out += letter ? letter : c;
  }
  return out;
}

}  // namespace text

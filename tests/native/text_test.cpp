// The user's texts: each TCVN3 literal must be the VN3 encoding of what it reads, and the menu
// captions must be the Unicode letters they read.
#include <map>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/unicode.h"
#include "text/literals.h"
#include "text/shown.h"
#include "text/tcvn3.h"

namespace text {
namespace {

// VN3 of the national standard, written out here independently of the product code: the letters
// that are not plain ASCII, and the byte of each.
std::string vn3(std::u16string_view readable) {
  static const std::map<char16_t, unsigned char> table = [] {
    std::map<char16_t, unsigned char> t;
    const char16_t* rows[] = {
        u"\u00E0\u1EA3\u00E3\u00E1\u1EA1",        // a: B5..B9
        u"\u0103\u1EB1\u1EB3\u1EB5\u1EAF\u1EB7",  // ă
        u"\u00E2\u1EA7\u1EA9\u1EAB\u1EA5\u1EAD",  // â
        u"\u00E8\u1EBB\u1EBD\u00E9\u1EB9",        // e
        u"\u00EA\u1EC1\u1EC3\u1EC5\u1EBF\u1EC7",  // ê
        u"\u00EC\u1EC9\u0129\u00ED\u1ECB",        // i
        u"\u00F2\u1ECF\u00F5\u00F3\u1ECD",        // o
        u"\u00F4\u1ED3\u1ED5\u1ED7\u1ED1\u1ED9",  // ô
        u"\u01A1\u1EDD\u1EDF\u1EE1\u1EDB\u1EE3",  // ơ
        u"\u00F9\u1EE7\u0169\u00FA\u1EE5",        // u
        u"\u01B0\u1EEB\u1EED\u1EEF\u1EE9\u1EF1",  // ư
        u"\u1EF3\u1EF7\u1EF9\u00FD\u1EF5",        // y
    };
    const unsigned char bytes[][6] = {
        {0xB5, 0xB6, 0xB7, 0xB8, 0xB9},       {0xA8, 0xBB, 0xBC, 0xBD, 0xBE, 0xC6},
        {0xA9, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB}, {0xCC, 0xCE, 0xCF, 0xD0, 0xD1},
        {0xAA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6}, {0xD7, 0xD8, 0xDC, 0xDD, 0xDE},
        {0xDF, 0xE1, 0xE2, 0xE3, 0xE4},       {0xAB, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9},
        {0xAC, 0xEA, 0xEB, 0xEC, 0xED, 0xEE}, {0xEF, 0xF1, 0xF2, 0xF3, 0xF4},
        {0xAD, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9}, {0xFA, 0xFB, 0xFC, 0xFD, 0xFE},
    };
    for (size_t r = 0; r < std::size(rows); ++r)
      for (size_t i = 0; rows[r][i]; ++i) t[rows[r][i]] = bytes[r][i];
    t[u'\u0111'] = 0xAE;  // đ
    return t;
  }();
  std::string out;
  for (const char16_t c : readable) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const auto it = table.find(c);
    if (it == table.end()) ADD_FAILURE() << "no VN3 byte for U+" << std::hex << int(c);
    out += static_cast<char>(it == table.end() ? '?' : it->second);
  }
  return out;
}

std::u16string u(const char* utf8) {
  return fromUtf8(utf8);
}

// Both ways: the bytes are the VN3 encoding of the words, and read back (as a screen without a
// TCVN3 font shows them) they are those words.
void expectReads(std::string_view bytes, const char* utf8) {
  EXPECT_EQ(bytes, vn3(u(utf8)));
  EXPECT_EQ(TCVN3ToUnicode(widenBytes(bytes)), u(utf8));
}

TEST(Literals, EachTcvn3TextIsTheEncodingOfWhatItReads) {
  using namespace literals;
  expectReads(kNotice, "Thông báo");
  expectReads(kChoosePathFirst, "Bạn cần chọn đường dẫn đến file chữ ký !");
  expectReads(kNoFileChosen, "Bạn chưa chọn file chữ ký !");
  expectReads(kFileNotFound, "Không tìm thấy file chữ ký !");
  expectReads(kSigningFailed,
              "Lỗi phát sinh trong quá trình ký, mời bạn đóng file, thoát ra ngoài và ký lại !");
  expectReads(kChoosePathTitle, "Chọn đường dẫn đến file chữ ký");
  expectReads(kCouldNotSavePath, "Không ghi được đường dẫn vào file settings.ini !");
  expectReads(kTagSetUpPath, "Thiết lập đường dẫn");
  expectReads(kTagInsert, "Chèn chữ ký");
  expectReads(kSign, "Ký");
  expectReads(kTagInsertAndSign, "Chèn chữ ký và ký");
  expectReads(kVerify, "Thẩm định");
  expectReads(kSignerLabel, "Người ký ");
  expectReads(kIssuerLabel, "Cấp tại: ");
  expectReads(kExpiryDateLabel, "Ngày hết hạn: ");
  expectReads(kSignDateLabel, "Ngày ký: ");
  expectReads(kValidTitle, "Chữ ký số hợp lệ");
  expectReads(kInvalidTitle, "Chữ ký số không hợp lệ");
}

TEST(Literals, TheTextsAddedSinceAreUnicodeAndAllConvertToTcvn3) {
  using namespace literals;
  EXPECT_EQ(kActiveXBlocked,
            u("Word đang chặn các điều khiển ActiveX nên không chèn được khối chữ ký. Hãy bật "
              "điều khiển ActiveX trong Trust Center hoặc hỏi người quản trị máy."));
  EXPECT_EQ(kPictureInstead,
            u("Word đang chặn các điều khiển ActiveX nên không chèn được khối chữ ký: hình chữ ký "
              "đã được chèn thay cho khối. Trạng thái chữ ký xem trên ribbon, nhóm Chữ ký số."));
  for (const std::u16string_view text : {kActiveXBlocked, kPictureInstead})
    EXPECT_EQ(widenBytes(vn3(text)), UnicodeToTCVN3(text));  // every letter has its byte
}

TEST(Literals, TheLetterUHornIsTheInvisibleByteAD) {
  // The byte that a copy from a rendered page loses.
  EXPECT_EQ(literals::kChoosePathTitle.substr(5, 3), "\xAE\xAD\xEA");
  EXPECT_EQ(widenBytes(literals::kSignerLabel).substr(0, 4), u"Ng\u00AD\u00EA");
}

TEST(Literals, MenuCaptionsAreRealUnicode) {
  using namespace literals;
  EXPECT_EQ(kPopupCaption, u("Chữ ký số"));
  EXPECT_EQ(kSetUpPathCaption, u("Thiết lập đường dẫn"));
  EXPECT_EQ(kInsertCaption, u("Chèn chữ ký"));
  EXPECT_EQ(kSignCaption, u("Ký"));
  EXPECT_EQ(kInsertAndSignCaption, u("Chèn chữ ký và ký"));
}

// --- TCVN3ToUnicode, and the texts as the screen shows them --------------------------------------

TEST(TCVN3ToUnicode, ALetterComesBackSmallWhereItSharesItsByteAndAnythingElseAsItIs) {
  EXPECT_EQ(TCVN3ToUnicode(UnicodeToTCVN3(u"\u1EC8 \u1EC9 \u0102\u0111")),
            u"\u1EC9 \u1EC9 \u0102\u0111");
  EXPECT_EQ(TCVN3ToUnicode(u"plain \u0080\u00A0\u00FF\u1EC9\U0001F600"),
            u"plain \u0080\u00A0\u00FF\u1EC9\U0001F600");
}

class FacesOf final : public Faces {
 public:
  explicit FacesOf(Element tcvn3) : tcvn3_(tcvn3) {}
  bool Tcvn3(Element element) const override { return element == tcvn3_; }

 private:
  Element tcvn3_;
};

TEST(Shown, EachElementShowsTcvn3OnlyInATcvn3FontAndHostTextIsConvertedOnlyThere) {
  const FacesOf menusOnly(Element::Menu);
  EXPECT_EQ(shown(literals::kVerify, Element::Menu, menusOnly), widenBytes(literals::kVerify));
  EXPECT_EQ(shown(literals::kVerify, Element::Caption, menusOnly), u("Thẩm định"));
  EXPECT_EQ(shownUnicode(u("Đặng Ánh"), Element::Menu, menusOnly), u"\u00A7\u00C6ng \u00C1nh");
  EXPECT_EQ(shownUnicode(u("Đặng Ánh"), Element::Message, menusOnly), u("Đặng Ánh"));
  for (const char16_t* face : {u".VnTime", u".vntimeH", u".VNARIAL"})
    EXPECT_TRUE(Faces::isTcvn3Face(face)) << text::toUtf8(face);
  for (const char16_t* face : {u"Tahoma", u"Segoe UI", u"VnTime", u".V", u""})
    EXPECT_FALSE(Faces::isTcvn3Face(face)) << text::toUtf8(face);
}

// --- UnicodeToTCVN3 ---------------------------------------------------------------------------

TEST(UnicodeToTCVN3, EveryLetterVn3EncodesBecomesItsByteAndNothingElseChanges) {
  // Every lowercase letter and the seven capitals, against the independent table above.
  const std::u16string letters =
      u("àảãáạăằẳẵắặâầẩẫấậèẻẽéẹêềểễếệìỉĩíịòỏõóọôồổỗốộơờởỡớợùủũúụưừửữứựỳỷỹýỵđ");
  EXPECT_EQ(UnicodeToTCVN3(letters), widenBytes(vn3(letters)));
  EXPECT_EQ(UnicodeToTCVN3(u("ĂÂÊÔƠƯĐ")), widenBytes("\xA1\xA2\xA3\xA4\xA5\xA6\xA7"));
  // Ỉ is in the table, with ỉ's byte; no other capital with a tone mark is.
  EXPECT_EQ(UnicodeToTCVN3(u("Ỉỉ")), widenBytes("\xD8\xD8"));
  const std::u16string capitals = u("ẠÀẢÃÁẰẮẦẤÈÉẺẼẸỀẾÌÍĨỊÒÓỎÕỌỒỐỜỚÙÚỦŨỤỪỨỲÝỶỸỴ");
  EXPECT_EQ(UnicodeToTCVN3(capitals), capitals);
  // ASCII, decomposed letters (e + combining acute), a character outside the BMP, code units
  // from U+8000 up: unchanged, one code unit each.
  const std::u16string others = u"Nguyen e\u0301 a\u0300\U0001F600\u8000\uFFFF\u00C0";
  EXPECT_EQ(UnicodeToTCVN3(others), others);
  EXPECT_EQ(UnicodeToTCVN3(u""), u"");
}

TEST(UnicodeToTCVN3, TheSignerLabelComesOutOfItsUnicodeLettersByteForByte) {
  EXPECT_EQ(UnicodeToTCVN3(u"Ng\u01B0\u1EDDi k\u00FD "), widenBytes(literals::kSignerLabel));
}

TEST(UnicodeToTCVN3, TheByteBecomesACharacterThroughTheCodePage) {
  struct Shifted final : AnsiCodePage {
    char16_t character(uint8_t byte) const override { return char16_t(0x2000 + byte); }
  };
  EXPECT_EQ(UnicodeToTCVN3(u"a\u00E0b\u1EC8", Shifted()), u"a\u20B5b\u20D8");
}

TEST(UnicodeToTCVN3, ThirtyTwoThousandSevenHundredSixtySevenCodeUnitsOverflow) {
  EXPECT_EQ(UnicodeToTCVN3(std::u16string(32766, u'\u00E0')), std::u16string(32766, u'\u00B5'));
  for (const size_t n : {size_t{32767}, size_t{32768}, size_t{100000}}) {
    try {
      UnicodeToTCVN3(std::u16string(n, u'a'));
      ADD_FAILURE() << n << " code units converted";
    } catch (const automation::Error& e) {
      EXPECT_EQ(e.number(), 6);
    }
  }
}

TEST(Unicode, Utf8AndUtf16RoundTripAndRepairBrokenInput) {
  const std::u16string mixed = u"a\u00FD\u1EEF\U0001F600";
  EXPECT_EQ(fromUtf8(toUtf8(mixed)), mixed);
  EXPECT_EQ(toUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // lone surrogate
  EXPECT_EQ(fromUtf8("\xC3"), u"\uFFFD");          // truncated sequence
  EXPECT_EQ(fromUtf8("\xC0\x80z"), u"\uFFFDz");    // overlong NUL
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
  EXPECT_EQ(fromUtf8("\xE1\xBB\xAFx\xFF"), u"\u1EEFx\uFFFD");
}

}  // namespace
}  // namespace text

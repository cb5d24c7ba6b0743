// Every text the user sees, byte for byte. TCVN3 texts are byte strings (see tcvn3.h); wherever
// the letter "ư" stands, the byte is AD, an invisible soft hyphen in a Latin font, so these are
// written as escapes and never retyped from a rendered page.
#pragma once

#include <string_view>

namespace text::literals {

// --- TCVN3 texts (bytes) -------------------------------------------------------------------

// "Thông báo": title of the add-in's message boxes.
inline constexpr std::string_view kNotice = "\x54\x68\xAB\x6E\x67\x20\x62\xB8\x6F";
// "Bạn cần chọn đường dẫn đến file chữ ký !": nothing to save.
inline constexpr std::string_view kChoosePathFirst =
    "\x42\xB9\x6E\x20\x63\xC7\x6E\x20\x63\x68\xE4\x6E\x20\xAE\xAD\xEA\x6E\x67\x20\x64\xC9\x6E\x20"
    "\xAE\xD5\x6E\x20\x66\x69\x6C\x65\x20\x63\x68\xF7\x20\x6B\xFD\x20\x21";
// "Bạn chưa chọn file chữ ký !": no file chosen.
inline constexpr std::string_view kNoFileChosen =
    "\x42\xB9\x6E\x20\x63\x68\xAD\x61\x20\x63\x68\xE4\x6E\x20\x66\x69\x6C\x65\x20\x63\x68\xF7\x20"
    "\x6B\xFD\x20\x21";
// "Không tìm thấy file chữ ký !": signature file not found.
inline constexpr std::string_view kFileNotFound =
    "\x4B\x68\xAB\x6E\x67\x20\x74\xD7\x6D\x20\x74\x68\xCA\x79\x20\x66\x69\x6C\x65\x20\x63\x68\xF7"
    "\x20\x6B\xFD\x20\x21";
// "Lỗi phát sinh trong quá trình ký, mời bạn đóng file, thoát ra ngoài và ký lại !"
inline constexpr std::string_view kSigningFailed =
    "\x4C\xE7\x69\x20\x70\x68\xB8\x74\x20\x73\x69\x6E\x68\x20\x74\x72\x6F\x6E\x67\x20\x71\x75\xB8"
    "\x20\x74\x72\xD7\x6E\x68\x20\x6B\xFD\x2C\x20\x6D\xEA\x69\x20\x62\xB9\x6E\x20\xAE\xE3\x6E\x67"
    "\x20\x66\x69\x6C\x65\x2C\x20\x74\x68\x6F\xB8\x74\x20\x72\x61\x20\x6E\x67\x6F\xB5\x69\x20\x76"
    "\xB5\x20\x6B\xFD\x20\x6C\xB9\x69\x20\x21";
// "Chọn đường dẫn đến file chữ ký": the path form's caption and the file dialog's title.
inline constexpr std::string_view kChoosePathTitle =
    "\x43\x68\xE4\x6E\x20\xAE\xAD\xEA\x6E\x67\x20\x64\xC9\x6E\x20\xAE\xD5\x6E\x20\x66\x69\x6C\x65"
    "\x20\x63\x68\xF7\x20\x6B\xFD";
// "Không ghi được đường dẫn vào file settings.ini !": the path could not be saved.
inline constexpr std::string_view kCouldNotSavePath =
    "\x4B\x68\xAB\x6E\x67\x20\x67\x68\x69\x20\xAE\xAD\xEE\x63\x20\xAE\xAD\xEA\x6E\x67\x20\x64\xC9"
    "\x6E\x20\x76\xB5\x6F\x20\x66\x69\x6C\x65\x20\x73\x65\x74\x74\x69\x6E\x67\x73\x2E\x69\x6E\x69"
    "\x20\x21";
// Button tags: "Thiết lập đường dẫn", "Chèn chữ ký", "Ký", "Chèn chữ ký và ký".
inline constexpr std::string_view kTagSetUpPath =
    "\x54\x68\x69\xD5\x74\x20\x6C\xCB\x70\x20\xAE\xAD\xEA\x6E\x67\x20\x64\xC9\x6E";
inline constexpr std::string_view kTagInsert = "\x43\x68\xCC\x6E\x20\x63\x68\xF7\x20\x6B\xFD";
inline constexpr std::string_view kSign = "\x4B\xFD";  // also the control menu's "sign"
inline constexpr std::string_view kTagInsertAndSign =
    "\x43\x68\xCC\x6E\x20\x63\x68\xF7\x20\x6B\xFD\x20\x76\xB5\x20\x6B\xFD";
// Control menu "Thẩm định" (verify).
inline constexpr std::string_view kVerify = "\x54\x68\xC8\x6D\x20\xAE\xDE\x6E\x68";
// Verify box: "Người ký " (with trailing blank), "Cấp tại: ", "Ngày hết hạn: " (the line
// carries the certificate's expiry date), "Ngày ký: ".
inline constexpr std::string_view kSignerLabel = "\x4E\x67\xAD\xEA\x69\x20\x6B\xFD\x20";
inline constexpr std::string_view kIssuerLabel = "\x43\xCA\x70\x20\x74\xB9\x69\x3A\x20";
inline constexpr std::string_view kExpiryDateLabel =
    "\x4E\x67\xB5\x79\x20\x68\xD5\x74\x20\x68\xB9\x6E\x3A\x20";
inline constexpr std::string_view kSignDateLabel = "\x4E\x67\xB5\x79\x20\x6B\xFD\x3A\x20";
// Verify box titles: "Chữ ký số hợp lệ", "Chữ ký số không hợp lệ".
inline constexpr std::string_view kValidTitle =
    "\x43\x68\xF7\x20\x6B\xFD\x20\x73\xE8\x20\x68\xEE\x70\x20\x6C\xD6";
inline constexpr std::string_view kInvalidTitle =
    "\x43\x68\xF7\x20\x6B\xFD\x20\x73\xE8\x20\x6B\x68\xAB\x6E\x67\x20\x68\xEE\x70\x20\x6C\xD6";

// --- Unicode texts (captions on Word's menu bar) --------------------------------------------

inline constexpr std::u16string_view kPopupCaption = u"Ch\u1EEF k\u00FD s\u1ED1";
inline constexpr std::u16string_view kSetUpPathCaption =
    u"Thi\u1EBFt l\u1EADp \u0111\u01B0\u1EDDng d\u1EABn";
inline constexpr std::u16string_view kInsertCaption = u"Ch\u00E8n ch\u1EEF k\u00FD";
inline constexpr std::u16string_view kSignCaption = u"K\u00FD";
inline constexpr std::u16string_view kInsertAndSignCaption =
    u"Ch\u00E8n ch\u1EEF k\u00FD v\u00E0 k\u00FD";

// --- Texts added since the first version: Unicode, shown as TCVN3 where the font is TCVN3 ------

// Word would not create the block: "Word đang chặn các điều khiển ActiveX nên không chèn được khối
// chữ ký. Hãy bật điều khiển ActiveX trong Trust Center hoặc hỏi người quản trị máy."
inline constexpr std::u16string_view kActiveXBlocked =
    u"Word \u0111ang ch\u1EB7n c\u00E1c \u0111i\u1EC1u khi\u1EC3n ActiveX n\u00EAn kh\u00F4ng "
    u"ch\u00E8n \u0111\u01B0\u1EE3c kh\u1ED1i ch\u1EEF k\u00FD. H\u00E3y b\u1EADt \u0111i\u1EC1u "
    u"khi\u1EC3n ActiveX trong Trust Center ho\u1EB7c h\u1ECFi ng\u01B0\u1EDDi qu\u1EA3n "
    u"tr\u1ECB m\u00E1y.";
// The signature picture went in instead: "Word đang chặn các điều khiển ActiveX nên không chèn
// được khối chữ ký: hình chữ ký đã được chèn thay cho khối. Trạng thái chữ ký xem trên ribbon,
// nhóm Chữ ký số."
inline constexpr std::u16string_view kPictureInstead =
    u"Word \u0111ang ch\u1EB7n c\u00E1c \u0111i\u1EC1u khi\u1EC3n ActiveX n\u00EAn kh\u00F4ng "
    u"ch\u00E8n \u0111\u01B0\u1EE3c kh\u1ED1i ch\u1EEF k\u00FD: h\u00ECnh ch\u1EEF k\u00FD "
    u"\u0111\u00E3 \u0111\u01B0\u1EE3c ch\u00E8n thay cho kh\u1ED1i. Tr\u1EA1ng th\u00E1i "
    u"ch\u1EEF k\u00FD xem tr\u00EAn ribbon, nh\u00F3m Ch\u1EEF k\u00FD s\u1ED1.";

// The ribbon's status of the active document: not signed, valid, not valid, cannot tell.
inline constexpr std::u16string_view kStatusNotSigned = u"Ch\u01B0a k\u00FD";
inline constexpr std::u16string_view kStatusValid = u"Ch\u1EEF k\u00FD h\u1EE3p l\u1EC7";
inline constexpr std::u16string_view kStatusInvalid =
    u"Ch\u1EEF k\u00FD kh\u00F4ng h\u1EE3p l\u1EC7";
inline constexpr std::u16string_view kStatusUnknown =
    u"Kh\u00F4ng x\u00E1c \u0111\u1ECBnh \u0111\u01B0\u1EE3c";
// "Trạng thái chữ ký số của văn bản đang mở. Bấm để thẩm định."
inline constexpr std::u16string_view kStatusTip =
    u"Tr\u1EA1ng th\u00E1i ch\u1EEF k\u00FD s\u1ED1 c\u1EE7a v\u0103n b\u1EA3n \u0111ang "
    u"m\u1EDF. B\u1EA5m \u0111\u1EC3 th\u1EA9m \u0111\u1ECBnh.";
// The ribbon's verify: "Thẩm định", and "Liệt kê mọi chữ ký số của văn bản: người ký, nơi cấp,
// ngày hết hạn, ngày ký, hợp lệ hay không."
inline constexpr std::u16string_view kVerifyCaption = u"Th\u1EA9m \u0111\u1ECBnh";
inline constexpr std::u16string_view kVerifyTip =
    u"Li\u1EC7t k\u00EA m\u1ECDi ch\u1EEF k\u00FD s\u1ED1 c\u1EE7a v\u0103n b\u1EA3n: "
    u"ng\u01B0\u1EDDi k\u00FD, n\u01A1i c\u1EA5p, ng\u00E0y h\u1EBFt h\u1EA1n, ng\u00E0y k\u00FD, "
    u"h\u1EE3p l\u1EC7 hay kh\u00F4ng.";
// The window of the signatures: its title "Chữ ký số của văn bản", its columns "STT", "Người ký",
// "Cấp tại", "Ngày hết hạn", "Ngày ký", "Hợp lệ", the answers "Có", "Không", its buttons "Sao
// chép", "Đóng", and "Văn bản chưa có chữ ký số." for a document without one.
inline constexpr std::u16string_view kSignaturesTitle =
    u"Ch\u1EEF k\u00FD s\u1ED1 c\u1EE7a v\u0103n b\u1EA3n";
inline constexpr std::u16string_view kColumnNumber = u"STT";
inline constexpr std::u16string_view kColumnSigner = u"Ng\u01B0\u1EDDi k\u00FD";
inline constexpr std::u16string_view kColumnIssuer = u"C\u1EA5p t\u1EA1i";
inline constexpr std::u16string_view kColumnExpires = u"Ng\u00E0y h\u1EBFt h\u1EA1n";
inline constexpr std::u16string_view kColumnSigned = u"Ng\u00E0y k\u00FD";
inline constexpr std::u16string_view kColumnValid = u"H\u1EE3p l\u1EC7";
inline constexpr std::u16string_view kYes = u"C\u00F3";
inline constexpr std::u16string_view kNo = u"Kh\u00F4ng";
inline constexpr std::u16string_view kCopy = u"Sao ch\u00E9p";
inline constexpr std::u16string_view kClose = u"\u0110\u00F3ng";
inline constexpr std::u16string_view kNoSignatures =
    u"V\u0103n b\u1EA3n ch\u01B0a c\u00F3 ch\u1EEF k\u00FD s\u1ED1.";

}  // namespace text::literals

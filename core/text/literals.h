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

}  // namespace text::literals

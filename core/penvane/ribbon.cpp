#include "penvane/ribbon.h"

#include "penvane/connect.h"
#include "text/literals.h"

namespace penvane::ribbon {
namespace {

namespace literals = text::literals;

const std::array<Button, 5> kButtons = {{
    {u"PenvaneSetUpPath", literals::kSetUpPathCaption, u"Ribbon_SetUpPath", u"PenvaneSetUpPath",
     literals::kSetUpPathCaption,
     u"Ch\u1ECDn t\u1EC7p h\u00ECnh ch\u1EEF k\u00FD v\u00E0 ghi nh\u1EDB \u0111\u01B0\u1EDDng "
     u"d\u1EABn \u0111\u1EBFn t\u1EC7p.",
     u"ZP", &Connect::SetUpPath},
    {u"PenvaneInsert", literals::kInsertCaption, u"Ribbon_Insert", u"PenvaneInsert",
     literals::kInsertCaption,
     u"Ch\u00E8n kh\u1ED1i ch\u1EEF k\u00FD v\u00E0o v\u0103n b\u1EA3n t\u1EA1i v\u1ECB tr\u00ED "
     u"con tr\u1ECF.",
     u"ZC", &Connect::Insert},
    {u"PenvaneSign", literals::kSignCaption, u"Ribbon_Sign", u"PenvaneSign", literals::kSignCaption,
     u"K\u00FD s\u1ED1 v\u0103n b\u1EA3n b\u1EB1ng d\u1ECBch v\u1EE5 k\u00FD c\u1EE7a Word.", u"ZK",
     &Connect::Sign},
    {u"PenvaneInsertAndSign", literals::kInsertAndSignCaption, u"Ribbon_InsertAndSign",
     u"PenvaneInsertAndSign", literals::kInsertAndSignCaption,
     u"Ch\u00E8n kh\u1ED1i ch\u1EEF k\u00FD t\u1EA1i v\u1ECB tr\u00ED con tr\u1ECF r\u1ED3i "
     u"k\u00FD "
     u"s\u1ED1 v\u0103n b\u1EA3n.",
     u"ZV", &Connect::InsertAndSign},
    {u"PenvaneVerify", literals::kVerifyCaption, u"Ribbon_Verify", u"PenvaneVerify",
     literals::kVerifyCaption, literals::kVerifyTip, u"ZT", &Connect::Verify},
}};

// Text as an XML attribute value.
void appendEscaped(std::u16string& out, std::u16string_view text) {
  for (const char16_t c : text) {
    switch (c) {
      case u'&':
        out += u"&amp;";
        break;
      case u'<':
        out += u"&lt;";
        break;
      case u'>':
        out += u"&gt;";
        break;
      case u'"':
        out += u"&quot;";
        break;
      default:
        out += c;
    }
  }
}

void attribute(std::u16string& out, std::u16string_view name, std::u16string_view value) {
  out += u' ';
  out += name;
  out += u"=\"";
  appendEscaped(out, value);
  out += u'"';
}

}  // namespace

const std::array<Button, 5>& Buttons() {
  return kButtons;
}

std::u16string_view StatusLabel(host::Status status) {
  switch (status) {
    case host::Status::NotSigned:
      return literals::kStatusNotSigned;
    case host::Status::Valid:
      return literals::kStatusValid;
    case host::Status::Invalid:
      return literals::kStatusInvalid;
    case host::Status::Unknown:
      break;
  }
  return literals::kStatusUnknown;
}

size_t StatusImage(host::Status status) {
  return static_cast<size_t>(status);
}

std::u16string GetCustomUI(std::u16string_view ribbonId) {
  if (ribbonId != kWordDocument) return {};
  std::u16string xml = u"<customUI";
  attribute(xml, u"xmlns", kNamespace);
  attribute(xml, u"onLoad", kOnLoad);
  attribute(xml, u"loadImage", kLoadImage);
  xml += u">\n  <ribbon>\n    <tabs>\n      <tab idMso=\"TabInsert\">\n        <group";
  attribute(xml, u"id", u"PenvaneGroup");
  attribute(xml, u"label", literals::kPopupCaption);
  attribute(xml, u"insertAfterMso", u"GroupInsertText");
  xml += u">\n";
  for (const Button& b : kButtons) {
    if (&b == &kButtons.back()) {  // the status, before verify
      xml += u"          <separator";
      attribute(xml, u"id", u"PenvaneStatusSeparator");
      xml += u"/>\n          <button";
      attribute(xml, u"id", kStatusId);
      attribute(xml, u"size", u"large");
      attribute(xml, u"getLabel", kGetStatusLabel);
      attribute(xml, u"getImage", kGetStatusImage);
      attribute(xml, u"screentip", literals::kPopupCaption);
      attribute(xml, u"supertip", literals::kStatusTip);
      attribute(xml, u"keytip", u"ZS");
      attribute(xml, u"onAction", b.onAction);
      xml += u"/>\n";
    }
    xml += u"          <button";
    attribute(xml, u"id", b.id);
    attribute(xml, u"label", b.caption);
    attribute(xml, u"size", u"large");
    attribute(xml, u"image", b.image);
    attribute(xml, u"screentip", b.screentip);
    attribute(xml, u"supertip", b.supertip);
    attribute(xml, u"keytip", b.keytip);
    attribute(xml, u"onAction", b.onAction);
    xml += u"/>\n";
  }
  xml += u"        </group>\n      </tab>\n    </tabs>\n  </ribbon>\n</customUI>\n";
  return xml;
}

std::optional<size_t> ImageIndex(std::u16string_view image) {
  for (size_t i = 0; i < kButtons.size(); ++i)
    if (kButtons[i].image == image) return i;
  return std::nullopt;
}

}  // namespace penvane::ribbon

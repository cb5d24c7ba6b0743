#include "packaging/wix_rows.h"

#include <cstdint>

#include "automation/names.h"
#include "base/unicode.h"
#include "registration/libraries.h"

namespace packaging {
namespace {

using registration::Architecture;
using registration::Key;

// Text for an XML attribute: wixl takes ASCII only (it fails on anything else, raw or as a
// character reference), so the package holds nothing else.
std::string attribute(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    if (c >= 0x80 || (c < 0x20 && c != u'\t'))
      throw RowsError("not ASCII: \"" + text::toUtf8(text) + "\"");
    switch (c) {
      case u'&':
        out += "&amp;";
        break;
      case u'<':
        out += "&lt;";
        break;
      case u'>':
        out += "&gt;";
        break;
      case u'"':
        out += "&quot;";
        break;
      default:
        out += static_cast<char>(c);
    }
  }
  return out;
}

// Literal text inside Windows Installer's formatted text: brackets would name properties.
std::u16string literal(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) {
    if (c == u'[')
      out += u"[\\[]";
    else if (c == u']')
      out += u"[\\]]";
    else
      out += c;
  }
  return out;
}

class Rows {
 public:
  explicit Rows(const Placement& p)
      : placement_(p),
        modulePath_(p.folder + u"\\" + text::fromUtf8(p.fileName)),
        reference_(u"[#" + text::fromUtf8(p.fileId) + u"]"),
        root_(p.scope == Scope::Machine ? "HKLM" : "HKCU") {}

  // The module's path as the file's reference, its folder as the package's formatted text,
  // everything else literal.
  std::u16string formatted(std::u16string_view text) const {
    std::u16string out;
    while (!text.empty()) {
      const size_t module = text.find(modulePath_);
      const size_t folder = text.find(placement_.folder);
      const size_t at = std::min(module, folder);
      out += literal(text.substr(0, at));
      if (at == std::u16string_view::npos) break;
      const bool isModule = module == at;
      out += isModule ? reference_ : placement_.folder;
      text.remove_prefix(at + (isModule ? modulePath_ : placement_.folder).size());
    }
    return out;
  }

  void value(std::string& out, const Key& key, std::u16string_view name, const std::string& type,
             std::u16string_view value) const {
    out += "    <RegistryValue Root=\"" + root_ + "\" Key=\"" +
           attribute(formatted(u"Software\\Classes\\" + key.path())) + "\"";
    if (!name.empty()) out += " Name=\"" + attribute(name) + "\"";
    out += " Type=\"" + type + "\" Value=\"" + attribute(value) + "\"/>\n";
  }

 private:
  const Placement& placement_;
  std::u16string modulePath_;
  std::u16string reference_;
  std::string root_;
};

// A key with nothing in it and nothing below it exists only through a row of its own:
// "*" creates it and removes it with the component, "+" only creates it.
bool isBareLeaf(const Key& key, const std::vector<Key>& rows) {
  if (!key.values().empty()) return false;
  const std::u16string below = key.path() + u"\\";
  for (const auto& other : rows)
    if (other.path().compare(0, below.size(), below) == 0) return false;
  return true;
}

// Whether `leftOut` holds a value of that name at that path.
bool isLeftOut(const std::vector<Key>& leftOut, const Key& key, std::u16string_view name) {
  for (const auto& other : leftOut)
    if (other.path() == key.path())
      for (const auto& v : other.values())
        if (v.name == name) return true;
  return false;
}

bool sameKey(const std::vector<Key>& leftOut, const Key& key) {
  for (const auto& other : leftOut)
    if (other.path() == key.path()) return true;
  return false;
}

}  // namespace

bool keptApartInEachView(std::u16string_view path) {
  // Windows 7 and later: the classes root is shared between the views but for these keys.
  const std::u16string_view top = path.substr(0, path.find(u'\\'));
  for (const std::u16string_view apart :
       {u"CLSID", u"Interface", u"DirectShow", u"Media Type", u"MediaFoundation"})
    if (automation::sameName(top, apart)) return true;
  return false;
}

std::string component(const std::vector<Key>& rows, const Placement& placement,
                      const std::vector<Key>& leftOut) {
  const Rows writer(placement);
  const bool x64 = placement.architecture == Architecture::X64;
  std::string out =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!-- Made by packaging/rows from the registration table of core/registration. -->\n"
      "<Include>\n";
  out += "  <Component Id=\"" + placement.fileId + "\" Guid=\"*\" Win64=\"" + (x64 ? "yes" : "no") +
         "\">\n";
  const bool user = placement.scope == Scope::User;
  out += "    <File Id=\"" + placement.fileId + "\" Name=\"" + placement.fileName + "\" Source=\"" +
         placement.source + "\" KeyPath=\"" + (user ? "no" : "yes") + "\"/>\n";
  if (user)
    out += "    <RegistryValue Root=\"HKCU\" Key=\"Software\\ChuKySo\\Components\" Name=\"" +
           placement.fileId + "\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n";
  for (const auto& key : rows) {
    if (isBareLeaf(key, rows) && !sameKey(leftOut, key))
      writer.value(out, key, key.isOurs() ? u"*" : u"+", "string", u"");
    for (const auto& v : key.values()) {
      if (isLeftOut(leftOut, key, v.name)) continue;
      if (v.number) {
        writer.value(out, key, writer.formatted(v.name), "integer",
                     text::fromUtf8(std::to_string(*v.number)));
        continue;
      }
      // An empty value would be a bare key to the installer; a leading "#" a number.
      if (v.text.empty()) throw RowsError("an empty text value in " + text::toUtf8(key.path()));
      const std::u16string text = writer.formatted(v.text);
      writer.value(out, key, writer.formatted(v.name), "string",
                   text[0] == u'#' ? u"#" + text : text);
    }
  }
  out += "  </Component>\n</Include>\n";
  return out;
}

std::string libraryComponent(const std::string& library, const Placement& placement) {
  const auto rowsOf = [&](const std::u16string& folder, Architecture architecture) {
    const std::u16string modulePath = folder + u"\\" + text::fromUtf8(placement.fileName);
    if (library == "Penvane") return registration::penvaneLibrary(modulePath, architecture).keys();
    if (library == "Sealbrook")
      return registration::sealbrookLibrary(modulePath, architecture).keys();
    throw RowsError("no library " + library);
  };
  std::vector<Key> leftOut;
  if (placement.architecture == Architecture::X86 && !placement.x64Folder.empty())
    for (auto& key : rowsOf(placement.x64Folder, Architecture::X64))
      if (!keptApartInEachView(key.path())) leftOut.push_back(std::move(key));
  return component(rowsOf(placement.folder, placement.architecture), placement, leftOut);
}

}  // namespace packaging

// The rows that registering a library writes, built in the core for either architecture, and the
// comparison of member names that every bridge shares.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/names.h"
#include "base/unicode.h"
#include "registration/keys.h"
#include "registration/libraries.h"

namespace registration {
namespace {

using automation::Guid;
using testing::ElementsAre;

constexpr Guid kLibid = Guid::parse("{50E56C7A-B8A2-4534-B258-F0D288084B3C}");

// A row as one line: "+" ours, "~" common; values; the key it is shared with, "(other)" when
// that key is looked for in the other architecture's view.
std::string line(const Key& k) {
  std::string out = (k.isOurs() ? "+ " : "~ ") + text::toUtf8(k.path());
  for (const auto& v : k.values())
    out += " | " + (v.name.empty() ? std::string("@") : text::toUtf8(v.name)) + "=" +
           (v.number ? std::to_string(*v.number) + "#" : text::toUtf8(v.text));
  if (!k.sharedWhile().empty())
    out +=
        " ? " + text::toUtf8(k.sharedWhile()) + (k.sharedView() == View::Other ? " (other)" : "");
  return out;
}

std::vector<std::string> lines(const Library& library) {
  std::vector<std::string> out;
  for (const auto& k : library.keys()) out.push_back(line(k));
  return out;
}

// The control's library as the product describes it, registered from a folder of the test's.
Library control(Architecture architecture) {
  return sealbrookLibrary(u"C:\\Controls\\Sealbrook.ocx", architecture);
}

TEST(Registration, AControlLibraryWritesItsTypeLibraryClassControlAndInterfacesInOrder) {
  const std::string lib = "TypeLib\\{50E56C7A-B8A2-4534-B258-F0D288084B3C}";
  const std::string cls = "CLSID\\{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}";
  const std::string itf = "Interface\\{DEA3D560-A645-43D5-BDF6-A07383F18A83}";
  const std::string evt = "Interface\\{9BA10D34-A1E9-4E35-A79B-7D9107CA7493}";
  const std::string x86 = " ? " + lib + "\\64.0\\0\\win32";
  EXPECT_THAT(
      lines(control(Architecture::X64)),
      ElementsAre(
          "~ " + lib,  //
          "+ " + lib + "\\64.0 | @=Sealbrook" + x86, "+ " + lib + "\\64.0\\FLAGS | @=2" + x86,
          "+ " + lib + "\\64.0\\HELPDIR | @=C:\\Controls" + x86,  //
          "~ " + lib + "\\64.0\\0", "+ " + lib + "\\64.0\\0\\win64 | @=C:\\Controls\\Sealbrook.ocx",
          "+ Sealbrook.SignData | @=Sealbrook.SignData ? " + cls + " (other)",
          "+ Sealbrook.SignData\\CLSID | @={5F0BDCD6-D53B-4598-B5C8-074E7574C6AB} ? " + cls +
              " (other)",
          "+ " + cls + " | @=Sealbrook.SignData",  //
          "+ " + cls + "\\ProgID | @=Sealbrook.SignData",
          "+ " + cls +
              "\\InprocServer32 | @=C:\\Controls\\Sealbrook.ocx | ThreadingModel=Apartment",
          "+ " + cls + "\\TypeLib | @={50E56C7A-B8A2-4534-B258-F0D288084B3C}",
          "+ " + cls + "\\Version | @=100.0",  //
          "+ " + cls + "\\Control",            //
          "+ " + cls + "\\MiscStatus | @=0", "+ " + cls + "\\MiscStatus\\1 | @=131473",
          "+ " + cls + "\\ToolboxBitmap32 | @=C:\\Controls\\Sealbrook.ocx, 1",
          "+ " + cls + "\\Implemented Categories",
          "+ " + cls + "\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}",
          "+ " + itf + " | @=_SignData" + x86,
          "+ " + itf + "\\ProxyStubClsid | @={00020424-0000-0000-C000-000000000046}" + x86,
          "+ " + itf + "\\ProxyStubClsid32 | @={00020424-0000-0000-C000-000000000046}" + x86,
          "+ " + itf + "\\TypeLib | @={50E56C7A-B8A2-4534-B258-F0D288084B3C} | Version=64.0" + x86,
          "+ " + evt + " | @=__SignData" + x86,
          "+ " + evt + "\\ProxyStubClsid | @={00020420-0000-0000-C000-000000000046}" + x86,
          "+ " + evt + "\\ProxyStubClsid32 | @={00020420-0000-0000-C000-000000000046}" + x86,
          "+ " + evt + "\\TypeLib | @={50E56C7A-B8A2-4534-B258-F0D288084B3C} | Version=64.0" +
              x86));
}

// Swaps the platform keys of a row: what the other build writes in its place.
std::string otherPlatform(std::string row) {
  for (size_t at = row.find("\\win"); at != row.npos; at = row.find("\\win", at + 1)) {
    if (row.compare(at + 4, 2, "32") == 0)
      row.replace(at + 4, 2, "64");
    else if (row.compare(at + 4, 2, "64") == 0)
      row.replace(at + 4, 2, "32");
  }
  return row;
}

TEST(Registration, TheX86BuildWritesItsOwnPathAndWaitsForTheX64Build) {
  const auto x64 = lines(control(Architecture::X64));
  const auto x86 = lines(control(Architecture::X86));
  ASSERT_EQ(x86.size(), x64.size());
  size_t differing = 0;
  for (size_t i = 0; i < x64.size(); ++i) {
    EXPECT_EQ(otherPlatform(x86[i]), x64[i]);
    if (x86[i] != x64[i]) ++differing;
  }
  // The module's own row, and the type library's and interfaces' rows that wait for the other
  // build; the class rows are the same (the two builds' classes live in separate views).
  EXPECT_EQ(differing, 12u);
  EXPECT_THAT(x86, testing::Contains("+ TypeLib\\{50E56C7A-B8A2-4534-B258-F0D288084B3C}\\64.0\\0"
                                     "\\win32 | @=C:\\Controls\\Sealbrook.ocx"));
}

TEST(Registration, VersionsAndLocalesAreKeyedInHexadecimalAndReadInDecimal) {
  const TypeLib lib{kLibid, 100, 10, u"Sealbrook", 0, 0x0409};
  EXPECT_EQ(lib.versionKey(), u"64.a");
  EXPECT_EQ(lib.versionText(), u"100.10");
  const Library library(lib, u"C:\\Penvane.dll", Architecture::X64);
  EXPECT_EQ(line(library.keys().back()),
            "+ TypeLib\\{50E56C7A-B8A2-4534-B258-F0D288084B3C}\\64.a\\409\\win64"
            " | @=C:\\Penvane.dll");
}

TEST(Registration, KeysNameTheirValuesAndNumbers) {
  const Key key = Key::common(u"Software\\Addins\\Penvane.Connect")
                      .value(u"FriendlyName", u"Penvane")
                      .number(u"LoadBehavior", 3);
  EXPECT_EQ(line(key),
            "~ Software\\Addins\\Penvane.Connect | FriendlyName=Penvane | LoadBehavior=3#");
}

TEST(MemberNames, CompareWithoutCaseOfAsciiLettersAcrossCharacterTypes) {
  using automation::sameName;
  EXPECT_TRUE(sameName("CommandBars", "commandbars"));
  EXPECT_TRUE(sameName(u"TRUE", u"true"));
  EXPECT_TRUE(sameName(std::u16string_view(u"Click"), std::string_view("CLICK")));
  EXPECT_FALSE(sameName("Caption", "Captions"));
  EXPECT_FALSE(sameName("[", "{"));              // neighbours of the letters are no letters
  EXPECT_FALSE(sameName(u"\u00C9", u"\u00E9"));  // only ASCII letters fold
  EXPECT_FALSE(sameName(std::u16string_view(u"\u0143"), std::string_view("C")));  // no truncation
  EXPECT_EQ(automation::nameKey("ActiveDocument"), "activedocument");
  EXPECT_EQ(automation::nameKey("Item_2"), "item_2");
}

}  // namespace
}  // namespace registration

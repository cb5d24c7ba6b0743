// The installer's rows: every row of the registration table once, with the module's path as the
// installed file's reference, in the view and under the root that the package installs for, and
// literal text that the installer reads as written.
#include "packaging/wix_rows.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "registration/libraries.h"

namespace packaging {
namespace {

using registration::Architecture;
using registration::Key;
using testing::Contains;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;

const char kPrefix[] = "    <RegistryValue Root=\"HKLM\" Key=\"Software\\Classes\\";

Placement placement(Architecture architecture = Architecture::X64, Scope scope = Scope::Machine) {
  return {architecture,
          scope,
          "Sealbrook.x64",
          "Sealbrook.ocx",
          "/stage/x64/Sealbrook.ocx",
          u"[ProgramFiles64Folder]ChuKySo",
          {}};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::vector<std::string> registryRows(const std::string& text) {
  auto all = lines(text);
  all.erase(std::remove_if(all.begin(), all.end(),
                           [](const std::string& l) {
                             return l.find("<RegistryValue ") == std::string::npos;
                           }),
            all.end());
  return all;
}

TEST(WixRows, EveryRowOfTheControlsTableIsOneValueAndTheModuleIsTheInstalledFile) {
  const std::string out = libraryComponent("Sealbrook", placement());
  const auto table = registration::sealbrookLibrary(u"[ProgramFiles64Folder]ChuKySo\\Sealbrook.ocx",
                                                    Architecture::X64)
                         .keys();
  size_t values = 0;
  for (const auto& key : table) values += key.values().size();
  // Control and the category key hold nothing: each is a row of its own.
  EXPECT_EQ(registryRows(out).size(), values + 2);

  const std::string clsid = "CLSID\\{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}";
  const std::string version = "TypeLib\\{50E56C7A-B8A2-4534-B258-F0D288084B3C}\\64.0";
  const auto rows = registryRows(out);
  EXPECT_THAT(rows, Contains(kPrefix + clsid +
                             "\\InprocServer32\" Type=\"string\" Value=\"[#Sealbrook.x64]\"/>"));
  EXPECT_THAT(rows,
              Contains(kPrefix + clsid +
                       "\\ToolboxBitmap32\" Type=\"string\" Value=\"[#Sealbrook.x64], 1\"/>"));
  EXPECT_THAT(rows, Contains(kPrefix + version + "\\0\\win64\" Type=\"string\" " +
                             "Value=\"[#Sealbrook.x64]\"/>"));
  // The type library's help folder: the folder as the package formats it.
  EXPECT_THAT(rows,
              Contains(kPrefix + version +
                       "\\HELPDIR\" Type=\"string\" Value=\"[ProgramFiles64Folder]ChuKySo\"/>"));
  EXPECT_THAT(rows,
              Contains(kPrefix + clsid + "\\Control\" Name=\"*\" Type=\"string\" Value=\"\"/>"));
  EXPECT_THAT(out, Not(HasSubstr("Sealbrook.ocx\"/>")));  // no value names the file literally

  EXPECT_THAT(out, HasSubstr("<Component Id=\"Sealbrook.x64\" Guid=\"*\" Win64=\"yes\">"));
  EXPECT_THAT(out, HasSubstr("<File Id=\"Sealbrook.x64\" Name=\"Sealbrook.ocx\" "
                             "Source=\"/stage/x64/Sealbrook.ocx\" KeyPath=\"yes\"/>"));
}

TEST(WixRows, TheArchitectureChoosesTheViewAndTheScopeTheRoot) {
  const std::string x86 = libraryComponent("Penvane", placement(Architecture::X86, Scope::User));
  EXPECT_THAT(x86, HasSubstr("Win64=\"no\""));
  EXPECT_THAT(x86, HasSubstr("\\1.0\\409\\win32\""));
  EXPECT_THAT(x86, Not(HasSubstr("win64")));
  // For one user, the component is kept by a value of its own under HKCU, not by the file.
  const auto rows = registryRows(x86);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0],
            "    <RegistryValue Root=\"HKCU\" Key=\"Software\\ChuKySo\\Components\" "
            "Name=\"Sealbrook.x64\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>");
  EXPECT_THAT(x86, HasSubstr("KeyPath=\"no\"/>"));
  for (size_t i = 1; i < rows.size(); ++i)
    EXPECT_THAT(rows[i], HasSubstr("<RegistryValue Root=\"HKCU\" Key=\"Software\\Classes\\"));
  EXPECT_THROW(libraryComponent("Penvane.dll", placement()), RowsError);
}

// Beside the x64 build, the x86 one writes only what Windows keeps apart in each view (the
// classes' and interfaces' keys) and its own keys (win32); the rest is the x64 build's alone.
TEST(WixRows, BesideTheX64BuildTheX86OneLeavesTheKeysBothViewsShare) {
  Placement beside = placement(Architecture::X86);
  beside.folder = u"[ProgramFilesFolder]ChuKySo";
  beside.x64Folder = u"[ProgramFiles64Folder]ChuKySo";
  const std::string alone = libraryComponent("Sealbrook", placement(Architecture::X86));
  const std::string x86 = libraryComponent("Sealbrook", beside);
  EXPECT_THAT(alone, HasSubstr(std::string(kPrefix) + "Sealbrook.SignData\\CLSID\""));
  EXPECT_THAT(x86, Not(HasSubstr(std::string(kPrefix) + "Sealbrook.SignData")));
  EXPECT_THAT(x86, Not(HasSubstr("HELPDIR")));
  EXPECT_THAT(x86, HasSubstr("\\win32\" Type=\"string\" Value=\"[#Sealbrook.x64]\""));
  EXPECT_THAT(x86, HasSubstr(std::string(kPrefix) + "CLSID\\"));
  EXPECT_TRUE(packaging::keptApartInEachView(u"Interface\\{X}"));
  EXPECT_TRUE(packaging::keptApartInEachView(u"clsid"));
  EXPECT_FALSE(packaging::keptApartInEachView(u"CLSIDs"));
  EXPECT_FALSE(packaging::keptApartInEachView(u"TypeLib\\{X}"));
}

TEST(WixRows, LiteralTextReadsAsWrittenAndBareKeysAreCreated) {
  auto p = placement();
  p.folder = u"[APPDIR]";
  const std::vector<Key> rows = {
      Key::common(u"Odd").value(u"", u"[x] & \"y\" <z>").value(u"Hash", u"#1"),
      Key::ours(u"Odd\\Help").value(u"", u"[APPDIR]"),  // a folder reference stays formatted
      Key::ours(u"Odd\\Number").number(u"Load", 3),
      Key::ours(u"Bare"),
      Key::common(u"Shared"),
      Key::ours(u"Parent"),
      Key::ours(u"Parent\\Child").value(u"", u"1"),
  };
  const auto out = registryRows(component(rows, p));
  EXPECT_THAT(
      out,
      testing::ElementsAre(
          std::string(kPrefix) + "Odd\" Type=\"string\" Value=\"[\\[]x[\\]] &amp; &quot;y&quot; "
                                 "&lt;z&gt;\"/>",
          std::string(kPrefix) + "Odd\" Name=\"Hash\" Type=\"string\" Value=\"##1\"/>",
          std::string(kPrefix) + "Odd\\Help\" Type=\"string\" Value=\"[APPDIR]\"/>",
          std::string(kPrefix) + "Odd\\Number\" Name=\"Load\" Type=\"integer\" Value=\"3\"/>",
          std::string(kPrefix) + "Bare\" Name=\"*\" Type=\"string\" Value=\"\"/>",
          std::string(kPrefix) + "Shared\" Name=\"+\" Type=\"string\" Value=\"\"/>",
          std::string(kPrefix) + "Parent\\Child\" Type=\"string\" Value=\"1\"/>"));
}

TEST(WixRows, TextThePackageCannotHoldIsRefused) {
  EXPECT_THROW(component({Key::ours(u"K").value(u"", u"Ch\u1EEF k\u00FD s\u1ED1")}, placement()),
               RowsError);
  EXPECT_THROW(component({Key::ours(u"K").value(u"Name", u"")}, placement()), RowsError);
  EXPECT_THAT(registryRows(component({}, placement())), IsEmpty());
}

}  // namespace
}  // namespace packaging

// The signature settings store: settings.ini in the system directory, section Path, key
// ChildPath, in the ANSI code page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "penvane/module1.h"
#include "penvane_fakes.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {
namespace {

using testing::ElementsAre;
namespace literals = text::literals;

class Settings : public testing::Test {
 protected:
  const std::u16string file = u"C:\\WINDOWS\\system32\\settings.ini";
  std::u16string& stored() { return settings.files[file][u"Path/ChildPath"]; }
  fakes::Shown notice(std::string_view tcvn3) {
    return {text::widenBytes(tcvn3), 48, text::widenBytes(literals::kNotice)};
  }

  fakes::SettingsStore settings;
  fakes::MessageBoxes messages;
  Module1 module{settings, messages};
};

TEST_F(Settings, WithoutASettingsFileThePathIsNoAndSavingItCreatesTheFile) {
  module.ReadImagePath();
  EXPECT_EQ(module.sSystemDir, u"C:\\WINDOWS\\system32");
  EXPECT_EQ(module.sImagePath, u"No");
  EXPECT_TRUE(module.bPathReady);
  module.SaveImagePath();
  EXPECT_EQ(stored(), u"No");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Settings, TheStoredValueIsTrimmedAndCutTo199Characters) {
  stored() = u"   C:\\My Pictures\\sig.gif  ";
  module.ReadImagePath();
  EXPECT_EQ(module.sImagePath, u"C:\\My Pictures\\sig.gif");

  stored() = std::u16string(250, u'x');
  module.ReadImagePath();
  EXPECT_EQ(module.sImagePath, std::u16string(199, u'x'));
}

TEST_F(Settings, AnEmptyValueIsReadyAtStartButNotSaved) {
  stored() = u"";
  module.ReadImagePath();
  EXPECT_EQ(module.sImagePath, u"");
  EXPECT_TRUE(module.bPathReady);

  settings.files.clear();
  module.SaveImagePath();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kChoosePathFirst)));
  EXPECT_FALSE(module.bPathReady);
  EXPECT_TRUE(settings.files.empty());
}

// Written in the code page, "ữ" would become "?" and the file would name another path: the user
// is told, nothing is written, and the path stays as chosen for this session.
TEST_F(Settings, APathOutsideTheCodePageIsNotWrittenAndTheUserIsTold) {
  module.ReadImagePath();
  module.sImagePath = u"C:\\Ch\u1EEF k\u00FD.gif";
  module.SaveImagePath();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kCouldNotSavePath)));
  EXPECT_TRUE(settings.files.empty());
  EXPECT_EQ(module.sImagePath, u"C:\\Ch\u1EEF k\u00FD.gif");
  EXPECT_TRUE(module.bPathReady);

  messages.shown.clear();
  module.sImagePath = u"C:\\Ch\u00FB k\u00FD.gif";  // within the code page
  module.SaveImagePath();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(stored(), u"C:\\Ch\u00FB k\u00FD.gif");
}

TEST_F(Settings, AFailedReadLeavesThePathAsItWas) {
  module.sImagePath = u"D:\\chosen.png";
  settings.readsFail = true;
  module.ReadImagePath();
  EXPECT_EQ(module.sImagePath, u"D:\\chosen.png");
  EXPECT_TRUE(module.bPathReady);
}

TEST_F(Settings, ASaveTouchesNothingButTheOneKey) {
  auto& f = settings.files[file];
  f[u"Path/Other"] = u"keep";
  f[u"Colours/ChildPath"] = u"keep too";
  module.ReadImagePath();
  module.sImagePath = u"D:\\sig.png";
  module.SaveImagePath();
  EXPECT_EQ(f.size(), 3u);
  EXPECT_EQ(f[u"Path/Other"], u"keep");
  EXPECT_EQ(f[u"Colours/ChildPath"], u"keep too");
  EXPECT_EQ(f[u"Path/ChildPath"], u"D:\\sig.png");
}

TEST_F(Settings, AFailedWriteIsToldToTheUserAndTheNewPathStaysInMemory) {
  module.ReadImagePath();
  settings.writesFail = true;
  module.sImagePath = u"D:\\sig.png";
  module.bPathReady = false;
  module.SaveImagePath();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kCouldNotSavePath)));
  EXPECT_EQ(module.sImagePath, u"D:\\sig.png");
  EXPECT_TRUE(module.bPathReady);
}

TEST_F(Settings, AFailedSystemDirectoryQueryKeepsTheEarlierDirectory) {
  module.sSystemDir = u"C:\\Earlier";
  settings.systemDirectoryFails = true;
  module.ReadImagePath();
  EXPECT_EQ(module.sSystemDir, u"C:\\Earlier");
  EXPECT_EQ(module.sImagePath, u"No");
  EXPECT_TRUE(module.bPathReady);

  settings.systemDirectoryFails = false;
  settings.systemDirectory = std::u16string(200, u'd');  // does not fit the buffer
  module.ReadImagePath();
  EXPECT_EQ(module.sSystemDir, u"C:\\Earlier");
}

}  // namespace
}  // namespace penvane

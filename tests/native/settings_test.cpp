// The signature settings store: settings.ini in the system directory, section Path, key
// ChildPath, through the kernel32 functions with the runtime's ANSI marshalling.
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
  std::u16string& stored() { return kernel32.files[file][u"Path/ChildPath"]; }
  fakes::Shown notice(std::string_view tcvn3) {
    return {text::widenBytes(tcvn3), 48, text::widenBytes(literals::kNotice)};
  }

  fakes::Kernel32 kernel32;
  fakes::MessageBoxes messages;
  Module1 module{kernel32, messages};
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

  kernel32.files.clear();
  module.SaveImagePath();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kChoosePathFirst)));
  EXPECT_FALSE(module.bPathReady);
  EXPECT_TRUE(kernel32.files.empty());
}

TEST_F(Settings, APathOutsideTheCodePageIsKeptInItsCodePageForm) {
  module.ReadImagePath();
  module.sImagePath = u"C:\\Ch\u1EEF k\u00FD.gif";
  module.SaveImagePath();
  EXPECT_EQ(stored(), u"C:\\Ch? k\u00FD.gif");
  EXPECT_EQ(module.sImagePath, u"C:\\Ch? k\u00FD.gif");
}

TEST_F(Settings, ASaveTouchesNothingButTheOneKey) {
  auto& f = kernel32.files[file];
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
  kernel32.writesFail = true;
  module.sImagePath = u"D:\\sig.png";
  module.bPathReady = false;
  module.SaveImagePath();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kCouldNotSavePath)));
  EXPECT_EQ(module.sImagePath, u"D:\\sig.png");
  EXPECT_TRUE(module.bPathReady);
}

TEST_F(Settings, AFailedSystemDirectoryQueryKeepsTheEarlierDirectory) {
  module.sSystemDir = u"C:\\Earlier";
  kernel32.systemDirectoryFails = true;
  module.ReadImagePath();
  EXPECT_EQ(module.sSystemDir, u"C:\\Earlier");
  EXPECT_EQ(module.sImagePath, u"No");
  EXPECT_TRUE(module.bPathReady);

  kernel32.systemDirectoryFails = false;
  kernel32.systemDirectory = std::u16string(200, u'd');  // does not fit the buffer
  module.ReadImagePath();
  EXPECT_EQ(module.sSystemDir, u"C:\\Earlier");
}

}  // namespace
}  // namespace penvane

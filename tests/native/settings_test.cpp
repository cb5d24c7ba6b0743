// The signature settings store: settings.ini in the system directory, section Path, key
// ChildPath, in the ANSI code page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "penvane/image_path.h"
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
  ImagePath path{settings, messages};
};

TEST_F(Settings, WithoutASettingsFileThePathIsNoAndSavingItCreatesTheFile) {
  path.read();
  EXPECT_EQ(path.systemDirectory(), u"C:\\WINDOWS\\system32");
  EXPECT_EQ(path.path(), u"No");
  EXPECT_TRUE(path.ready());
  path.save();
  EXPECT_EQ(stored(), u"No");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Settings, TheStoredValueIsTrimmedAndCutTo199Characters) {
  stored() = u"   C:\\My Pictures\\sig.gif  ";
  path.read();
  EXPECT_EQ(path.path(), u"C:\\My Pictures\\sig.gif");

  stored() = std::u16string(250, u'x');
  path.read();
  EXPECT_EQ(path.path(), std::u16string(199, u'x'));
}

TEST_F(Settings, AnEmptyValueIsReadyAtStartButNotSaved) {
  stored() = u"";
  path.read();
  EXPECT_EQ(path.path(), u"");
  EXPECT_TRUE(path.ready());

  settings.files.clear();
  path.save();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kChoosePathFirst)));
  EXPECT_FALSE(path.ready());
  EXPECT_TRUE(settings.files.empty());
}

// Written in the code page, "ữ" would become "?" and the file would name another path: the user
// is told, nothing is written, and the path stays as chosen for this session.
TEST_F(Settings, APathOutsideTheCodePageIsNotWrittenAndTheUserIsTold) {
  path.read();
  path.replace(u"C:\\Ch\u1EEF k\u00FD.gif");
  path.save();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kCouldNotSavePath)));
  EXPECT_TRUE(settings.files.empty());
  EXPECT_EQ(path.path(), u"C:\\Ch\u1EEF k\u00FD.gif");
  EXPECT_TRUE(path.ready());

  messages.shown.clear();
  path.replace(u"C:\\Ch\u00FB k\u00FD.gif");  // within the code page
  path.save();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(stored(), u"C:\\Ch\u00FB k\u00FD.gif");
}

TEST_F(Settings, AFailedReadLeavesThePathAsItWas) {
  path.replace(u"D:\\chosen.png");
  settings.readsFail = true;
  path.read();
  EXPECT_EQ(path.path(), u"D:\\chosen.png");
  EXPECT_TRUE(path.ready());
}

TEST_F(Settings, ASaveTouchesNothingButTheOneKey) {
  auto& f = settings.files[file];
  f[u"Path/Other"] = u"keep";
  f[u"Colours/ChildPath"] = u"keep too";
  path.read();
  path.replace(u"D:\\sig.png");
  path.save();
  EXPECT_EQ(f.size(), 3u);
  EXPECT_EQ(f[u"Path/Other"], u"keep");
  EXPECT_EQ(f[u"Colours/ChildPath"], u"keep too");
  EXPECT_EQ(f[u"Path/ChildPath"], u"D:\\sig.png");
}

TEST_F(Settings, AFailedWriteIsToldToTheUserAndTheNewPathStaysInMemory) {
  path.read();
  settings.writesFail = true;
  path.forget();
  path.replace(u"D:\\sig.png");
  path.save();
  EXPECT_THAT(messages.shown, ElementsAre(notice(literals::kCouldNotSavePath)));
  EXPECT_EQ(path.path(), u"D:\\sig.png");
  EXPECT_TRUE(path.ready());
}

TEST_F(Settings, AFailedSystemDirectoryQueryKeepsTheEarlierDirectory) {
  settings.systemDirectory = u"C:\\Earlier";
  path.read();
  settings.systemDirectoryFails = true;
  path.read();
  EXPECT_EQ(path.systemDirectory(), u"C:\\Earlier");
  EXPECT_EQ(path.path(), u"No");
  EXPECT_TRUE(path.ready());

  settings.systemDirectoryFails = false;
  settings.systemDirectory = std::u16string(200, u'd');  // does not fit the buffer
  path.read();
  EXPECT_EQ(path.systemDirectory(), u"C:\\Earlier");
}

}  // namespace
}  // namespace penvane

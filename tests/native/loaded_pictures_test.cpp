// LoadPicture's memory of what it loaded: a picture is loaded again only when its file changed,
// when no control shows it any more, or after the file was found missing or no picture.
#include "sealbrook/loaded_pictures.h"

#include <string>

#include <gtest/gtest.h>

#include "base/error.h"
#include "sealbrook_fakes.h"
#include "tests/common/failure.h"

namespace sealbrook {
namespace {

using File = LoadedPictures::File;

class Pictures : public testing::Test {
 protected:
  PicturePtr load(const std::optional<File>& file, bool valid = true) {
    return pictures.load(kPath, file, [&]() -> PicturePtr {
      ++loads;
      return valid ? std::make_shared<Picture>(kPath) : nullptr;
    });
  }
  automation::HResult failureOf(const std::optional<File>& file, bool valid = true) {
    return testing_support::failureOf([&] { load(file, valid); }).hresult();
  }

  const std::u16string kPath = u"C:\\WINDOWS\\Pass.gif";
  LoadedPictures pictures;
  int loads = 0;
};

TEST_F(Pictures, AShownPictureIsGivenAgainWhileItsFileIsUnchanged) {
  const File file{1200, 7};
  const PicturePtr shown = load(file);
  EXPECT_EQ(load(file), shown);
  EXPECT_EQ(loads, 1);
  // Another size or another time of last write: the file changed.
  const PicturePtr larger = load(File{1300, 7});
  EXPECT_NE(larger, shown);
  EXPECT_NE(load(File{1300, 8}), larger);
  EXPECT_EQ(loads, 3);
}

TEST_F(Pictures, APictureNoControlShowsAnyMoreIsNotKept) {
  const File file{1200, 7};
  load(file);  // shown by nobody
  load(file);
  EXPECT_EQ(loads, 2);
}

TEST_F(Pictures, AMissingFileOrOneWithoutAPictureFailsAndIsForgotten) {
  const File file{1200, 7};
  const PicturePtr shown = load(file);
  EXPECT_EQ(failureOf(std::nullopt), automation::hr::runtime(53));
  EXPECT_EQ(loads, 1);  // nothing was loaded
  // Back as it was: loaded anew, though a control still shows the old picture.
  const PicturePtr again = load(file);
  EXPECT_NE(again, shown);
  // Changed into something that is no picture, then back as it was: loaded anew once more.
  EXPECT_EQ(failureOf(File{1200, 8}, /*valid=*/false), automation::hr::runtime(481));
  EXPECT_NE(load(file), again);
  EXPECT_EQ(loads, 4);
}

}  // namespace
}  // namespace sealbrook

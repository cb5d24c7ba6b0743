// Where the control's parts and pictures lie at a resolution, and the extent it starts with: the
// sizes the Windows suite sees on the screen (240 x 136 pixels at 96 dots per inch, Image1's
// clickable 236 x 118), here at every resolution the arithmetic meets.
#include "sealbrook/layout.h"

#include <optional>

#include <gtest/gtest.h>

#include "host/units.h"
#include "sealbrook_fakes.h"
#include "simword/word.h"

namespace sealbrook {
namespace {

using host::Dpi;
using host::Rect;
using host::Size;

TEST(Layout, ANewControlIsTheSurfacesDesignSizeInHimetric) {
  EXPECT_EQ(initialExtent(), (Size{6350, 3598}));
}

TEST(Layout, Picture1LeavesTheFifteenTwipStripAtEveryResolution) {
  EXPECT_EQ(picture1Window(Dpi{}), (Rect{0, 0, 239, 135}));
  EXPECT_EQ(picture1Window(Dpi{120, 120}), (Rect{0, 0, 299, 169}));
  EXPECT_EQ(picture1Window(Dpi{144, 96}), (Rect{0, 0, 359, 135}));
}

TEST(Layout, Image1TakesClicksOverItsDesignSizeUntilItShowsAPictureThenOverThePicture) {
  const Rect design = image1Area(Dpi{}, std::nullopt);
  EXPECT_EQ(design, (Rect{0, 0, 236, 118}));
  EXPECT_TRUE(design.contains({235, 117}));
  EXPECT_FALSE(design.contains({237, 130}));  // inside Picture1, outside Image1

  // A signature picture of 160 x 60 pixels at 96 dots per inch, as its HIMETRIC size.
  const Size signature{4233, 1588};
  EXPECT_EQ(image1Area(Dpi{}, signature), (Rect{0, 0, 160, 60}));
  EXPECT_FALSE(image1Area(Dpi{}, signature).contains({200, 100}));
  EXPECT_EQ(image1Area(Dpi{192, 192}, signature), (Rect{0, 0, 320, 120}));
  // A picture larger than Image1's design size takes clicks over all of it.
  EXPECT_EQ(image1Area(Dpi{}, Size{12700, 5080}), (Rect{0, 0, 480, 192}));
}

TEST(Layout, TheBlocksPicture1PartScalesWithTheBlockWhereverItIsDrawn) {
  EXPECT_EQ(picture1Part(Rect{0, 0, 240, 136}), (Rect{0, 0, 239, 135}));
  EXPECT_EQ(picture1Part(Rect{100, 50, 580, 322}), (Rect{100, 50, 578, 320}));
  // A metafile's HIMETRIC frame.
  EXPECT_EQ(picture1Part(Rect{0, 0, 6350, 3598}), (Rect{0, 0, 6324, 3572}));
}

TEST(Layout, PicturesDrawAtTheResolutionThatScalesThemWithTheBlock) {
  EXPECT_EQ(drawingResolution(Rect{0, 0, 240, 136}, initialExtent()).x, 96);
  EXPECT_EQ(drawingResolution(Rect{0, 0, 240, 136}, initialExtent()).y, 96);
  const Dpi doubled = drawingResolution(Rect{20, 20, 500, 292}, initialExtent());
  EXPECT_EQ(doubled.x, 192);
  EXPECT_EQ(doubled.y, 192);
  // An empty extent draws as if it were one unit wide and high, never by dividing by zero.
  const Dpi empty = drawingResolution(Rect{0, 0, 2, 3}, Size{0, 0});
  EXPECT_EQ(empty.x, 5080);
  EXPECT_EQ(empty.y, 7620);
}

TEST(Layout, TheSignatureLiesOverTheStatusPictureBothFromWhereTheBlockIsDrawn) {
  simword::Word word;
  word.open(u"Report");
  fakes::Runtime runtime{word};
  fakes::Surface surface{runtime.calls};
  fakes::Site site;
  SignData control{runtime, surface, site};
  EXPECT_TRUE(picturesShown(control, {0, 0}, Dpi{}).empty());

  runtime.files.erase(std::u16string(kValidPicture));
  control.mnuSign_Click();  // the signature shows; the command ends without a status
  auto shown = picturesShown(control, {10, 20}, Dpi{});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].picture, control.Image1().get());

  runtime.files.insert(std::u16string(kValidPicture));
  control.mnuSign_Click();
  shown = picturesShown(control, {10, 20}, Dpi{144, 144});
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].picture, control.Picture1().get());  // drawn first, underneath
  EXPECT_EQ(shown[1].picture, control.Image1().get());
  for (const PictureAt& p : shown) {
    EXPECT_EQ(p.at.x, 10);
    EXPECT_EQ(p.at.y, 20);
  }
  // Printed, exported or kept in the document: the signature, never the status.
  shown = picturesShown(control, {10, 20}, Dpi{144, 144}, Medium::Kept);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].picture, control.Image1().get());
}

}  // namespace
}  // namespace sealbrook

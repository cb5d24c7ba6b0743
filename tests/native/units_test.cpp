// Lengths in twips, HIMETRIC and pixels, rounded as the platform rounds them: a window or a
// picture one pixel off shows as a misplaced block or a click that misses.
#include "host/units.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(Units, MulDivRoundsHalfAwayFromZeroWithoutOverflowAndFailsAsThePlatformDoes) {
  EXPECT_EQ(mulDiv(3, 1, 2), 2);  // 1.5
  EXPECT_EQ(mulDiv(5, 1, 4), 1);  // 1.25
  EXPECT_EQ(mulDiv(-3, 1, 2), -2);
  EXPECT_EQ(mulDiv(3, -1, 2), -2);
  EXPECT_EQ(mulDiv(3, 1, -2), -2);
  EXPECT_EQ(mulDiv(-3, -1, -2), -2);
  EXPECT_EQ(mulDiv(-5, 1, 4), -1);
  EXPECT_EQ(mulDiv(0, -7, 3), 0);
  // The product does not fit in 32 bits; the result does.
  EXPECT_EQ(mulDiv(2000000, 2000000, 4000000), 1000000);
  EXPECT_EQ(mulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
  // No divisor, or a result beyond 32 bits: -1.
  EXPECT_EQ(mulDiv(7, 3, 0), -1);
  EXPECT_EQ(mulDiv(INT32_MAX, 2, 1), -1);
}

TEST(Units, ConversionsAtTheCommonResolutions) {
  EXPECT_EQ(twipsToPixels(3600, 96), 240);
  EXPECT_EQ(twipsToPixels(15, 96), 1);
  EXPECT_EQ(twipsToPixels(3585, 120), 299);  // 298.75
  EXPECT_EQ(himetricToPixels(2540, 144), 144);
  EXPECT_EQ(himetricToPixels(4233, 96), 160);  // 159.99
  EXPECT_EQ(twipsToHimetric(1440), 2540);
  EXPECT_EQ(twipsToHimetric(2040), 3598);  // 3598.33
  EXPECT_EQ(toPixels(Size{2540, 1270}, Dpi{96, 192}), (Size{96, 96}));
}

TEST(Units, APlaceConvertsItsCornerAndItsSizeEachOnTheirOwn) {
  // 10 twips are 0.67 pixels at 96 dots per inch: the corner and the size each round up, so the
  // far edge lies at 2 where 20 twips alone would give 1.
  EXPECT_EQ(toPixels(TwipRect{10, 10, 10, 10}, Dpi{}), (Rect{1, 1, 2, 2}));
  EXPECT_EQ(toPixels(TwipRect{1440, 720, 2880, 1440}, Dpi{96, 120}), (Rect{96, 60, 288, 180}));
}

TEST(Units, ARectangleHoldsItsLeftAndTopEdgesButNotItsRightAndBottom) {
  const Rect r{10, 20, 30, 40};
  EXPECT_EQ(r.width(), 20);
  EXPECT_EQ(r.height(), 20);
  EXPECT_TRUE(r.contains({10, 20}));
  EXPECT_TRUE(r.contains({29, 39}));
  EXPECT_FALSE(r.contains({30, 39}));
  EXPECT_FALSE(r.contains({29, 40}));
  EXPECT_FALSE(r.contains({9, 25}));
  EXPECT_FALSE((Rect{5, 5, 5, 9}.contains({5, 5})));  // an empty rectangle holds nothing
}

}  // namespace
}  // namespace host

// The millimetre texts of the two status panels.
#include <gtest/gtest.h>

#include "edit/PointerReadout.h"

namespace fw {
namespace {

TEST(PointerReadoutTest, BoardUnitsAreShownAsMillimetresWithTwoDecimals) {
  EXPECT_EQ(millimetreText(0), "0.00");
  EXPECT_EQ(millimetreText(100), "63.50");
  EXPECT_EQ(millimetreText(4), "2.54");
  EXPECT_EQ(millimetreText(1), "0.64");
  EXPECT_EQ(millimetreText(792), "502.92");
  EXPECT_EQ(millimetreText(-4), "-2.54");
  EXPECT_EQ(millimetreText(-1), "-0.64");
  // At most ten characters.
  EXPECT_EQ(millimetreText(20000000), "12700000.0");
  EXPECT_EQ(millimetreText(-2000000), "-1270000.0");
}

TEST(PointerReadoutTest, PositionShowsALoneMinusForNegativeCoordinates) {
  EXPECT_EQ(pointerReadoutText(100, 0), "X = 63.50 mm    Y = 0.00 mm");
  EXPECT_EQ(pointerReadoutText(-1, 4), "X = - mm    Y = 2.54 mm");
  EXPECT_EQ(pointerReadoutText(8, -4), "X = 5.08 mm    Y = - mm");
}

TEST(PointerReadoutTest, SegmentKeepsTheSignAndHasNoUnit) {
  EXPECT_EQ(segmentReadoutText(-4, 8), "X = -2.54    Y = 5.08");
  EXPECT_EQ(segmentReadoutText(0, 0), "X = 0.00    Y = 0.00");
}

}  // namespace
}  // namespace fw

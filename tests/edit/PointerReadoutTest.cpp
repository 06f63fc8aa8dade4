// Millimetre texts of the status panels: rounding, sign and the ten-character cut.
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

}  // namespace
}  // namespace fw

// The geometry of an object's rows: what fits on the board.
#include <gtest/gtest.h>

#include "board/ObjectGeometry.h"

namespace fw {
namespace {

// Found by the monkey: a turned floating object can carry a text whose layer bits have wrapped
// to a layer that does not exist, or a wire point whose flags no longer agree; such a copy
// does not fit anywhere, whatever its positions say.
TEST(ObjectFit, WrappedLayerAndFlagBitsNeverFit) {
  auto b = makeBoard();
  TextItem t;
  t.x = static_cast<uint16_t>(3 * 4096 + 10);  // layer bits 3, position 10
  t.y = 40;
  b->TextTable[0] = t;
  const BoardObject text{0, 0, 0, 0, 0, 1};
  EXPECT_FALSE(objectFitsOnBoard(*b, text, 100, 100));
  b->TextTable[0].x = static_cast<uint16_t>(2 * 4096 + 10);
  EXPECT_TRUE(objectFitsOnBoard(*b, text, 100, 100));

  b->WirePointTable[0] = {static_cast<uint16_t>(WireStartFlag + 10), 20, kWireStartAttr};
  const BoardObject point{0, 0, 0, 1, 0, 0};
  EXPECT_FALSE(objectFitsOnBoard(*b, point, 100, 100));
  b->WirePointTable[0].y = static_cast<uint16_t>(WireStartFlag + 20);
  EXPECT_TRUE(objectFitsOnBoard(*b, point, 100, 100));
}

}  // namespace
}  // namespace fw

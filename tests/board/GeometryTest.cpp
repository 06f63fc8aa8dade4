#include <gtest/gtest.h>

#include "board/Geometry.h"
#include "board/View.h"

namespace fw {
namespace {

// Three wires: rows 0-2 drawn by the editor, row 3 a lone start, rows 4-5 a wire from a file
std::unique_ptr<Board> threeWires() {
  auto b = makeBoard();
  auto add = [&](int x, bool start, uint8_t attr) {
    WirePoint p;
    p.x = static_cast<uint16_t>(x + (start ? WireStartFlag : 0));
    p.y = static_cast<uint16_t>(10 + (start ? WireStartFlag : 0));
    p.attr = attr;
    b->addWirePoint(p);
  };
  add(0, true, kWireStartAttr);
  add(10, false, 0x13);  // layer 1, width 3
  add(20, false, 0x0B);  // layer 0, width 11
  add(30, true, kWireStartAttr);
  add(40, true, 0x05);
  add(50, false, 0x07);
  return b;
}

TEST(WireGeometry, StartsEndsAndSegmentsOfEveryRow) {
  const auto b = threeWires();
  struct Case {
    int row, start, end, segmentEnd, halfWidth;
  };
  const Case cases[] = {
      {0, 0, 3, 1, 0},  // a start shows its wire's first segment; attr 255 has no width
      {1, 0, 3, 1, 0}, {2, 0, 3, 2, 4}, {3, 3, 4, -1, 0},  // a lone start has no segment
      {4, 4, 6, 5, 1},  // a start with its own width, from a file
      {5, 4, 6, 5, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(wireStartOf(*b, c.row), c.start);
    EXPECT_EQ(wireOf(*b, c.row).start, c.start);
    EXPECT_EQ(wireOf(*b, c.row).end, c.end);
    EXPECT_EQ(wireSegmentEnd(*b, c.row), c.segmentEnd);
    EXPECT_EQ(halfWireWidth(*b, c.row), c.halfWidth);
  }
  EXPECT_EQ(wireOf(*b, 1).pointsAfterStart(), 2);
  EXPECT_EQ(wireSegmentEnd(*b, 6), -1);  // past the count
  EXPECT_EQ(wireSegmentEnd(*b, -1), -1);

  // A damaged first row that is no start belongs to no segment.
  auto damaged = makeBoard();
  damaged->addWirePoint({5, 5, 0x02});
  EXPECT_EQ(wireSegmentEnd(*damaged, 0), -1);
  EXPECT_EQ(wireOf(*damaged, 0).end, 1);
}

TEST(PinGeometry, HitSizesAndDragRadiiFollowSizeStyleAndZoom) {
  auto b = makeBoard();
  b->addPin({100, 100, 3, 0});    // 4 units, 16 px at 4x
  b->addPin({100, 100, 9, 128});  // graphic: doubled
  b->addPin({100, 100, 9, 200});  // graphic to the eye, but the hit test doubles only 128
  EXPECT_EQ(pinHitHalfSize(b->PinTable[0]), 2);
  EXPECT_EQ(pinHitHalfSize(b->PinTable[1]), 12);
  EXPECT_EQ(pinHitHalfSize(b->PinTable[2]), 6);
  EXPECT_EQ(pinDragRadius(*b, 0, 2), 8);
  EXPECT_EQ(pinDragRadius(*b, 1, 5), 384);  // full diameter for a graphic pin
  EXPECT_EQ(pinDragRadius(*b, 0, 99), 64);  // zoom past the table: the 32x column
  EXPECT_EQ(pinDragRadius(*b, 3, 2), 0);    // a row past the count has no circle
}

TEST(BoardClamps, PositionsAndFrameSizesArePulledIntoRange) {
  EXPECT_EQ(clampToBoardX(-3), 0);
  EXPECT_EQ(clampToBoardX(800), kMaxBoardX);
  EXPECT_EQ(clampToBoardY(600), kMaxBoardY);
  EXPECT_EQ(clampToBoardY(300), 300);
  EXPECT_EQ(zoomColumn(-1), 0);
  EXPECT_EQ(zoomColumn(9), kZoomLevels - 1);
}

}  // namespace
}  // namespace fw

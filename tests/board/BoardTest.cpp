#include <gtest/gtest.h>

#include "board/Board.h"
#include "support/SameBoard.h"

namespace fw {
namespace {

WirePoint start(uint16_t x, uint16_t y) {
  return {uint16_t(x + WireStartFlag), uint16_t(y + WireStartFlag), kWireStartAttr};
}
WirePoint next(uint16_t x, uint16_t y, uint8_t attr = 0x01) {
  return {x, y, attr};
}

TEST(BoardReset, NewBoardKeepsOldRowsButNotTheirCounts) {
  auto b = makeBoard();
  b->addPin({10, 20, 3, 0});
  b->addText({});
  b->FrameWidth = 400;
  b->SavedFlag = false;
  b->CurrentFileName = "x.kvd";
  b->reset();
  EXPECT_EQ(b->PinCount, 0);
  EXPECT_EQ(b->TextCount, 0);
  EXPECT_EQ(b->FrameWidth, 252);
  EXPECT_EQ(b->FrameHeight, 158);
  EXPECT_TRUE(b->SavedFlag);
  EXPECT_TRUE(b->CurrentFileName.empty());
  EXPECT_EQ(b->PinTable[0], (Pin{10, 20, 3, 0}));
}

TEST(BoardCapacity, FullTablesRefuseTheAdditionAndStayUnchanged) {
  auto b = makeBoard();
  for (int i = 0; i < kPinCapacity; ++i) ASSERT_TRUE(b->addPin({uint16_t(i), 0, 0, 0}));
  EXPECT_FALSE(b->addPin({9999, 9999, 9, 2}));
  EXPECT_EQ(b->PinCount, kPinCapacity);
  EXPECT_EQ(b->PinTable[kPinCapacity - 1].x, kPinCapacity - 1);

  for (int i = 0; i < kWirePointCapacity; ++i) ASSERT_TRUE(b->addWirePoint(next(1, 1)));
  EXPECT_FALSE(b->addWirePoint(next(2, 2)));
  EXPECT_EQ(b->WirePointCount, kWirePointCapacity);

  for (int i = 0; i < kTextCapacity; ++i) ASSERT_TRUE(b->addText({}));
  EXPECT_FALSE(b->addText({}));
  EXPECT_EQ(b->TextCount, kTextCapacity);

  for (int i = 0; i < kObjectCapacity; ++i) ASSERT_TRUE(b->addObject({}, "o"));
  EXPECT_FALSE(b->addObject({1, 1, 1, 1, 1, 1}, "refused"));
  EXPECT_EQ(b->ObjectCount, kObjectCapacity);
  EXPECT_EQ(b->ObjectDescriptions[kObjectCapacity].str(), "");
}

TEST(BoardStrings, TextsAndDescriptionsAreCutToTheirCapacity) {
  auto b = makeBoard();
  TextItem t;
  t.text.set(std::string(40, 'a'));
  EXPECT_EQ(t.text.length, 32);
  b->addObject({}, std::string(60, 'd'));
  EXPECT_EQ(b->ObjectDescriptions[0].str(), std::string(50, 'd'));
  t.text.set("ab");
  TextItem u;
  u.text.set("abc");
  u.text.set("ab");  // the leftover 'c' is cleared and does not count
  EXPECT_EQ(t, u);
}

TEST(BoardWires, WiresAndSegmentsAreCountedByTheStartFlag) {
  auto b = makeBoard();
  EXPECT_EQ(b->wireCount(), 0);
  EXPECT_EQ(b->wireSegmentCount(), 0);

  b->addWirePoint(start(100, 100));  // a wire of one point has no segment
  EXPECT_EQ(b->wireCount(), 1);
  EXPECT_EQ(b->wireSegmentCount(), 0);

  b->addWirePoint(start(10, 10));  // one wire of four points
  b->addWirePoint(next(20, 10));
  b->addWirePoint(next(20, 20));
  b->addWirePoint(next(30, 20));
  EXPECT_EQ(b->wireCount(), 2);
  EXPECT_EQ(b->wireSegmentCount(), 3);

  // Splitting the four-point wire at its third point: two wires, one segment fewer.
  b->WirePointTable[3].x |= WireStartFlag;
  b->WirePointTable[3].y |= WireStartFlag;
  EXPECT_EQ(b->wireCount(), 3);
  EXPECT_EQ(b->wireSegmentCount(), 2);

  const WirePoint p = start(100, 0);
  EXPECT_TRUE(isWireStart(p));
  EXPECT_EQ(p.x & kPositionMask, 100);
  EXPECT_EQ(p.y, 16384);
}

// Objects are built here with the given element counts; the ranges are not relevant to removal.
std::unique_ptr<Board> boardWithObjects(std::initializer_list<std::array<int, 3>> counts) {
  auto b = makeBoard();
  int n = 0;
  for (const auto& c : counts) {
    BoardObject o;
    o.firstPin = uint16_t(n);
    o.pinCount = uint16_t(c[0]);
    o.pointCount = uint16_t(c[1]);
    o.textCount = uint16_t(c[2]);
    b->addObject(o, "object " + std::to_string(++n));
  }
  return b;
}

TEST(BoardEmptyObjects, EmptyObjectsGoWithTheirDescriptions) {
  auto b = boardWithObjects({{1, 0, 0}, {0, 0, 0}, {0, 2, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 3}});
  b->removeEmptyObjects();
  ASSERT_EQ(b->ObjectCount, 3);
  const std::array<std::string, 3> names{"object 1", "object 3", "object 6"};
  const std::array<int, 3> firstPins{0, 2, 5};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b->ObjectDescriptions[i].str(), names[i]);
    EXPECT_EQ(b->ObjectTable[i].firstPin, firstPins[i]);
  }
  EXPECT_EQ(b->ObjectTable[1].pointCount, 2);
  EXPECT_EQ(b->ObjectTable[2].textCount, 3);
}

TEST(BoardEmptyObjects, AllEmptyNoneEmptyAndNoObjects) {
  auto all = boardWithObjects({{0, 0, 0}, {0, 0, 0}});
  all->removeEmptyObjects();
  EXPECT_EQ(all->ObjectCount, 0);

  auto none = boardWithObjects({{1, 0, 0}, {0, 1, 0}});
  auto copy = std::make_unique<Board>(*none);
  none->removeEmptyObjects();
  EXPECT_TRUE(sameContent(*none, *copy));

  auto empty = makeBoard();
  empty->removeEmptyObjects();
  EXPECT_EQ(empty->ObjectCount, 0);
}

TEST(BoardSameContent, ComparesRowsInUseAndTheFrameOnly) {
  auto a = makeBoard();
  auto b = makeBoard();
  a->addPin({1, 2, 3, 0});
  b->addPin({1, 2, 3, 0});
  b->PinTable[7] = {9, 9, 9, 9};  // past the count
  b->SavedFlag = false;
  EXPECT_TRUE(sameContent(*a, *b));
  b->PinTable[0].style = 1;
  EXPECT_FALSE(sameContent(*a, *b));
  b->PinTable[0].style = 0;
  b->FrameHeight = 159;
  EXPECT_FALSE(sameContent(*a, *b));
  b->FrameHeight = a->FrameHeight;
  a->addObject({}, "x");
  b->addObject({}, "y");
  EXPECT_FALSE(sameContent(*a, *b));
}

}  // namespace
}  // namespace fw

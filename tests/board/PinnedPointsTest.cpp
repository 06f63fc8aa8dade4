// Track ends pinned to pads: which wire points go with a moving pad, and how they follow it.
#include <gtest/gtest.h>

#include "board/PinnedPoints.h"

namespace fw {
namespace {

void addWire(Board& b, std::initializer_list<std::pair<int, int>> points, int layer) {
  bool first = true;
  for (const auto& [x, y] : points) {
    const uint16_t flag = first ? WireStartFlag : 0;
    b.addWirePoint(
        {uint16_t(x + flag), uint16_t(y + flag), first ? kWireStartAttr : uint8_t(layer * 16 + 2)});
    first = false;
  }
}

// Pads 0 and 1, a graphic pin 2, and pad 3 on top of pad 0.
std::unique_ptr<Board> boardWithTracks() {
  auto b = makeBoard();
  for (const auto& [x, y, style] : std::initializer_list<std::tuple<int, int, int>>{
           {100, 100, 0}, {200, 100, 1}, {300, 100, GraphicPinFlag}, {100, 100, 0}}) {
    Pin p;
    p.x = uint16_t(x);
    p.y = uint16_t(y);
    p.style = uint8_t(style);
    b->addPin(p);
  }
  addWire(*b, {{100, 100}, {150, 100}, {200, 100}}, kLayer1);  // rows 0-2: pad 0 to pad 1
  addWire(*b, {{200, 100}, {200, 150}}, kGraphic);             // rows 3-4: not copper
  addWire(*b, {{300, 100}, {300, 150}}, kLayer2);              // rows 5-6: on the graphic pin
  addWire(*b, {{120, 120}, {101, 100}}, kLayer2);              // rows 7-8: a unit short of pad 0
  addWire(*b, {{50, 50}, {100, 100}}, kLayer2);                // rows 9-10: ends on pad 0
  return b;
}

TEST(PinnedPoints, OnlyCopperEndsOnAMovingPadsCentreAreTaken) {
  const auto b = boardWithTracks();
  struct Case {
    const char* what;
    BoardObject moving;
    std::vector<std::pair<int, int>> pinned;  // point, pad
  };
  const Case cases[] = {
      {"every pin", {0, 4, 0, 0, 0, 0}, {{0, 0}, {2, 1}, {10, 0}}},
      {"an object owning the last wire", {0, 4, 9, 2, 0, 0}, {{0, 0}, {2, 1}}},
      {"pad 1 alone", {1, 1, 0, 0, 0, 0}, {{2, 1}}},
      {"pad 3 under pad 0", {3, 1, 0, 0, 0, 0}, {{0, 3}, {10, 3}}},
      {"the graphic pin", {2, 1, 0, 0, 0, 0}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<int, int>> got;
    for (const PinnedPoint& p : pointsOnPins(*b, c.moving)) got.emplace_back(p.point, p.pin);
    EXPECT_EQ(got, c.pinned) << c.what;
  }
}

TEST(PinnedPoints, EndsFollowTheirPadKeepingTheirFlagsButNeverOffTheBoard) {
  auto b = boardWithTracks();
  const std::vector<PinnedPoint> pinned = pointsOnPins(*b, {0, 2, 0, 0, 0, 0});
  b->PinTable[0].x = 104;
  b->PinTable[0].y = 96;
  followPins(*b, pinned);
  EXPECT_EQ(b->WirePointTable[0].x, WireStartFlag + 104);  // a wire start stays one
  EXPECT_EQ(b->WirePointTable[0].y, WireStartFlag + 96);
  EXPECT_EQ(b->WirePointTable[10].x, 104);
  EXPECT_EQ(b->WirePointTable[10].y, 96);
  EXPECT_EQ(b->WirePointTable[1].x, 150);  // the other points of the track stay
  EXPECT_EQ(b->WirePointTable[2].x, 200);

  // A pad that landed off the board leaves every end where it was.
  b->PinTable[1].x = 900;
  b->PinTable[0].x = 108;
  EXPECT_FALSE(pinnedPadsOnBoard(*b, pinned));
  followPins(*b, pinned);
  EXPECT_EQ(b->WirePointTable[10].x, 104);
  EXPECT_EQ(b->WirePointTable[2].x, 200);
}

}  // namespace
}  // namespace fw

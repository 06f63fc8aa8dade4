#pragma once

// Boards with copper at known distances. The new frame (252 x 158) has its lower left corner at
// board position (270, 375); a board unit is 0.635 mm.

#include <initializer_list>
#include <utility>

#include "board/Board.h"

namespace fw::test {

constexpr double kUnitMm = 0.635;

inline double frameXmm(int x) {
  return (x - 270) * kUnitMm;
}
inline double frameYmm(int y) {
  return (375 - y) * kUnitMm;
}

// A wire through the points, every segment on `layer` with width index `width`; returns the row
// of its first point.
inline int addTrack(Board& b, std::initializer_list<std::pair<int, int>> points, int layer,
                    int width) {
  const int start = b.WirePointCount;
  bool first = true;
  for (const auto& [x, y] : points) {
    const uint16_t flag = first ? WireStartFlag : 0;
    b.addWirePoint({uint16_t(x + flag), uint16_t(y + flag),
                    uint8_t(first ? kWireStartAttr : layer * 16 + width)});
    first = false;
  }
  return start;
}

inline int addPad(Board& b, int x, int y, int sizeIndex, int style = 0) {
  b.addPin({uint16_t(x), uint16_t(y), uint8_t(sizeIndex), uint8_t(style)});
  return b.PinCount - 1;
}

}  // namespace fw::test

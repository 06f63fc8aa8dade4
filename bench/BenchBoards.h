#pragma once

#include <memory>
#include <random>
#include <string>

#include "board/Board.h"

namespace fw {

// Boards for the benchmarks, the same on every run (fixed seed), spread over the whole
// workspace 0..792 x 0..592 with random layers, sizes and widths.
inline std::unique_ptr<Board> makeBenchBoard(int pins, int points, int texts, uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  auto b = makeBoard();
  for (int i = 0; i < pins; ++i) {
    const uint8_t style = pick(8) == 0 ? GraphicPinFlag : static_cast<uint8_t>(pick(3));
    b->addPin({uint16_t(pick(793)), uint16_t(pick(593)), uint8_t(pick(10)), style});
  }
  // Wires of five points; the last one takes what is left.
  for (int i = 0; i < points; ++i) {
    if (i % 5 == 0) {
      b->addWirePoint({uint16_t(pick(793) + WireStartFlag), uint16_t(pick(593) + WireStartFlag),
                       kWireStartAttr});
    } else {
      b->addWirePoint(
          {uint16_t(pick(793)), uint16_t(pick(593)), uint8_t(pick(kLayerCount) * 16 + pick(12))});
    }
  }
  for (int i = 0; i < texts; ++i) {
    TextItem t;
    std::string s(8, ' ');
    for (char& c : s) c = static_cast<char>('A' + pick(26));
    t.text.set(s);
    t.size = uint8_t(5 + pick(46));
    t.x = uint16_t(pick(kLayerCount) * 4096 + pick(793));
    t.y = uint16_t(pick(593));
    b->addText(t);
  }
  return b;
}

inline std::unique_ptr<Board> makeEmptyBoard() {
  return makeBoard();
}

inline std::unique_ptr<Board> makeTypicalBoard() {
  return makeBenchBoard(500, 3000, 300, 7);
}

// Every table at capacity except the objects.
inline std::unique_ptr<Board> makeFullBoard() {
  return makeBenchBoard(kPinCapacity, kWirePointCapacity, kTextCapacity, 11);
}

}  // namespace fw

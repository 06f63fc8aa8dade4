#pragma once

// Boards for the benchmarks: empty, typical and full (every table at its capacity), built
// the same way every time.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "board/Board.h"
#include "board/View.h"

namespace fw::bench {

enum class BenchBoard { Empty, Typical, Full };

inline const char* benchBoardName(BenchBoard kind) {
  switch (kind) {
    case BenchBoard::Empty:
      return "empty";
    case BenchBoard::Typical:
      return "typical";
    case BenchBoard::Full:
      return "full";
  }
  return "";
}

struct BenchBoardSize {
  int pins;
  int wirePoints;
  int texts;
  int maxWidthIndex;  // typical boards use the thinner tracks
};

inline BenchBoardSize benchBoardSize(BenchBoard kind) {
  switch (kind) {
    case BenchBoard::Empty:
      return {0, 0, 0, 0};
    case BenchBoard::Typical:
      return {500, 3000, 300, 6};
    case BenchBoard::Full:
      return {kPinCapacity, kWirePointCapacity, kTextCapacity, kWireWidths - 1};
  }
  return {0, 0, 0, 0};
}

// Pins, wires of five points and eight-character texts spread over the whole workspace, on
// the grid, with every size, style, width and layer.
inline std::unique_ptr<Board> makeBenchBoard(BenchBoard kind, uint32_t seed = 1) {
  auto board = makeBoard();
  const BenchBoardSize size = benchBoardSize(kind);
  std::mt19937 rng(seed);
  auto pick = [&](int lo, int hi) { return int(rng() % uint32_t(hi - lo + 1)) + lo; };
  auto gridX = [&] { return 4 * pick(0, kMaxBoardX / 4); };
  auto gridY = [&] { return 4 * pick(0, kMaxBoardY / 4); };

  for (int i = 0; i < size.pins; ++i) {
    Pin p;
    p.x = uint16_t(gridX());
    p.y = uint16_t(gridY());
    p.sizeIndex = uint8_t(pick(0, 9));
    p.style = uint8_t(pick(0, 9) == 0 ? GraphicPinFlag : pick(0, 2));
    board->addPin(p);
  }
  while (board->WirePointCount < size.wirePoints) {
    int x = gridX(), y = gridY();
    const int layer = pick(0, 5) == 0 ? kGraphic : pick(0, 1);
    const int width = pick(0, size.maxWidthIndex);
    for (int k = 0; k < 5 && board->WirePointCount < size.wirePoints; ++k) {
      WirePoint p;
      p.x = uint16_t(x + (k == 0 ? WireStartFlag : 0));
      p.y = uint16_t(y + (k == 0 ? WireStartFlag : 0));
      p.attr = uint8_t(k == 0 ? kWireStartAttr : layer * 16 + width);
      board->addWirePoint(p);
      // The next point a few grid steps away, straight or diagonal.
      const int step = 4 * pick(1, 6);
      const int dir = pick(0, 7);
      static const int dx[] = {1, 1, 0, -1, -1, -1, 0, 1};
      static const int dy[] = {0, 1, 1, 1, 0, -1, -1, -1};
      x = std::clamp(x + dx[dir] * step, 0, kMaxBoardX);
      y = std::clamp(y + dy[dir] * step, 0, kMaxBoardY);
    }
  }
  for (int i = 0; i < size.texts; ++i) {
    TextItem t;
    std::string s = "T";
    s += std::to_string(100000 + i).substr(1);
    s += pick(0, 1) ? "-R" : "-C";
    t.text.set(s.substr(0, 8));
    t.size = uint8_t(pick(5, 50));
    t.x = uint16_t(pick(0, 2) * 4096 + gridX());
    t.y = uint16_t(gridY());
    board->addText(t);
  }
  return board;
}

}  // namespace fw::bench

#pragma once

// The small board whose bytes the layout tests of both file formats spell out: two pins (one
// graphic), a wire of three points with a start and a point at the highest y, and a Graphic
// layer text "AB".

#include <memory>

#include "board/Board.h"

namespace fw {

inline std::unique_ptr<Board> layoutBoard() {
  auto b = makeBoard();
  b->addPin({0x1234, 0x0102, 7, GraphicPinFlag});
  b->addPin({300, 4, 0, 2});
  b->addWirePoint({0x4000 + 100, 0x4000 + 200, kWireStartAttr});
  b->addWirePoint({104, 200, 0x13});
  b->addWirePoint({104, 0x3FFF, 0x2B});
  TextItem t;
  t.text.set("AB");
  t.size = 25;
  t.x = 2 * 4096 + 300;
  t.y = 0x0201;
  b->addText(t);
  return b;
}

}  // namespace fw

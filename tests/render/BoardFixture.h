#pragma once

// A board, a view and a canvas of the drawing area, with helpers to put material on the board.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "board/Board.h"
#include "board/View.h"
#include "render/BoardRenderer.h"
#include "render/Canvas.h"

namespace fw::test {

class BoardFixture : public ::testing::Test {
 protected:
  // Drawing area 400 x 300: W = 400, H = 400; at the start view (4x, scroll 100/75) board
  // position (396, 296), the workspace centre, is window pixel (200, 200). Grid dots and the
  // frame with its centre cross are off unless a test turns them on.
  BoardFixture() {
    setArea(400, 300);
    vis.grid = false;
    vis.frame = false;
  }

  void setArea(int w, int h) {
    view.setAreaSize(w, h);
    canvas = std::make_unique<Canvas>(w, h, 60);
  }

  void addPin(int x, int y, int sizeIndex, int style) {
    board->addPin({uint16_t(x), uint16_t(y), uint8_t(sizeIndex), uint8_t(style)});
  }

  // A wire through the points; every segment gets attr, the start row startAttr.
  void addWire(std::initializer_list<std::pair<int, int>> points, int attr,
               int startAttr = kWireStartAttr) {
    bool first = true;
    for (const auto& [x, y] : points) {
      WirePoint p;
      p.x = uint16_t(x + (first ? WireStartFlag : 0));
      p.y = uint16_t(y + (first ? WireStartFlag : 0));
      p.attr = uint8_t(first ? startAttr : attr);
      board->addWirePoint(p);
      first = false;
    }
  }

  void addText(int x, int y, int layer, int size, const std::string& s) {
    TextItem t;
    t.text.set(s);
    t.size = uint8_t(size);
    t.x = uint16_t(layer * 4096 + x);
    t.y = uint16_t(y);
    board->addText(t);
  }

  void draw() { renderer.drawBoard(*canvas, *board, view, vis, sel); }

  QRgb at(int x, int y) const { return canvas->pixelAt(x, y); }

  std::unique_ptr<Board> board = makeBoard();
  View view;
  Visibility vis;
  Selection sel;
  BoardRenderer renderer;
  std::unique_ptr<Canvas> canvas;
};

}  // namespace fw::test

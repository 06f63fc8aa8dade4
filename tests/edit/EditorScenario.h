#pragma once

// Drives the Editor as a user would: point at a board position (turned into drawing-area pixels
// through the view), press, move, release; then look at the tables, the controls and the canvas.

#include <gtest/gtest.h>

#include <QImage>

#include "edit/Editor.h"
#include "support/ScriptedHost.h"

namespace fw {

class EditorScenario : public ::testing::Test {
 protected:
  static constexpr MouseButton kLeft = MouseButton::Left;
  static constexpr MouseButton kRight = MouseButton::Right;
  static constexpr MouseButton kMiddle = MouseButton::Middle;

  EditorScenario() : ed(host) { ed.RedrawBoard(); }

  Board& board() { return ed.board(); }
  EditorState& state() { return ed.state(); }
  Controls& controls() { return ed.controls(); }
  View& view() { return ed.view(); }

  // Drawing-area pixels of a board position: inverse of the snapped pointer mapping.
  int pointerXFor(int boardX) { return view().toWindowX(boardX); }
  int pointerYFor(int boardY) { return view().toWindowY(boardY) - 60; }

  void moveTo(int boardX, int boardY) { ed.mouseMove(pointerXFor(boardX), pointerYFor(boardY)); }
  void press(MouseButton b = MouseButton::Left) { ed.mouseDown(b); }
  // The release reports the window y of the pointer: drawing-area y + 60.
  void release(MouseButton b = MouseButton::Left) { ed.mouseUp(b, view().PointerY + 60); }
  void clickAt(int boardX, int boardY, MouseButton b = MouseButton::Left) {
    moveTo(boardX, boardY);
    press(b);
    release(b);
  }

  // Window pixel of a board position, as the canvas addresses it.
  QRgb pixelAtBoard(int boardX, int boardY, int dx = 0, int dy = 0) {
    return ed.canvas().pixelAt(view().toWindowX(boardX) + dx, view().toWindowY(boardY) + dy);
  }
  QImage snapshot() { return ed.canvas().image().copy(); }
  // How many pixels differ between two snapshots (0 when they are the same picture).
  static int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) ++n;
    return n;
  }
  // How many pixels differ between two snapshots inside a box of window pixels around (x, y).
  int differingPixelsNear(const QImage& a, const QImage& b, int x, int y, int radius) {
    int n = 0;
    const int top = ed.canvas().yOffset();
    for (int wy = y - radius; wy <= y + radius; ++wy)
      for (int wx = x - radius; wx <= x + radius; ++wx)
        if (a.valid(wx, wy - top) && a.pixel(wx, wy - top) != b.pixel(wx, wy - top)) ++n;
    return n;
  }

  Pin& pin(int row) { return board().PinTable[static_cast<std::size_t>(row)]; }
  WirePoint& point(int row) { return board().WirePointTable[static_cast<std::size_t>(row)]; }

  void addPin(int x, int y, int sizeIndex = 3, int style = 0) {
    Pin p;
    p.x = static_cast<uint16_t>(x);
    p.y = static_cast<uint16_t>(y);
    p.sizeIndex = static_cast<uint8_t>(sizeIndex);
    p.style = static_cast<uint8_t>(style);
    ASSERT_TRUE(board().addPin(p));
  }
  void addPoint(int x, int y, int attr, bool start = false) {
    WirePoint p;
    p.x = static_cast<uint16_t>(x + (start ? WireStartFlag : 0));
    p.y = static_cast<uint16_t>(y + (start ? WireStartFlag : 0));
    p.attr = static_cast<uint8_t>(attr);
    ASSERT_TRUE(board().addWirePoint(p));
  }

  static QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

  ScriptedHost host;
  Editor ed;
};

}  // namespace fw

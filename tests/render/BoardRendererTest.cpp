#include <gtest/gtest.h>

#include "render/BoardFixture.h"
#include "render/BoardRenderer.h"
#include "render/PixelTools.h"

namespace fw {
namespace {

using test::Box;
using test::countPixels;

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kGreen = qRgb(0, 128, 0);
const QRgb kMaroon = qRgb(128, 0, 0);
const QRgb kOlive = qRgb(128, 128, 0);
const QRgb kPurple = qRgb(128, 0, 128);
const QRgb kFuchsia = qRgb(255, 0, 255);

// Bounding box of a colour within a window rectangle.
Box boundsIn(const Canvas& c, QRgb colour, int x1, int y1, int x2, int y2) {
  Box b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      if (c.pixelAt(x, y) == colour) {
        b.x1 = std::min(b.x1, x);
        b.x2 = std::max(b.x2, x);
        b.y1 = std::min(b.y1, y);
        b.y2 = std::max(b.y2, y);
      }
  return b.x1 > b.x2 ? Box{} : b;
}

using BoardDrawing = test::BoardFixture;

TEST_F(BoardDrawing, LayerColoursAreGreenMaroonAndPurple) {
  EXPECT_EQ(colors::layerColor(0), QColor(0, 128, 0));
  EXPECT_EQ(colors::layerColor(1), QColor(128, 0, 0));
  EXPECT_EQ(colors::layerColor(2), QColor(128, 0, 128));
  EXPECT_EQ(BoardRenderer::textColor(2), QColor(255, 0, 255));
  EXPECT_EQ(BoardRenderer::textColor(0), QColor(0, 128, 0));
}

TEST_F(BoardDrawing, GridDotsSitOnGridStepsBelowTheToolbar) {
  // 4x: a dot every 16 pixels, one on the workspace centre (200, 200).
  vis.grid = true;  // the frame stays off: its centre cross would run over dots
  draw();
  EXPECT_EQ(at(200, 200), kGrey);
  EXPECT_EQ(at(200 - 16 * 8, 200 + 16 * 6), kGrey);
  EXPECT_EQ(at(201, 200), kBlack);
  EXPECT_EQ(at(200, 208), kBlack);
  EXPECT_EQ(at(8, 72), kGrey);  // first row: 64 pixels down from the grid phase
  EXPECT_EQ(countPixels(*canvas, kGrey, 0, 60, 399, 71), 0);
  EXPECT_EQ(countPixels(*canvas, kGrey, 0, 72, 399, 72), 25);

  // Scrolling moves the dots with the grid; 1x puts one every 4 pixels.
  view.ZoomLevel = 0;
  view.scrollX = 37;
  draw();
  EXPECT_EQ(countPixels(*canvas, kGrey, 60, 200, 399, 200), 85);
  EXPECT_EQ(at(200, 200), kGrey);

  // 16x: rows 64 apart starting 64 down; 32x: rows 128 apart starting 128 down, so the
  // dots stay on the grid and the centre step (200, 200) keeps its dot.
  view.scrollX = 100;
  view.ZoomLevel = 4;
  draw();
  EXPECT_EQ(at(200, 200), kGrey);
  EXPECT_EQ(at(200, 136), kGrey);
  view.ZoomLevel = 5;
  draw();
  EXPECT_EQ(at(200, 200), kGrey);
  EXPECT_EQ(at(72, 200), kGrey);
  EXPECT_EQ(at(200, 328), kGrey);
  EXPECT_EQ(at(200, 136), kBlack);  // no row half a step off the grid
  EXPECT_EQ(countPixels(*canvas, kGrey), 3 * 2);

  vis.grid = false;
  draw();
  EXPECT_EQ(countPixels(*canvas, kGrey), 0);
}

TEST_F(BoardDrawing, WorkspaceBoundaryFrameAndCentreCross) {
  // 1x on a 900 x 700 area: the workspace runs from (50, 100) to (850, 700).
  setArea(900, 700);
  view.ZoomLevel = 0;
  vis.frame = true;
  draw();
  EXPECT_EQ(at(50, 100), kBlue);  // dashes start at the corners
  EXPECT_GT(countPixels(*canvas, kBlue, 50, 100, 850, 100), 400);
  EXPECT_LT(countPixels(*canvas, kBlue, 50, 100, 850, 100), 700);  // dash-dot-dot, not solid
  // The frame, 252 x 158 board units centred on (450, 400).
  EXPECT_EQ(at(450 - 126, 400 - 79), kRed);
  EXPECT_EQ(boundsIn(*canvas, kRed, 0, 60, 899, 759).x1, 450 - 126);
  EXPECT_EQ(boundsIn(*canvas, kRed, 0, 60, 899, 759).y2, 400 + 79);
  // The centre cross runs from edge to edge of the workspace.
  const Box cross = boundsIn(*canvas, kYellow, 0, 60, 899, 759);
  EXPECT_EQ(cross.x1, 50);
  EXPECT_EQ(cross.y1, 100);
  EXPECT_EQ(at(450, 100), kYellow);
  EXPECT_EQ(at(50, 400), kYellow);

  vis.frame = false;
  draw();
  EXPECT_EQ(countPixels(*canvas, kRed), 0);
  EXPECT_EQ(countPixels(*canvas, kYellow), 0);
  EXPECT_EQ(at(50, 100), kBlue);
  EXPECT_GT(countPixels(*canvas, kBlue), 1000);
}

TEST_F(BoardDrawing, CrossingTracksOfBothCopperLayersShowOlive) {
  addWire({{380, 296}, {412, 296}}, 0x05);  // Layer 1, 8 pixels wide at 4x
  addWire({{396, 280}, {396, 312}}, 0x15);  // Layer 2
  draw();
  EXPECT_EQ(at(200, 200), kOlive);
  EXPECT_EQ(at(160, 200), kGreen);
  EXPECT_EQ(at(200, 160), kMaroon);
  // The Layer 1 track is 8 pixels high, with round ends reaching 4 pixels past its points.
  const Box g = boundsIn(*canvas, kGreen, 100, 150, 300, 250);
  EXPECT_EQ(g.height(), 8);
  EXPECT_EQ(g.x1, 136 - 4);
  EXPECT_EQ(g.x2, 264 + 3);
}

TEST_F(BoardDrawing, HiddenLayersLoseWiresAndTextsButKeepPads) {
  addPin(396, 296, 3, 0);
  addPin(420, 296, 3, GraphicPinFlag);
  addWire({{370, 280}, {380, 280}}, 0x03);
  addWire({{370, 300}, {380, 300}}, 0x13);
  addWire({{370, 310}, {380, 310}}, 0x23);
  addText(396, 300, 0, 10, "one");
  addText(396, 310, 1, 10, "two");
  addText(396, 320, 2, 10, "three");
  draw();
  EXPECT_GT(countPixels(*canvas, kGreen), 0);
  EXPECT_GT(countPixels(*canvas, kMaroon), 0);
  EXPECT_GT(countPixels(*canvas, kPurple), 0);
  EXPECT_GT(countPixels(*canvas, kFuchsia), 0);
  const int pad = countPixels(*canvas, kWhite);
  EXPECT_GT(pad, 0);

  vis.layers = {false, true, true};
  draw();
  EXPECT_EQ(countPixels(*canvas, kGreen), 0);
  EXPECT_GT(countPixels(*canvas, kMaroon), 0);
  EXPECT_EQ(countPixels(*canvas, kWhite), pad);

  vis.layers = {true, true, false};
  draw();
  EXPECT_GT(countPixels(*canvas, kGreen), 0);
  EXPECT_EQ(countPixels(*canvas, kPurple), 0);   // graphic wire and graphic pin
  EXPECT_EQ(countPixels(*canvas, kFuchsia), 0);  // graphic text
  EXPECT_EQ(countPixels(*canvas, kWhite), pad);

  vis.layers = {false, false, false};
  draw();
  EXPECT_EQ(countPixels(*canvas, kWhite), pad);
  EXPECT_EQ(countPixels(*canvas, kGreen) + countPixels(*canvas, kMaroon), 0);
}

TEST_F(BoardDrawing, PadStylesAndDrillHolesAt4x) {
  struct Case {
    int style;
    int x1, y1, x2, y2;  // expected white-or-hole extent around (200, 200)
  };
  // size 3 at 4x is 16 pixels: circle -8..+8, oblong -12..+12 by -8..+8 (right and bottom
  // edges excluded), hole -2..+2.
  for (const Case& k :
       {Case{0, 192, 192, 207, 207}, Case{1, 188, 192, 211, 207}, Case{2, 192, 188, 207, 211}}) {
    board->reset();
    addPin(396, 296, 3, k.style);
    draw();
    const Box pad = boundsIn(*canvas, kWhite, 150, 150, 250, 250);
    EXPECT_EQ(pad.x1, k.x1) << k.style;
    EXPECT_EQ(pad.y1, k.y1) << k.style;
    EXPECT_EQ(pad.x2, k.x2) << k.style;
    EXPECT_EQ(pad.y2, k.y2) << k.style;
    const Box hole = boundsIn(*canvas, kBlack, 190, 190, 210, 210);
    EXPECT_EQ(at(198, 200), kBlack) << k.style;
    EXPECT_EQ(at(201, 199), kBlack) << k.style;
    EXPECT_EQ(at(202, 200), kWhite) << k.style;
    EXPECT_EQ(at(197, 200), kWhite) << k.style;
    EXPECT_EQ(at(200, 197), kWhite) << k.style;
    EXPECT_EQ(at(200, 202), kWhite) << k.style;
    EXPECT_FALSE(hole.empty());
  }
  // Styles between the pad styles and the graphic flag draw nothing in the redraw.
  board->reset();
  addPin(396, 296, 3, 7);
  draw();
  EXPECT_EQ(countPixels(*canvas, kWhite), 0);

  // At 1x the same pad is 4 pixels across and its hole (4 div 8 = 0) vanishes.
  board->reset();
  addPin(396, 296, 3, 0);
  view.ZoomLevel = 0;
  draw();
  EXPECT_EQ(countPixels(*canvas, kWhite), 12);  // a 4 x 4 disc without its corners
  EXPECT_EQ(boundsIn(*canvas, kWhite, 150, 150, 250, 250).x1, 198);
}

TEST_F(BoardDrawing, GraphicPinIsAPurpleRingOfRadius16WithPen2) {
  addPin(396, 296, 3, GraphicPinFlag);
  addPin(396, 280, 3, 255);  // any style above 127 is graphic
  draw();
  EXPECT_EQ(at(184, 200), kPurple);
  EXPECT_EQ(at(185, 200), kPurple);
  EXPECT_EQ(at(186, 200), kBlack);
  EXPECT_EQ(at(183, 200), kBlack);
  EXPECT_EQ(at(215, 200), kPurple);
  EXPECT_EQ(at(216, 200), kBlack);
  EXPECT_EQ(at(200, 184), kPurple);
  EXPECT_EQ(at(200, 215), kPurple);
  EXPECT_EQ(at(200, 200), kBlack);  // no fill, no hole
  EXPECT_EQ(countPixels(*canvas, kWhite), 0);
  EXPECT_EQ(at(184, 136), kPurple);

  // At 1x the pen is one pixel (1 div 2 = 0).
  view.ZoomLevel = 0;
  draw();
  const Box ring = boundsIn(*canvas, kPurple, 180, 180, 220, 220);
  EXPECT_EQ(ring.x1, 196);
  EXPECT_EQ(ring.x2, 199 + 4);
  EXPECT_EQ(at(197, 200), kBlack);
}

TEST_F(BoardDrawing, TextsAreCentredAndScaledWithTheZoom) {
  addText(396, 296, 0, 10, "HHHH");
  draw();  // 4x: 10 * 4 / 5 = 8 points
  const Box at4 = boundsIn(*canvas, kGreen, 0, 60, 399, 359);
  ASSERT_FALSE(at4.empty());
  canvas->setFontPointSize(8);
  const QSize e8 = canvas->textExtent("HHHH");
  EXPECT_GE(at4.x1, 200 - e8.width() / 2);
  EXPECT_LE(at4.x2, 200 - e8.width() / 2 + e8.width());
  EXPECT_GE(at4.y1, 200 - e8.height() / 2);
  EXPECT_LE(at4.y2, 200 - e8.height() / 2 + e8.height());
  EXPECT_NEAR((at4.x1 + at4.x2) / 2, 200, 2);
  EXPECT_GE(at4.height(), 6);  // capital H of 8 points
  EXPECT_LE(at4.height(), 9);

  view.ZoomLevel = 0;  // 2 points
  draw();
  const Box at1 = boundsIn(*canvas, kGreen, 0, 60, 399, 359);
  ASSERT_FALSE(at1.empty());
  EXPECT_LE(at1.height(), 3);
  EXPECT_LT(at1.width(), at4.width() / 2);

  board->reset();
  addText(396, 296, 0, 50, "HHHH");
  view.ZoomLevel = 2;  // 40 points
  draw();
  const Box big = boundsIn(*canvas, kGreen, 0, 60, 399, 359);
  EXPECT_GE(big.height(), 25);
  EXPECT_GT(big.width(), 3 * at4.width());

  // Sizes that come to 0 points at 1x are drawn at the smallest size, without complaint.
  board->reset();
  addText(396, 296, 0, 3, "HHHH");
  view.ZoomLevel = 0;
  draw();
  EXPECT_LE(countPixels(*canvas, kGreen), 40);
}

TEST_F(BoardDrawing, TextsReachingPastTheLeftAndTopEdgesAreClipped) {
  addText(346, 262, 1, 20, "MMMMMM");  // centre at (0, 64) in window pixels
  draw();
  EXPECT_GT(countPixels(*canvas, kMaroon, 0, 60, 3, 359), 0);
  EXPECT_GT(countPixels(*canvas, kMaroon, 0, 60, 399, 61), 0);
}

TEST_F(BoardDrawing, SelectedPinAndTextAreYellow) {
  addPin(396, 296, 3, 0);
  addPin(420, 296, 3, GraphicPinFlag);
  addText(396, 330, 0, 10, "HH");
  addText(396, 316, 2, 10, "HH");
  sel.pin = 1;
  sel.text = 1;
  draw();
  EXPECT_EQ(at(192, 200), kYellow);
  EXPECT_EQ(at(200, 200), kBlack);  // the hole stays black
  EXPECT_EQ(countPixels(*canvas, kWhite, 150, 150, 250, 250), 0);
  // The text on an opaque yellow box of its extent, in its layer's colour.
  canvas->setFontPointSize(8);
  const QSize e = canvas->textExtent("HH");
  const int left = 200 - e.width() / 2, top = 336 - e.height() / 2;
  EXPECT_EQ(countPixels(*canvas, kYellow, left, top, left + e.width() - 1, top + e.height() - 1) +
                countPixels(*canvas, kGreen, left, top, left + e.width() - 1, top + e.height() - 1),
            e.width() * e.height());
  EXPECT_GT(countPixels(*canvas, kGreen, left, top, left + e.width() - 1, top + e.height() - 1), 0);

  // A graphic text turns purple when selected, fuchsia otherwise; a graphic pin turns yellow.
  sel.text = 2;
  sel.pin = 2;
  draw();
  EXPECT_GT(countPixels(*canvas, kPurple, 0, 270, 399, 290), 0);
  EXPECT_EQ(countPixels(*canvas, kFuchsia, 0, 270, 399, 290), 0);
  EXPECT_EQ(at(280, 200), kYellow);  // the ring of the pin at window x 296 - 16 .. 296 + 15
  EXPECT_EQ(at(296, 200 - 16), kYellow);
  EXPECT_EQ(at(296, 200), kBlack);

  // A selected text on a hidden layer is not shown.
  vis.layers[2] = false;
  draw();
  EXPECT_EQ(countPixels(*canvas, kPurple, 0, 270, 399, 290), 0);
  EXPECT_EQ(countPixels(*canvas, kYellow, 0, 270, 399, 290), 0);
}

TEST_F(BoardDrawing, SelectedWirePointShowsItsSegmentAndAMarker) {
  // Wire A: start (attr 255), then points of width index 8 (16 px) and 5 (8 px).
  addWire({{380, 296}, {396, 296}, {396, 316}}, 0x08);
  board->WirePointTable[2].attr = 0x05;
  addWire({{420, 280}, {430, 280}}, 0x02);  // wire B

  sel.point = 3;  // the corner's second segment, (396, 296) -> (396, 316)
  draw();
  EXPECT_EQ(at(200, 260), kYellow);  // along the segment, one pixel wide
  EXPECT_EQ(at(199, 260), kGreen);
  EXPECT_EQ(at(150, 200), kGreen);  // the first segment is not highlighted
  // Marker: R = 8 div 2 = 4, box (X - 3, Y - 3) .. (X + 4, Y + 4) around (200, 280).
  const Box m = boundsIn(*canvas, kYellow, 190, 270, 210, 290);
  EXPECT_EQ(m.x1, 197);
  EXPECT_EQ(m.x2, 203);
  EXPECT_EQ(m.y2, 283);

  // A wire start shows the first segment and a marker sized from the second point (R = 8).
  sel.point = 1;
  draw();
  EXPECT_EQ(at(150, 200), kYellow);
  EXPECT_EQ(at(200, 260), kGreen);
  const Box start = boundsIn(*canvas, kYellow, 100, 180, 150, 220);
  EXPECT_EQ(start.x1, 136 - 7);
  EXPECT_EQ(start.y1, 200 - 7);
  EXPECT_EQ(start.y2, 200 + 7);

  // Complete-wire mode: every segment of the wire, the marker on the selected point only.
  vis.completeWire = true;
  sel.point = 2;
  draw();
  EXPECT_EQ(at(150, 200), kYellow);
  EXPECT_EQ(at(200, 260), kYellow);
  EXPECT_EQ(countPixels(*canvas, kYellow, 130, 190, 142, 199), 0);   // no marker at the start
  EXPECT_GT(countPixels(*canvas, kYellow, 190, 190, 210, 210), 20);  // marker at (200, 200)
  EXPECT_EQ(countPixels(*canvas, kYellow, 290, 130, 340, 140), 0);   // wire B untouched
}

TEST_F(BoardDrawing, WireStartWithoutFollowingPointIsHandled) {
  addWire({{396, 296}}, 0);                 // begun by drawing: attr 255, no segment
  addWire({{420, 296}}, 0, 0x08);           // a start that kept a width of 16 px
  addWire({{380, 296}, {380, 310}}, 0x01);  // a later wire start follows row 1
  sel.point = 1;
  draw();
  EXPECT_EQ(countPixels(*canvas, kYellow, 150, 150, 250, 250), 0);
  sel.point = 2;
  draw();
  const Box m = boundsIn(*canvas, kYellow, 250, 150, 350, 250);
  EXPECT_EQ(m.x1, 296 - 7);
  EXPECT_EQ(m.x2, 296 + 7);
  EXPECT_EQ(countPixels(*canvas, kYellow, 100, 150, 250, 300), 0);

  // Called directly on the last row in use, and past it.
  renderer.DrawSelectedSegment(*canvas, *board, view, 3);
  renderer.DrawSelectedSegment(*canvas, *board, view, 4 + kNoMarker);
  renderer.DrawSelectedSegment(*canvas, *board, view, 20000);
  renderer.DrawSelectedSegment(*canvas, *board, view, -1);
  EXPECT_GT(countPixels(*canvas, kYellow, 130, 200, 142, 270), 0);
}

TEST_F(BoardDrawing, DrawSelectedSegmentArgumentAbove16383MeansNoMarker) {
  addWire({{380, 296}, {396, 296}}, 0x08);
  draw();
  renderer.DrawSelectedSegment(*canvas, *board, view, 1 + kNoMarker);
  EXPECT_EQ(countPixels(*canvas, kYellow, 190, 190, 210, 199), 0);
  EXPECT_EQ(countPixels(*canvas, kYellow, 200, 190, 210, 210), 0);
  EXPECT_EQ(at(150, 200), kYellow);
  renderer.DrawSelectedSegment(*canvas, *board, view, 1);
  EXPECT_GT(countPixels(*canvas, kYellow, 190, 190, 210, 210), 100);
}

TEST_F(BoardDrawing, SelectedObjectHighlightsAllItsMaterial) {
  addPin(380, 296, 3, 0);
  addPin(412, 296, 3, 0);
  addWire({{380, 310}, {412, 310}}, 0x03);
  addText(396, 330, 1, 10, "HH");
  addPin(396, 280, 3, 0);  // loose
  board->addObject({0, 2, 0, 2, 0, 1}, "part");
  vis.layers[1] = false;  // the object's text shows all the same
  sel.object = 1;
  draw();
  EXPECT_EQ(at(130, 200), kYellow);
  EXPECT_EQ(at(258, 200), kYellow);                                 // every pin, not just the first
  EXPECT_EQ(at(264, 200), kBlack);                                  // with its hole
  EXPECT_EQ(at(200, 130), kWhite);                                  // the loose pin stays white
  EXPECT_GT(countPixels(*canvas, kYellow, 130, 250, 140, 262), 0);  // marker on a point
  EXPECT_GT(countPixels(*canvas, kMaroon, 150, 320, 250, 350), 0);
  EXPECT_GT(countPixels(*canvas, kYellow, 150, 320, 250, 350), 0);
}

TEST_F(BoardDrawing, BadIndicesAreClampedOrSkipped) {
  addPin(396, 296, 200, 0);  // size index past the table: drawn at the largest size
  addWire({{380, 296}, {412, 296}}, 0x0F);
  addWire({{380, 280}, {412, 280}}, 0xF3);  // no such layer: not drawn
  addText(396, 320, 3, 255, "bad");
  board->addObject({3990, 50, 19990, 50, 9990, 50}, "out of range");
  sel = {4001, 20001, 10001, 4000};
  draw();
  sel = {1, 2, 1, 1};
  draw();
  board->TextCount = 1000000;
  board->WirePointCount = -5;
  board->PinCount = 1 << 30;
  board->FrameWidth = 2000000000;
  draw();
  renderer.drawBoardReference(*canvas, *board, view, vis, sel);
  renderer.DrawPin(*canvas, *board, view, -1);
  renderer.DrawPin(*canvas, *board, view, kPinCapacity);
  SUCCEED();
}

}  // namespace
}  // namespace fw

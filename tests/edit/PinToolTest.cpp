// Create Pin and Edit Pins, driven through the pointer handlers and the lists.
#include "EditorScenario.h"

namespace fw {
namespace {

using PinToolTest = EditorScenario;

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kPurple = qRgb(128, 0, 128);

TEST_F(PinToolTest, CreatePinWithAnyButtonAppendsAPinAndDrawsItAtOnce) {
  ed.tools().pins.SizeChange(3);
  ed.tools().pins.ComboBox2Change(1);
  EXPECT_EQ(controls().panel[2], "Pin Style Changed");
  state().RubberWiped = 0;
  clickAt(300, 300, kLeft);
  clickAt(320, 300, kRight);
  clickAt(320, 300, kMiddle);
  ASSERT_EQ(board().PinCount, 3);
  EXPECT_EQ(pin(0), (Pin{300, 300, 3, 1}));
  EXPECT_EQ(pin(1), (Pin{320, 300, 3, 1}));
  EXPECT_EQ(pin(2), pin(1)) << "pins may lie on top of each other";
  EXPECT_EQ(controls().panel[2], "New Pin created");
  EXPECT_EQ(state().SelectedPin, 0);
  EXPECT_EQ(state().RubberWiped, 0) << "drawn at once, no full redraw";
  // A horizontal pad 16 pixels high at zoom 4x: white beside the drill hole.
  EXPECT_EQ(pixelAtBoard(300, 300, 5, 0), kWhite);
  EXPECT_EQ(pixelAtBoard(300, 300, 0, 0), qRgb(0, 0, 0)) << "drill hole";
}

TEST_F(PinToolTest, GraphicItemMakesTheNextPinsGraphicWhateverTheStyleList) {
  ed.tools().pins.ComboBox2Change(2);
  ed.tools().pins.BitBtn10Click();
  EXPECT_EQ(host.count("dotMethodsMenu"), 1);
  ed.tools().pins.outlClick();
  EXPECT_TRUE(controls().graphicPin);
  EXPECT_FALSE(controls().normalPin);
  EXPECT_EQ(controls().pinStyle.index, 0);
  EXPECT_FALSE(controls().pinStyle.enabled);
  ed.tools().pins.SizeChange(3);
  clickAt(300, 300);
  EXPECT_EQ(pin(0).style, GraphicPinFlag);
  // An outline of radius 16 with no pad in its middle.
  EXPECT_NE(pixelAtBoard(300, 300), kWhite);
  bool ring = false;
  for (int dx = 13; dx <= 17; ++dx) ring = ring || pixelAtBoard(300, 300, dx, 0) == kPurple;
  EXPECT_TRUE(ring);

  ed.tools().pins.NormalClick();
  EXPECT_TRUE(controls().normalPin);
  EXPECT_FALSE(controls().graphicPin);
  EXPECT_TRUE(controls().pinStyle.enabled);
  clickAt(320, 300);
  EXPECT_EQ(pin(1).style, 0);
}

TEST_F(PinToolTest, HitTestIsTheSquareOfThePadRadiusInBoardUnits) {
  addPin(100, 100, 3, 0);
  addPin(200, 100, 3, GraphicPinFlag);
  auto hits = [&](int x, int y) {
    ed.selectTool(Tool::EditPins);
    moveTo(x, y);
    press();
    release();
    return state().SelectedPin;
  };
  for (int v = 98; v <= 102; ++v) {
    EXPECT_EQ(hits(v, 100), 1) << v;
    EXPECT_EQ(hits(100, v), 1) << v;
  }
  EXPECT_EQ(hits(97, 100), 0);
  EXPECT_EQ(hits(103, 100), 0);
  EXPECT_EQ(hits(100, 103), 0);
  EXPECT_EQ(hits(102, 102), 1) << "corners of the square count";
  // A graphic pin of the same size is hit at double the distance.
  EXPECT_EQ(hits(196, 104), 2);
  EXPECT_EQ(hits(204, 96), 2);
  EXPECT_EQ(hits(195, 100), 0);
  EXPECT_EQ(hits(205, 100), 0);
}

TEST_F(PinToolTest, HitTestIgnoresMalformedSizesWithoutReadingPastTheTable) {
  addPin(300, 300, 200, 7);  // neither size nor style is one the lists offer
  ed.selectTool(Tool::EditPins);
  clickAt(300, 300);
  EXPECT_EQ(state().SelectedPin, 1);
  EXPECT_EQ(controls().pinSize.index, kPinSizes - 1);
  EXPECT_EQ(controls().pinStyle.index, 2);
}

TEST_F(PinToolTest, SelectionShowsThePinInTheListsAndIsClearedByAPressOnNothing) {
  addPin(300, 300, 5, 2);
  addPin(340, 300, 3, GraphicPinFlag);
  ed.selectTool(Tool::EditPins);
  clickAt(300, 300);
  EXPECT_EQ(state().SelectedPin, 1);
  EXPECT_EQ(controls().panel[2], "Pin selected. Drag Pin with mouse.");
  EXPECT_EQ(controls().pinSize.index, 5);
  EXPECT_EQ(controls().pinStyle.index, 2);
  EXPECT_TRUE(controls().pinStyle.enabled);
  EXPECT_EQ(pixelAtBoard(300, 300, 0, 6), kYellow);
  EXPECT_EQ(state().DragKind, kDragNone) << "a first press only selects";

  clickAt(340, 300);
  EXPECT_EQ(state().SelectedPin, 2);
  EXPECT_EQ(controls().pinStyle.index, 0);
  EXPECT_FALSE(controls().pinStyle.enabled);
  EXPECT_EQ(pixelAtBoard(300, 300, 0, 6), kWhite) << "the old pin in its normal colours";

  clickAt(300, 300);
  EXPECT_TRUE(controls().pinStyle.enabled);

  state().RubberWiped = 0;
  clickAt(320, 340);
  EXPECT_EQ(state().SelectedPin, 0);
  EXPECT_EQ(controls().panel[2], "Select Pin to Edit");
  EXPECT_EQ(pixelAtBoard(300, 300, 0, 6), kWhite);
  EXPECT_EQ(state().RubberWiped, 0) << "no full redraw";
}

TEST_F(PinToolTest, OverlappingPinsSelectTheLastOneAndTheReleaseMovesIt) {
  addPin(500, 500);
  addPin(500, 500);
  addPin(300, 300);  // row 2
  addPin(500, 500);
  addPin(500, 500);
  addPin(303, 300);  // row 5
  ed.selectTool(Tool::EditPins);
  clickAt(299, 300);  // row 2 alone
  ASSERT_EQ(state().SelectedPin, 3);
  moveTo(301, 300);  // rows 2 and 5
  press();
  EXPECT_EQ(state().SelectedPin, 6);
  EXPECT_EQ(state().DragKind, kDragPin) << "row 2 was selected before the press";
  EXPECT_EQ(state().DragIndex, 2);
  moveTo(320, 320);
  release();
  EXPECT_EQ(pin(5), (Pin{320, 320, 3, 0}));
  EXPECT_EQ(pin(2), (Pin{300, 300, 3, 0}));
}

class PinDragTest : public PinToolTest {
 protected:
  void SetUp() override {
    addPin(300, 300, 3, 0);
    ed.selectTool(Tool::EditPins);
    clickAt(300, 300);
    beforeDrag = snapshot();
    moveTo(300, 300);
    press();
  }
  QImage beforeDrag;
};

TEST_F(PinDragTest, SecondPressArmsTheDragWithHalfTheDiameterAsRadius) {
  EXPECT_EQ(state().DragKind, kDragPin);
  EXPECT_EQ(state().DragIndex, 0);
  EXPECT_EQ(state().PressX, 300);
  EXPECT_EQ(state().PressY, 300);
  EXPECT_EQ(state().DragRadius, 8);
  EXPECT_EQ(state().DragPrevX, kNoPreview);
}

TEST_F(PinDragTest, PreviewCircleJumpsBetweenGridPositionsAndCommitsOnRelease) {
  moveTo(309, 300);  // snaps to 308 on the 1/1 grid
  const int cx = view().toWindowX(308), cy = view().toWindowY(300);
  EXPECT_EQ(state().DragCurX, cx);
  EXPECT_EQ(state().DragPrevX, cx);
  EXPECT_EQ(state().DragPrevY, cy);
  const QImage first = snapshot();
  EXPECT_GT(differingPixelsNear(first, beforeDrag, cx, cy, 9), 20);
  EXPECT_EQ(differingPixelsNear(first, beforeDrag, cx, cy, 4), 0) << "a circle, not a disc";
  // Inverting the black background makes the circle white.
  bool whiteTop = false;
  for (int y = cy - 9; y <= cy - 6; ++y)
    whiteTop = whiteTop || ed.canvas().pixelAt(cx, y) == kWhite;
  EXPECT_TRUE(whiteTop);

  moveTo(324, 316);
  EXPECT_EQ(differingPixelsNear(snapshot(), beforeDrag, cx, cy, 9), 0) << "old circle erased";
  EXPECT_GT(
      differingPixelsNear(snapshot(), beforeDrag, view().toWindowX(324), view().toWindowY(316), 9),
      20);
  release();
  EXPECT_EQ(pin(0), (Pin{324, 316, 3, 0}));
  EXPECT_EQ(state().SelectedPin, 1);
  EXPECT_EQ(state().DragKind, kDragNone);
  EXPECT_EQ(pixelAtBoard(324, 316, 0, 6), kYellow);
  EXPECT_NE(pixelAtBoard(300, 300, 0, 6), kYellow);
  EXPECT_NE(pixelAtBoard(300, 300, 0, 6), kWhite);
}

TEST_F(PinDragTest, PressAndReleaseWithoutAMoveChangesOnlyTheSelection) {
  release();
  EXPECT_EQ(pin(0), (Pin{300, 300, 3, 0}));
  EXPECT_EQ(state().SelectedPin, 1);
  EXPECT_EQ(differingPixels(snapshot(), beforeDrag), 0);
}

TEST_F(PinDragTest, ReleaseWhereThePressWasLeavesThePinAndNoCircle) {
  moveTo(316, 300);
  moveTo(324, 308);
  moveTo(300, 300);
  release();
  EXPECT_EQ(pin(0), (Pin{300, 300, 3, 0}));
  EXPECT_EQ(differingPixels(snapshot(), beforeDrag), 0);
}

TEST_F(PinDragTest, ReleaseOverTheToolbarLeavesThePinAndNoCircle) {
  moveTo(316, 300);
  ed.mouseUp(kLeft, 60);
  EXPECT_EQ(pin(0), (Pin{300, 300, 3, 0}));
  EXPECT_EQ(differingPixels(snapshot(), beforeDrag), 0);
}

TEST_F(PinDragTest, RepaintDuringTheDragMakesTheReleaseANoOp) {
  moveTo(316, 300);
  ed.RedrawBoard();
  release();
  EXPECT_EQ(pin(0), (Pin{300, 300, 3, 0}));
  EXPECT_EQ(state().DragKind, kDragNone);
  EXPECT_EQ(differingPixels(snapshot(), beforeDrag), 0)
      << "the repaint removed the circle; nothing inverted back";
}

TEST_F(PinDragTest, ReleaseBeyondTheBoardAreaPutsThePinOnItsEdge) {
  release();
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  ed.commands().viewCommands.ScrollBar2Scroll(0);
  pin(0) = Pin{4, 4, 3, 0};
  clickAt(4, 4);
  moveTo(4, 4);
  press();
  moveTo(-4, -4);
  release();
  EXPECT_EQ(pin(0), (Pin{0, 0, 3, 0}));

  ed.commands().viewCommands.ScrollBar1Scroll(kScrollMaxX);
  ed.commands().viewCommands.ScrollBar2Scroll(kScrollMaxY);
  pin(0) = Pin{788, 588, 3, 0};
  moveTo(788, 588);
  press();
  moveTo(796, 596);
  release();
  EXPECT_EQ(pin(0), (Pin{792, 592, 3, 0}));
}

TEST_F(PinDragTest, SizeChangeResizesTheSelectedPinAndTheArmedPreview) {
  ed.tools().pins.SizeChange(7);
  EXPECT_EQ(controls().panel[2], "Pin Size Changed");
  EXPECT_EQ(pin(0).sizeIndex, 7);
  EXPECT_EQ(state().DragRadius, 16);
  moveTo(316, 300);
  release();
  EXPECT_EQ(pin(0), (Pin{316, 300, 7, 0}));
}

TEST_F(PinToolTest, GraphicPinPreviewUsesTheFullDiameter) {
  addPin(300, 300, 3, GraphicPinFlag);
  ed.selectTool(Tool::EditPins);
  clickAt(300, 300);
  moveTo(300, 300);
  press();
  EXPECT_EQ(state().DragRadius, 16);
}

TEST_F(PinToolTest, ListsChangeTheSelectedPinOnlyInEditPinsMode) {
  addPin(300, 300, 1, 0);
  addPin(340, 300, 1, GraphicPinFlag);
  ed.tools().pins.SizeChange(4);
  ed.tools().pins.ComboBox2Change(2);
  EXPECT_EQ(pin(0), (Pin{300, 300, 1, 0})) << "Create Pin mode: only later pins";

  ed.selectTool(Tool::EditPins);
  ed.tools().pins.SizeChange(6);
  EXPECT_EQ(controls().panel[2], "Pin Size Changed");
  EXPECT_EQ(pin(0).sizeIndex, 1) << "nothing selected";

  clickAt(300, 300);
  ed.tools().pins.SizeChange(9);
  ed.tools().pins.ComboBox2Change(1);
  EXPECT_EQ(controls().panel[2], "Pin Style Changed");
  EXPECT_EQ(pin(0), (Pin{300, 300, 9, 1}));
  EXPECT_EQ(pixelAtBoard(300, 300, 0, 10), kYellow) << "redrawn with the selection";

  clickAt(340, 300);
  ed.tools().pins.ComboBox2Change(2);
  EXPECT_EQ(pin(1).style, GraphicPinFlag) << "a graphic pin keeps its style";
}

TEST_F(PinToolTest, FullPinTableRefusesANewPinAndSaysSo) {
  for (int i = 0; i < kPinCapacity - 1; ++i) addPin(i % 700, 10);
  clickAt(300, 300);
  ASSERT_EQ(board().PinCount, kPinCapacity);
  const Pin last = pin(kPinCapacity - 1);
  clickAt(320, 300);
  EXPECT_EQ(board().PinCount, kPinCapacity);
  EXPECT_EQ(pin(kPinCapacity - 1), last);
  EXPECT_EQ(controls().panel[2], "Pin table full: pin not created");
}

// At zoom 32x a drag past the left edge of the drawing area puts the preview at a negative
// window position; it is still erased and the release still drops the pin.
TEST_F(PinToolTest, DragPastTheLeftEdgeOfTheDrawingAreaStillDrops) {
  ed.commands().viewCommands.ComboBox1Change(5);
  addPin(388, 296, 3, GraphicPinFlag);
  ed.RedrawBoard();
  ed.selectTool(Tool::EditPins);
  clickAt(388, 296);
  const QImage before = snapshot();
  moveTo(388, 296);
  press();
  ed.mouseMove(-50, pointerYFor(296));
  EXPECT_LT(static_cast<int16_t>(state().DragPrevX), 0);
  EXPECT_GT(differingPixels(snapshot(), before), 0) << "the part of the circle inside shows";
  moveTo(388, 296);
  release();
  EXPECT_EQ(differingPixels(snapshot(), before), 0);
  EXPECT_EQ(pin(0).x, 388);

  moveTo(388, 296);
  press();
  ed.mouseMove(-50, pointerYFor(296));
  release();
  EXPECT_EQ(pin(0).x, 380);
}

}  // namespace
}  // namespace fw

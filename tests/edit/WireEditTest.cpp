// Edit Wires: the point hit test, highlights, point drag, the lists and Line Methods.
#include <tuple>

#include "EditorScenario.h"

namespace fw {
namespace {

const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kGreen = qRgb(0, 128, 0);
const QRgb kMaroon = qRgb(128, 0, 0);

class WireEditTest : public EditorScenario {
 protected:
  // Wire A: rows 0..2, (300,300) - (340,300) - (340,340), green, width 2.
  // Wire B: rows 3..4, (300,360) - (360,360), maroon, width 5.
  void addTwoWires() {
    addPoint(300, 300, 0xFF, true);
    addPoint(340, 300, 0x02);
    addPoint(340, 340, 0x02);
    addPoint(300, 360, 0xFF, true);
    addPoint(360, 360, 0x15);
    ed.RedrawBoard();
  }
  int selectAt(int x, int y) {
    moveTo(x, y);
    press();
    release();
    return state().SelectedPoint;
  }
};

TEST_F(WireEditTest, PointIsHitWithinHalfTheWiderSegmentWidth) {
  // Width index 5 is 2 board units wide: h = 1.
  addPoint(180, 120, 0xFF, true);
  addPoint(200, 120, 0x05);
  addPoint(240, 120, 0x05);
  ed.selectTool(Tool::EditWires);
  for (int v = 199; v <= 201; ++v) {
    EXPECT_EQ(selectAt(v, 120), 2) << v;
    EXPECT_EQ(selectAt(200, v - 80), 2) << v;
  }
  EXPECT_EQ(selectAt(198, 120), 0);
  EXPECT_EQ(selectAt(202, 120), 0);
  EXPECT_EQ(selectAt(200, 122), 0);
  EXPECT_EQ(selectAt(220, 120), 0) << "the middle of a segment is not a point";

  // A wider next segment (index 8, 4 units) widens the point's square to h = 2.
  point(2).attr = 0x08;
  EXPECT_EQ(selectAt(198, 118), 2);
  EXPECT_EQ(selectAt(202, 122), 2);
  EXPECT_EQ(selectAt(203, 120), 0);
  // A wire start takes its first segment's width.
  EXPECT_EQ(selectAt(178, 120), 0);
  EXPECT_EQ(selectAt(181, 121), 1);
}

TEST_F(WireEditTest, LoneStartAtTheEndOfTheTableUsesItsOwnWidth) {
  addTwoWires();
  addPoint(400, 300, 0xFF, true);  // abandoned after its first point: attr 255, no next row
  ed.selectTool(Tool::EditWires);
  EXPECT_EQ(selectAt(400, 300), 6);
  EXPECT_EQ(selectAt(401, 300), 0) << "attr 255 has no width";
  EXPECT_EQ(controls().wireSize.index, 2) << "lists unchanged: the point has no segment";

  point(5).attr = 0x08;  // a first row made by splitting keeps its attr
  EXPECT_EQ(selectAt(402, 302), 6);
  EXPECT_EQ(selectAt(403, 300), 0);
}

TEST_F(WireEditTest, LoneStartBeforeAnotherWireDoesNotTakeTheNextWiresWidth) {
  addPoint(400, 300, 0xFF, true);
  addPoint(300, 300, 0xFF, true);
  addPoint(340, 300, 0x0B);
  ed.selectTool(Tool::EditWires);
  EXPECT_EQ(selectAt(401, 300), 0);
  EXPECT_EQ(selectAt(400, 300), 1);
  ed.tools().wireEdit.WireChange(3);
  ed.tools().wireEdit.compClick();
  ed.ComboBox3Change(1);
  EXPECT_EQ(point(0).attr, 0xFF);
  EXPECT_EQ(point(1).attr, 0xFF);
  EXPECT_EQ(point(2).attr, 0x0B);
}

TEST_F(WireEditTest, SelectionHighlightsTheSegmentAndShowsItsWidthAndLayer) {
  addTwoWires();
  ed.selectTool(Tool::EditWires);
  EXPECT_EQ(selectAt(360, 360), 5);
  EXPECT_EQ(controls().panel[2], "Wire selected. Drag Wire with mouse.");
  EXPECT_EQ(controls().wireSize.index, 5);
  EXPECT_EQ(controls().layer.index, 1);
  EXPECT_EQ(pixelAtBoard(330, 360), kYellow);
  EXPECT_EQ(state().DragKind, kDragNone);

  // A wire start shows its first segment's width and layer.
  EXPECT_EQ(selectAt(300, 300), 1);
  EXPECT_EQ(controls().wireSize.index, 2);
  EXPECT_EQ(controls().layer.index, 0);
  EXPECT_EQ(pixelAtBoard(318, 300), kYellow);
  EXPECT_EQ(pixelAtBoard(330, 360), kMaroon) << "old highlight removed";

  state().RubberWiped = 0;
  EXPECT_EQ(selectAt(320, 320), 0);
  EXPECT_EQ(controls().panel[2], "Select Wire to Edit");
  EXPECT_EQ(state().RubberWiped, 1) << "cleared with a full redraw";
  EXPECT_EQ(pixelAtBoard(318, 300), kGreen);
}

TEST_F(WireEditTest, CompleteWireModeHighlightsEverySegmentOfTheWire) {
  addTwoWires();
  ed.tools().wireEdit.compClick();
  ed.selectTool(Tool::EditWires);
  selectAt(340, 340);
  EXPECT_EQ(pixelAtBoard(318, 300), kYellow);
  EXPECT_EQ(pixelAtBoard(340, 318), kYellow);
  EXPECT_EQ(pixelAtBoard(330, 360), kMaroon);
  selectAt(360, 360);
  EXPECT_EQ(pixelAtBoard(318, 300), kGreen);
  EXPECT_EQ(pixelAtBoard(340, 318), kGreen);
  EXPECT_EQ(pixelAtBoard(330, 360), kYellow);
}

// Rows above 16383 are still highlighted as themselves, at once just as a full repaint shows
// them, in both highlight modes.
TEST_F(WireEditTest, PointsInRowsAbove16383AreHighlightedAsThemselves) {
  addTwoWires();  // rows 0..4; row 1 ends the segment (300,300) - (340,300)
  addPoint(480, 240, 0xFF, true);
  while (board().WirePointCount < 16384) addPoint(480, 240, 0x02);
  addPoint(380, 320, 0xFF, true);  // row 16384
  addPoint(440, 320, 0x15);        // row 16385: 16385 & 16383 = 1
  addPoint(380, 340, 0xFF, true);  // row 16386
  addPoint(440, 340, 0x15);
  ed.RedrawBoard();
  ed.selectTool(Tool::EditWires);
  for (bool complete : {false, true}) {
    if (complete) ed.tools().wireEdit.compClick();
    EXPECT_EQ(selectAt(440, 320), 16386);
    const QImage atOnce = snapshot();
    EXPECT_EQ(pixelAtBoard(410, 320), kYellow);
    EXPECT_EQ(pixelAtBoard(440, 320, 0, 3), kYellow) << "marker on the point itself";
    EXPECT_EQ(pixelAtBoard(318, 300), kGreen) << "row 1 is not highlighted";
    ed.RedrawBoard();
    EXPECT_EQ(differingPixels(snapshot(), atOnce), 0) << "complete " << complete;

    EXPECT_EQ(selectAt(440, 340), 16388);
    EXPECT_EQ(pixelAtBoard(410, 320), kMaroon) << "old highlight removed";
    EXPECT_EQ(pixelAtBoard(410, 340), kYellow);
    selectAt(470, 300);
  }
}

TEST_F(WireEditTest, RestoringAHiddenLayersSegmentPaintsNothingOfIt) {
  addTwoWires();
  ed.commands().viewCommands.layer2Click();  // hide the maroon layer
  ed.selectTool(Tool::EditWires);
  selectAt(360, 360);
  selectAt(340, 300);
  for (int x = 304; x < 360; ++x) EXPECT_NE(pixelAtBoard(x, 360), kMaroon) << x;
}

class WirePointDragTest : public WireEditTest {
 protected:
  void SetUp() override {
    addTwoWires();
    ed.selectTool(Tool::EditWires);
    selectAt(340, 300);
    beforeDrag = snapshot();
    moveTo(340, 300);
    press();
  }
  QImage beforeDrag;
};

TEST_F(WirePointDragTest, SecondPressArmsAndTheReleaseMovesThePoint) {
  EXPECT_EQ(state().DragKind, kDragPoint);
  EXPECT_EQ(state().DragIndex, 1);
  moveTo(360, 280);
  // Both segments that meet at the point are stretched to the pointer.
  EXPECT_GT(
      differingPixelsNear(snapshot(), beforeDrag, view().toWindowX(330), view().toWindowY(290), 1),
      0);
  EXPECT_GT(
      differingPixelsNear(snapshot(), beforeDrag, view().toWindowX(350), view().toWindowY(310), 1),
      0);
  release();
  EXPECT_EQ(point(1), (WirePoint{360, 280, 0x02}));
  EXPECT_EQ(state().SelectedPoint, 2);
  EXPECT_EQ(state().DragKind, kDragNone);
  EXPECT_EQ(pixelAtBoard(330, 290), kYellow) << "highlighted where it now lies";
}

TEST_F(WirePointDragTest, PressAndReleaseWithoutAMoveChangesNothing) {
  release();
  EXPECT_EQ(point(1), (WirePoint{340, 300, 0x02}));
  EXPECT_EQ(differingPixels(snapshot(), beforeDrag), 0);
}

TEST_F(WirePointDragTest, ReleaseWhereThePressWasErasesThePreview) {
  moveTo(360, 280);
  moveTo(380, 320);
  moveTo(340, 300);
  release();
  EXPECT_EQ(point(1), (WirePoint{340, 300, 0x02}));
  EXPECT_EQ(differingPixels(snapshot(), beforeDrag), 0);
}

TEST_F(WirePointDragTest, RepaintDuringTheDragMakesTheReleaseANoOp) {
  moveTo(360, 280);
  ed.RedrawBoard();
  const QImage repainted = snapshot();
  release();
  EXPECT_EQ(point(1), (WirePoint{340, 300, 0x02}));
  EXPECT_EQ(differingPixels(snapshot(), repainted), 0);
}

TEST_F(WirePointDragTest, ReleaseBeyondTheBoardAreaKeepsThePointInside) {
  release();
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  point(0) = WirePoint{4 + 0x4000, 300 + 0x4000, 0xFF};
  selectAt(4, 300);
  moveTo(4, 300);
  press();
  moveTo(-4, 304);
  release();
  EXPECT_EQ(point(0), (WirePoint{0 + 0x4000, 304 + 0x4000, 0xFF})) << "still starts the wire";
}

TEST_F(WireEditTest, DraggingAWireStartShowsOneLineAndKeepsTheFlag) {
  addTwoWires();
  ed.selectTool(Tool::EditWires);
  selectAt(300, 360);
  const QImage before = snapshot();
  moveTo(300, 360);
  press();
  moveTo(300, 320);
  // Only the line to the second point: nothing towards row 2 of the previous wire.
  EXPECT_EQ(
      differingPixelsNear(snapshot(), before, view().toWindowX(320), view().toWindowY(330), 2), 0);
  EXPECT_GT(
      differingPixelsNear(snapshot(), before, view().toWindowX(330), view().toWindowY(340), 2), 0);
  release();
  EXPECT_EQ(point(3), (WirePoint{300 + 0x4000, 320 + 0x4000, 0xFF}));
  EXPECT_EQ(board().wireCount(), 2);
}

TEST_F(WireEditTest, DraggedPointTakesTheFlagBitsOfItsXIntoBothCoordinates) {
  addTwoWires();
  point(3).y = 360;  // as a file may hold it: the start flag in x alone
  point(4).y = 360 + 0x4000;
  ed.selectTool(Tool::EditWires);
  for (int row : {3, 4}) {
    const int x = point(row).x & kPositionMask;
    selectAt(x, 360);
    moveTo(x, 360);
    press();
    moveTo(x, 352);
    release();
  }
  EXPECT_EQ(point(3), (WirePoint{300 + 0x4000, 352 + 0x4000, 0xFF}));
  EXPECT_EQ(point(4), (WirePoint{360, 352, 0x15}));
}

TEST_F(WireEditTest, WidthAndLayerListsChangeTheSegmentOrTheWholeWire) {
  addTwoWires();
  ed.selectTool(Tool::EditWires);
  selectAt(300, 300);  // a start: its first segment changes
  ed.tools().wireEdit.WireChange(7);
  EXPECT_EQ(controls().panel[2], "WireSize Changed");
  EXPECT_EQ(point(0).attr, 0xFF);
  EXPECT_EQ(point(1).attr, 0x07);
  EXPECT_EQ(point(2).attr, 0x02);
  ed.ComboBox3Change(2);
  EXPECT_EQ(controls().panel[2], "Active Layer Changed");
  EXPECT_EQ(point(1).attr, 0x27);
  EXPECT_EQ(point(2).attr, 0x02);
  EXPECT_EQ(state().SelectedPoint, 1);

  ed.selectTool(Tool::EditWires);
  ed.tools().wireEdit.compClick();
  selectAt(340, 340);
  ed.tools().wireEdit.WireChange(11);
  ed.ComboBox3Change(1);
  EXPECT_EQ(point(0).attr, 0xFF) << "the first point's attr is never touched";
  EXPECT_EQ(point(1).attr, 0x1B);
  EXPECT_EQ(point(2).attr, 0x1B);
  EXPECT_EQ(point(4).attr, 0x15) << "other wires keep theirs";
}

TEST_F(WireEditTest, ListsOnlySetLaterPointsOutsideEditWires) {
  addTwoWires();
  ed.selectTool(Tool::EditWires);
  selectAt(340, 300);
  ed.selectTool(Tool::DrawWire);
  ed.tools().wireEdit.WireChange(9);
  ed.ComboBox3Change(2);
  EXPECT_EQ(point(1).attr, 0x02);
  EXPECT_EQ(controls().wireSize.index, 9);
  EXPECT_EQ(controls().layer.index, 2);
}

TEST_F(WireEditTest, LineMethodsOfferOnlyTheSwitchesAllowedWithASelection) {
  addTwoWires();
  auto offered = [&] {
    ed.tools().wireEdit.BitBtn9Click();
    return std::make_tuple(controls().selectSegmentOnlyEnabled,
                           controls().selectCompleteWireEnabled, controls().splitWireEnabled);
  };
  ed.selectTool(Tool::EditWires);
  EXPECT_EQ(offered(), std::make_tuple(true, true, true));
  EXPECT_EQ(host.count("lineMethodsMenu"), 1);

  selectAt(340, 300);
  EXPECT_EQ(offered(), std::make_tuple(true, false, true));
  ed.tools().wireEdit.compClick();
  EXPECT_TRUE(controls().selectSegmentOnly) << "an item not offered cannot be chosen";
  ed.tools().wireEdit.SplClick();
  EXPECT_TRUE(controls().splitWire);
  EXPECT_FALSE(controls().selectSegmentOnly);
  EXPECT_EQ(offered(), std::make_tuple(true, false, true));

  ed.selectTool(Tool::EditWires);  // clears the selection
  EXPECT_EQ(offered(), std::make_tuple(true, true, true));
  ed.tools().wireEdit.compClick();
  EXPECT_TRUE(controls().selectCompleteWire);
  EXPECT_FALSE(controls().splitWire);
  selectAt(340, 300);
  EXPECT_EQ(offered(), std::make_tuple(false, true, false));
  ed.tools().wireEdit.segClick();
  EXPECT_TRUE(controls().selectCompleteWire);
}

}  // namespace
}  // namespace fw

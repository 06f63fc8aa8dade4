// Draw Wire: points, the flag of a wire's first point, the rubber band and ending a wire.
#include "EditorScenario.h"

namespace fw {
namespace {

class WireToolTest : public EditorScenario {
 protected:
  void SetUp() override { ed.selectTool(Tool::DrawWire); }
};

TEST_F(WireToolTest, ThreeLeftPressesAndARightPressMakeOneWire) {
  ed.ComboBox3Change(1);
  ed.tools().wireEdit.WireChange(4);
  clickAt(300, 300);
  EXPECT_EQ(controls().cursor, CursorShape::Cross);
  EXPECT_EQ(controls().panel[2], "Select Next Position or Right Mousebutton to Stop.");
  clickAt(320, 300);
  clickAt(320, 340);
  EXPECT_EQ(controls().panel[2], "Select Next Position or Right Mousebutton to Stop.");
  moveTo(340, 340);
  EXPECT_FALSE(controls().panel[1].empty());
  press(kRight);
  release(kRight);

  ASSERT_EQ(board().WirePointCount, 3);
  EXPECT_EQ(point(0), (WirePoint{300 + 0x4000, 300 + 0x4000, 0xFF}));
  EXPECT_EQ(point(1), (WirePoint{320, 300, 0x14}));
  EXPECT_EQ(point(2), (WirePoint{320, 340, 0x14}));
  EXPECT_EQ(board().wireCount(), 1);
  EXPECT_EQ(controls().panel[2], "Wire ended. Select new start position");
  EXPECT_EQ(controls().panel[1], "");
  EXPECT_EQ(controls().cursor, CursorShape::Arrow);
  EXPECT_EQ(state().WireLastX, kNoWire);
  EXPECT_EQ(state().RubberAnchorX, kNoWire);
  EXPECT_EQ(state().RubberEndX, kNoWire);

  // The segments are on screen at once, in the layer's colour.
  EXPECT_EQ(pixelAtBoard(310, 300), qRgb(128, 0, 0));
  EXPECT_EQ(pixelAtBoard(320, 330), qRgb(128, 0, 0));

  // The next left press starts a new wire.
  clickAt(360, 300);
  EXPECT_EQ(point(3), (WirePoint{360 + 0x4000, 300 + 0x4000, 0xFF}));
}

TEST_F(WireToolTest, RightPressDropsALoneStartPoint) {
  addPoint(200, 200, 0xFF, true);
  addPoint(220, 200, 0x02);
  clickAt(300, 300);
  ASSERT_EQ(board().WirePointCount, 3);
  clickAt(300, 300, kRight);
  EXPECT_EQ(board().WirePointCount, 2);
  // A right press with no wire in progress drops nothing more.
  clickAt(300, 300, kRight);
  EXPECT_EQ(board().WirePointCount, 2);
  EXPECT_EQ(controls().panel[2], "Wire ended. Select new start position");
}

TEST_F(WireToolTest, MiddleButtonDoesNothing) {
  clickAt(300, 300, kMiddle);
  EXPECT_EQ(board().WirePointCount, 0);
  EXPECT_EQ(state().WireLastX, kNoWire);
}

TEST_F(WireToolTest, WidthAndLayerMayChangeFromSegmentToSegment) {
  clickAt(300, 300);
  clickAt(320, 300);
  ed.tools().wireEdit.WireChange(9);
  EXPECT_EQ(controls().panel[2], "WireSize Changed");
  clickAt(340, 300);
  ed.ComboBox3Change(2);
  EXPECT_EQ(controls().panel[2], "Active Layer Changed");
  clickAt(360, 300);
  clickAt(360, 300);  // a point may repeat the one before it
  ASSERT_EQ(board().WirePointCount, 5);
  EXPECT_EQ(point(1).attr, 0x02);
  EXPECT_EQ(point(2).attr, 0x09);
  EXPECT_EQ(point(3).attr, 0x29);
  EXPECT_EQ(point(4), point(3));
}

TEST_F(WireToolTest, RubberBandFollowsTheGridAndLeavesNothingBehind) {
  clickAt(300, 300);
  const QImage started = snapshot();
  const int ax = view().toWindowX(300), ay = view().toWindowY(300);
  moveTo(341, 300);  // snaps to 340
  EXPECT_EQ(state().RubberEndX, view().toWindowX(340));
  EXPECT_EQ(state().RubberAnchorX, ax);
  EXPECT_EQ(state().RubberWiped, 0);
  // One pixel wide: the rows above and below the band are untouched.
  EXPECT_EQ(ed.canvas().pixelAt(ax + 40, ay), qRgb(255, 255, 255));
  EXPECT_EQ(ed.canvas().pixelAt(ax + 40, ay - 1), started.pixel(ax + 40, ay - 1 - 60));
  EXPECT_EQ(ed.canvas().pixelAt(ax + 40, ay + 1), started.pixel(ax + 40, ay + 1 - 60));
  moveTo(300, 340);
  EXPECT_EQ(ed.canvas().pixelAt(ax + 40, ay), started.pixel(ax + 40, ay - 60)) << "erased";
  EXPECT_EQ(ed.canvas().pixelAt(ax, ay + 40), qRgb(255, 255, 255));
  press(kRight);
  EXPECT_EQ(differingPixels(snapshot(), started), 0) << "ending the wire erases the band";
}

TEST_F(WireToolTest, RubberBandIsNotInvertedBackAfterARepaint) {
  clickAt(300, 300);
  moveTo(340, 300);
  ed.RedrawBoard();
  const QImage repainted = snapshot();
  moveTo(340, 300);
  moveTo(300, 340);
  press(kRight);
  EXPECT_EQ(differingPixels(snapshot(), repainted), 0);
}

TEST_F(WireToolTest, RubberBandAnchorFollowsScrolling) {
  clickAt(300, 300);
  ed.commands().viewCommands.ScrollBar1Scroll(101);
  moveTo(320, 300);
  EXPECT_EQ(state().RubberAnchorX, view().toWindowX(300));
}

TEST_F(WireToolTest, SwitchingToolsErasesTheRubberBand) {
  clickAt(300, 300);
  const QImage started = snapshot();
  moveTo(340, 320);
  ed.selectTool(Tool::EditPins);
  EXPECT_EQ(differingPixels(snapshot(), started), 0);
  moveTo(360, 320);
  EXPECT_EQ(differingPixels(snapshot(), started), 0) << "no band outside Draw Wire";
}

TEST_F(WireToolTest, FullWirePointTableRefusesPointsAndSaysSo) {
  for (int i = 0; i < kWirePointCapacity - 1; ++i) addPoint(i % 700, 10, 0x02, i == 0);
  clickAt(300, 300);  // the last free row takes a start point
  ASSERT_EQ(board().WirePointCount, kWirePointCapacity);
  clickAt(320, 300);
  EXPECT_EQ(board().WirePointCount, kWirePointCapacity);
  EXPECT_EQ(controls().panel[2], "Wire point table full: point not added");
  EXPECT_EQ(point(kWirePointCapacity - 1).x, 300 + 0x4000);

  clickAt(320, 300, kRight);  // drops the lone start
  EXPECT_EQ(board().WirePointCount, kWirePointCapacity - 1);
  clickAt(320, 300, kRight);
  clickAt(300, 300);
  clickAt(320, 300);
  EXPECT_EQ(board().WirePointCount, kWirePointCapacity);
  EXPECT_EQ(state().WireLastX, 300) << "the refused point is not the last one";
  ed.selectTool(Tool::DrawWire);
  board().WirePointCount = kWirePointCapacity;
  clickAt(400, 300);
  EXPECT_EQ(board().WirePointCount, kWirePointCapacity);
  EXPECT_EQ(controls().panel[2], "Wire point table full: point not added");
  EXPECT_EQ(state().WireLastX, kNoWire);
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

class WireEndTest : public EditorScenario {};

// Found by the monkey: ending a wire removed a lone start without moving the objects after it,
// and removed an object's own lone start, so a saved board was refused by its own reader.
TEST_F(WireEndTest, ALoneStartIsDroppedOnlyWhenItBelongsToNoObject) {
  addPoint(300, 300, kWireStartAttr, true);        // a lone start, then an empty object
  board().addObject({0, 0, 1, 0, 0, 0}, "empty");  // after the start
  ed.selectTool(Tool::DrawWire);
  moveTo(300, 300);
  press(kRight);
  EXPECT_EQ(board().WirePointCount, 0);
  EXPECT_EQ(board().ObjectTable[0].firstPoint, 0);

  board().reset();
  addPoint(300, 300, kWireStartAttr, true);
  board().addObject({0, 0, 0, 1, 0, 0}, "lone start");
  moveTo(300, 300);
  press(kRight);
  EXPECT_EQ(board().WirePointCount, 1);
}

}  // namespace
}  // namespace fw

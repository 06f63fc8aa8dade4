// Pan Object: the press brings the nearest grid step to the middle of the window.
#include "EditorScenario.h"

namespace fw {
namespace {

class PanToolTest : public EditorScenario {
 protected:
  void SetUp() override { ed.selectTool(Tool::Pan); }
  void pressAtPixel(int x, int y, MouseButton b = MouseButton::Left) {
    ed.mouseMove(x, y);
    ed.mouseDown(b);
    ed.mouseUp(b, y + 60);
  }
};

// The window is 800 wide, zoom 4x: 16 pixels per grid step; the middle of the drawing area is
// at x 400, y 290.
TEST_F(PanToolTest, HorizontalPositionRoundsToTheNearestGridStep) {
  ASSERT_EQ(view().pxPerGrid(), 16);
  pressAtPixel(480, 290);
  EXPECT_EQ(view().scrollX, 105);
  EXPECT_EQ(view().scrollY, 75);

  view().scrollX = 100;
  pressAtPixel(407, 290);
  EXPECT_EQ(view().scrollX, 100);
  pressAtPixel(408, 290);
  EXPECT_EQ(view().scrollX, 101);
}

TEST_F(PanToolTest, VerticalPositionRoundsToTheNearestGridStep) {
  pressAtPixel(400, 297);
  EXPECT_EQ(view().scrollY, 75);
  pressAtPixel(400, 298);
  EXPECT_EQ(view().scrollY, 76);
  pressAtPixel(400, 290 - 160);
  EXPECT_EQ(view().scrollY, 66);
}

TEST_F(PanToolTest, EveryButtonPansAndRedrawsButTheBoardStaysAsItWas) {
  board().SavedFlag = true;
  state().RubberWiped = 0;
  pressAtPixel(400 + 32, 290, kRight);
  EXPECT_EQ(view().scrollX, 102);
  EXPECT_EQ(controls().panel[2], "Select pan position");
  EXPECT_EQ(state().RubberWiped, 1);
  EXPECT_FALSE(board().SavedFlag);
  pressAtPixel(400 - 64, 290, kMiddle);
  EXPECT_EQ(view().scrollX, 98);
  EXPECT_EQ(view().ZoomLevel, 2);
  EXPECT_EQ(board().PinCount + board().WirePointCount, 0);
}

TEST_F(PanToolTest, PressOutsideTheBoardAreaDoesNotPan) {
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  const int leftOfOrigin = view().toWindowX(-4);
  pressAtPixel(leftOfOrigin, 290);
  EXPECT_EQ(view().scrollX, 0);
  EXPECT_TRUE(board().SavedFlag);
}

TEST_F(PanToolTest, KeepsTheGridStepUnderThePointerAtOtherZoomLevels) {
  ed.commands().viewCommands.ComboBox1Change(5);  // 128 pixels per grid step
  pressAtPixel(400 + 3 * 128 + 63, 290);
  EXPECT_EQ(view().scrollX, 103);
  pressAtPixel(400 - 64, 290);
  EXPECT_EQ(view().scrollX, 103) << "half a step rounds up";
  pressAtPixel(400 - 65, 290);
  EXPECT_EQ(view().scrollX, 102);
}

}  // namespace
}  // namespace fw

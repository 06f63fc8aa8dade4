// Tool switching and the fixed order of the pointer handlers.
#include <functional>
#include <tuple>

#include "EditorScenario.h"

namespace fw {
namespace {

using ToolModesTest = EditorScenario;

struct ToolRow {
  Tool tool;
  const char* message;
  CursorShape cursor;
  // BitBtn5, CutObject1, BitBtn8, BitBtn10, ComboBox2, Size, wire, Rotate1, ComboBox4
  bool deleteButton, cutObject, lineMethods, dotMethods, pinStyle, pinSize, wireSize, rotate, grid;
};

const ToolRow kRows[] = {
    {Tool::CreatePin, "Place Pin", CursorShape::Cross, 0, 0, 0, 1, 1, 1, 0, 0, 1},
    {Tool::EditPins, "Click on Object to edit", CursorShape::Arrow, 1, 1, 0, 0, 1, 1, 0, 0, 1},
    {Tool::DrawWire, "Select start position for Wire", CursorShape::Arrow, 1, 1, 0, 0, 0, 0, 1, 0,
     1},
    {Tool::EditWires, "Click on Wire to edit", CursorShape::Arrow, 1, 1, 1, 0, 0, 0, 1, 0, 1},
    {Tool::CreateText, "Place Text", CursorShape::Arrow, 0, 0, 0, 0, 0, 0, 0, 0, 1},
    {Tool::EditText, "Select Text to Edit.", CursorShape::Arrow, 1, 1, 0, 0, 0, 0, 0, 0, 1},
    {Tool::EditObject, "Select Object to Edit", CursorShape::Arrow, 1, 1, 0, 0, 0, 0, 0, 1, 1},
    {Tool::Pan, "Select pan position", CursorShape::Cross, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

auto controlsOf(const Controls& c) {
  return std::make_tuple(c.panel[2], c.cursor, c.deleteButton, c.cutObject, c.lineMethods,
                         c.dotMethods, c.pinStyle.enabled, c.pinSize.enabled, c.wireSize.enabled,
                         c.rotate, c.grid.enabled);
}

auto expectedOf(const ToolRow& r) {
  return std::make_tuple(std::string(r.message), r.cursor, r.deleteButton, r.cutObject,
                         r.lineMethods, r.dotMethods, r.pinStyle, r.pinSize, r.wireSize, r.rotate,
                         r.grid);
}

TEST_F(ToolModesTest, EachToolSetsMessageCursorAndControlsWhateverCameBefore) {
  for (const ToolRow& from : kRows) {
    for (const ToolRow& to : kRows) {
      ed.selectTool(from.tool);
      ed.selectTool(to.tool);
      EXPECT_EQ(controls().tool, to.tool);
      EXPECT_EQ(controlsOf(controls()), expectedOf(to)) << "to " << to.message;
      // The layer list stays enabled in every mode (the zoom list has no state to lose).
      EXPECT_TRUE(controls().layer.enabled);
    }
  }
}

TEST_F(ToolModesTest, SwitchingClearsSelectionsAndRedrawsOnlyWhenSomethingWasSelected) {
  addPin(300, 300);
  ed.selectTool(Tool::EditPins);
  state().RubberWiped = 0;  // a redraw sets it
  ed.selectTool(Tool::EditWires);
  EXPECT_EQ(state().RubberWiped, 0) << "nothing selected: no redraw";

  ed.selectTool(Tool::EditPins);
  clickAt(300, 300);
  ASSERT_EQ(state().SelectedPin, 1);
  EXPECT_EQ(pixelAtBoard(300, 300, 4, 0), rgb(255, 255, 0));
  state().RubberWiped = 0;
  ed.selectTool(Tool::CreatePin);
  EXPECT_EQ(state().RubberWiped, 1);
  EXPECT_EQ(state().SelectedPin, 0);
  EXPECT_EQ(pixelAtBoard(300, 300, 4, 0), rgb(255, 255, 255)) << "highlight removed";

  state().SelectedPoint = 3;
  state().SelectedText = 2;
  state().SelectedObject = 1;
  ed.selectTool(Tool::Pan);
  EXPECT_FALSE(state().anythingSelected());
}

TEST_F(ToolModesTest, SwitchingAbandonsAPlacementWithoutChangingAnyCount) {
  state().Placing = true;
  state().FloatX = 120;
  state().FloatMoved = true;
  state().FloatPinCount = 3;
  const int pins = board().PinCount;
  ed.selectTool(Tool::EditPins);
  EXPECT_FALSE(state().Placing);
  EXPECT_EQ(state().FloatX, 0);
  EXPECT_FALSE(state().FloatMoved);
  EXPECT_EQ(board().PinCount, pins);
}

TEST_F(ToolModesTest, RightPressInsideTheBoardEndsAPlacement) {
  ed.selectTool(Tool::EditObject);
  state().Placing = true;
  state().FloatX = 120;
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  moveTo(-4, 300);
  press(kRight);
  EXPECT_TRUE(state().Placing) << "outside the board area nothing happens";
  moveTo(100, 300);
  press(kRight);
  EXPECT_FALSE(state().Placing);
  EXPECT_EQ(state().FloatX, 0);
  EXPECT_EQ(controls().panel[2], "Select Object to Edit");
  EXPECT_FALSE(board().SavedFlag);
}

// Escape stops a wire or a placement with the very steps of a right press: the same board,
// state, messages and screen afterwards.
TEST_F(ToolModesTest, EscapeEndsAWireOrAPlacementAsTheRightButtonDoes) {
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"wire", [&] { ed.selectTool(Tool::DrawWire), clickAt(300, 300), clickAt(320, 300); }},
      {"lone start", [&] { ed.selectTool(Tool::DrawWire), clickAt(300, 300); }},
      {"floating pin", [&] {
         ed.selectTool(Tool::EditObject);
         board().PinTable[0] = {0, 0, 3, 0};
         state().FloatPinCount = 1;
         state().Placing = true;
       }}};
  struct Outcome {
    int32_t points, wireLastX, anchorX;
    bool placing;
    std::string segment, status;
    CursorShape cursor;
    QImage screen;
  };
  auto outcome = [&](const std::function<void()>& start, bool escape) {
    ed.windowReset();
    ed.RedrawBoard();
    start();
    moveTo(340, 320);  // the rubber band or the outline stands on screen
    if (escape)
      ed.escapePressed();
    else
      press(kRight);
    return Outcome{board().WirePointCount, state().WireLastX,   state().RubberAnchorX,
                   state().Placing,        controls().panel[1], controls().panel[2],
                   controls().cursor,      snapshot()};
  };
  for (const auto& [what, start] : cases) {
    const Outcome right = outcome(start, false), escape = outcome(start, true);
    EXPECT_EQ(escape.wireLastX, kNoWire) << what;
    EXPECT_FALSE(escape.placing) << what;
    EXPECT_EQ(std::tie(escape.points, escape.anchorX, escape.segment, escape.status),
              std::tie(right.points, right.anchorX, right.segment, right.status))
        << what;
    EXPECT_EQ(escape.cursor, right.cursor) << what;
    EXPECT_EQ(differingPixels(escape.screen, right.screen), 0) << what;
  }
}

// Outside the board area a right press ends no wire; only the options of a selected text open,
// wherever the pointer is.
TEST_F(ToolModesTest, RightPressOutsideTheBoardOnlyOpensASelectedTextsOptions) {
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  ed.selectTool(Tool::DrawWire);
  clickAt(40, 300);
  clickAt(60, 300);
  moveTo(-4, 300);
  press(kRight);
  EXPECT_EQ(state().WireLastX, 60);
  EXPECT_EQ(board().WirePointCount, 2);

  ed.selectTool(Tool::CreateText);
  host.textOptionsAnswers = {std::make_pair(std::string("old"), 20),
                             std::make_pair(std::string("new"), 20)};
  clickAt(40, 280);
  ed.selectTool(Tool::EditText);
  clickAt(40, 280);
  ASSERT_EQ(state().SelectedText, 1);
  moveTo(-4, 300);
  press(kRight);
  EXPECT_EQ(board().TextTable[0].text.str(), "new");
  EXPECT_EQ(board().TextCount, 1);
}

TEST_F(ToolModesTest, DrawWireButtonAbandonsAWireInProgressAndKeepsItsPoints) {
  ed.selectTool(Tool::DrawWire);
  clickAt(300, 300);
  clickAt(320, 300);
  ASSERT_EQ(board().WirePointCount, 2);
  ed.selectTool(Tool::DrawWire);
  EXPECT_EQ(state().WireLastX, kNoWire);
  EXPECT_EQ(state().WireLastY, kNoWire);
  EXPECT_EQ(state().RubberAnchorX, kNoWire);
  EXPECT_EQ(state().RubberEndX, kNoWire);
  EXPECT_EQ(board().WirePointCount, 2);
  // The next left press starts a new wire.
  clickAt(340, 320);
  EXPECT_TRUE(isWireStart(point(2)));
}

TEST_F(ToolModesTest, PressOutsideTheBoardAreaChangesNothingAtAll) {
  ed.commands().viewCommands.ComboBox4Change(2);  // 1/4 grid: every board unit is a snap position
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  ed.commands().viewCommands.ScrollBar2Scroll(0);
  const QImage before = snapshot();
  const std::string message = controls().panel[2];
  for (auto [x, y] : {std::pair{-1, 10}, std::pair{10, -1}, std::pair{-4, -4}}) {
    moveTo(x, y);
    for (MouseButton b : {kLeft, kRight, kMiddle}) press(b);
  }
  ed.commands().viewCommands.ScrollBar1Scroll(200);
  ed.commands().viewCommands.ScrollBar2Scroll(150);
  const QImage farSide = snapshot();
  for (auto [x, y] : {std::pair{793, 100}, std::pair{100, 593}}) {
    moveTo(x, y);
    press();
  }
  EXPECT_EQ(board().PinCount, 0);
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(controls().panel[2], message);
  EXPECT_EQ(differingPixels(snapshot(), farSide), 0);
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  ed.commands().viewCommands.ScrollBar2Scroll(0);
  EXPECT_EQ(differingPixels(snapshot(), before), 0);

  // The last position inside is accepted.
  ed.commands().viewCommands.ScrollBar1Scroll(200);
  ed.commands().viewCommands.ScrollBar2Scroll(150);
  moveTo(792, 592);
  press();
  EXPECT_EQ(board().PinCount, 1);
  EXPECT_FALSE(board().SavedFlag);
}

TEST_F(ToolModesTest, EveryPressInsideTheBoardMarksItChangedWhateverTheTool) {
  for (const ToolRow& r : kRows) {
    ed.selectTool(r.tool);
    board().SavedFlag = true;
    moveTo(300, 300);
    press(kMiddle);
    release(kMiddle);
    EXPECT_FALSE(board().SavedFlag) << r.message;
  }
}

TEST_F(ToolModesTest, ReleaseAlwaysDisarmsTheDrag) {
  addPin(300, 300);
  ed.selectTool(Tool::EditPins);
  clickAt(300, 300);
  moveTo(300, 300);
  press();
  ASSERT_EQ(state().DragKind, kDragPin);
  release(kRight);
  EXPECT_EQ(state().DragKind, kDragNone);
  EXPECT_EQ(pin(0).x, 300);
}

TEST_F(ToolModesTest, PointerReadoutFollowsEveryMove) {
  moveTo(100, 40);
  EXPECT_EQ(controls().panel[0], "X = 63.50 mm    Y = 25.40 mm");
  ed.commands().viewCommands.ScrollBar1Scroll(0);
  moveTo(-3, 8);
  EXPECT_EQ(controls().panel[0], "X = - mm    Y = 5.08 mm");
  EXPECT_EQ(controls().panel[1], "") << "no wire in progress";
}

TEST_F(ToolModesTest, SegmentReadoutRunsWhileAWireIsInProgressEvenInAnotherTool) {
  ed.selectTool(Tool::DrawWire);
  clickAt(300, 300);
  moveTo(308, 296);
  EXPECT_EQ(controls().panel[1], "X = 5.08    Y = -2.54");
  ed.selectTool(Tool::EditPins);
  moveTo(296, 300);
  EXPECT_EQ(controls().panel[1], "X = -2.54    Y = 0.00");
  ed.selectTool(Tool::DrawWire);
  moveTo(320, 320);
  EXPECT_EQ(controls().panel[1], "X = -2.54    Y = 0.00") << "no longer updated";
}

}  // namespace
}  // namespace fw

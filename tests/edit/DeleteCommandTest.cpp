// Delete in every tool: rows removed without gaps, wires shortened, split or taken back, and
// object ranges kept on their own elements.
#include <random>

#include "EditorScenario.h"
#include "board/Removal.h"
#include "files/ProjectFile.h"
#include "support/SameBoard.h"

namespace fw {
namespace {

class DeleteCommandTest : public EditorScenario {
 protected:
  // A wire of n points along y = 100, from x = 100 in steps of 20, width 2 on Layer 1.
  void addWire(int n, int y = 100) {
    addPoint(100, y, kWireStartAttr, true);
    for (int i = 1; i < n; ++i) addPoint(100 + 20 * i, y, 0x02 + i);
  }
  void selectPointRow(int row) {
    ed.selectTool(Tool::EditWires);
    state().SelectedPoint = row + 1;
  }
  void del() { ed.commands().deletion.DeleteSelection(); }
  const std::string& status() { return controls().panel[2]; }
};

TEST_F(DeleteCommandTest, NothingSelectedOnlyShowsItsMessage) {
  const std::pair<Tool, const char*> cases[] = {{Tool::EditObject, "No Object Selected"},
                                                {Tool::EditWires, "No Wire Selected"},
                                                {Tool::EditText, "No Text Selected"},
                                                {Tool::EditPins, "No Object Selected"}};
  addPin(100, 100);
  addWire(3);
  board().addText({});
  for (const auto& [tool, message] : cases) {
    ed.selectTool(tool);
    del();
    EXPECT_EQ(status(), message);
    EXPECT_EQ(board().PinCount + board().WirePointCount + board().TextCount, 5);
  }
}

TEST_F(DeleteCommandTest, SegmentModeRemovesOnePointAndKeepsTheWireWhole) {
  struct Case {
    int wirePoints, selectedRow;
    int pointsLeft, selected;
    bool secondRowIsStart;
  };
  const Case cases[] = {
      {3, 1, 2, 2, false},  // middle point: the former third point is selected
      {3, 0, 2, 1, true},   // first point: the second point becomes the start
      {3, 2, 2, 2, false},  // last point: the selection falls back
      {2, 1, 0, 0, false},  // two points: the whole wire goes, without a question
      {2, 0, 0, 0, false},
      {1, 0, 0, 0, false},  // a lone start goes alone; the next wire's start is no neighbour
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.wirePoints << " points, row " << c.selectedRow);
    board().reset();
    addWire(c.wirePoints);
    addWire(2, 200);  // a second wire after it keeps its rows together
    selectPointRow(c.selectedRow);
    del();
    EXPECT_EQ(board().WirePointCount, c.pointsLeft + 2);
    EXPECT_EQ(state().SelectedPoint, c.selected);
    EXPECT_EQ(status(), "Wire Segment Deleted");
    EXPECT_TRUE(isWireStart(point(0)) || c.pointsLeft == 0);
    if (c.pointsLeft == 2) {
      EXPECT_EQ(point(0).x & kPositionMask, c.selectedRow == 0 ? 120 : 100);
      EXPECT_EQ(point(0).y & ~kPositionMask, WireStartFlag) << "flagged in y as well";
      EXPECT_EQ(isWireStart(point(1)), false);
    }
    EXPECT_TRUE(isWireStart(point(c.pointsLeft)));  // the second wire's start
    EXPECT_TRUE(host.questions.empty());
  }
}

TEST_F(DeleteCommandTest, CompleteWireAsksForThreePointsOrMore) {
  addWire(2);
  addWire(3, 200);
  ed.tools().wireEdit.compClick();
  selectPointRow(0);
  del();  // two points: no question
  EXPECT_EQ(board().WirePointCount, 3);
  EXPECT_TRUE(host.questions.empty());

  selectPointRow(1);
  host.confirmAnswers = {false, true};
  del();
  EXPECT_EQ(board().WirePointCount, 3);
  EXPECT_EQ(state().SelectedPoint, 2);
  del();
  EXPECT_EQ(board().WirePointCount, 0);
  EXPECT_EQ(host.count("confirm"), 2);
  EXPECT_EQ(host.questions.back(), "Do you want to delete the complete Wire?");
  EXPECT_EQ(status(), "Complete Wire Deleted");
}

TEST_F(DeleteCommandTest, SplitModeRefusesEdgesAndSplitsInnerSegments) {
  ed.tools().wireEdit.SplClick();
  // Rows 0..3 and 4..6: a start, a point after a start, a point before the next wire's start,
  // the last row in use.
  for (int row : {0, 1, 3, 6}) {
    board().reset();
    addWire(4);
    addWire(3, 200);
    selectPointRow(row);
    del();
    EXPECT_EQ(status(), "Edges can not be removed. Use \"Select segment only\" method") << row;
    EXPECT_EQ(board().wireCount(), 2) << row;
  }
  selectPointRow(2);
  del();
  EXPECT_EQ(board().WirePointCount, 7);
  EXPECT_EQ(board().wireCount(), 3);
  EXPECT_TRUE(isWireStart(point(2)));
  EXPECT_EQ(point(2).attr, 0x04);
  EXPECT_EQ(state().SelectedPoint, 0);
}

TEST_F(DeleteCommandTest, DrawWireTakesTheWireInProgressBackToItsStart) {
  ed.selectTool(Tool::DrawWire);
  clickAt(100, 100);
  clickAt(120, 100);
  clickAt(120, 140);
  del();
  EXPECT_EQ(board().WirePointCount, 2);
  EXPECT_EQ(state().WireLastX, 120);
  EXPECT_EQ(state().WireLastY, 100);
  del();
  del();  // the start stays
  EXPECT_EQ(board().WirePointCount, 1);
  EXPECT_EQ(state().WireLastX, 100);

  // A placed object's last point taken back leaves the object's range inside the table.
  board().reset();
  addWire(3);
  board().addObject({0, 0, 0, 3, 0, 0}, "obj");
  ed.selectTool(Tool::DrawWire);
  del();
  EXPECT_EQ(board().ObjectTable[0].pointCount, 2);
}

TEST_F(DeleteCommandTest, TextsAndPinsLowerTheRangesOfTheObjectsAfterThem) {
  addPin(10, 10);  // loose
  addPin(20, 20);
  addPin(30, 30);
  board().addText({});
  board().addText({});
  board().addObject({1, 2, 0, 0, 1, 1}, "a");
  ed.selectTool(Tool::EditPins);
  state().SelectedPin = 1;
  del();
  EXPECT_EQ(status(), "Pin Deleted");
  EXPECT_EQ(board().ObjectTable[0], (BoardObject{0, 2, 0, 0, 1, 1}));
  state().SelectedPin = 2;
  del();
  EXPECT_EQ(board().ObjectTable[0], (BoardObject{0, 1, 0, 0, 1, 1}));
  ed.selectTool(Tool::EditText);
  state().SelectedText = 2;
  del();
  EXPECT_EQ(status(), "Text Deleted");
  EXPECT_EQ(board().TextCount, 1);
  EXPECT_EQ(board().ObjectTable[0], (BoardObject{0, 1, 0, 0, 1, 0}));
}

TEST_F(DeleteCommandTest, ObjectDeletionRemovesItsElementsAndMovesLaterObjectsDown) {
  for (int k = 0; k < 3; ++k) {
    addPin(10 * k, 10);
    addPin(10 * k, 20);
    addWire(2, 100 + 10 * k);
    board().addText({});
    board().addObject({static_cast<uint16_t>(2 * k), 2, static_cast<uint16_t>(2 * k), 2,
                       static_cast<uint16_t>(k), 1},
                      std::string(1, static_cast<char>('A' + k)));
  }
  ed.selectTool(Tool::EditObject);
  state().SelectedObject = 1;
  del();
  EXPECT_EQ(status(), "Object Deleted");
  EXPECT_EQ(board().ObjectCount, 2);
  EXPECT_EQ(board().ObjectTable[0], (BoardObject{0, 2, 0, 2, 0, 1}));
  EXPECT_EQ(board().ObjectTable[1], (BoardObject{2, 2, 2, 2, 1, 1}));
  EXPECT_EQ(board().ObjectDescriptions[0].str(), "B");
  EXPECT_EQ(board().PinTable[0].x, 10);
}

// Whatever the deletion took, the screen shows the board as a full repaint does: the element
// and its highlight are gone.
TEST_F(DeleteCommandTest, DeleteLeavesTheScreenAsAFullRepaintShowsIt) {
  const std::pair<Tool, BoardPoint> cases[] = {{Tool::EditPins, {300, 300}},
                                               {Tool::EditWires, {120, 100}},
                                               {Tool::EditText, {300, 200}},
                                               {Tool::EditObject, {400, 300}}};
  ed.commands().viewCommands.ComboBox1Change(0);  // zoom 1x: everything on screen
  addPin(300, 300);
  addWire(2);
  TextItem t;
  t.text.set("T1");
  t.size = 20;
  t.x = 300;
  t.y = 200;
  board().addText(t);
  addPin(400, 300);
  board().addObject({1, 1, 0, 0, 0, 0}, "one pin");
  for (const auto& [tool, at] : cases) {
    ed.selectTool(tool);
    clickAt(at.x, at.y);
    ASSERT_TRUE(state().anythingSelected()) << status();
    del();
    const QImage shown = snapshot();
    ed.RedrawBoard();
    EXPECT_EQ(differingPixels(shown, snapshot()), 0) << status();
  }
  EXPECT_EQ(board().PinCount + board().WirePointCount + board().TextCount, 0);
}

// Del works while the button is held: the drag ends, and what moved into the dragged row
// neither follows the pointer nor moves on the release.
TEST_F(DeleteCommandTest, DeleteDuringADragEndsTheDrag) {
  ed.commands().viewCommands.ComboBox1Change(0);  // zoom 1x: everything on screen
  for (const Tool tool : {Tool::EditWires, Tool::EditObject}) {
    board().reset();
    addWire(3);  // in segment mode the point after the deleted one becomes the selected one
    addPin(100, 200);
    addPin(120, 200);
    board().addObject({0, 1, 0, 0, 0, 0}, "a");
    board().addObject({1, 1, 0, 0, 0, 0}, "b");
    const int x = 100 + (tool == Tool::EditWires ? 20 : 0), y = tool == Tool::EditWires ? 100 : 200;
    ed.selectTool(tool);
    clickAt(x, y);
    moveTo(x, y);
    press();
    moveTo(x + 8, y + 20);
    del();
    EXPECT_EQ(state().DragKind, kDragNone);
    const QImage afterDelete = snapshot();
    const WirePoint second = point(1);
    const Pin first = pin(0);
    moveTo(x + 16, y + 40);
    EXPECT_EQ(differingPixels(afterDelete, snapshot()), 0) << "no preview follows the pointer";
    release();
    EXPECT_EQ(point(1), second);
    EXPECT_EQ(pin(0), first);
  }
}

TEST(RowRemoval, RangesOutOfPlacementOrderStayOnTheirOwnRows) {
  auto b = makeBoard();
  for (int i = 0; i < 6; ++i) b->addPin({static_cast<uint16_t>(i), 0, 0, 0});
  b->addObject({4, 2, 0, 0, 0, 0}, "late rows, first object");
  b->addObject({0, 3, 0, 0, 0, 0}, "early rows, second object");
  removeObject(*b, 1);
  EXPECT_EQ(b->ObjectTable[0], (BoardObject{1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(b->PinTable[1].x, 4);
}

// Random boards with objects, random deletions in every mode: whatever was deleted, the board
// is written and read back unchanged, so the reader never refuses the editor's own file.
TEST_F(DeleteCommandTest, RandomDeletionsAlwaysLeaveAReadableBoard) {
  std::mt19937 rng(7);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const Tool tools[] = {Tool::EditObject, Tool::EditWires, Tool::DrawWire, Tool::EditText,
                        Tool::EditPins};
  host.confirmAnswers.assign(10000, true);
  for (int round = 0; round < 300; ++round) {
    board().reset();
    for (int o = 0, n = 1 + pick(4); o < n; ++o) {
      BoardObject obj{static_cast<uint16_t>(board().PinCount),       0,
                      static_cast<uint16_t>(board().WirePointCount), 0,
                      static_cast<uint16_t>(board().TextCount),      0};
      for (int i = pick(3); i > 0; --i, ++obj.pinCount) addPin(pick(700), pick(500));
      for (int i = pick(3); i > 0; --i) {
        const int pts = 1 + pick(4);
        addWire(pts, pick(500));
        obj.pointCount = static_cast<uint16_t>(obj.pointCount + pts);
      }
      for (int i = pick(3); i > 0; --i, ++obj.textCount) board().addText({});
      board().addObject(obj, "o");
      if (pick(2)) addWire(1 + pick(3), pick(500));  // loose material between objects
    }
    for (int step = 0; step < 6; ++step) {
      ed.selectTool(tools[pick(5)]);
      const int mode = pick(3);
      if (mode == 0) ed.tools().wireEdit.segClick();
      if (mode == 1) ed.tools().wireEdit.compClick();
      if (mode == 2) ed.tools().wireEdit.SplClick();
      auto chooseFrom = [&](int32_t count) { return count > 0 ? 1 + pick(count) : 0; };
      state().SelectedObject = chooseFrom(board().ObjectCount);
      state().SelectedPoint = chooseFrom(board().WirePointCount);
      state().SelectedText = chooseFrom(board().TextCount);
      state().SelectedPin = chooseFrom(board().PinCount);
      del();
      const std::vector<uint8_t> bytes = serializeProjectFile(board());
      auto back = makeBoard();
      std::string error;
      ASSERT_TRUE(parseProjectFile(bytes.data(), bytes.size(), *back, error))
          << "round " << round << " step " << step << ": " << error;
      ASSERT_TRUE(sameContent(*back, board()));
    }
  }
}

}  // namespace
}  // namespace fw

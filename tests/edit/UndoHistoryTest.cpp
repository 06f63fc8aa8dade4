// Undo and Redo: every kind of change is one step, the saved state is known again, and random
// edits undone and redone give back the boards byte for byte in their saved form.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EditorScenario.h"
#include "files/ProjectFile.h"

namespace fw {
namespace {

class UndoHistoryTest : public EditorScenario {
 protected:
  // One user event, through the editor's door as the window runs it.
  template <typename F>
  void event(F f) {
    ed.run(f);
  }
  void click(int x, int y, MouseButton b = kLeft) {
    moveTo(x, y);
    press(b);
    release(b);
  }
  void undo() {
    event([&] { ed.history().Undo1Click(); });
  }
  void redo() {
    event([&] { ed.history().Redo1Click(); });
  }
  std::vector<uint8_t> saved() { return serializeProjectFile(board()); }
};

TEST_F(UndoHistoryTest, EveryKindOfChangeIsOneStepBackAndForth) {
  std::vector<std::vector<uint8_t>> states{saved()};
  auto remember = [&] { states.push_back(saved()); };
  ed.selectTool(Tool::CreatePin);
  click(380, 280);
  remember();
  ed.selectTool(Tool::DrawWire);
  click(380, 300);
  remember();
  click(400, 300);  // a point added while drawing is a step of its own
  remember();
  EXPECT_FALSE(controls().undo);  // not while the wire is drawn
  click(400, 300, kRight);
  ed.selectTool(Tool::EditPins);
  click(380, 280);
  event([&] { ed.tools().pins.SizeChange(6); });
  remember();
  board().addObject({0, 1, 0, 2, 0, 0}, "part");  // loose material made an object by hand
  ed.history().clear();
  states = {saved()};
  ed.selectTool(Tool::EditObject);
  state().SelectedObject = 1;
  event([&] { ed.commands().rotation.N90cc1Click(); });
  remember();
  event([&] { ed.BitBtn2Click(); });
  remember();
  ed.selectTool(Tool::EditPins);
  state().SelectedPin = 1;
  event([&] { ed.commands().deletion.DeleteSelection(); });  // moves the object's pin range
  remember();
  host.frameSizeAnswers.push_back(std::make_pair(300, 200));
  event([&] { ed.commands().documents.FrameSize1Click(); });
  remember();

  ASSERT_EQ(ed.history().position(), states.size() - 1);
  for (std::size_t i = states.size() - 1; i-- > 0;) {
    undo();
    EXPECT_EQ(saved(), states[i]) << i;
    EXPECT_EQ(controls().panel[2], "Undone");
  }
  EXPECT_FALSE(controls().undo);
  for (std::size_t i = 1; i < states.size(); ++i) {
    redo();
    EXPECT_EQ(saved(), states[i]) << i;
  }
  EXPECT_EQ(controls().panel[2], "Redone");
  EXPECT_EQ(state().SelectedPin + state().SelectedObject, 0);
}

// The editor holds the door itself: a bare press is a step and marks the board unsaved, and
// an event that runs further events inside it is one step for all of them.
TEST_F(UndoHistoryTest, AnEventThroughTheDoorIsOneStepWithWhateverRunsInsideIt) {
  ed.selectTool(Tool::CreatePin);
  moveTo(380, 280);
  ed.mouseDown(kLeft);
  EXPECT_EQ(ed.history().steps(), 1u);
  EXPECT_TRUE(controls().undo);
  EXPECT_FALSE(board().SavedFlag);
  event([&] {
    clickAt(400, 280);
    clickAt(420, 280);
    ed.run([&] { ed.tools().pins.SizeChange(7); });
  });
  EXPECT_EQ(board().PinCount, 3);
  EXPECT_EQ(ed.history().steps(), 2u);
  undo();
  EXPECT_EQ(board().PinCount, 1);
  moveTo(600, 280);
  ed.mouseMove(pointerXFor(640), pointerYFor(280));  // a move previews only
  EXPECT_EQ(ed.history().steps(), 2u);
}

TEST_F(UndoHistoryTest, TheSavedStateIsRecognisedAndNewStartsAFreshHistory) {
  ed.selectTool(Tool::CreatePin);
  click(380, 280);
  event([&] {
    host.saveFileAnswers.push_back("/tmp/fw-undo-test.kvd");
    ed.commands().documents.SaveProject();
  });
  click(390, 280);
  EXPECT_FALSE(board().SavedFlag);
  undo();
  EXPECT_TRUE(board().SavedFlag);  // back where it was saved
  undo();
  EXPECT_FALSE(board().SavedFlag);
  redo();
  EXPECT_TRUE(board().SavedFlag);
  click(400, 280);  // a new change drops the redo steps
  EXPECT_FALSE(controls().redo);

  board().SavedFlag = true;
  event([&] { ed.commands().documents.NewProject(); });
  EXPECT_EQ(ed.history().steps(), 0u);
  EXPECT_FALSE(controls().undo);
}

// Changes that come without a press on the board (Delete of a kept selection, the frame size)
// make Exit ask again, and a save that first drops an empty object still leaves the board saved.
// An object saved over the board's own project file leaves the board saved nowhere.
TEST_F(UndoHistoryTest, EveryChangeAfterASaveMarksTheBoardUnsaved) {
  const std::string path = "/tmp/fw-undo-unsaved.kvd";
  ed.selectTool(Tool::CreatePin);
  click(380, 280);
  ed.selectTool(Tool::EditPins);
  click(380, 280);  // the pin stays selected through the save
  board().addObject({0, 0, 0, 0, 0, 0}, "empty");
  event([&] {
    host.saveFileAnswers.push_back(path);
    ed.commands().documents.SaveProject();
  });
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(board().ObjectCount, 0);
  event([&] { ed.commands().deletion.DeleteSelection(); });
  EXPECT_EQ(board().PinCount, 0);
  EXPECT_FALSE(board().SavedFlag);
  undo();
  EXPECT_TRUE(board().SavedFlag);
  host.frameSizeAnswers.push_back(std::make_pair(300, 200));
  event([&] { ed.commands().documents.FrameSize1Click(); });
  EXPECT_FALSE(board().SavedFlag);
  undo();
  ASSERT_TRUE(board().SavedFlag);

  event([&] {
    host.saveFileAnswers.push_back(path);
    host.textAnswers.push_back("over the project");
    ed.commands().documents.SaveasObject1Click();
  });
  EXPECT_EQ(controls().panel[2], "Object Saved");
  EXPECT_FALSE(board().SavedFlag);
  click(390, 280);
  undo();
  EXPECT_FALSE(board().SavedFlag);  // the file no longer holds that state
}

TEST_F(UndoHistoryTest, RandomEditsUndoneAndRedoneGiveBackBothBoards) {
  std::mt19937 rng(11);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const Tool tools[] = {Tool::CreatePin, Tool::EditPins, Tool::DrawWire, Tool::EditWires,
                        Tool::EditText};
  host.confirmAnswers.assign(1000, true);
  host.textOptionsAnswers.assign(1000, std::make_pair(std::string("T"), 10));
  const std::vector<uint8_t> start = saved();
  for (int i = 0; i < 300; ++i) {
    if (pick(6) == 0) ed.selectTool(tools[pick(5)]);
    const int x = 330 + 4 * pick(35), y = 250 + 4 * pick(25);
    switch (pick(5)) {
      case 0:
        click(x, y, pick(4) == 0 ? kRight : kLeft);
        break;
      case 1:  // drag: press, move, release
        moveTo(x, y);
        event([&] { press(); });
        moveTo(x + 8, y + 4);
        event([&] { release(); });
        break;
      case 2:
        event([&] { ed.commands().deletion.DeleteSelection(); });
        break;
      case 3:
        event([&] { ed.tools().pins.SizeChange(pick(10)); });
        break;
      default:
        event([&] { ed.ComboBox3Change(pick(3)); });
        break;
    }
  }
  ed.selectTool(Tool::EditPins);  // ends a wire in progress, so undo is allowed
  const std::vector<uint8_t> end = saved();
  ASSERT_GT(ed.history().steps(), 50u);
  while (controls().undo) undo();
  EXPECT_EQ(saved(), start);
  while (controls().redo) redo();
  EXPECT_EQ(saved(), end);
}

// The rows in use of one table, changed as a removal and insertion would: `removed` rows go at
// `at` and `inserted` new ones, unlike any other row, take their place.
template <typename Row, std::size_t N, typename Make>
void splice(std::array<Row, N>& table, int32_t& count, int at, int removed, int inserted,
            Make make) {
  std::vector<Row> rows(table.begin(), table.begin() + count);
  rows.erase(rows.begin() + at, rows.begin() + at + removed);
  for (int i = 0; i < inserted; ++i) rows.insert(rows.begin() + at + i, make(1000 + i));
  std::copy(rows.begin(), rows.end(), table.begin());
  count = int32_t(rows.size());
}

enum class Table { Pins, Points, Texts, Objects };

Pin pinRow(int i) {
  return {uint16_t(i), uint16_t(2 * i), uint8_t(i % 10), 0};
}
WirePoint pointRow(int i) {
  return {uint16_t(i), uint16_t(3 * i), uint8_t(i % 7)};
}
TextItem textRow(int i) {
  TextItem t;
  t.text.set("t" + std::to_string(i));
  t.size = uint8_t(5 + i % 40);
  t.x = uint16_t(i);
  return t;
}
BoardObject objectRow(int i) {
  return {uint16_t(i), 0, uint16_t(i), 0, uint16_t(i), 0};  // empty ranges: nothing to draw
}
DescriptionString descriptionRow(int i) {
  DescriptionString d;
  d.set("part " + std::to_string(i));
  return d;
}

void fill(Board& b, int n) {
  b.PinCount = b.WirePointCount = b.TextCount = b.ObjectCount = n;
  for (int i = 0; i < n; ++i) {
    b.PinTable[std::size_t(i)] = pinRow(i);
    b.WirePointTable[std::size_t(i)] = pointRow(i);
    b.TextTable[std::size_t(i)] = textRow(i);
    b.ObjectTable[std::size_t(i)] = objectRow(i);
    b.ObjectDescriptions[std::size_t(i)] = descriptionRow(i);
  }
}

void change(Board& b, Table table, int at, int removed, int inserted) {
  switch (table) {
    case Table::Pins:
      return splice(b.PinTable, b.PinCount, at, removed, inserted, pinRow);
    case Table::Points:
      return splice(b.WirePointTable, b.WirePointCount, at, removed, inserted, pointRow);
    case Table::Texts:
      return splice(b.TextTable, b.TextCount, at, removed, inserted, textRow);
    case Table::Objects: {
      int32_t descriptions = b.ObjectCount;
      splice(b.ObjectDescriptions, descriptions, at, removed, inserted, descriptionRow);
      return splice(b.ObjectTable, b.ObjectCount, at, removed, inserted, objectRow);
    }
  }
}

// Rows removed, inserted or replaced at the start, middle and end of each table come back
// exactly, and the step keeps only those rows: its size does not grow with the table.
TEST_F(UndoHistoryTest, RemovalsAndInsertionsAnywhereComeBackExactlyAndStaySmall) {
  struct Edit {
    int removed, inserted;
  };
  const Edit edits[] = {{3, 0}, {0, 2}, {1, 2}};
  const double places[] = {0.0, 0.5, 1.0};
  const Table tables[] = {Table::Pins, Table::Points, Table::Texts, Table::Objects};
  for (Table table : tables)
    for (double place : places)
      for (const Edit& e : edits) {
        const std::string name = "table " + std::to_string(int(table)) + " at " +
                                 std::to_string(place) + " -" + std::to_string(e.removed) + " +" +
                                 std::to_string(e.inserted);
        std::size_t bytes[2] = {};
        for (int n : {40, 400}) {
          fill(board(), n);
          ed.history().clear();
          const std::vector<uint8_t> before = saved();
          const int at = int(place * (n - e.removed));
          event([&] { change(board(), table, at, e.removed, e.inserted); });
          const std::vector<uint8_t> after = saved();
          ASSERT_EQ(ed.history().steps(), 1u) << name;
          bytes[n == 400] = ed.history().memoryUsed();
          undo();
          EXPECT_EQ(saved(), before) << name << " n " << n;
          redo();
          EXPECT_EQ(saved(), after) << name << " n " << n;
        }
        EXPECT_EQ(bytes[0], bytes[1]) << name;
      }
}

// Past the byte limit the oldest steps go; a saved state among them is gone for good, one in
// the steps kept moves down with them.
TEST_F(UndoHistoryTest, TheByteLimitDropsTheOldestStepsAndForgetsTheSavedState) {
  UndoHistory& h = ed.history();
  EXPECT_EQ(h.memoryUsed(), 0u);
  fill(board(), 1);
  h.clear();
  auto setX = [&](int x) { event([&] { board().PinTable[0].x = uint16_t(x); }); };
  setX(1);
  const std::size_t one = h.memoryUsed();
  h.setByteLimit(3 * one);
  setX(2);
  setX(3);
  EXPECT_EQ(h.steps(), 3u);
  EXPECT_EQ(h.memoryUsed(), 3 * one);
  setX(4);  // the step from the saved state goes
  EXPECT_EQ(h.steps(), 3u);
  EXPECT_EQ(h.memoryUsed(), 3 * one);
  EXPECT_EQ(h.savedPosition(), -1);
  while (controls().undo) undo();
  EXPECT_EQ(board().PinTable[0].x, 1);
  EXPECT_FALSE(board().SavedFlag);
  while (controls().redo) redo();
  EXPECT_EQ(board().PinTable[0].x, 4);
  EXPECT_FALSE(board().SavedFlag);

  h.markSaved();  // at x 4, position 3
  setX(5);
  EXPECT_EQ(h.savedPosition(), 2);
  undo();
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(board().PinTable[0].x, 4);
}

}  // namespace
}  // namespace fw

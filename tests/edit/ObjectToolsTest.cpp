// Objects: placing copies from an object file, selecting and dragging them, rotation, centring
// and Save as Object, driven through the editor against files in a private folder.
#include <filesystem>

#include "EditorScenario.h"
#include "files/ObjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

class ObjectToolsTest : public EditorScenario {
 protected:
  ObjectToolsTest() {
    ed.ProgramDirectory = folder.path();
    std::filesystem::create_directory(folder.path() + "/objects");
  }

  // An object of two pins (style 1 first), a two-point wire and a graphic text, saved from a
  // scratch board with its pins' box at (20, 12).
  std::string saveObject(const std::string& name = "part.kvo") {
    auto b = makeBoard();
    b->addPin({20, 12, 3, 1});
    b->addPin({40, 12, 3, 0});
    b->addWirePoint({static_cast<uint16_t>(16 + WireStartFlag),
                     static_cast<uint16_t>(20 + WireStartFlag), kWireStartAttr});
    b->addWirePoint({44, 20, 0x05});
    TextItem t;
    t.text.set("U1");
    t.size = 10;
    t.x = static_cast<uint16_t>(2 * 4096 + 30);
    t.y = 4;
    b->addText(t);
    const std::string path = folder.path() + "/objects/" + name;
    std::string error;
    EXPECT_TRUE(WriteObjectFile(path, *b, "DIL14", error)) << error;
    return path;
  }
  void insert(const std::string& path) {
    host.openFileAnswers.push_back(path);
    ed.tools().objectPlacement.InsertObject1Click();
    ed.FormPaint();  // the repaint after the dialog lets the outline follow again
  }
  // Places one copy at a board position.
  void placeAt(int x, int y) { clickAt(x, y); }
  const BoardObject& object(int row) { return board().ObjectTable[std::size_t(row)]; }

  TestFolder folder;
};

TEST_F(ObjectToolsTest, EachPressPlacesACopyWithItsPinsCornerThere) {
  insert(saveObject());
  EXPECT_EQ(controls().tool, Tool::EditObject);
  EXPECT_EQ(controls().panel[2], "Place Object. Right mouse to Stop.");
  EXPECT_EQ(host.openRequests.back().initialFolder, folder.path() + "/objects");
  for (int i = 0; i < 3; ++i) placeAt(300 + 40 * i, 200);
  EXPECT_EQ(board().ObjectCount, 3);
  EXPECT_EQ(board().PinCount, 6);
  EXPECT_EQ(object(2), (BoardObject{4, 2, 4, 2, 2, 1}));
  EXPECT_EQ(board().ObjectDescriptions[2].str(), "DIL14");
  EXPECT_EQ(pin(2).x, 340);  // the pin that was at (20, 12)
  EXPECT_EQ(pin(2).y, 200);
  EXPECT_EQ(point(2).x, WireStartFlag + 336);  // the wire left of the corner stays a start
  EXPECT_EQ(board().TextTable[1].x, 2 * 4096 + 350);
  EXPECT_EQ(board().TextTable[1].y, 192);

  // A copy that would reach past the board's edge is refused; the right press ends it all.
  placeAt(0, 0);
  EXPECT_EQ(controls().panel[2], "Object does not fit on the board here");
  const QImage before = snapshot();
  moveTo(400, 300);
  EXPECT_GT(differingPixels(before, snapshot()), 0);  // the outline follows the pointer
  press(kRight);
  EXPECT_EQ(differingPixels(before, snapshot()), 0);
  EXPECT_FALSE(state().Placing);
  EXPECT_EQ(controls().panel[2], "Select Object to Edit");
  EXPECT_EQ(board().ObjectCount, 3);
}

TEST_F(ObjectToolsTest, CancelledUnreadableAndVanishedFilesPlaceNothing) {
  controls().panel[2] = "before";
  ed.tools().objectPlacement.InsertObject1Click();  // no answer: Cancel
  EXPECT_EQ(controls().tool, Tool::EditObject);
  EXPECT_EQ(controls().panel[2], "before");
  EXPECT_FALSE(state().Placing);

  insert(folder.path() + "/objects/missing.kvo");
  EXPECT_EQ(controls().panel[2], "Object not Loaded");
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Error in file name. Object not opened.\n", 0), 0u);

  // The file goes away after the first copy: the placement ends instead of placing stale rows.
  const std::string path = saveObject();
  insert(path);
  std::filesystem::remove(path);
  placeAt(300, 200);
  EXPECT_EQ(board().ObjectCount, 1);
  EXPECT_FALSE(state().Placing);
  // The press that ended the placement does nothing more: it does not select the copy.
  EXPECT_EQ(state().SelectedObject, 0);
  EXPECT_EQ(controls().panel[2], "Object not Loaded");
}

TEST_F(ObjectToolsTest, SelectingByAnyElementAndDraggingMovesTheWholeObject) {
  insert(saveObject());
  placeAt(300, 200);
  placeAt(300, 240);
  press(kRight);
  addPin(310, 200);  // a loose pin under the first object's graphic text
  ed.selectTool(Tool::EditObject);
  clickAt(300, 240);
  EXPECT_EQ(state().SelectedObject, 2);
  EXPECT_EQ(controls().panel[2], "Object \"DIL14\" (#2) selected. Drag Object with Mouse.");
  clickAt(310, 192);  // text of object 1 beats the loose pin
  EXPECT_EQ(state().SelectedObject, 1);

  moveTo(300, 200);
  press();
  moveTo(320, 208);
  release();
  EXPECT_EQ(pin(0).x, 320);
  EXPECT_EQ(pin(0).y, 208);
  EXPECT_EQ(point(0).x, WireStartFlag + 316);
  EXPECT_EQ(board().TextTable[0].x, 2 * 4096 + 330);
  EXPECT_EQ(pin(4).x, 310);  // the loose pin stays

  // Dragged far past the edge, the object stops at it.
  moveTo(320, 208);
  press();
  ed.mouseMove(-3000, view().PointerY);
  release();
  EXPECT_EQ(point(0).x & kPositionMask, 0);  // the leftmost element, on the edge
  EXPECT_TRUE(isWireStart(point(0)));
}

// An older file may hold an object that lies partly outside the board area: a drag holds it
// only where the move would push it further out, and never makes it jump.
TEST_F(ObjectToolsTest, AnObjectPartlyOutsideIsHeldOnlyWhereItWouldGoFurtherOut) {
  struct Case {
    int dx, dy, movedX, movedY;
  };
  const Case cases[] = {
      {20, 20, 0, 0},    // further out on both axes
      {0, -20, 0, -20},  // along y only: no jump in x
      {-20, 0, -20, 0},  // back toward the board
  };
  addPin(400, 300);
  addPin(800, 300);
  addPin(400, 600);
  board().addObject({0, 3, 0, 0, 0, 0}, "old");
  ed.selectTool(Tool::EditObject);
  clickAt(400, 300);
  for (const Case& c : cases) {
    const Pin before = pin(0);
    moveTo(before.x, before.y);
    press();
    moveTo(before.x + c.dx, before.y + c.dy);
    release();
    EXPECT_EQ(pin(0).x, before.x + c.movedX) << c.dx << "," << c.dy;
    EXPECT_EQ(pin(0).y, before.y + c.movedY) << c.dx << "," << c.dy;
  }
}

TEST_F(ObjectToolsTest, QuarterTurnsAboutTheGridSnappedCentre) {
  addPin(100, 100, 3, 1);
  addPin(120, 100, 3, 0);
  addPoint(100, 110, kWireStartAttr, true);
  addPoint(120, 110, 0x02);
  TextItem t;
  t.x = static_cast<uint16_t>(2 * 4096 + 110);
  t.y = 104;
  board().addText(t);
  board().addObject({0, 2, 0, 2, 0, 1}, "two pins");
  ed.selectTool(Tool::EditObject);
  state().SelectedObject = 1;
  ed.commands().rotation.N90cc1Click();
  EXPECT_EQ(controls().panel[2], "Object Rotated");
  EXPECT_EQ(pin(0), (Pin{108, 92, 3, 2}));
  EXPECT_EQ(pin(1), (Pin{108, 112, 3, 0}));
  EXPECT_TRUE(isWireStart(point(0)));
  EXPECT_EQ(textLayer(board().TextTable[0]), kGraphic);
  ed.commands().rotation.N90cc1Click();
  EXPECT_EQ(pin(0), (Pin{116, 100, 3, 1}));
  EXPECT_EQ(pin(1), (Pin{96, 100, 3, 0}));

  // Near the edge a turn is moved back inside by whole grid steps.
  pin(0) = {0, 300, 3, 0};
  pin(1) = {0, 340, 3, 0};
  ed.commands().rotation.N90cc1Click();
  EXPECT_EQ(pin(1).x, 0);
  EXPECT_EQ(pin(0).x, 40);

  state().SelectedObject = 0;
  ed.commands().rotation.N270cw1Click();
  EXPECT_EQ(controls().panel[2], "No Object Selected");
}

TEST_F(ObjectToolsTest, TurningTheFloatingObjectTurnsTheNextCopyOnly) {
  insert(saveObject());
  ed.commands().rotation.N90cc1Click();
  placeAt(300, 200);
  placeAt(300, 260);
  EXPECT_EQ(pin(0).style, 2);  // turned: horizontal became vertical
  EXPECT_EQ(pin(0).x, pin(1).x);
  EXPECT_EQ(pin(2).style, 1);  // the file's orientation again
  EXPECT_EQ(pin(2).y, pin(3).y);
}

TEST_F(ObjectToolsTest, CenterObjectsMovesTheMaterialToTheMiddleInGridSteps) {
  addPin(20, 20);
  addPoint(60, 40, kWireStartAttr, true);
  ed.commands().viewCommands.ScrollBar1Scroll(3);
  ed.BitBtn2Click();
  EXPECT_EQ(pin(0).x, 376);
  EXPECT_EQ(pin(0).y, 284);
  EXPECT_TRUE(isWireStart(point(0)));
  EXPECT_EQ(point(0).x & kPositionMask, 416);
  EXPECT_EQ(view().scrollX, 100);
  EXPECT_EQ(view().scrollY, 75);
  EXPECT_EQ(controls().panel[2], "Objects moved to center of Board");
}

TEST_F(ObjectToolsTest, SaveAsObjectWritesTheBoardWithItsDescription) {
  addPin(100, 100);
  const std::string base = folder.path() + "/objects/saved";
  host.saveFileAnswers = {base, base + "2"};
  host.textAnswers = {std::string(60, 'd'), std::nullopt};
  ed.commands().documents.SaveasObject1Click();
  ed.commands().documents.SaveasObject1Click();
  EXPECT_EQ(controls().panel[2], "Object Saved");
  EXPECT_EQ(host.calls[1].text, "Object Description|Enter Object Description");
  ObjectData back;
  std::string error;
  ASSERT_TRUE(ReadObjectFile(base + ".kvo", back, error)) << error;
  EXPECT_EQ(back.pins.size(), 1u);
  EXPECT_EQ(back.description.length, 50);
  ASSERT_TRUE(ReadObjectFile(base + "2.kvo", back, error)) << error;
  EXPECT_EQ(back.description.length, 0);  // a cancelled box saves with no description

  host.saveFileAnswers = {folder.path() + "/no/such/folder/x.kvo"};
  ed.commands().documents.SaveasObject1Click();
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back().rfind("Error in file name. Object not saved.", 0), 0u);
}

// The input box answers in UTF-8 and the files hold Latin-1: "10µF" is stored with the byte
// 0xB5, a character beyond Latin-1 as '?', and Edit Object shows the stored description in
// UTF-8 again.
TEST_F(ObjectToolsTest, ADescriptionKeepsItsMicroSignFromTheBoxThroughTheFileToThePanel) {
  struct Case {
    std::string typed, stored, shown;
  };
  const Case cases[] = {{"10\xC2\xB5"
                         "F",
                         "10\xB5"
                         "F",
                         "10\xC2\xB5"
                         "F"},
                        {"1k\xCE\xA9", "1k?", "1k?"},
                        {"DIL14", "DIL14", "DIL14"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    board().SavedFlag = true;  // New without its question
    ed.commands().documents.NewProject();
    addPin(100, 100);
    const std::string path = folder.path() + "/objects/described.kvo";
    host.saveFileAnswers = {path};
    host.textAnswers = {c.typed};
    ed.commands().documents.SaveasObject1Click();
    ObjectData back;
    std::string error;
    ASSERT_TRUE(ReadObjectFile(path, back, error)) << error;
    EXPECT_EQ(back.description.str(), c.stored);

    board().SavedFlag = true;
    ed.commands().documents.NewProject();
    insert(path);
    placeAt(300, 200);
    press(kRight);
    ed.selectTool(Tool::EditObject);
    clickAt(300, 200);
    ASSERT_EQ(state().SelectedObject, 1);
    EXPECT_EQ(controls().panel[2],
              "Object \"" + c.shown + "\" (#1) selected. Drag Object with Mouse.");
  }
}

// Found by the monkey: material far from the pins floats with wrapped positions, and a turn
// would freeze its wrapped flag bits, turning a wire start into an ordinary point. A refused
// turn, at its first quarter or a later one, leaves the floating object and its outline as
// they were, so the outline moves on without leaving pieces behind.
TEST_F(ObjectToolsTest, AFloatingObjectWithFarMaterialIsNotTurned) {
  struct Case {
    int pinX, wireX;
    void (RotateCommand::*turn)();
    int atX;  // where the copy would fit
  };
  const Case cases[] = {
      {700, 20, &RotateCommand::N90cc1Click, 700},    // far left: refused at once
      {100, 400, &RotateCommand::N180cw1Click, 100},  // far right: turned once, then refused
  };
  ed.commands().viewCommands.ComboBox1Change(0);  // zoom 1x: the whole outline on screen
  for (const Case& c : cases) {
    auto b = makeBoard();
    b->addPin({static_cast<uint16_t>(c.pinX), 100, 3, 0});
    b->addWirePoint({static_cast<uint16_t>(WireStartFlag + c.wireX),
                     static_cast<uint16_t>(WireStartFlag + 100), kWireStartAttr});
    b->addWirePoint({static_cast<uint16_t>(c.wireX + 20), 100, 0x02});
    std::string error;
    const std::string path = folder.path() + "/objects/far.kvo";
    ASSERT_TRUE(WriteObjectFile(path, *b, "far", error)) << error;
    insert(path);
    const QImage clean = snapshot();
    moveTo(c.atX, 200);
    const WirePoint first = point(0), second = point(1);
    (ed.commands().rotation.*c.turn)();
    EXPECT_EQ(controls().panel[2], "Object too large to rotate while placing");
    EXPECT_EQ(point(0), first);
    EXPECT_EQ(point(1), second);
    moveTo(c.atX + 20, 200);
    press(kRight);
    EXPECT_EQ(differingPixels(clean, snapshot()), 0) << "no outline left behind";
  }
}

}  // namespace
}  // namespace fw

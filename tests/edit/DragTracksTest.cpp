// Drag Connected Tracks: dragging a pin or an object, or turning an object, takes the track ends
// on its pads along, in the preview and on the board, as one undo step.
#include "EditorScenario.h"

namespace fw {
namespace {

class DragTracksTest : public EditorScenario {
 protected:
  // Object 1 holds pins 0 and 1 and its own track between them (rows 0-1); a track of the
  // board (rows 2-4) runs from pin 1 to pin 2, which belongs to no object.
  void SetUp() override {
    addPin(400, 300);
    addPin(440, 300);
    addPin(480, 300);
    addPoint(400, 300, kWireStartAttr, true);
    addPoint(440, 300, 0x02);
    addPoint(440, 300, kWireStartAttr, true);
    addPoint(460, 300, 0x02);
    addPoint(480, 300, 0x02);
    board().addObject({0, 2, 0, 2, 0, 0}, "part");
    controls().dragConnectedTracks = true;
    ed.RedrawBoard();
  }
  // Selects the pin with a first press, then drags it from where it stands.
  void dragPin(int row, int toX, int toY, int releaseWindowY = -1) {
    ed.selectTool(Tool::EditPins);
    const int x = pin(row).x, y = pin(row).y;
    clickAt(x, y);
    moveTo(x, y);
    press();
    moveTo(toX, toY);
    if (releaseWindowY < 0)
      release();
    else
      ed.mouseUp(kLeft, releaseWindowY);
  }
  std::pair<int, int> at(int row) { return {point(row).x & kPositionMask, point(row).y & 16383}; }
};

TEST_F(DragTracksTest, ADraggedPinTakesItsTrackEndsOnlyWhileTheItemIsOn) {
  for (const bool on : {true, false}) {
    board().reset();
    state().clearSelections();
    SetUp();
    controls().dragConnectedTracks = on;
    const std::size_t steps = ed.history().position();
    dragPin(2, 480, 340);
    EXPECT_EQ(pin(2).y, 340);
    EXPECT_EQ(at(4), std::make_pair(480, on ? 340 : 300)) << on;
    EXPECT_EQ(at(3), std::make_pair(460, 300)) << "the track's other points stay";
    EXPECT_EQ(ed.history().position(), steps + 1) << "one undo step";
    ed.history().Undo1Click();
    EXPECT_EQ(pin(2).y, 300);
    EXPECT_EQ(at(4), std::make_pair(480, 300));
  }
}

TEST_F(DragTracksTest, ThePreviewShowsTheTrackWhereItWillGoAndARefusedDropMovesNothing) {
  const QImage before = snapshot();
  ed.selectTool(Tool::EditPins);
  clickAt(480, 300);
  const QImage selected = snapshot();
  moveTo(480, 300);
  press();
  moveTo(480, 340);
  // The segment from (460, 300) to the pin's new place crosses (470, 320), where nothing was.
  EXPECT_GT(differingPixelsNear(selected, snapshot(), pointerXFor(470), pointerYFor(320) + 60, 2),
            0);
  // Dropped over the toolbar: the pin, the track and the history stay.
  const std::size_t steps = ed.history().steps();
  ed.mouseUp(kLeft, 10);
  EXPECT_EQ(pin(2).y, 300);
  EXPECT_EQ(at(4), std::make_pair(480, 300));
  EXPECT_EQ(ed.history().steps(), steps);
  // Dropped where it was picked up: the preview is gone without a trace.
  moveTo(480, 300);
  press();
  moveTo(480, 340);
  moveTo(480, 300);
  release();
  EXPECT_EQ(differingPixels(selected, snapshot()), 0);
  EXPECT_NE(differingPixels(before, selected), 0);
}

TEST_F(DragTracksTest, AnObjectDraggedOrTurnedTakesTheEndsOfTracksThatAreNotItsOwn) {
  ed.selectTool(Tool::EditObject);
  clickAt(400, 300);
  moveTo(400, 300);
  press();
  moveTo(400, 340);
  release();
  EXPECT_EQ(at(0), std::make_pair(400, 340));  // its own track moves once, with it
  EXPECT_EQ(at(1), std::make_pair(440, 340));
  EXPECT_EQ(at(2), std::make_pair(440, 340));  // the board's track follows pin 1
  EXPECT_EQ(at(3), std::make_pair(460, 300));
  EXPECT_TRUE(isWireStart(point(2)));

  ed.commands().rotation.N90cc1Click();
  EXPECT_EQ(controls().panel[2], "Object Rotated");
  EXPECT_EQ(at(2), std::make_pair(int(pin(1).x), int(pin(1).y)));
  EXPECT_NE(pin(1).x, 440);
  EXPECT_EQ(at(4), std::make_pair(480, 300));
}

TEST_F(DragTracksTest, ATrackBetweenTwoPadsOfTheDraggedObjectIsPreviewedWhole) {
  // A layer 2 track of the board from pin 0 straight to pin 1, both pads of the object: its one
  // segment has two pinned ends, and drawn once per end the inverting preview would erase it.
  // The object's own track is bent away, so that its outline does not cover that segment.
  point(1).y = 260;
  addPoint(400, 300, kWireStartAttr, true);
  addPoint(440, 300, 0x12);
  ed.RedrawBoard();
  ed.selectTool(Tool::EditObject);
  clickAt(400, 300);
  const QImage selected = snapshot();
  moveTo(400, 300);
  press();
  moveTo(400, 340);
  EXPECT_GT(differingPixelsNear(selected, snapshot(), pointerXFor(420), pointerYFor(340) + 60, 1),
            0);
  release();
  EXPECT_EQ(at(5), std::make_pair(400, 340));
  EXPECT_EQ(at(6), std::make_pair(440, 340));
}

}  // namespace
}  // namespace fw

// Highlight Connection: a press lights up the island of the pad or track under the pointer and
// changes nothing else.
#include "EditorScenario.h"
#include "support/SameBoard.h"

namespace fw {
namespace {

class HighlightToolTest : public EditorScenario {
 protected:
  // Pins 0 and 1 joined by a track on layer 2; a track of its own on layer 1 below them; a
  // pin on its own.
  void SetUp() override {
    addPin(400, 300);
    addPin(440, 300);
    addPin(480, 340);
    addPoint(400, 300, kWireStartAttr, true);
    addPoint(420, 300, 0x12);
    addPoint(440, 300, 0x12);
    addPoint(400, 330, kWireStartAttr, true);
    addPoint(440, 330, 0x02);
    board().SavedFlag = true;
    ed.selectTool(Tool::HighlightConnection);
    ed.RedrawBoard();
  }
  // Pixels in the highlight colour within r pixels of a board position.
  int cyanNear(int boardX, int boardY, int r = 3) {
    int n = 0;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (pixelAtBoard(boardX, boardY, dx, dy) == rgb(0, 255, 255)) ++n;
    return n;
  }
};

TEST_F(HighlightToolTest, PressLightsTheIslandUntilEscapeAndChangesNothing) {
  auto before = makeBoard();
  *before = board();
  const QImage plain = snapshot();

  clickAt(400, 300);
  EXPECT_EQ(controls().panel[2], "Connected: 2 pads, 2 segments");
  EXPECT_GT(cyanNear(400, 300, 6), 0);  // the pad pressed
  EXPECT_GT(cyanNear(440, 300, 6), 0);  // the pad at the other end
  EXPECT_GT(cyanNear(410, 300), 0);     // both segments between them
  EXPECT_GT(cyanNear(430, 300), 0);
  EXPECT_EQ(cyanNear(420, 330), 0);  // the other track
  EXPECT_EQ(cyanNear(480, 340, 6), 0);

  // A press on the separate track moves the light there.
  clickAt(425, 330);
  EXPECT_EQ(controls().panel[2], "Connected: 0 pads, 1 segments");
  EXPECT_GT(cyanNear(420, 330), 0);
  EXPECT_EQ(cyanNear(410, 300), 0);
  EXPECT_EQ(cyanNear(440, 300, 6), 0);

  ed.escapePressed();
  EXPECT_EQ(differingPixels(plain, snapshot()), 0);

  EXPECT_TRUE(sameContent(*before, board()));
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(ed.history().steps(), 0u);
}

TEST_F(HighlightToolTest, PressesKeepTheConnectivityWhileTheBoardIsUnchanged) {
  clickAt(400, 300);
  const Connectivity* first = &ed.tools().highlight.connectivity();
  clickAt(440, 300);
  ed.run([] {});  // an event that changes no table, as a zoom
  EXPECT_EQ(&ed.tools().highlight.connectivity(), first);

  // An event that changes the board puts out the light and builds the connectivity anew, and
  // so does its undo.
  ed.run([&] { board().PinTable[1].x = 460; });
  ed.RedrawBoard();
  EXPECT_FALSE(ed.tools().highlight.active());
  clickAt(400, 300);
  EXPECT_EQ(controls().panel[2], "Connected: 1 pads, 2 segments");
  ed.run([&] { ed.history().Undo1Click(); });
  clickAt(400, 300);
  EXPECT_EQ(controls().panel[2], "Connected: 2 pads, 2 segments");
}

TEST_F(HighlightToolTest, PressOnEmptyBoardOrAnotherToolPutsTheLightOut) {
  const QImage plain = snapshot();
  clickAt(400, 300);
  clickAt(600, 500);
  EXPECT_EQ(controls().panel[2], "No pad or track here");
  EXPECT_EQ(differingPixels(plain, snapshot()), 0);

  clickAt(400, 300);
  ed.selectTool(Tool::Pan);
  EXPECT_FALSE(ed.tools().highlight.active());
  EXPECT_EQ(cyanNear(410, 300), 0);
}

}  // namespace
}  // namespace fw

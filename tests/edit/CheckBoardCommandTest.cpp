// Window > Check Board: the dialog lists the findings, a chosen finding is scrolled to the
// middle of the view and marked until the next repaint, and the rules it closes with are kept.
#include <algorithm>

#include "EditorScenario.h"

namespace fw {
namespace {

class CheckBoardCommandTest : public EditorScenario {
 protected:
  int colourNear(QRgb colour, int wx, int wy, int r) {
    int n = 0;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (ed.canvas().pixelAt(wx + dx, wy + dy) == colour) ++n;
    return n;
  }
  int yellowNear(int wx, int wy, int r) { return colourNear(rgb(255, 255, 0), wx, wy, r); }
  int whiteNear(int wx, int wy, int r) { return colourNear(rgb(255, 255, 255), wx, wy, r); }
};

TEST_F(CheckBoardCommandTest, ChosenFindingIsScrolledToTheMiddleAndMarked) {
  addPin(396, 296);  // inside the frame
  addPin(150, 120);  // far outside it, and off screen at the start
  ASSERT_LT(view().toWindowX(150), 0);

  bool sawMarker = false;
  host.checkBoardScript = [&](CheckBoardSession& session) {
    const auto outside =
        std::find_if(host.checkBoardListed.begin(), host.checkBoardListed.end(),
                     [](const Finding& f) { return f.kind == FindingKind::OutsideFrame; });
    ASSERT_NE(outside, host.checkBoardListed.end());
    EXPECT_EQ(outside->severity, Severity::Error);
    EXPECT_EQ(outside->item.row, 1);
    session.showFinding(*outside);
    // The pin is now within one grid step of the middle of the drawing area.
    const int s = view().pxPerGrid();
    const int x = view().toWindowX(150), y = view().toWindowY(120);
    EXPECT_LE(std::abs(x - view().W / 2), s);
    EXPECT_LE(std::abs(y - (kBoardAreaTop + view().H - 40) / 2), s);
    sawMarker = yellowNear(x, y, 24) > 40;  // the circle and cross, at the pin's edge
    EXPECT_GT(whiteNear(x, y, 6), 0);       // over the board repainted where it scrolled to
    // A stricter edge clearance the user types in is checked at once and kept.
    CheckRules wide = session.rules;
    wide.edgeMm = 100;
    const std::vector<Finding> again = session.check(wide);
    EXPECT_TRUE(std::any_of(again.begin(), again.end(), [](const Finding& f) {
      return f.kind == FindingKind::EdgeClearance && f.item.row == 0;
    }));
    // The user then sets the edge clearance to 0.5 mm and closes the dialog.
    session.rules = wide;
    session.rules.edgeMm = 0.5;
  };
  ed.run([&] { ed.commands().checkBoard.CheckBoard1Click(); });
  EXPECT_EQ(host.count("checkBoard"), 1);
  EXPECT_TRUE(sawMarker);
  EXPECT_EQ(ed.commands().checkBoard.rules.edgeMm, 0.5);
  // The dialog closed: the repaint took the marker away.
  const int x = view().toWindowX(150), y = view().toWindowY(120);
  EXPECT_EQ(yellowNear(x, y, 24), 0);
  EXPECT_TRUE(board().SavedFlag);
}

}  // namespace
}  // namespace fw

// The commands that change only the view (zoom, scroll, Goto Center, Update Screen, grid, frame
// and layer switches) and the window-wide reset, checked through the editor and its canvas.
#include <gtest/gtest.h>

#include <QColor>
#include <QRect>
#include <cstdlib>
#include <functional>

#include "EditorScenario.h"
#include "board/Geometry.h"
#include "edit/Editor.h"
#include "support/SameBoard.h"

namespace fw {
namespace {

constexpr int kAreaWidth = 800;
constexpr int kAreaHeight = 600;
// The middle of the window of the drawing rules: W div 2, H div 2 with H = area height + 100.
constexpr int kMidX = kAreaWidth / 2;
constexpr int kMidY = (kAreaHeight + 100) / 2;

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kGrey(128, 128, 128);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 128, 0);
const QColor kMaroon(128, 0, 0);
const QColor kPurple(128, 0, 128);

class ViewCommandsTest : public ::testing::Test {
 protected:
  ViewCommandsTest() { editor.RedrawBoard(); }

  // Window-coordinate pixel of the canvas.
  QColor at(int x, int y) { return QColor(editor.canvas().pixelAt(x, y)); }

  // Pixels of exactly this colour inside a rectangle of window coordinates.
  int count(const QColor& colour, const QRect& windowRect) {
    int n = 0;
    for (int y = windowRect.top(); y <= windowRect.bottom(); ++y)
      for (int x = windowRect.left(); x <= windowRect.right(); ++x)
        if (at(x, y) == colour) ++n;
    return n;
  }
  int countEverywhere(const QColor& colour) {
    return count(colour, QRect(0, 60, kAreaWidth, kAreaHeight));
  }

  void addPin(uint16_t x, uint16_t y, uint8_t sizeIndex, uint8_t style = 0) {
    ASSERT_TRUE(editor.board().addPin({x, y, sizeIndex, style}));
  }
  // A straight wire of one segment on a layer.
  void addWire(int x1, int y1, int x2, int y2, int layer, int widthIndex = 5) {
    const auto u = [](int v) { return static_cast<uint16_t>(v); };
    ASSERT_TRUE(editor.board().addWirePoint(
        {u(x1 + WireStartFlag), u(y1 + WireStartFlag), kWireStartAttr}));
    ASSERT_TRUE(
        editor.board().addWirePoint({u(x2), u(y2), static_cast<uint8_t>(layer * 16 + widthIndex)}));
  }

  Host host;
  Editor editor{host, kAreaWidth, kAreaHeight};
};

TEST_F(ViewCommandsTest, StartsCentredAtZoom4xWithTheGridShown) {
  EXPECT_EQ(editor.view().ZoomLevel, 2);
  EXPECT_EQ(editor.view().toWindow(396, 296), (WindowPoint{kMidX, kMidY}));
  // Grid step (103, 77) is three and two steps from the middle: a grey dot, away from any line.
  EXPECT_EQ(at(kMidX + 3 * 16, kMidY + 2 * 16), kGrey);
  EXPECT_EQ(at(kMidX + 3 * 16 + 8, kMidY + 2 * 16), kBlack);
}

TEST_F(ViewCommandsTest, ZoomKeepsTheMiddleAndDoublesEveryDrawnSize) {
  addPin(400, 300, 3);  // 2.54 mm pad: 16 pixels at 4x, 32 at 8x
  editor.RedrawBoard();
  const WindowPoint pin4 = editor.view().toWindow(400, 300);
  EXPECT_EQ(pin4, (WindowPoint{kMidX + 16, kMidY + 16}));
  EXPECT_EQ(at(pin4.x + 6, pin4.y), kWhite);
  EXPECT_NE(at(pin4.x + 12, pin4.y), kWhite);
  EXPECT_EQ(at(pin4.x, pin4.y), kBlack);  // drill hole
  EXPECT_EQ(at(kMidX + 5 * 16, kMidY + 3 * 16), kGrey);

  editor.commands().viewCommands.ComboBox1Change(3);

  EXPECT_EQ(editor.view().ZoomLevel, 3);
  EXPECT_EQ(editor.controls().panel[2], "New ZoomLevel selected");
  EXPECT_EQ(editor.view().toWindow(396, 296), (WindowPoint{kMidX, kMidY}));
  const WindowPoint pin8 = editor.view().toWindow(400, 300);
  EXPECT_EQ(pin8, (WindowPoint{kMidX + 32, kMidY + 32}));
  EXPECT_EQ(at(pin8.x + 12, pin8.y), kWhite);
  EXPECT_NE(at(pin8.x + 20, pin8.y), kWhite);
  EXPECT_EQ(at(pin8.x + 3, pin8.y), kBlack);  // the hole doubled too
  // Grid dots now stand 32 pixels apart: a dot of 4x between two of them is gone.
  EXPECT_EQ(at(kMidX + 3 * 32, kMidY + 2 * 32), kGrey);
  EXPECT_EQ(at(kMidX + 5 * 16, kMidY + 3 * 16), kBlack);
}

TEST_F(ViewCommandsTest, ZoomListIndexOutOfRangeIsClamped) {
  editor.commands().viewCommands.ComboBox1Change(99);
  EXPECT_EQ(editor.view().ZoomLevel, 5);
  editor.commands().viewCommands.ComboBox1Change(-4);
  EXPECT_EQ(editor.view().ZoomLevel, 0);
}

TEST_F(ViewCommandsTest, ZoomWorksOutTheRadiusOfAnArmedPinDragAgain) {
  addPin(400, 300, 3);
  addPin(420, 300, 3, GraphicPinFlag);
  EditorState& s = editor.state();

  s.DragKind = kDragPin;
  s.DragIndex = 0;
  editor.commands().viewCommands.ComboBox1Change(3);
  EXPECT_EQ(s.DragRadius, 16);  // half of 32 pixels
  s.DragIndex = 1;
  editor.commands().viewCommands.ComboBox1Change(4);
  EXPECT_EQ(s.DragRadius, 64);  // a graphic pin takes the full diameter

  s.DragKind = kDragNone;
  s.DragRadius = 7;
  editor.commands().viewCommands.ComboBox1Change(1);
  EXPECT_EQ(s.DragRadius, 7);  // no armed drag: left alone
}

TEST_F(ViewCommandsTest, ScrollBarsMoveTheViewAndGotoCenterBringsTheMiddleBack) {
  addPin(396, 296, 3);
  editor.RedrawBoard();
  EXPECT_EQ(at(kMidX + 6, kMidY + 3), kWhite);

  editor.commands().viewCommands.ScrollBar1Scroll(103);  // each bar redraws on its own
  EXPECT_EQ(at(kMidX - 48 + 6, kMidY + 3), kWhite);
  EXPECT_NE(at(kMidX + 6, kMidY + 3), kWhite);
  editor.commands().viewCommands.ScrollBar2Scroll(73);
  EXPECT_EQ(editor.view().scrollX, 103);
  EXPECT_EQ(editor.view().scrollY, 73);
  const WindowPoint moved = editor.view().toWindow(396, 296);
  EXPECT_EQ(moved, (WindowPoint{kMidX - 48, kMidY + 32}));
  EXPECT_EQ(at(moved.x + 6, moved.y + 3), kWhite);
  EXPECT_NE(at(kMidX + 6, kMidY + 3), kWhite);

  editor.commands().viewCommands.GotoCenter1Click();
  EXPECT_EQ(editor.view().scrollX, 100);
  EXPECT_EQ(editor.view().scrollY, 75);
  EXPECT_EQ(editor.view().toWindow(396, 296), (WindowPoint{kMidX, kMidY}));
  EXPECT_EQ(at(kMidX + 6, kMidY + 3), kWhite);
  EXPECT_NE(at(moved.x + 6, moved.y + 3), kWhite);
}

TEST_F(ViewCommandsTest, ScrollPositionsStayInsideTheWorkspace) {
  editor.commands().viewCommands.ScrollBar1Scroll(500);
  editor.commands().viewCommands.ScrollBar2Scroll(-20);
  EXPECT_EQ(editor.view().scrollX, 200);
  EXPECT_EQ(editor.view().scrollY, 0);
}

TEST_F(ViewCommandsTest, UpdateScreenRepaintsOverStrayPixels) {
  editor.canvas().setPixel(kMidX + 40, kMidY + 40, kWhite);
  EXPECT_EQ(at(kMidX + 40, kMidY + 40), kWhite);
  editor.commands().viewCommands.BitBtn8Click();
  EXPECT_EQ(at(kMidX + 40, kMidY + 40), kBlack);
  EXPECT_EQ(editor.controls().panel[2], "Screen Updated");
}

TEST_F(ViewCommandsTest, ShowGridsTogglesTheGridDotsAndTheCheckMark) {
  const int x = kMidX + 3 * 16, y = kMidY + 2 * 16;
  editor.commands().viewCommands.GridsOn1Click();
  EXPECT_FALSE(editor.controls().showGrids);
  EXPECT_FALSE(editor.visibility().grid);
  EXPECT_EQ(at(x, y), kBlack);
  EXPECT_EQ(countEverywhere(kGrey), 0);

  editor.commands().viewCommands.GridsOn1Click();
  EXPECT_TRUE(editor.controls().showGrids);
  EXPECT_EQ(at(x, y), kGrey);
}

TEST_F(ViewCommandsTest, ShowFrameHidesFrameAndCentreCrossTogether) {
  editor.commands().viewCommands.ComboBox1Change(0);  // at 1x the whole frame fits the area
  ASSERT_GT(countEverywhere(kRed), 0);
  ASSERT_GT(count(kYellow, QRect(kMidX, 60, 1, kAreaHeight)), 0);

  editor.commands().viewCommands.ShowFrame1Click();
  EXPECT_FALSE(editor.controls().showFrame);
  EXPECT_EQ(countEverywhere(kRed), 0);
  EXPECT_EQ(countEverywhere(kYellow), 0);

  editor.commands().viewCommands.ShowFrame1Click();
  EXPECT_TRUE(editor.controls().showFrame);
  EXPECT_GT(countEverywhere(kRed), 0);
}

// An odd frame size puts the frame's edges half a unit between two board positions. At zoom 4x
// they still fall on whole pixels, two pixels per board unit either side of the middle, where
// the doubled edge positions say.
TEST_F(ViewCommandsTest, OddFrameSizesAreDrawnOnTheirExactPixelsAtZoom4x) {
  const View& v = editor.view();
  ASSERT_EQ(v.zoomFactor(), 4);
  for (const auto& [w, h] : {std::pair{17, 17}, std::pair{101, 75}, std::pair{197, 139}}) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    editor.board().FrameWidth = w;
    editor.board().FrameHeight = h;
    editor.RedrawBoard();
    const FrameEdges2 e = frameEdges2(editor.board());
    EXPECT_EQ(std::make_pair(e.right - e.left, e.bottom - e.top), std::make_pair(2 * w, 2 * h));
    EXPECT_EQ(std::make_pair(e.left + e.right, e.top + e.bottom),
              std::make_pair(4 * kCenterBoardX, 4 * kCenterBoardY));
    const int left = v.toWindowX(0) + 2 * e.left, right = v.toWindowX(0) + 2 * e.right;
    const int top = v.toWindowY(0) + 2 * e.top, bottom = v.toWindowY(0) + 2 * e.bottom;
    EXPECT_EQ(std::make_pair(left + right, top + bottom), std::make_pair(2 * kMidX, 2 * kMidY));
    const int height = bottom - top + 1, width = right - left + 1;
    for (const int x : {left, right}) EXPECT_GT(count(kRed, QRect(x, top, 1, height)), 0) << x;
    for (const int x : {left - 1, right + 1}) EXPECT_EQ(count(kRed, QRect(x, top, 1, height)), 0);
    for (const int y : {top, bottom}) EXPECT_GT(count(kRed, QRect(left, y, width, 1)), 0) << y;
    for (const int y : {top - 1, bottom + 1}) EXPECT_EQ(count(kRed, QRect(left, y, width, 1)), 0);
  }
}

TEST_F(ViewCommandsTest, EachLayerSwitchHidesAndShowsItsOwnLayerOnly) {
  struct Case {
    int layer;
    QColor colour;
    void (ViewCommands::*command)();
  };
  const Case cases[] = {{kLayer1, kGreen, &ViewCommands::Layer1Click},
                        {kLayer2, kMaroon, &ViewCommands::layer2Click},
                        {kGraphic, kPurple, &ViewCommands::layer3Click}};
  // Three horizontal tracks, one per layer, well apart.
  for (const Case& c : cases) addWire(360, 270 + 8 * c.layer, 430, 270 + 8 * c.layer, c.layer);
  editor.RedrawBoard();

  for (const Case& c : cases) {
    SCOPED_TRACE(c.layer);
    const int row = editor.view().toWindowY(270 + 8 * c.layer);
    const QRect track(kMidX - 100, row - 4, 250, 9);
    ASSERT_GT(count(c.colour, track), 50);

    (editor.commands().viewCommands.*c.command)();
    EXPECT_FALSE(editor.controls().showLayer[static_cast<std::size_t>(c.layer)]);
    EXPECT_EQ(count(c.colour, track), 0);
    for (const Case& other : cases) {
      if (other.layer == c.layer) continue;
      const int otherRow = editor.view().toWindowY(270 + 8 * other.layer);
      EXPECT_GT(count(other.colour, QRect(kMidX - 100, otherRow - 4, 250, 9)), 50);
    }

    (editor.commands().viewCommands.*
     c.command)();  // pressing the key a second time shows the layer again
    EXPECT_TRUE(editor.controls().showLayer[static_cast<std::size_t>(c.layer)]);
    EXPECT_GT(count(c.colour, track), 50);
  }
}

TEST_F(ViewCommandsTest, NoViewCommandMarksTheBoardChanged) {
  addPin(400, 300, 3);
  addWire(360, 270, 430, 270, kLayer2);
  const std::function<void()> commands[] = {
      [&] { editor.commands().viewCommands.ComboBox1Change(4); },
      [&] { editor.commands().viewCommands.ScrollBar1Scroll(90); },
      [&] { editor.commands().viewCommands.ScrollBar2Scroll(80); },
      [&] { editor.commands().viewCommands.GotoCenter1Click(); },
      [&] { editor.commands().viewCommands.BitBtn8Click(); },
      [&] { editor.commands().viewCommands.GridsOn1Click(); },
      [&] { editor.commands().viewCommands.ShowFrame1Click(); },
      [&] { editor.commands().viewCommands.Layer1Click(); },
      [&] { editor.commands().viewCommands.layer2Click(); },
      [&] { editor.commands().viewCommands.layer3Click(); },
      [&] { editor.commands().viewCommands.ComboBox4Change(2); },
  };
  auto before = makeBoard();
  for (bool saved : {true, false}) {
    editor.board().SavedFlag = saved;
    *before = editor.board();
    for (const auto& command : commands) {
      command();
      EXPECT_EQ(editor.board().SavedFlag, saved);
    }
    EXPECT_TRUE(sameContent(editor.board(), *before));
  }
}

TEST_F(ViewCommandsTest, GridResolutionListChangesTheSnapStepOnly) {
  editor.commands().viewCommands.ComboBox4Change(2);
  EXPECT_EQ(editor.controls().grid.index, 2);
  EXPECT_EQ(editor.view().GridResolution, 2);
  EXPECT_EQ(editor.view().snapStep(), 1);
  editor.commands().viewCommands.ComboBox4Change(7);
  EXPECT_EQ(editor.view().GridResolution, 2);
}

// ---------------------------------------------------------------------------------------------
// The window-wide reset (start-up and New).

TEST_F(ViewCommandsTest, ResetShowsTheGridAgainWhileAHiddenLayerStaysHidden) {
  editor.commands().viewCommands.GridsOn1Click();
  editor.commands().viewCommands.layer2Click();
  editor.windowReset();
  EXPECT_TRUE(editor.controls().showGrids);
  EXPECT_FALSE(editor.controls().showLayer[kLayer2]);

  addWire(360, 270, 430, 270, kLayer2);
  editor.RedrawBoard();
  EXPECT_EQ(at(kMidX + 3 * 16, kMidY + 2 * 16), kGrey);
  EXPECT_EQ(countEverywhere(kMaroon), 0);
}

TEST_F(ViewCommandsTest, ResetRestoresBoardViewListsAndEditorState) {
  Board& b = editor.board();
  addPin(400, 300, 3);
  addWire(360, 270, 430, 270, kLayer1);
  b.FrameWidth = 100;
  b.FrameHeight = 90;
  b.CurrentFileName = "old.kvd";
  b.SavedFlag = false;
  EditorState& s = editor.state();
  s.SelectedPin = 1;
  s.SelectedPoint = 2;
  s.SelectedText = 3;
  s.SelectedObject = 4;
  s.WireLastX = 120;
  s.RubberAnchorX = 10;
  s.RubberEndX = 20;
  Controls& c = editor.controls();
  c.pinStyle.index = 2;
  c.layer.index = 2;
  c.pinSize.index = 7;
  c.wireSize.index = 9;
  editor.commands().viewCommands.ComboBox4Change(1);
  editor.commands().viewCommands.ComboBox1Change(5);
  editor.commands().viewCommands.ScrollBar1Scroll(3);
  editor.commands().viewCommands.ScrollBar2Scroll(4);
  editor.PrintScale = 60;
  editor.PrintDpiIndex = 4;
  // Things the reset leaves alone.
  c.tool = Tool::EditWires;
  c.cursor = CursorShape::Arrow;
  c.showFrame = false;
  c.showLayer = {false, true, false};
  c.selectCompleteWire = true;
  c.selectSegmentOnly = false;
  c.graphicPin = true;
  c.normalPin = false;
  c.wireSize.enabled = true;

  editor.windowReset();

  EXPECT_EQ(b.PinCount, 0);
  EXPECT_EQ(b.WirePointCount, 0);
  EXPECT_EQ(b.TextCount, 0);
  EXPECT_EQ(b.ObjectCount, 0);
  EXPECT_EQ(b.FrameWidth, 252);
  EXPECT_EQ(b.FrameHeight, 158);
  EXPECT_TRUE(b.CurrentFileName.empty());
  EXPECT_TRUE(b.SavedFlag);
  EXPECT_EQ(b.PinTable[0].x, 400);  // rows past the counts keep their values
  EXPECT_FALSE(s.anythingSelected());
  EXPECT_EQ(s.WireLastX, kNoWire);
  EXPECT_EQ(s.RubberAnchorX, kNoWire);
  EXPECT_EQ(s.RubberEndX, kNoWire);
  EXPECT_EQ(editor.view().scrollX, 100);
  EXPECT_EQ(editor.view().scrollY, 75);
  EXPECT_EQ(editor.view().ZoomLevel, 2);
  EXPECT_EQ(editor.view().GridResolution, 0);
  EXPECT_EQ(c.grid.index, 0);
  EXPECT_EQ(c.pinStyle.index, 0);
  EXPECT_EQ(c.layer.index, 0);
  EXPECT_EQ(c.pinSize.index, 1);
  EXPECT_EQ(c.wireSize.index, 2);
  EXPECT_EQ(editor.PrintScale, 100);
  EXPECT_EQ(editor.PrintDpiIndex, 1);

  EXPECT_EQ(c.tool, Tool::EditWires);
  EXPECT_EQ(c.cursor, CursorShape::Arrow);  // only the Create Pin tool brings the cross-hair
  EXPECT_FALSE(c.showFrame);
  EXPECT_EQ(c.showLayer, (std::array<bool, 3>{false, true, false}));
  EXPECT_TRUE(c.selectCompleteWire);
  EXPECT_TRUE(c.graphicPin);
  EXPECT_TRUE(c.wireSize.enabled);
}

TEST_F(ViewCommandsTest, ResetWithCreatePinDownSetsTheCrossHair) {
  editor.controls().tool = Tool::CreatePin;
  editor.controls().cursor = CursorShape::Arrow;
  editor.windowReset();
  EXPECT_EQ(editor.controls().cursor, CursorShape::Cross);
}

TEST_F(ViewCommandsTest, ResetDoesNotRedraw) {
  addPin(396, 296, 3);
  editor.RedrawBoard();
  editor.windowReset();
  EXPECT_EQ(at(kMidX + 6, kMidY + 3), kWhite);  // still on the canvas until the next redraw
  editor.RedrawBoard();
  EXPECT_NE(at(kMidX + 6, kMidY + 3), kWhite);
}

TEST_F(ViewCommandsTest, RepaintAfterTheObjectDialogReleasesTheFloatingObject) {
  editor.state().FollowSuspended = true;
  editor.canvas().setPixel(kMidX + 40, kMidY + 40, kWhite);
  editor.FormPaint();
  EXPECT_FALSE(editor.state().FollowSuspended);
  EXPECT_EQ(at(kMidX + 40, kMidY + 40), kBlack);

  // An ordinary repaint leaves the canvas as it is (inverted previews survive it).
  editor.canvas().setPixel(kMidX + 40, kMidY + 40, kWhite);
  editor.FormPaint();
  EXPECT_EQ(at(kMidX + 40, kMidY + 40), kWhite);
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

class WheelTest : public EditorScenario {};

TEST_F(WheelTest, WheelScrollsAndCtrlWheelZoomsAboutThePointer) {
  struct Case {
    int notches;
    bool ctrl, shift;
    int scrollX, scrollY, zoom;
  };
  const Case cases[] = {
      {1, false, false, 100, 70, 2},  // away from the user: up
      {-2, false, false, 100, 85, 2}, {1, false, true, 95, 75, 2},
      {1, true, false, -1, -1, 3},    {-1, true, false, -1, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notches * 10 + c.ctrl * 100 + c.shift * 1000);
    ed.commands().viewCommands.GotoCenter1Click();
    ed.commands().viewCommands.ComboBox1Change(2);
    moveTo(300, 200);
    const BoardPoint before = view().unsnappedPointer();
    ed.commands().viewCommands.wheel(c.notches, c.ctrl, c.shift);
    EXPECT_EQ(view().ZoomLevel, c.zoom);
    if (c.ctrl) {
      // The board under the pointer stays there, to within a grid step of the new zoom.
      const BoardPoint after = view().unsnappedPointer();
      EXPECT_LE(std::abs(after.x - before.x), 4);
      EXPECT_LE(std::abs(after.y - before.y), 4);
      EXPECT_EQ(controls().panel[2], "New ZoomLevel selected");
    } else {
      EXPECT_EQ(view().scrollX, c.scrollX);
      EXPECT_EQ(view().scrollY, c.scrollY);
    }
  }
}

}  // namespace
}  // namespace fw

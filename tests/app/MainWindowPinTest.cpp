// The real main window, offscreen: pins placed and dragged with the mouse on the drawing area.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/BoardView.h"
#include "app/MainWindow.h"
#include "app/RecentFiles.h"
#include "edit/Editor.h"
#include "files/ProjectFile.h"

namespace fw {
namespace {

class MainWindowPinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>();
    window->resize(1000, 700);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
  }

  // The drawing-area pixel where a board position lies.
  QPoint widgetPointOf(int boardX, int boardY) {
    const View& v = window->editor().view();
    return {v.toWindowX(boardX), v.toWindowY(boardY) - MainWindow::kPanelHeight};
  }
  void moveTo(const QPoint& p) {
    QTest::mouseMove(window->boardView(), p);
    QApplication::processEvents();
  }
  void clickAt(const QPoint& p) {
    moveTo(p);
    QTest::mouseClick(window->boardView(), Qt::LeftButton, {}, p);
    QApplication::processEvents();
  }
  QColor shownAt(const QPoint& p) { return window->boardView()->grab().toImage().pixelColor(p); }
  QString statusText(int panel) {
    auto* label = window->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(panel));
    return label ? label->text() : QString();
  }

  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowPinTest, ClickOnTheDrawingAreaPlacesAPinWhereTheUserClicked) {
  const Board& board = window->editor().board();
  const QPoint spot = widgetPointOf(408, 304);
  clickAt(spot + QPoint(5, -6));  // snaps to the nearest grid position
  ASSERT_EQ(board.PinCount, 1);
  EXPECT_EQ(board.PinTable[0].x, 408);
  EXPECT_EQ(board.PinTable[0].y, 304);
  EXPECT_FALSE(board.SavedFlag);
  EXPECT_EQ(statusText(2), QStringLiteral("New Pin created"));
  // A "1.70 mm" pad is 11 pixels across at zoom 4x: white around a black drill hole.
  EXPECT_EQ(shownAt(spot + QPoint(3, 0)), QColor(255, 255, 255));
  EXPECT_EQ(shownAt(spot + QPoint(0, -3)), QColor(255, 255, 255));
  EXPECT_EQ(shownAt(spot), QColor(0, 0, 0));
  EXPECT_NE(shownAt(spot + QPoint(8, 0)), QColor(255, 255, 255));
}

TEST_F(MainWindowPinTest, EditPinsSelectsThenDragsThePinToTheRelease) {
  const Board& board = window->editor().board();
  const QPoint from = widgetPointOf(404, 304);  // clear of the centre cross
  clickAt(from);
  ASSERT_EQ(board.PinCount, 1);

  auto* editPins = window->findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
  ASSERT_NE(editPins, nullptr);
  QTest::mouseClick(editPins, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(statusText(2), QStringLiteral("Click on Object to edit"));

  clickAt(from);
  EXPECT_EQ(statusText(2), QStringLiteral("Pin selected. Drag Pin with mouse."));
  EXPECT_EQ(shownAt(from + QPoint(3, 0)), QColor(255, 255, 0));

  const QPoint to = widgetPointOf(420, 280);
  moveTo(from);
  QTest::mousePress(window->boardView(), Qt::LeftButton, {}, from);
  moveTo(from + QPoint(40, 0));
  moveTo(to);
  QTest::mouseRelease(window->boardView(), Qt::LeftButton, {}, to);
  QApplication::processEvents();
  EXPECT_EQ(board.PinTable[0].x, 420);
  EXPECT_EQ(board.PinTable[0].y, 280);
  EXPECT_EQ(shownAt(to + QPoint(3, 0)), QColor(255, 255, 0)) << "still selected where dropped";
  EXPECT_NE(shownAt(from + QPoint(3, 0)), QColor(255, 255, 0));
}

// Escape reaches the editor from the window: it ends the wire being drawn.
TEST_F(MainWindowPinTest, EscapeEndsTheWireBeingDrawn) {
  auto* drawWire = window->findChild<QToolButton*>(QStringLiteral("SpeedButton10"));
  ASSERT_NE(drawWire, nullptr);
  QTest::mouseClick(drawWire, Qt::LeftButton);
  clickAt(widgetPointOf(404, 304));
  clickAt(widgetPointOf(420, 304));
  ASSERT_NE(window->editor().state().WireLastX, kNoWire);
  QTest::keyClick(window->boardView(), Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_EQ(window->editor().state().WireLastX, kNoWire);
  EXPECT_EQ(statusText(2), QStringLiteral("Wire ended. Select new start position"));
}

// The drawing area and the lists run through the editor's door: each change the user makes is
// one step that Edit > Undo takes back, latest first.
TEST_F(MainWindowPinTest, ThePressTheDragAndTheSizeListAreEachOneUndoStep) {
  const Board& board = window->editor().board();
  auto* undo = window->findChild<QAction*>(QStringLiteral("Undo1"));
  auto* sizes = window->findChild<QComboBox*>(QStringLiteral("Size"));
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(sizes, nullptr);
  EXPECT_FALSE(undo->isEnabled());
  const QPoint from = widgetPointOf(404, 304);
  clickAt(from);
  ASSERT_EQ(board.PinCount, 1);
  EXPECT_TRUE(undo->isEnabled());
  const Pin created = board.PinTable[0];

  QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("SpeedButton1")),
                    Qt::LeftButton);
  clickAt(from);  // selects the pin
  const QPoint to = widgetPointOf(420, 280);
  QTest::mousePress(window->boardView(), Qt::LeftButton, {}, from);
  moveTo(to);
  QTest::mouseRelease(window->boardView(), Qt::LeftButton, {}, to);
  QApplication::processEvents();
  ASSERT_EQ(board.PinTable[0].x, 420);
  emit sizes->activated(created.sizeIndex == 7 ? 6 : 7);
  ASSERT_NE(board.PinTable[0].sizeIndex, created.sizeIndex);

  undo->trigger();
  EXPECT_EQ(board.PinTable[0].sizeIndex, created.sizeIndex);
  EXPECT_EQ(board.PinTable[0].x, 420);
  undo->trigger();
  EXPECT_EQ(board.PinTable[0], created);
  undo->trigger();
  EXPECT_EQ(board.PinCount, 0);
  EXPECT_FALSE(undo->isEnabled());
}

// Edit > Drag Connected Tracks, as a user would try it: two pins and a track drawn with the mouse,
// one pin dragged away, the board saved; the saved track ends on the pin only with the item on.
// The item's state outlives the window.
TEST_F(MainWindowPinTest, DraggedPinTakesItsTrackIntoTheSavedFileWithTheItemOn) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto* item = window->findChild<QAction*>(QStringLiteral("DragConnectedTracks1"));
  ASSERT_NE(item, nullptr);
  ASSERT_FALSE(item->isChecked()) << "off the first time";
  for (const bool on : {true, false}) {
    item->trigger();
    ASSERT_EQ(item->isChecked(), on);
    ASSERT_EQ(MainWindow().findChild<QAction*>(QStringLiteral("DragConnectedTracks1"))->isChecked(),
              on);
    window->findChild<QAction*>(QStringLiteral("New1"))->trigger();
    const QPoint a = widgetPointOf(404, 304), b = widgetPointOf(444, 304);
    QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("SpeedButton9")),
                      Qt::LeftButton);  // Create Pin
    clickAt(a);
    clickAt(b);
    QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("SpeedButton10")),
                      Qt::LeftButton);  // Draw Wire
    clickAt(a);
    clickAt(b);
    QTest::mouseClick(window->boardView(), Qt::RightButton, {}, b);
    QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("SpeedButton1")),
                      Qt::LeftButton);  // Edit Pins
    clickAt(b);
    const QPoint to = widgetPointOf(444, 344);
    QTest::mousePress(window->boardView(), Qt::LeftButton, {}, b);
    moveTo(to);
    QTest::mouseRelease(window->boardView(), Qt::LeftButton, {}, to);
    QApplication::processEvents();

    const std::string path = dir.filePath(on ? "on.kvd" : "off.kvd").toStdString();
    window->editor().board().CurrentFileName = path;
    window->findChild<QAction*>(QStringLiteral("Save1"))->trigger();
    auto saved = makeBoard();
    std::string error;
    ASSERT_TRUE(ReadProjectFile(path, *saved, error)) << error;
    ASSERT_EQ(saved->PinCount, 2);
    ASSERT_EQ(saved->WirePointCount, 2);
    EXPECT_EQ(saved->PinTable[1].y, 344);
    const WirePoint& end = saved->WirePointTable[1];
    EXPECT_EQ(end.x & kPositionMask, 444);
    EXPECT_EQ(end.y & kPositionMask, on ? 344 : 304) << "item " << (on ? "on" : "off");
  }
  RecentFiles::store({});  // the saves put the files on the list the other windows show
}

}  // namespace
}  // namespace fw

// The real main window, built offscreen: what the user sees at start-up, and what the widgets do.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "app/BoardView.h"
#include "app/MainWindow.h"
#include "edit/Editor.h"

namespace fw {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>();
    window->resize(1000, 700);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
  }

  template <typename T>
  T* find(const QString& name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QAction* action(const QString& name) { return find<QAction>(name); }

  // Chooses an item of a list as the user does: opens it, walks to the item with the arrow keys
  // (it opens on the item shown) and presses Enter.
  void choose(QComboBox* list, int index) {
    list->showPopup();
    QAbstractItemView* popup = list->view();
    ASSERT_TRUE(popup->isVisible());
    for (int i = list->currentIndex(); i < index; ++i) QTest::keyClick(popup, Qt::Key_Down);
    for (int i = list->currentIndex(); i > index; --i) QTest::keyClick(popup, Qt::Key_Up);
    ASSERT_EQ(popup->currentIndex().row(), index);
    QTest::keyClick(popup, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(popup->isVisible());
  }

  // What the drawing area shows, and the widget pixel of a window point of the drawing rules.
  QImage shown() { return window->boardView()->grab().toImage(); }
  QColor shownAt(const QImage& image, int windowX, int windowY) {
    return image.pixelColor(windowX, windowY - MainWindow::kPanelHeight);
  }
  int yellowInColumn(const QImage& image, int x) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      if (image.pixelColor(x, y) == QColor(255, 255, 0)) ++n;
    return n;
  }
  // A grid step three columns right and two rows below the middle, clear of every line.
  QPoint gridDot() {
    const View& v = window->editor().view();
    return {v.gridToWindowX(v.scrollX + 3), v.gridToWindowY(v.scrollY + 2)};
  }

  std::unique_ptr<MainWindow> window;
};

const QColor kGrey(128, 128, 128);
const QColor kBlack(0, 0, 0);

TEST_F(MainWindowTest, WindowCaptionFontAndToolbarPanel) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Ferrowrit 5.0"));
  EXPECT_EQ(window->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(window->font().pointSize(), 8);
  auto* panel = find<QFrame>("Panel1");
  EXPECT_EQ(panel->height(), 60);
  EXPECT_EQ(panel->frameShadow(), QFrame::Raised);
  EXPECT_EQ(panel->y(), 0);
  EXPECT_EQ(panel->width(), window->centralWidget()->width());
  // The drawing area starts right below the panel.
  EXPECT_EQ(window->boardView()->mapTo(window->centralWidget(), QPoint(0, 0)).y(), 60);
}

struct ButtonExpectation {
  const char* name;
  const char* hint;
  int left;   // -1: not fixed, only the order counts
  int width;  // -1: not fixed
  bool enabled;
};

const ButtonExpectation kTopRow[] = {
    {"BitBtn1", "New File", -1, -1, true},           {"BitBtn3", "Open File", -1, -1, true},
    {"BitBtn4", "Save File", -1, -1, true},          {"BitBtn6", "Print Board", -1, -1, true},
    {"BitBtn5", "Delete Object", -1, -1, false},     {"BitBtn2", "Center Objects", -1, -1, true},
    {"BitBtn7", "Update Screen", -1, -1, true},      {"SpeedButton10", "Draw Wire", 209, 31, true},
    {"SpeedButton8", "Edit Wires", 240, 31, true},   {"BitBtn8", "Line Methods", -1, -1, false},
    {"SpeedButtonp", "Pan Object", 296, 41, true},   {"SpeedButton9", "Create Pin", 345, 29, true},
    {"BitBtn10", "Dot Methods", -1, -1, true},       {"SpeedButton1", "Edit Pins", 389, 29, true},
    {"SpeedButton2", "Create Text", 424, 35, true},  {"SpeedButton4", "Edit Text", 460, 35, true},
    {"SpeedButton15", "Edit Object", 500, 53, true},
};

TEST_F(MainWindowTest, TopRowButtonsStandInOrderWithHintsPicturesAndStartStates) {
  auto* panel = find<QFrame>("Panel1");
  int previousRight = 0;
  for (const ButtonExpectation& button : kTopRow) {
    SCOPED_TRACE(button.name);
    auto* b = find<QToolButton>(button.name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->parentWidget(), panel);
    EXPECT_EQ(b->toolTip(), button.hint);
    EXPECT_EQ(b->accessibleDescription(), button.hint);
    EXPECT_FALSE(b->icon().isNull());
    EXPECT_EQ(b->y(), 6);
    EXPECT_EQ(b->height(), 25);
    if (button.left >= 0) {
      EXPECT_EQ(b->x(), button.left);
    }
    if (button.width >= 0) {
      EXPECT_EQ(b->width(), button.width);
    }
    EXPECT_GE(b->x(), previousRight);  // left to right, no overlap
    previousRight = b->x() + b->width();
    EXPECT_EQ(b->isEnabled(), button.enabled);
  }
  // The two menu buttons are narrow.
  EXPECT_LT(find<QToolButton>("BitBtn8")->width(), 20);
  EXPECT_LT(find<QToolButton>("BitBtn10")->width(), 20);
}

TEST_F(MainWindowTest, NineToolButtonsFormOneGroupWithCreatePinDown) {
  const char* const tools[] = {"SpeedButton10", "SpeedButton8",  "SpeedButtonp",
                               "SpeedButton9",  "SpeedButton1",  "SpeedButton2",
                               "SpeedButton4",  "SpeedButton15", "HighlightConnectionButton"};
  auto* pin = find<QToolButton>("SpeedButton9");
  QButtonGroup* group = pin->group();
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->exclusive());
  EXPECT_EQ(group->buttons().size(), 9);
  for (const char* name : tools) {
    auto* b = find<QToolButton>(name);
    EXPECT_TRUE(b->isCheckable()) << name;
    EXPECT_EQ(b->group(), group) << name;
    EXPECT_EQ(b->isChecked(), b == pin) << name;
  }

  // A down button is not released by clicking it again.
  QTest::mouseClick(pin, Qt::LeftButton);
  EXPECT_TRUE(pin->isChecked());
  EXPECT_EQ(window->editor().controls().tool, Tool::CreatePin);

  auto* wireTool = find<QToolButton>("SpeedButton10");
  QTest::mouseClick(wireTool, Qt::LeftButton);
  EXPECT_EQ(window->editor().controls().tool, Tool::DrawWire);
  EXPECT_TRUE(wireTool->isChecked());
  EXPECT_FALSE(pin->isChecked());
}

struct ListExpectation {
  const char* name;
  const char* hint;
  QStringList items;
  int index;
  bool enabled;
};

TEST_F(MainWindowTest, SecondRowListsHoldTheirItemsAndStartIndexes) {
  const ListExpectation lists[] = {
      {"ComboBox1",
       "Zoom",
       {"Zoom 1x", "Zoom 2x", "Zoom 4x", "Zoom 8x", "Zoom 16x", "Zoom 32x"},
       2,
       true},
      {"ComboBox3",
       "Active Layer",
       {"Layer 1  [Green]", "Layer 2  [Red]", "Graphic [Purple] "},
       0,
       true},
      {"wire",
       "Wire Size",
       {"0.19 mm", "0.38 mm", "0.51 mm", "0.79 mm", "1.02 mm", "1.27 mm", "1.57 mm", "2.03 mm",
        "2.54 mm", "3.17 mm", "3.96 mm", "5.08 mm"},
       2,
       false},
      {"ComboBox4", "Grid Resolution", {"1/1", "1/2", "1/4"}, 0, true},
      {"Size",
       "Pin Size",
       {"1.27 mm", "1.70 mm", "1.90 mm", "2.54 mm", "2.90 mm", "3.17 mm", "3.96 mm", "5.08 mm",
        "6.35 mm", "7.62 mm"},
       1,
       true},
      {"ComboBox2", "Pin Style", {"Circle", "Horisontal", "Vertical"}, 0, true},
  };
  int previousRight = 0;
  for (const ListExpectation& expected : lists) {
    SCOPED_TRACE(expected.name);
    auto* list = find<QComboBox>(expected.name);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isEditable());
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    EXPECT_EQ(items, expected.items);
    EXPECT_EQ(list->currentIndex(), expected.index);
    EXPECT_EQ(list->isEnabled(), expected.enabled);
    EXPECT_EQ(list->toolTip(), expected.hint);
    EXPECT_EQ(list->accessibleDescription(), expected.hint);
    EXPECT_GE(list->y(), 6 + 25);  // below the top row
    EXPECT_GE(list->x(), previousRight);
    EXPECT_LE(list->geometry().bottom(), 60);
    previousRight = list->x() + list->width();
  }
  auto* load = find<QToolButton>("BitBtn15");
  EXPECT_EQ(load->toolTip(), QStringLiteral("Load Object"));
  EXPECT_GE(load->x(), previousRight);
  EXPECT_FALSE(load->icon().isNull());
}

TEST_F(MainWindowTest, PictureStaysAtTheRightEndOfThePanel) {
  auto* panel = find<QFrame>("Panel1");
  auto* bevel = find<QFrame>("Bevel2");
  auto* picture = find<QLabel>("Image3");
  ASSERT_FALSE(picture->pixmap().isNull());
  const auto check = [&] {
    EXPECT_LE(bevel->geometry().right(), panel->width());
    EXPECT_GT(bevel->x(), panel->width() - 80);
    EXPECT_TRUE(bevel->geometry().contains(picture->geometry()));
  };
  check();
  window->resize(1300, 700);
  QApplication::processEvents();
  check();
}

TEST_F(MainWindowTest, ScrollBarsGoToCenterButtonAndStatusPanels) {
  auto* h = find<QScrollBar>("ScrollBar1");
  auto* v = find<QScrollBar>("ScrollBar2");
  EXPECT_EQ(h->orientation(), Qt::Horizontal);
  EXPECT_EQ(v->orientation(), Qt::Vertical);
  EXPECT_EQ(h->minimum(), 0);
  EXPECT_EQ(h->maximum(), 200);
  EXPECT_EQ(v->minimum(), 0);
  EXPECT_EQ(v->maximum(), 150);
  for (QScrollBar* bar : {h, v}) {
    EXPECT_EQ(bar->pageStep(), 5);
    EXPECT_EQ(bar->singleStep(), 1);
  }
  EXPECT_EQ(h->value(), 100);
  EXPECT_EQ(v->value(), 75);

  // Vertical bar right of the drawing area, horizontal bar under it, "+" in the corner.
  const QWidget* central = window->centralWidget();
  const QRect area(window->boardView()->mapTo(central, QPoint(0, 0)), window->boardView()->size());
  EXPECT_EQ(v->geometry().left(), area.right() + 1);
  EXPECT_EQ(h->geometry().top(), area.bottom() + 1);
  auto* plus = find<QToolButton>("Button1");
  EXPECT_EQ(plus->text(), QStringLiteral("+"));
  EXPECT_EQ(plus->toolTip(), QStringLiteral("Goto Center"));
  EXPECT_EQ(plus->geometry().left(), v->geometry().left());
  EXPECT_EQ(plus->geometry().top(), h->geometry().top());

  auto* status = find<QStatusBar>("StatusBar1");
  EXPECT_EQ(window->statusBar(), status);
  auto* p0 = find<QLabel>("StatusPanel0");
  auto* p1 = find<QLabel>("StatusPanel1");
  auto* p2 = find<QLabel>("StatusPanel2");
  EXPECT_EQ(p0->width(), 190);
  EXPECT_EQ(p1->width(), 140);
  EXPECT_GT(p2->width(), 50);
  EXPECT_LT(p0->x(), p1->x());
  EXPECT_LT(p1->x(), p2->x());
  EXPECT_TRUE(p0->text().isEmpty());  // nothing until the pointer moves
}

struct ItemSpec {
  std::string name;  // "-" for a separator
  std::string caption;
  QKeySequence shortcut;
  bool enabled = true;
  bool checkable = false;
};

std::vector<ItemSpec> itemsOf(const QMenu* menu) {
  std::vector<ItemSpec> items;
  for (const QAction* a : menu->actions())
    items.push_back({a->isSeparator() ? "-" : a->objectName().toStdString(),
                     a->text().toStdString(), a->shortcut(), a->isEnabled(), a->isCheckable()});
  return items;
}

void expectItems(const QMenu* menu, const std::vector<ItemSpec>& expected) {
  SCOPED_TRACE(menu->objectName().toStdString());
  const std::vector<ItemSpec> actual = itemsOf(menu);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(actual[i].name, expected[i].name);
    if (expected[i].name == "-") continue;
    EXPECT_EQ(actual[i].caption, expected[i].caption);
    EXPECT_EQ(actual[i].shortcut, expected[i].shortcut);
    EXPECT_EQ(actual[i].enabled, expected[i].enabled);
    EXPECT_EQ(actual[i].checkable, expected[i].checkable);
  }
}

TEST_F(MainWindowTest, MenusHoldEveryItemWithCaptionShortcutSeparatorsAndStartState) {
  const QKeySequence none;
  const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
  QMenuBar* bar = window->menuBar();
  EXPECT_EQ(bar->objectName(), QStringLiteral("MainMenu1"));
  QStringList topLevel;
  for (QAction* a : bar->actions()) topLevel << a->text();
  EXPECT_EQ(topLevel, QStringList({"&File", "&Edit", "&Window", "&Layers", "&About"}));

  expectItems(find<QMenu>("File1"), {{"New1", "New", ctrl(Qt::Key_N)},
                                     {"Open1", "&Open...", ctrl(Qt::Key_O)},
                                     {"-", "", none},
                                     {"Save1", "&Save", ctrl(Qt::Key_S)},
                                     {"SaveAs1", "Save &As...", none},
                                     {"-", "", none},
                                     {"InsertObject1", "Insert Object...", none},
                                     {"SaveasObject1", "Save as Object...", none},
                                     {"ImportKicadFootprint1", "Import KiCad Footprint...", none},
                                     {"-", "", none},
                                     {"Print1", "&Print...", ctrl(Qt::Key_P)},
                                     {"PrintSetup1", "P&rint Setup...", none},
                                     {"ExportGerber1", "Export &Gerber...", none},
                                     {"-", "", none},
                                     {"Exit1", "E&xit", none}});
  expectItems(find<QMenu>("Edit1"),
              {{"Undo1", "Undo", ctrl(Qt::Key_Z), false},
               {"Redo1", "Redo", ctrl(Qt::Key_Y), false},
               {"-", "", none},
               {"Rotate1", "Rotation", none, false},
               {"CutObject1", "Delete", QKeySequence(Qt::Key_Delete), false},
               {"-", "", none},
               {"DragConnectedTracks1", "Drag Connected Tracks", none, true, true}});
  expectItems(find<QMenu>("Rotate1"), {{"N90cc1", "90 degree (cw)", ctrl(Qt::Key_R)},
                                       {"N180cw1", "180 degree (cw)", none},
                                       {"N270cw1", "270 degree (cw)", none}});
  expectItems(find<QMenu>("Window1"), {{"GotoCenter1", "Goto Center", ctrl(Qt::Key_C)},
                                       {"CenterObjects1", "Center Objects", none},
                                       {"-", "", none},
                                       {"HighlightConnection1", "Highlight Connection", none},
                                       {"CheckBoard1", "Check Board...", none},
                                       {"Library1", "Library", none, true, true},
                                       {"-", "", none},
                                       {"Info1", "Info...", ctrl(Qt::Key_I)},
                                       {"-", "", none},
                                       {"FrameSize1", "Frame Size...", none},
                                       {"ShowFrame1", "Show Frame", ctrl(Qt::Key_F), true, true},
                                       {"GridsOn1", "Show Grids", ctrl(Qt::Key_G), true, true}});
  expectItems(find<QMenu>("Layers1"),
              {{"Layer1", "Show Layer 1 (Green)", QKeySequence(Qt::Key_F1), true, true},
               {"layer2", "Show Layer 2 (Red)", QKeySequence(Qt::Key_F2), true, true},
               {"layer3", "Show Layer 3 (Purple)", QKeySequence(Qt::Key_F3), true, true}});
  expectItems(find<QMenu>("Help1"), {{"About1", "&About...", none}});

  for (const char* checked : {"ShowFrame1", "GridsOn1", "Layer1", "layer2", "layer3"})
    EXPECT_TRUE(action(checked)->isChecked()) << checked;
}

TEST_F(MainWindowTest, PopUpMenusHoldTheirCheckableItems) {
  expectItems(find<QMenu>("PopupMenu1"), {{"seg", "Select Wiresegment Only", {}, true, true},
                                          {"comp", "Select Complete Wire", {}, true, true},
                                          {"Spl", "Splitt Wire in Two", {}, true, true}});
  expectItems(find<QMenu>("PopupMenu2"),
              {{"Normal", "Normal Pin", {}, true, true},
               {"outl", "Graphic (Double Size and Outlined)", {}, true, true}});
  EXPECT_TRUE(action("seg")->isChecked());
  EXPECT_FALSE(action("comp")->isChecked());
  EXPECT_FALSE(action("Spl")->isChecked());
  EXPECT_TRUE(action("Normal")->isChecked());
  EXPECT_FALSE(action("outl")->isChecked());
}

TEST_F(MainWindowTest, EveryNamedWidgetDescribesItself) {
  const char* const names[] = {
      "Panel1",        "Bevel2",       "Image3",       "BitBtn1",      "BitBtn3",
      "BitBtn4",       "BitBtn6",      "BitBtn5",      "BitBtn2",      "BitBtn7",
      "SpeedButton10", "SpeedButton8", "BitBtn8",      "SpeedButtonp", "SpeedButton9",
      "BitBtn10",      "SpeedButton1", "SpeedButton2", "SpeedButton4", "SpeedButton15",
      "ComboBox1",     "ComboBox3",    "wire",         "ComboBox4",    "Size",
      "ComboBox2",     "BitBtn15",     "ScrollBar1",   "ScrollBar2",   "Button1",
      "StatusPanel0",  "StatusPanel1", "StatusPanel2", "File1",        "Edit1",
      "Rotate1",       "Window1",      "Layers1",      "Help1",        "PopupMenu1",
      "PopupMenu2"};
  for (const char* name : names) {
    auto* w = find<QWidget>(name);
    if (w) {
      EXPECT_FALSE(w->accessibleDescription().isEmpty()) << name;
    }
  }
  auto* view = find<QWidget>("BoardView");
  EXPECT_EQ(view->accessibleName(), QStringLiteral("Board"));
}

TEST_F(MainWindowTest, DrawingAreaShowsTheCanvasWithTheCrossHair) {
  BoardView* view = window->boardView();
  Editor& editor = window->editor();
  EXPECT_TRUE(view->hasMouseTracking());
  EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);
  EXPECT_EQ(editor.canvas().width(), view->width());
  EXPECT_EQ(editor.canvas().height(), view->height());
  EXPECT_EQ(editor.view().areaWidth(), view->width());

  // At start-up board position (396, 296) is at the middle and a grid dot shows.
  EXPECT_EQ(editor.view().toWindowX(396), view->width() / 2);
  const QImage image = shown();
  EXPECT_EQ(shownAt(image, gridDot().x(), gridDot().y()), kGrey);

  // A resize gives the canvas the new size and redraws it.
  window->resize(900, 640);
  QApplication::processEvents();
  EXPECT_EQ(editor.canvas().width(), view->width());
  EXPECT_EQ(editor.canvas().height(), view->height());
  EXPECT_EQ(shownAt(shown(), gridDot().x(), gridDot().y()), kGrey);
}

TEST_F(MainWindowTest, PointerMovesReachTheEditorInWidgetPixels) {
  QTest::mouseMove(window->boardView(), QPoint(123, 45));
  QApplication::processEvents();
  EXPECT_EQ(window->editor().view().PointerX, 123);
  EXPECT_EQ(window->editor().view().PointerY, 45);
}

TEST_F(MainWindowTest, ShowGridsItemTogglesTheDotsOnScreen) {
  const QPoint dot = gridDot();
  QAction* grids = action("GridsOn1");
  grids->trigger();
  EXPECT_FALSE(grids->isChecked());
  EXPECT_FALSE(window->editor().controls().showGrids);
  EXPECT_EQ(shownAt(shown(), dot.x(), dot.y()), kBlack);
  grids->trigger();
  EXPECT_TRUE(grids->isChecked());
  EXPECT_EQ(shownAt(shown(), dot.x(), dot.y()), kGrey);
}

TEST_F(MainWindowTest, ZoomListRedrawsAtTheNewZoom) {
  const QPoint dot4x = gridDot();
  choose(find<QComboBox>("ComboBox1"), 3);
  Editor& editor = window->editor();
  EXPECT_EQ(editor.view().ZoomLevel, 3);
  EXPECT_EQ(find<QLabel>("StatusPanel2")->text(), QStringLiteral("New ZoomLevel selected"));
  const QImage image = shown();
  // 48 pixels right of the middle was a dot at 4x; at 8x the dots stand 32 apart.
  EXPECT_EQ(shownAt(image, dot4x.x(), dot4x.y()), kBlack);
  EXPECT_EQ(shownAt(image, gridDot().x(), gridDot().y()), kGrey);
  EXPECT_EQ(gridDot().x() - editor.view().W / 2, 3 * 32);
}

TEST_F(MainWindowTest, ScrollBarAndGoToCenterMoveTheCentreCross) {
  const int middle = window->boardView()->width() / 2;
  ASSERT_GT(yellowInColumn(shown(), middle), 50);

  find<QScrollBar>("ScrollBar1")->setValue(101);
  EXPECT_EQ(window->editor().view().scrollX, 101);
  QImage image = shown();
  // Only the crossing with the horizontal line of the cross stays in the old column.
  EXPECT_LE(yellowInColumn(image, middle), 1);
  EXPECT_GT(yellowInColumn(image, middle - 16), 50);

  find<QScrollBar>("ScrollBar2")->setValue(70);
  EXPECT_EQ(window->editor().view().scrollY, 70);

  QTest::mouseClick(find<QToolButton>("Button1"), Qt::LeftButton);
  EXPECT_EQ(window->editor().view().scrollX, 100);
  EXPECT_EQ(window->editor().view().scrollY, 75);
  EXPECT_EQ(find<QScrollBar>("ScrollBar1")->value(), 100);
  EXPECT_EQ(find<QScrollBar>("ScrollBar2")->value(), 75);
  EXPECT_GT(yellowInColumn(shown(), middle), 50);
}

TEST_F(MainWindowTest, FrameLayerAndUpdateScreenCommandsFromMenusAndButtons) {
  const int middle = window->boardView()->width() / 2;
  action("ShowFrame1")->trigger();
  EXPECT_FALSE(action("ShowFrame1")->isChecked());
  EXPECT_EQ(yellowInColumn(shown(), middle), 0);
  action("ShowFrame1")->trigger();
  EXPECT_GT(yellowInColumn(shown(), middle), 50);

  action("layer2")->trigger();
  EXPECT_FALSE(action("layer2")->isChecked());
  EXPECT_FALSE(window->editor().controls().showLayer[1]);
  action("layer2")->trigger();
  EXPECT_TRUE(action("layer2")->isChecked());
  EXPECT_TRUE(window->editor().controls().showLayer[1]);

  QTest::mouseClick(find<QToolButton>("BitBtn7"), Qt::LeftButton);
  EXPECT_EQ(find<QLabel>("StatusPanel2")->text(), QStringLiteral("Screen Updated"));

  action("GotoCenter1")->trigger();
  EXPECT_EQ(window->editor().view().scrollX, 100);
}

TEST_F(MainWindowTest, MirroringTheControlsRunsNoChangeHandler) {
  Editor& editor = window->editor();
  Controls& c = editor.controls();
  editor.view().ZoomLevel = 4;
  c.layer.index = 2;
  c.pinSize.index = 9;
  c.wireSize = {7, true};
  c.grid = {2, false};
  c.pinStyle = {1, false};
  c.tool = Tool::EditText;
  c.deleteButton = true;
  c.cutObject = true;
  c.lineMethods = true;
  c.dotMethods = false;
  c.rotate = true;
  c.showGrids = false;
  c.showLayer[2] = false;
  c.selectSegmentOnly = false;
  c.splitWire = true;
  c.selectCompleteWireEnabled = false;
  c.normalPin = false;
  c.graphicPin = true;
  c.panel = {"X = 1.00 mm", "segment", "marker"};
  c.cursor = CursorShape::Arrow;
  editor.view().scrollX = 120;
  editor.view().scrollY = 30;

  window->syncFromControls();

  EXPECT_EQ(find<QComboBox>("ComboBox1")->currentIndex(), 4);
  EXPECT_EQ(find<QComboBox>("ComboBox3")->currentIndex(), 2);
  EXPECT_EQ(find<QComboBox>("Size")->currentIndex(), 9);
  EXPECT_EQ(find<QComboBox>("wire")->currentIndex(), 7);
  EXPECT_TRUE(find<QComboBox>("wire")->isEnabled());
  EXPECT_FALSE(find<QComboBox>("ComboBox4")->isEnabled());
  EXPECT_FALSE(find<QComboBox>("ComboBox2")->isEnabled());
  EXPECT_EQ(find<QScrollBar>("ScrollBar1")->value(), 120);
  EXPECT_EQ(find<QScrollBar>("ScrollBar2")->value(), 30);
  EXPECT_TRUE(find<QToolButton>("SpeedButton4")->isChecked());
  EXPECT_FALSE(find<QToolButton>("SpeedButton9")->isChecked());
  EXPECT_TRUE(find<QToolButton>("BitBtn5")->isEnabled());
  EXPECT_TRUE(action("CutObject1")->isEnabled());
  EXPECT_TRUE(find<QToolButton>("BitBtn8")->isEnabled());
  EXPECT_FALSE(find<QToolButton>("BitBtn10")->isEnabled());
  EXPECT_TRUE(find<QMenu>("Rotate1")->menuAction()->isEnabled());
  EXPECT_FALSE(action("GridsOn1")->isChecked());
  EXPECT_FALSE(action("layer3")->isChecked());
  EXPECT_TRUE(action("Layer1")->isChecked());
  EXPECT_FALSE(action("seg")->isChecked());
  EXPECT_TRUE(action("Spl")->isChecked());
  EXPECT_FALSE(action("comp")->isEnabled());
  EXPECT_TRUE(action("seg")->isEnabled());
  EXPECT_TRUE(action("outl")->isChecked());
  EXPECT_FALSE(action("Normal")->isChecked());
  EXPECT_EQ(find<QLabel>("StatusPanel0")->text(), QStringLiteral("X = 1.00 mm"));
  EXPECT_EQ(find<QLabel>("StatusPanel1")->text(), QStringLiteral("segment"));
  EXPECT_EQ(find<QLabel>("StatusPanel2")->text(), QStringLiteral("marker"));
  EXPECT_EQ(window->boardView()->cursor().shape(), Qt::ArrowCursor);

  // None of the change handlers ran: the view and the model are as they were set.
  EXPECT_EQ(editor.view().ZoomLevel, 4);
  EXPECT_EQ(editor.view().GridResolution, 0);
  EXPECT_EQ(editor.view().scrollX, 120);
  EXPECT_EQ(c.panel[2], "marker");
  EXPECT_FALSE(c.showGrids);
  EXPECT_EQ(c.tool, Tool::EditText);
}

TEST_F(MainWindowTest, ListsRunTheirHandlerOnEveryUserChoiceButNotOnProgramChanges) {
  Editor& editor = window->editor();
  Controls& c = editor.controls();
  c.wireSize.enabled = true;  // so that the user can reach every list
  window->syncFromControls();
  struct ListCase {
    const char* name;
    int& (*model)(Editor&);  // the index the list shows
    const char* status;      // what the handler shows in the third panel; the grid's shows nothing
  };
  const ListCase lists[] = {
      {"ComboBox1", [](Editor& e) -> int& { return e.view().ZoomLevel; }, "New ZoomLevel selected"},
      {"ComboBox3", [](Editor& e) -> int& { return e.controls().layer.index; },
       "Active Layer Changed"},
      {"wire", [](Editor& e) -> int& { return e.controls().wireSize.index; }, "WireSize Changed"},
      {"ComboBox4", [](Editor& e) -> int& { return e.controls().grid.index; }, "marker"},
      {"Size", [](Editor& e) -> int& { return e.controls().pinSize.index; }, "Pin Size Changed"},
      {"ComboBox2", [](Editor& e) -> int& { return e.controls().pinStyle.index; },
       "Pin Style Changed"},
  };
  QLabel* status = find<QLabel>("StatusPanel2");
  for (const ListCase& list : lists) {
    SCOPED_TRACE(list.name);
    auto* widget = find<QComboBox>(list.name);
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isEnabled());
    const int shown = widget->currentIndex();
    ASSERT_EQ(list.model(editor), shown);

    // Chosen again by the user, the item already shown runs the handler with its index: it
    // puts back the index the model lost and the status panel follows the model.
    list.model(editor) = -1;
    c.panel[2] = "marker";
    status->clear();
    choose(widget, shown);
    EXPECT_EQ(list.model(editor), shown);
    EXPECT_EQ(status->text().toStdString(), list.status);

    // Set by the program, the list shows another item and runs nothing.
    c.panel[2] = "marker";
    status->clear();
    widget->setCurrentIndex((shown + 1) % widget->count());
    QApplication::processEvents();
    EXPECT_EQ(list.model(editor), shown);
    EXPECT_EQ(c.panel[2], "marker");
    EXPECT_EQ(status->text().toStdString(), "");
  }
  EXPECT_EQ(editor.view().ZoomLevel, 2);
  EXPECT_EQ(editor.view().GridResolution, 0);
}

TEST_F(MainWindowTest, ExitClosesTheWindowWhenNothingIsUnsaved) {
  ASSERT_TRUE(window->editor().board().SavedFlag);
  action("Exit1")->trigger();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ProgramDirectoryIsTheFolderOfTheProgram) {
  EXPECT_EQ(window->editor().ProgramDirectory,
            QCoreApplication::applicationDirPath().toStdString());
  EXPECT_NE(window->editor().ProgramDirectory.back(), '/');
}

}  // namespace
}  // namespace fw

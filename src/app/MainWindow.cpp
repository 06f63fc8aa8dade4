#include "app/MainWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/BoardView.h"
#include "app/Icons.h"
#include "app/LibraryPanel.h"
#include "app/ProgramFolders.h"
#include "app/QtHost.h"
#include "dialogs/AboutBox.h"
#include "edit/Editor.h"
#include "files/ObjectFile.h"

namespace fw {

namespace {

const char* const kCaption = "Ferrowrit 5.0";

// Top row of the toolbar: top 6, height 25. The tool buttons stand where the tool table puts
// them; the file and command buttons fill the space before them, the two narrow menu buttons
// sit right of the tool they belong to.
constexpr int kTopRowTop = 6;
constexpr int kTopRowHeight = 25;
constexpr int kSecondRowTop = 33;
constexpr int kSecondRowHeight = 22;
constexpr int kCommandButtonWidth = 25;
constexpr int kIconSize = 18;

struct ToolButtonSpec {
  Tool tool;
  const char* name;
  const char* hint;
  int left;
  int width;
  Glyph glyph;
};

const ToolButtonSpec kToolButtons[] = {
    {Tool::DrawWire, "SpeedButton10", "Draw Wire", 209, 31, Glyph::Wire},
    {Tool::EditWires, "SpeedButton8", "Edit Wires", 240, 31, Glyph::WireEdit},
    {Tool::Pan, "SpeedButtonp", "Pan Object", 296, 41, Glyph::Hand},
    {Tool::CreatePin, "SpeedButton9", "Create Pin", 345, 29, Glyph::Pad},
    {Tool::EditPins, "SpeedButton1", "Edit Pins", 389, 29, Glyph::PadEdit},
    {Tool::CreateText, "SpeedButton2", "Create Text", 424, 35, Glyph::Text},
    {Tool::EditText, "SpeedButton4", "Edit Text", 460, 35, Glyph::TextEdit},
    {Tool::EditObject, "SpeedButton15", "Edit Object", 500, 53, Glyph::Object},
    {Tool::HighlightConnection, "HighlightConnectionButton", "Highlight Connection", 553, 29,
     Glyph::Connection},
};

QStringList zoomItems() {
  return {"Zoom 1x", "Zoom 2x", "Zoom 4x", "Zoom 8x", "Zoom 16x", "Zoom 32x"};
}
QStringList layerItems() {
  return {"Layer 1  [Green]", "Layer 2  [Red]", "Graphic [Purple] "};
}
QStringList wireSizeItems() {
  return {"0.19 mm", "0.38 mm", "0.51 mm", "0.79 mm", "1.02 mm", "1.27 mm",
          "1.57 mm", "2.03 mm", "2.54 mm", "3.17 mm", "3.96 mm", "5.08 mm"};
}
QStringList gridItems() {
  return {"1/1", "1/2", "1/4"};
}
QStringList pinSizeItems() {
  return {"1.27 mm", "1.70 mm", "1.90 mm", "2.54 mm", "2.90 mm",
          "3.17 mm", "3.96 mm", "5.08 mm", "6.35 mm", "7.62 mm"};
}
QStringList pinStyleItems() {
  return {"Circle", "Horisontal", "Vertical"};
}

// Sets a widget's state without letting it report the change back.
template <typename Widget, typename Setter>
void setQuietly(Widget* widget, Setter&& setter) {
  const QSignalBlocker blocker(widget);
  setter(widget);
}

void mirrorList(QComboBox* list, const ListControl& model) {
  setQuietly(list, [&](QComboBox* w) {
    if (model.index >= 0 && model.index < w->count()) w->setCurrentIndex(model.index);
  });
  list->setEnabled(model.enabled);
}

void mirrorCheck(QAction* action, bool checked) {
  setQuietly(action, [&](QAction* a) { a->setChecked(checked); });
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      host_(std::make_unique<QtHost>(this)),
      editor_(std::make_unique<Editor>(*host_)) {
  // The board check starts with the rules the user chose last time; a finding chosen in the
  // Check Board dialog shows on the board while the dialog stays open.
  QtHost::loadCheckRules(editor_->commands().checkBoard.rules);
  editor_->controls().dragConnectedTracks = QtHost::loadDragConnectedTracks();
  host_->setBoardChanged([this] { syncFromControls(); });
  setObjectName(QStringLiteral("Tform1"));
  setWindowTitle(QString::fromLatin1(kCaption));
  setAccessibleName(QString::fromLatin1(kCaption));
  setFont(QFont(QStringLiteral("Arial"), 8));
  resize(640, 400);

  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("ClientArea"));
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  setCentralWidget(central);

  buildToolbar();
  column->addWidget(panel_);
  buildDrawingArea(central);
  buildStatusBar();
  buildLibraryPanel();
  buildMenus();
  buildPopupMenus();

  FormCreate();

  // The dialogs follow the main window and live as long as it does.
  aboutBox_ = new AboutBox(this);
  host_->setAboutBox(aboutBox_);
}

MainWindow::~MainWindow() {
  library_->forgetWindow();
  // The drawing area refers to the editor, which goes before the child widgets would.
  delete takeCentralWidget();
}

// ---------------------------------------------------------------------------------------------
// Start-up

void MainWindow::FormCreate() {
  // The object and project folders are found beside the program file; an installed program
  // has its objects in share/ferrowrit and its projects in the user's documents folder.
  const QString programDirectory = QCoreApplication::applicationDirPath();
  editor_->ProgramDirectory = programDirectory.toStdString();
  const ProgramFolders folders = programFolders(
      programDirectory, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  editor_->ProjectsFolder = folders.projects;
  editor_->ObjectsFolder = folders.objects;
  showRecentFiles();
  editor_->windowReset();
  // The layout managers place the controls; the drawing area redraws when it gets its size.
  syncFromControls();
}

// ---------------------------------------------------------------------------------------------
// Toolbar

QToolButton* MainWindow::addButton(const char* name, const QString& hint, int left, int top,
                                   int width, int height, const QIcon& icon) {
  auto* button = new QToolButton(panel_);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setAccessibleDescription(hint);
  button->setIcon(icon);
  button->setIconSize(QSize(std::min(kIconSize, width - 4), std::min(kIconSize, height - 4)));
  button->setGeometry(left, top, width, height);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

QComboBox* MainWindow::addList(const char* name, const QString& hint, const QStringList& items,
                               int left, int width) {
  auto* list = new QComboBox(panel_);
  list->setObjectName(QString::fromLatin1(name));
  list->setEditable(false);
  list->addItems(items);
  list->setToolTip(hint);
  list->setAccessibleName(hint);
  list->setAccessibleDescription(hint);
  list->setMaxVisibleItems(std::max(8, static_cast<int>(items.size())));
  list->setGeometry(left, kSecondRowTop, width, kSecondRowHeight);
  return list;
}

void MainWindow::buildToolbar() {
  panel_ = new QFrame;
  panel_->setObjectName(QStringLiteral("Panel1"));
  panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel_->setAccessibleDescription(QStringLiteral("Toolbar"));
  panel_->setFixedHeight(kPanelHeight);
  // Wide enough for both rows and the picture at the right end.
  panel_->setMinimumWidth(640);
  panel_->setAutoFillBackground(true);
  panel_->installEventFilter(this);
  buildTopRow();
  buildSecondRow();

  bevel_ = new QFrame(panel_);
  bevel_->setObjectName(QStringLiteral("Bevel2"));
  bevel_->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel_->setAccessibleDescription(QStringLiteral("Picture frame"));
  bevel_->setGeometry(0, 5, 50, 50);
  picture_ = new QLabel(panel_);
  picture_->setObjectName(QStringLiteral("Image3"));
  picture_->setAccessibleDescription(QStringLiteral("Ferrowrit"));
  picture_->setPixmap(drawToolbarPicture(40, 40));
  picture_->setGeometry(0, 10, 40, 40);
  placeRightEnd();
}

void MainWindow::buildTopRow() {
  const auto command = [this](const char* name, const char* hint, int left, Glyph glyph) {
    return addButton(name, QString::fromLatin1(hint), left, kTopRowTop, kCommandButtonWidth,
                     kTopRowHeight, glyphIcon(glyph));
  };
  QToolButton* newFile = command("BitBtn1", "New File", 8, Glyph::NewFile);
  QToolButton* openFile = command("BitBtn3", "Open File", 33, Glyph::OpenFolder);
  QToolButton* saveFile = command("BitBtn4", "Save File", 58, Glyph::Floppy);
  connect(command("BitBtn6", "Print Board", 88, Glyph::Printer), &QToolButton::clicked, this,
          [this] { run([this] { editor_->commands().printing.Print1Click(); }); });
  deleteButton_ = command("BitBtn5", "Delete Object", 118, Glyph::Delete);
  connect(deleteButton_, &QToolButton::clicked, this,
          [this] { run([this] { editor_->commands().deletion.DeleteSelection(); }); });
  connect(command("BitBtn2", "Center Objects", 143, Glyph::CenterArrows), &QToolButton::clicked,
          this, [this] { run([this] { editor_->BitBtn2Click(); }); });
  QToolButton* updateScreenButton = command("BitBtn7", "Update Screen", 173, Glyph::Refresh);

  // The file buttons repaint the board before asking anything, so the questions appear over a
  // clean drawing.
  connect(newFile, &QToolButton::clicked, this, [this] {
    run([this] {
      editor_->RedrawBoard();
      editor_->commands().documents.NewProject();
    });
  });
  connect(openFile, &QToolButton::clicked, this, [this] {
    run([this] {
      editor_->RedrawBoard();
      editor_->commands().documents.OpenProject();
    });
  });
  connect(saveFile, &QToolButton::clicked, this, [this] {
    run([this] {
      editor_->RedrawBoard();
      editor_->commands().documents.SaveProject();
    });
  });
  connect(updateScreenButton, &QToolButton::clicked, this,
          [this] { run([this] { editor_->commands().viewCommands.BitBtn8Click(); }); });

  toolGroup_ = new QButtonGroup(this);
  toolGroup_->setObjectName(QStringLiteral("ToolGroup"));
  toolGroup_->setExclusive(true);
  for (const ToolButtonSpec& t : kToolButtons) {
    QToolButton* b = addButton(t.name, QString::fromLatin1(t.hint), t.left, kTopRowTop, t.width,
                               kTopRowHeight, glyphIcon(t.glyph));
    b->setCheckable(true);
    toolGroup_->addButton(b, static_cast<int>(t.tool));
    toolButtons_[static_cast<std::size_t>(t.tool)] = b;
  }
  connect(toolGroup_, &QButtonGroup::idClicked, this,
          [this](int id) { run([this, id] { editor_->selectTool(static_cast<Tool>(id)); }); });

  lineMethodsButton_ = addButton("BitBtn8", QStringLiteral("Line Methods"), 273, kTopRowTop, 17,
                                 kTopRowHeight, glyphIcon(Glyph::DownArrow, 12, 20));
  connect(lineMethodsButton_, &QToolButton::clicked, this,
          [this] { run([this] { editor_->tools().wireEdit.BitBtn9Click(); }); });
  dotMethodsButton_ = addButton("BitBtn10", QStringLiteral("Dot Methods"), 375, kTopRowTop, 13,
                                kTopRowHeight, glyphIcon(Glyph::DownArrow, 10, 20));
  connect(dotMethodsButton_, &QToolButton::clicked, this,
          [this] { run([this] { editor_->tools().pins.BitBtn10Click(); }); });
}

void MainWindow::buildSecondRow() {
  // The lists report each choice the user makes, the item already shown included, and nothing
  // else: the window's own updates (see syncFromControls) run no handler.
  zoomList_ = addList("ComboBox1", QStringLiteral("Zoom"), zoomItems(), 8, 80);
  connect(zoomList_, &QComboBox::activated, this, [this](int i) {
    run([this, i] { editor_->commands().viewCommands.ComboBox1Change(i); });
  });
  layerList_ = addList("ComboBox3", QStringLiteral("Active Layer"), layerItems(), 92, 118);
  connect(layerList_, &QComboBox::activated, this,
          [this](int i) { run([this, i] { editor_->ComboBox3Change(i); }); });
  wireSizeList_ = addList("wire", QStringLiteral("Wire Size"), wireSizeItems(), 214, 76);
  connect(wireSizeList_, &QComboBox::activated, this,
          [this](int i) { run([this, i] { editor_->tools().wireEdit.WireChange(i); }); });
  gridList_ = addList("ComboBox4", QStringLiteral("Grid Resolution"), gridItems(), 294, 50);
  connect(gridList_, &QComboBox::activated, this, [this](int i) {
    run([this, i] { editor_->commands().viewCommands.ComboBox4Change(i); });
  });
  pinSizeList_ = addList("Size", QStringLiteral("Pin Size"), pinSizeItems(), 348, 76);
  connect(pinSizeList_, &QComboBox::activated, this,
          [this](int i) { run([this, i] { editor_->tools().pins.SizeChange(i); }); });
  pinStyleList_ = addList("ComboBox2", QStringLiteral("Pin Style"), pinStyleItems(), 428, 86);
  connect(pinStyleList_, &QComboBox::activated, this,
          [this](int i) { run([this, i] { editor_->tools().pins.ComboBox2Change(i); }); });

  QToolButton* loadObject =
      addButton("BitBtn15", QStringLiteral("Load Object"), 518, kSecondRowTop, kCommandButtonWidth,
                kSecondRowHeight, glyphIcon(Glyph::LoadObject));
  connect(loadObject, &QToolButton::clicked, this,
          [this] { run([this] { editor_->tools().objectPlacement.BitBtn15Click(); }); });
}

void MainWindow::placeRightEnd() {
  if (!panel_ || !bevel_ || !picture_) return;
  const int left = panel_->width() - bevel_->width() - 8;
  bevel_->move(left, 5);
  picture_->move(left + (bevel_->width() - picture_->width()) / 2,
                 5 + (bevel_->height() - picture_->height()) / 2);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panel_ && event->type() == QEvent::Resize) placeRightEnd();
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Drawing area, scroll bars and status bar

void MainWindow::buildDrawingArea(QWidget* central) {
  boardView_ = new BoardView(*editor_, central);
  connect(boardView_, &BoardView::handled, this, &MainWindow::syncFromControls);

  hScroll_ = new QScrollBar(Qt::Horizontal, central);
  hScroll_->setObjectName(QStringLiteral("ScrollBar1"));
  hScroll_->setRange(0, kScrollMaxX);
  vScroll_ = new QScrollBar(Qt::Vertical, central);
  vScroll_->setObjectName(QStringLiteral("ScrollBar2"));
  vScroll_->setRange(0, kScrollMaxY);
  for (QScrollBar* bar : {hScroll_, vScroll_}) {
    bar->setSingleStep(1);
    bar->setPageStep(kScrollLargeChange);
    bar->setFocusPolicy(Qt::NoFocus);
  }
  hScroll_->setAccessibleDescription(QStringLiteral("Horizontal scroll position"));
  vScroll_->setAccessibleDescription(QStringLiteral("Vertical scroll position"));
  // Every scroll event redraws with the bar's new position.
  connect(hScroll_, &QScrollBar::valueChanged, this, [this](int v) {
    run([this, v] { editor_->commands().viewCommands.ScrollBar1Scroll(v); });
  });
  connect(vScroll_, &QScrollBar::valueChanged, this, [this](int v) {
    run([this, v] { editor_->commands().viewCommands.ScrollBar2Scroll(v); });
  });

  auto* center = new QToolButton(central);
  center->setObjectName(QStringLiteral("Button1"));
  center->setText(QStringLiteral("+"));
  center->setToolTip(QStringLiteral("Goto Center"));
  center->setAccessibleName(QStringLiteral("Goto Center"));
  center->setAccessibleDescription(QStringLiteral("Goto Center"));
  center->setFocusPolicy(Qt::NoFocus);
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  center->setFixedSize(extent, extent);
  connect(center, &QToolButton::clicked, this,
          [this] { run([this] { editor_->commands().viewCommands.GotoCenter1Click(); }); });

  auto* grid = new QGridLayout;
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  grid->addWidget(boardView_, 0, 0);
  grid->addWidget(vScroll_, 0, 1);
  grid->addWidget(hScroll_, 1, 0);
  grid->addWidget(center, 1, 1);
  static_cast<QVBoxLayout*>(central->layout())->addLayout(grid, 1);
}

// The Library panel lists the folder the Load Object dialog starts in; a double-click places
// the object through the editor's door.
void MainWindow::buildLibraryPanel() {
  library_ = new LibraryPanel(
      [this] {
        const Editor& e = *editor_;
        return e.ObjectsFolder.empty() ? objectLibraryFolder(e.ProgramDirectory) : e.ObjectsFolder;
      },
      [this](const std::string& path) { run([this, path] { editor_->placeObjectFile(path); }); },
      this);
  library_->rememberPlaceIn(this);
}

void MainWindow::buildStatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setAccessibleDescription(QStringLiteral("Status"));
  setStatusBar(bar);
  const char* const descriptions[3] = {"Pointer position", "Wire segment", "Message"};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAccessibleDescription(QString::fromLatin1(descriptions[i]));
    panel->setIndent(3);
    statusPanels_[static_cast<std::size_t>(i)] = panel;
  }
  statusPanels_[0]->setFixedWidth(190);
  statusPanels_[1]->setFixedWidth(140);
  bar->addWidget(statusPanels_[0]);
  bar->addWidget(statusPanels_[1]);
  bar->addWidget(statusPanels_[2], 1);
}

// ---------------------------------------------------------------------------------------------
// Mirroring the editor's controls

void MainWindow::syncFromControls() {
  const Controls& c = editor_->controls();

  // The zoom list shows the view's zoom level; it is never disabled.
  mirrorList(zoomList_, ListControl{editor_->view().ZoomLevel, true});
  mirrorList(layerList_, c.layer);
  mirrorList(wireSizeList_, c.wireSize);
  mirrorList(gridList_, c.grid);
  mirrorList(pinSizeList_, c.pinSize);
  mirrorList(pinStyleList_, c.pinStyle);

  // The Pan tool and Goto Center move the view; the bars follow without scrolling again.
  const View& view = editor_->view();
  setQuietly(hScroll_, [&](QScrollBar* b) { b->setValue(view.scrollX); });
  setQuietly(vScroll_, [&](QScrollBar* b) { b->setValue(view.scrollY); });

  QToolButton* down = toolButtons_[static_cast<std::size_t>(c.tool)];
  if (down && !down->isChecked()) setQuietly(down, [](QToolButton* b) { b->setChecked(true); });

  deleteButton_->setEnabled(c.deleteButton);
  deleteItem_->setEnabled(c.cutObject);
  undoItem_->setEnabled(c.undo);
  redoItem_->setEnabled(c.redo);
  lineMethodsButton_->setEnabled(c.lineMethods);
  dotMethodsButton_->setEnabled(c.dotMethods);
  rotateMenu_->menuAction()->setEnabled(c.rotate);

  mirrorCheck(showFrameItem_, c.showFrame);
  mirrorCheck(dragTracksItem_, c.dragConnectedTracks);
  mirrorCheck(showGridsItem_, c.showGrids);
  for (std::size_t i = 0; i < layerItems_.size(); ++i) mirrorCheck(layerItems_[i], c.showLayer[i]);
  segItem_->setEnabled(c.selectSegmentOnlyEnabled);
  compItem_->setEnabled(c.selectCompleteWireEnabled);
  splitItem_->setEnabled(c.splitWireEnabled);
  mirrorCheck(segItem_, c.selectSegmentOnly);
  mirrorCheck(compItem_, c.selectCompleteWire);
  mirrorCheck(splitItem_, c.splitWire);
  mirrorCheck(normalItem_, c.normalPin);
  mirrorCheck(outlinedItem_, c.graphicPin);

  for (std::size_t i = 0; i < statusPanels_.size(); ++i) {
    const QString text = QString::fromStdString(c.panel[i]);
    if (statusPanels_[i]->text() != text) statusPanels_[i]->setText(text);
  }

  boardView_->setCursor(c.cursor == CursorShape::Cross ? Qt::CrossCursor : Qt::ArrowCursor);
  boardView_->update();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The editor asks about unsaved work; nothing is written on exit.
  const bool mayClose = editor_->commands().documents.FormClose();
  syncFromControls();
  if (mayClose)
    event->accept();
  else
    event->ignore();
}

}  // namespace fw

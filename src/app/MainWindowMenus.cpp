// The main window's menu bar and the two pop-up menus of the toolbar.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "app/LibraryPanel.h"
#include "app/MainWindow.h"
#include "app/QtHost.h"
#include "app/RecentFiles.h"
#include "edit/Editor.h"

namespace fw {

namespace {

QString withoutAccelerator(QString caption) {
  return caption.remove(QLatin1Char('&'));
}

}  // namespace

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& shortcut) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  action->setToolTip(withoutAccelerator(caption));
  action->setWhatsThis(withoutAccelerator(caption));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  menu->addAction(action);
  return action;
}

QMenu* MainWindow::addMenu(QMenu* parentMenu, const char* name, const QString& caption) {
  QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  // A menu is a window of its own; it takes the main window's font.
  menu->setAttribute(Qt::WA_WindowPropagation);
  menu->setFont(font());
  menu->setAccessibleName(withoutAccelerator(caption));
  menu->setAccessibleDescription(withoutAccelerator(caption));
  return menu;
}

void MainWindow::buildMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  auto handler = [this](QAction* action, auto&& call) {
    connect(action, &QAction::triggered, this, [this, call] { run(call); });
  };

  QMenu* file = addMenu(nullptr, "File1", QStringLiteral("&File"));
  handler(addItem(file, "New1", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N)),
          [this] { editor_->commands().documents.NewProject(); });
  handler(addItem(file, "Open1", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O)),
          [this] { editor_->commands().documents.OpenProject(); });
  file->addSeparator();
  handler(addItem(file, "Save1", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
          [this] { editor_->commands().documents.SaveProject(); });
  handler(addItem(file, "SaveAs1", QStringLiteral("Save &As...")),
          [this] { editor_->commands().documents.SaveAs1Click(); });
  file->addSeparator();
  handler(addItem(file, "InsertObject1", QStringLiteral("Insert Object...")),
          [this] { editor_->tools().objectPlacement.InsertObject1Click(); });
  handler(addItem(file, "SaveasObject1", QStringLiteral("Save as Object...")),
          [this] { editor_->commands().documents.SaveasObject1Click(); });
  handler(addItem(file, "ImportKicadFootprint1", QStringLiteral("Import KiCad Footprint...")),
          [this] { editor_->tools().objectPlacement.ImportKicadFootprint1Click(); });
  file->addSeparator();
  handler(addItem(file, "Print1", QStringLiteral("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P)),
          [this] { editor_->commands().printing.Print1Click(); });
  handler(addItem(file, "PrintSetup1", QStringLiteral("P&rint Setup...")),
          [this] { editor_->commands().printing.PrintSetup1Click(); });
  handler(addItem(file, "ExportGerber1", QStringLiteral("Export &Gerber...")),
          [this] { editor_->commands().fab.ExportGerber1Click(); });
  file->addSeparator();
  QAction* exit = addItem(file, "Exit1", QStringLiteral("E&xit"));
  // The recent files and a separator of their own go just above Exit (showRecentFiles).
  fileMenu_ = file;
  exitItem_ = exit;
  recentSeparator_ = new QAction(this);
  recentSeparator_->setSeparator(true);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = addMenu(nullptr, "Edit1", QStringLiteral("&Edit"));
  undoItem_ = addItem(edit, "Undo1", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
  handler(undoItem_, [this] { editor_->history().Undo1Click(); });
  redoItem_ = addItem(edit, "Redo1", QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
  redoItem_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  handler(redoItem_, [this] { editor_->history().Redo1Click(); });
  edit->addSeparator();
  rotateMenu_ = addMenu(edit, "Rotate1", QStringLiteral("Rotation"));
  handler(addItem(rotateMenu_, "N90cc1", QStringLiteral("90 degree (cw)"),
                  QKeySequence(Qt::CTRL | Qt::Key_R)),
          [this] { editor_->commands().rotation.N90cc1Click(); });
  handler(addItem(rotateMenu_, "N180cw1", QStringLiteral("180 degree (cw)")),
          [this] { editor_->commands().rotation.N180cw1Click(); });
  handler(addItem(rotateMenu_, "N270cw1", QStringLiteral("270 degree (cw)")),
          [this] { editor_->commands().rotation.N270cw1Click(); });
  deleteItem_ = addItem(edit, "CutObject1", QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete));
  handler(deleteItem_, [this] { editor_->commands().deletion.DeleteSelection(); });
  edit->addSeparator();
  dragTracksItem_ = addItem(edit, "DragConnectedTracks1", QStringLiteral("Drag Connected Tracks"));
  handler(dragTracksItem_, [this] {
    Controls& c = editor_->controls();
    c.dragConnectedTracks = !c.dragConnectedTracks;
    QtHost::storeDragConnectedTracks(c.dragConnectedTracks);
  });
  // Escape, which stops a wire or a placement as the right button does, is no menu item; the
  // window itself carries its shortcut.
  auto* escape = new QAction(this);
  escape->setObjectName(QStringLiteral("EscapeKey"));
  escape->setShortcut(QKeySequence(Qt::Key_Escape));
  addAction(escape);
  handler(escape, [this] { editor_->escapePressed(); });

  QMenu* window = addMenu(nullptr, "Window1", QStringLiteral("&Window"));
  handler(addItem(window, "GotoCenter1", QStringLiteral("Goto Center"),
                  QKeySequence(Qt::CTRL | Qt::Key_C)),
          [this] { editor_->commands().viewCommands.GotoCenter1Click(); });
  handler(addItem(window, "CenterObjects1", QStringLiteral("Center Objects")),
          [this] { editor_->BitBtn2Click(); });
  window->addSeparator();
  handler(addItem(window, "HighlightConnection1", QStringLiteral("Highlight Connection")),
          [this] { editor_->selectTool(Tool::HighlightConnection); });
  handler(addItem(window, "CheckBoard1", QStringLiteral("Check Board...")),
          [this] { editor_->commands().checkBoard.CheckBoard1Click(); });
  // The Library panel's own action keeps its check mark, however the panel is shown or closed.
  QAction* library = library_->toggleViewAction();
  library->setObjectName(QStringLiteral("Library1"));
  library->setText(QStringLiteral("Library"));
  library->setToolTip(QStringLiteral("Library"));
  window->addAction(library);
  window->addSeparator();
  handler(addItem(window, "Info1", QStringLiteral("Info..."), QKeySequence(Qt::CTRL | Qt::Key_I)),
          [this] { editor_->commands().documents.Info1Click(); });
  window->addSeparator();
  handler(addItem(window, "FrameSize1", QStringLiteral("Frame Size...")),
          [this] { editor_->commands().documents.FrameSize1Click(); });
  showFrameItem_ = addItem(window, "ShowFrame1", QStringLiteral("Show Frame"),
                           QKeySequence(Qt::CTRL | Qt::Key_F));
  handler(showFrameItem_, [this] { editor_->commands().viewCommands.ShowFrame1Click(); });
  showGridsItem_ =
      addItem(window, "GridsOn1", QStringLiteral("Show Grids"), QKeySequence(Qt::CTRL | Qt::Key_G));
  handler(showGridsItem_, [this] { editor_->commands().viewCommands.GridsOn1Click(); });

  QMenu* layers = addMenu(nullptr, "Layers1", QStringLiteral("&Layers"));
  layerItems_[0] =
      addItem(layers, "Layer1", QStringLiteral("Show Layer 1 (Green)"), QKeySequence(Qt::Key_F1));
  handler(layerItems_[0], [this] { editor_->commands().viewCommands.Layer1Click(); });
  layerItems_[1] =
      addItem(layers, "layer2", QStringLiteral("Show Layer 2 (Red)"), QKeySequence(Qt::Key_F2));
  handler(layerItems_[1], [this] { editor_->commands().viewCommands.layer2Click(); });
  layerItems_[2] =
      addItem(layers, "layer3", QStringLiteral("Show Layer 3 (Purple)"), QKeySequence(Qt::Key_F3));
  handler(layerItems_[2], [this] { editor_->commands().viewCommands.layer3Click(); });

  // Check marks are the editor's: the items are checkable and syncFromControls sets them.
  for (QAction* a : {showFrameItem_, showGridsItem_, dragTracksItem_, layerItems_[0],
                     layerItems_[1], layerItems_[2]})
    a->setCheckable(true);

  QMenu* help = addMenu(nullptr, "Help1", QStringLiteral("&About"));
  QAction* about = addItem(help, "About1", QStringLiteral("&About..."));
  // About shows the box modally; nothing is redrawn.
  connect(about, &QAction::triggered, this, [this] { host_->showAbout(); });
}

void MainWindow::showRecentFiles() {
  for (QAction* item : recentItems_) {
    fileMenu_->removeAction(item);
    delete item;
  }
  recentItems_.clear();
  fileMenu_->removeAction(recentSeparator_);
  const QStringList files = RecentFiles::load();
  for (int i = 0; i < files.size(); ++i) {
    const QString& path = files.at(i);
    // "&1 name" for the first nine; the full path is the tip.
    QString name = QFileInfo(path).fileName();
    name.replace(QStringLiteral("&"), QStringLiteral("&&"));  // no accelerator from the name
    const QString caption = QStringLiteral("&%1 %2").arg(i + 1).arg(name);
    auto* item = new QAction(caption, this);
    item->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
    item->setToolTip(path);
    item->setWhatsThis(path);
    item->setData(path);
    connect(item, &QAction::triggered, this, [this, path] { openRecent(path); });
    fileMenu_->insertAction(exitItem_, item);
    recentItems_.push_back(item);
  }
  if (!files.isEmpty()) fileMenu_->insertAction(exitItem_, recentSeparator_);
}

void MainWindow::noteRecentFile() {
  const Board& board = editor_->board();
  const std::string& name = board.CurrentFileName;
  if (name == lastRecent_) return;
  if (name.empty()) {
    lastRecent_.clear();
    return;
  }
  if (!board.SavedFlag) return;
  lastRecent_ = name;
  const QString path = QFileInfo(QFile::decodeName(name.c_str())).absoluteFilePath();
  RecentFiles::store(RecentFiles::withFront(RecentFiles::load(), path));
  showRecentFiles();
}

void MainWindow::openRecent(const QString& path) {
  bool opened = true;
  run([&] {
    opened = editor_->commands().documents.openRecent(QFile::encodeName(path).toStdString());
  });
  if (opened) return;
  // A file that no longer opens leaves the list; the error has been shown.
  RecentFiles::store(RecentFiles::without(RecentFiles::load(), path));
  showRecentFiles();
}

void MainWindow::buildPopupMenus() {
  lineMethodsMenu_ = new QMenu(this);
  lineMethodsMenu_->setObjectName(QStringLiteral("PopupMenu1"));
  lineMethodsMenu_->setFont(font());
  lineMethodsMenu_->setAccessibleDescription(QStringLiteral("Line Methods"));
  segItem_ = addItem(lineMethodsMenu_, "seg", QStringLiteral("Select Wiresegment Only"));
  compItem_ = addItem(lineMethodsMenu_, "comp", QStringLiteral("Select Complete Wire"));
  splitItem_ = addItem(lineMethodsMenu_, "Spl", QStringLiteral("Splitt Wire in Two"));
  connect(segItem_, &QAction::triggered, this,
          [this] { run([this] { editor_->tools().wireEdit.segClick(); }); });
  connect(compItem_, &QAction::triggered, this,
          [this] { run([this] { editor_->tools().wireEdit.compClick(); }); });
  connect(splitItem_, &QAction::triggered, this,
          [this] { run([this] { editor_->tools().wireEdit.SplClick(); }); });

  dotMethodsMenu_ = new QMenu(this);
  dotMethodsMenu_->setObjectName(QStringLiteral("PopupMenu2"));
  dotMethodsMenu_->setFont(font());
  dotMethodsMenu_->setAccessibleDescription(QStringLiteral("Dot Methods"));
  normalItem_ = addItem(dotMethodsMenu_, "Normal", QStringLiteral("Normal Pin"));
  outlinedItem_ =
      addItem(dotMethodsMenu_, "outl", QStringLiteral("Graphic (Double Size and Outlined)"));
  connect(normalItem_, &QAction::triggered, this,
          [this] { run([this] { editor_->tools().pins.NormalClick(); }); });
  connect(outlinedItem_, &QAction::triggered, this,
          [this] { run([this] { editor_->tools().pins.outlClick(); }); });

  for (QAction* a : {segItem_, compItem_, splitItem_, normalItem_, outlinedItem_})
    a->setCheckable(true);
  host_->setLineMethodsMenu(lineMethodsMenu_, lineMethodsButton_);
  host_->setDotMethodsMenu(dotMethodsMenu_, dotMethodsButton_);
}

}  // namespace fw

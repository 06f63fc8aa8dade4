#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "edit/Controls.h"
#include "edit/Editor.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QScrollBar;
class QToolButton;

namespace fw {

class AboutBox;
class BoardView;
class LibraryPanel;
class QtHost;

// The main window: toolbar panel, lists, drawing area, scroll bars, status bar, menus and the
// two pop-up menus. It owns the editor; every widget calls an editor handler, and after each
// handler the window mirrors the editor's Controls into the widgets (syncFromControls).
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  Editor& editor() { return *editor_; }
  QtHost& host() { return *host_; }
  BoardView* boardView() const { return boardView_; }
  LibraryPanel* libraryPanel() const { return library_; }

  // Copies Controls and the view's scroll positions into the widgets with their signals
  // blocked, so that setting a list never runs its change handler; then repaints the board.
  void syncFromControls();

  static constexpr int kPanelHeight = 60;

  // Opens a project file as Open does once it is chosen (`ferrowrit FILE.kvd`).
  void openAtStart(const std::string& path) {
    run([&] { editor_->commands().documents.openPath(path); });
  }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void buildToolbar();
  void buildTopRow();
  void buildSecondRow();
  void buildDrawingArea(QWidget* central);
  void buildStatusBar();
  void buildLibraryPanel();
  void buildMenus();
  void buildPopupMenus();
  void placeRightEnd();

  // Runs a handler through the editor's door (one step of the undo history), then shows what it
  // changed in the widgets.
  template <typename Handler>
  void run(Handler&& handler) {
    editor_->run(std::forward<Handler>(handler));
    syncFromControls();
    noteRecentFile();
  }

  // A project file just opened or saved goes to the front of the recent files list.
  void noteRecentFile();
  // Shows the recent files list in the File menu, just above Exit.
  void showRecentFiles();
  void openRecent(const QString& path);

  QToolButton* addButton(const char* name, const QString& hint, int left, int top, int width,
                         int height, const QIcon& icon);
  QComboBox* addList(const char* name, const QString& hint, const QStringList& items, int left,
                     int width);
  QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                   const QKeySequence& shortcut = {});
  QMenu* addMenu(QMenu* parentMenu, const char* name, const QString& caption);

  std::unique_ptr<QtHost> host_;
  std::unique_ptr<Editor> editor_;

  // Members carry readable names; each widget's objectName is the name the program gives it.
  QFrame* panel_ = nullptr;    // Panel1
  QFrame* bevel_ = nullptr;    // Bevel2
  QLabel* picture_ = nullptr;  // Image3
  QButtonGroup* toolGroup_ = nullptr;
  std::array<QToolButton*, 9> toolButtons_{};  // indexed by Tool
  QToolButton* deleteButton_ = nullptr;        // BitBtn5
  QToolButton* lineMethodsButton_ = nullptr;   // BitBtn8
  QToolButton* dotMethodsButton_ = nullptr;    // BitBtn10

  QComboBox* zoomList_ = nullptr;      // ComboBox1
  QComboBox* layerList_ = nullptr;     // ComboBox3
  QComboBox* wireSizeList_ = nullptr;  // wire
  QComboBox* gridList_ = nullptr;      // ComboBox4
  QComboBox* pinSizeList_ = nullptr;   // Size
  QComboBox* pinStyleList_ = nullptr;  // ComboBox2

  BoardView* boardView_ = nullptr;
  QScrollBar* hScroll_ = nullptr;  // ScrollBar1
  QScrollBar* vScroll_ = nullptr;  // ScrollBar2
  std::array<QLabel*, 3> statusPanels_{};

  QAction* deleteItem_ = nullptr;         // CutObject1
  QAction* undoItem_ = nullptr;           // Undo1
  QAction* redoItem_ = nullptr;           // Redo1
  QMenu* rotateMenu_ = nullptr;           // Rotate1
  QAction* showFrameItem_ = nullptr;      // ShowFrame1
  QAction* dragTracksItem_ = nullptr;     // DragConnectedTracks1
  QAction* showGridsItem_ = nullptr;      // GridsOn1
  std::array<QAction*, 3> layerItems_{};  // Layer1, layer2, layer3

  QMenu* lineMethodsMenu_ = nullptr;  // PopupMenu1
  QAction* segItem_ = nullptr;        // seg
  QAction* compItem_ = nullptr;       // comp
  QAction* splitItem_ = nullptr;      // Spl
  QMenu* dotMethodsMenu_ = nullptr;   // PopupMenu2
  QAction* normalItem_ = nullptr;     // Normal
  QAction* outlinedItem_ = nullptr;   // outl

  AboutBox* aboutBox_ = nullptr;
  LibraryPanel* library_ = nullptr;  // LibraryPanel, Window > Library

  QMenu* fileMenu_ = nullptr;           // File1
  QAction* exitItem_ = nullptr;         // Exit1
  QAction* recentSeparator_ = nullptr;  // between the recent files and Exit
  std::vector<QAction*> recentItems_;   // Recent1, Recent2, ...
  std::string lastRecent_;              // the file name last put on the list
};

}  // namespace fw

#pragma once

#include <QDockWidget>
#include <functional>
#include <string>

#include "app/ObjectPreview.h"

class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QMainWindow;
class QModelIndex;
class QTreeView;

namespace fw {

class LibraryModel;

// The dockable Library panel: the object files (*.kvo) of the object library folder and its
// subfolders, a filter box, and the picture, description and pin count of the chosen object.
// A double-click (or Enter) on a row starts placing that object as Load Object does.
//
// Opening the panel only lists file names; a file is read when its row is shown or chosen, or
// when the filter asks for its description, and kept until it changes on disk (LibraryCache).
class LibraryPanel : public QDockWidget {
  Q_OBJECT
 public:
  // `folder` gives the library folder each time the panel lists it; `place` starts placing a
  // file.
  LibraryPanel(std::function<std::string()> folder, std::function<void(const std::string&)> place,
               QWidget* parent = nullptr);
  ~LibraryPanel() override;

  // Lists the folder again; the panel does so each time it is shown, and while it is shown,
  // whenever a file in the folder or its subfolders comes or goes.
  void refresh();

  // Puts the panel where it stood when `window` last showed it, hidden the first time, and
  // keeps its place and visibility in the user's settings from now on.
  void rememberPlaceIn(QMainWindow* window);
  // The window is going: whatever its docks do now is not the user's choice and is not kept.
  void forgetWindow() { window_ = nullptr; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildContents();
  void showChosen(const QModelIndex& index);
  void storePlace();

  std::function<std::string()> folder_;
  std::function<void(const std::string&)> place_;
  LibraryCache cache_;
  LibraryModel* model_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QTreeView* list_ = nullptr;
  QLabel* preview_ = nullptr;
  QLabel* description_ = nullptr;
  QLabel* pinCount_ = nullptr;
  QMainWindow* window_ = nullptr;
  QFileSystemWatcher* watcher_ = nullptr;
};

}  // namespace fw

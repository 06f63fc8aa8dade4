#include "app/LibraryPanel.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "app/Settings.h"

namespace fw {

namespace {

const QString kWindowState = QStringLiteral("libraryPanel/windowState");
// The layout of the window's docks as saved by this version; another layout starts afresh.
constexpr int kStateVersion = 1;

// An object's description is held in Latin-1, as every text of the files ("10µF" is one byte
// a character).
QString descriptionText(const LibraryEntry& entry) {
  return QString::fromLatin1(entry.description.data(), qsizetype(entry.description.size()));
}

}  // namespace

// The rows of the library: every object file's name below the folder (without ".kvo") and,
// read when the row is shown, its description. The filter keeps the rows whose name or
// description holds the filter text, whatever the case; a file whose name does not match is
// read for its description then.
class LibraryModel : public QAbstractTableModel {
 public:
  explicit LibraryModel(LibraryCache& cache, QObject* parent)
      : QAbstractTableModel(parent), cache_(cache) {}

  // Lists the object files below `folder`; returns the folders it looked in.
  QStringList list(const QString& folder) {
    std::vector<File> files;
    const QDir root(folder);
    QStringList folders;  // a folder that is not there cannot be watched
    if (root.exists()) folders.push_back(folder);
    QDirIterator it(folder, {QStringLiteral("*.kvo")},
                    QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      QString path = it.next();
      if (it.fileInfo().isDir()) {
        folders.push_back(std::move(path));
        continue;
      }
      QString name = root.relativeFilePath(path);
      name.chop(4);  // ".kvo", whatever its case
      files.push_back({std::move(path), std::move(name)});
    }
    std::sort(files.begin(), files.end(), [](const File& a, const File& b) {
      return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    beginResetModel();
    files_ = std::move(files);
    chooseShown();
    endResetModel();
    return folders;
  }

  void setFilter(const QString& text) {
    beginResetModel();
    filter_ = text.trimmed();
    chooseShown();
    endResetModel();
  }

  QString path(const QModelIndex& index) const {
    return index.isValid() ? files_[shown_[std::size_t(index.row())]].path : QString();
  }
  std::size_t fileCount() const { return files_.size(); }
  // The shown row of the file at `path`, or an invalid index.
  QModelIndex rowOf(const QString& path) const {
    for (std::size_t r = 0; r < shown_.size(); ++r)
      if (files_[shown_[r]].path == path) return index(int(r), 0);
    return {};
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : int(shown_.size());
  }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 2; }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const File& file = files_[shown_[std::size_t(index.row())]];
    if (role == Qt::ToolTipRole) return file.path;
    if (role != Qt::DisplayRole) return {};
    if (index.column() == 0) return file.name;
    const LibraryEntry& entry = cache_.entry(file.path);
    return entry.readable ? descriptionText(entry) : QStringLiteral("(cannot be read)");
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? QStringLiteral("Name") : QStringLiteral("Description");
  }

 private:
  struct File {
    QString path;
    QString name;
  };

  void chooseShown() {
    shown_.clear();
    for (std::size_t i = 0; i < files_.size(); ++i)
      if (matches(files_[i])) shown_.push_back(i);
  }
  bool matches(const File& file) const {
    if (filter_.isEmpty() || file.name.contains(filter_, Qt::CaseInsensitive)) return true;
    const LibraryEntry& entry = cache_.entry(file.path);
    return entry.readable && descriptionText(entry).contains(filter_, Qt::CaseInsensitive);
  }

  LibraryCache& cache_;
  std::vector<File> files_;
  std::vector<std::size_t> shown_;
  QString filter_;
};

LibraryPanel::LibraryPanel(std::function<std::string()> folder,
                           std::function<void(const std::string&)> place, QWidget* parent)
    : QDockWidget(QStringLiteral("Library"), parent),
      folder_(std::move(folder)),
      place_(std::move(place)) {
  setObjectName(QStringLiteral("LibraryPanel"));
  setAccessibleName(QStringLiteral("Library"));
  buildContents();
}

LibraryPanel::~LibraryPanel() = default;

void LibraryPanel::buildContents() {
  auto* contents = new QWidget(this);
  auto* column = new QVBoxLayout(contents);
  column->setContentsMargins(4, 4, 4, 4);

  auto* top = new QHBoxLayout;
  filter_ = new QLineEdit(contents);
  filter_->setObjectName(QStringLiteral("LibraryFilter"));
  filter_->setPlaceholderText(QStringLiteral("Filter"));
  filter_->setAccessibleName(QStringLiteral("Filter"));
  filter_->setClearButtonEnabled(true);
  auto* refreshButton = new QToolButton(contents);
  refreshButton->setObjectName(QStringLiteral("LibraryRefresh"));
  refreshButton->setText(QStringLiteral("Refresh"));
  refreshButton->setToolTip(QStringLiteral("List the library folder again"));
  top->addWidget(filter_, 1);
  top->addWidget(refreshButton);
  column->addLayout(top);

  model_ = new LibraryModel(cache_, this);
  list_ = new QTreeView(contents);
  list_->setObjectName(QStringLiteral("LibraryList"));
  list_->setModel(model_);
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  // Equal rows let the view ask only for the rows it shows, so a file is read when its row
  // comes into sight and not before.
  list_->setUniformRowHeights(true);
  list_->header()->setStretchLastSection(true);
  list_->header()->resizeSection(0, 120);
  column->addWidget(list_, 1);

  preview_ = new QLabel(contents);
  preview_->setObjectName(QStringLiteral("LibraryPreview"));
  preview_->setAccessibleName(QStringLiteral("Picture of the object"));
  preview_->setFixedSize(LibraryCache::kPreviewWidth, LibraryCache::kPreviewHeight);
  preview_->setStyleSheet(QStringLiteral("background: black"));
  column->addWidget(preview_, 0, Qt::AlignHCenter);
  description_ = new QLabel(contents);
  description_->setObjectName(QStringLiteral("LibraryDescription"));
  description_->setWordWrap(true);
  column->addWidget(description_);
  pinCount_ = new QLabel(contents);
  pinCount_->setObjectName(QStringLiteral("LibraryPinCount"));
  column->addWidget(pinCount_);
  setWidget(contents);

  connect(filter_, &QLineEdit::textChanged, this,
          [this](const QString& t) { model_->setFilter(t); });
  connect(refreshButton, &QToolButton::clicked, this, &LibraryPanel::refresh);
  // An object saved into the library, or a file removed, shows in the list by itself. The
  // events of one save come in a burst; the folder is listed again once they have settled.
  watcher_ = new QFileSystemWatcher(this);
  auto* settle = new QTimer(this);
  settle->setSingleShot(true);
  settle->setInterval(200);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
  connect(settle, &QTimer::timeout, this, [this] {
    if (isVisible()) refresh();
  });
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { showChosen(current); });
  // The model is reset by listing and filtering; the selection model then forgets the row.
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { showChosen({}); });
  connect(list_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
    const QString path = model_->path(index);
    if (!path.isEmpty()) place_(QFile::encodeName(path).toStdString());
  });
}

void LibraryPanel::refresh() {
  const QString folder = QFile::decodeName(folder_().c_str());
  const QString chosen = model_->path(list_->currentIndex());
  const QStringList folders = model_->list(folder);
  if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
  if (!folders.isEmpty()) watcher_->addPaths(folders);
  // The chosen object stays chosen, and its picture is read again if the file changed.
  const QModelIndex again = model_->rowOf(chosen);
  if (again.isValid()) list_->setCurrentIndex(again);
  if (model_->fileCount() == 0)
    description_->setText(QStringLiteral("No objects in %1").arg(QDir::toNativeSeparators(folder)));
}

void LibraryPanel::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  refresh();
}

void LibraryPanel::showChosen(const QModelIndex& index) {
  const QString path = model_->path(index);
  if (path.isEmpty()) {
    preview_->clear();
    description_->clear();
    pinCount_->clear();
    return;
  }
  const LibraryEntry& entry = cache_.entry(path, true);
  if (!entry.readable) {
    preview_->clear();
    description_->setText(
        QStringLiteral("Cannot be read: %1").arg(QString::fromStdString(entry.description)));
    pinCount_->clear();
    return;
  }
  preview_->setPixmap(QPixmap::fromImage(entry.preview));
  description_->setText(descriptionText(entry));
  pinCount_->setText(entry.pinCount == 1 ? QStringLiteral("1 pin")
                                         : QStringLiteral("%1 pins").arg(entry.pinCount));
}

void LibraryPanel::rememberPlaceIn(QMainWindow* window) {
  window_ = window;
  window->addDockWidget(Qt::RightDockWidgetArea, this);
  hide();  // until the user shows it
  window->restoreState(programSettings().value(kWindowState).toByteArray(), kStateVersion);
  connect(this, &QDockWidget::dockLocationChanged, this, &LibraryPanel::storePlace);
  connect(this, &QDockWidget::topLevelChanged, this, &LibraryPanel::storePlace);
  // Shown or closed by the user; a panel hidden only because its window closes, or behind
  // another dock's tab, keeps its place as it was.
  connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible || isHidden()) storePlace();
  });
}

void LibraryPanel::storePlace() {
  if (!window_) return;
  QSettings s = programSettings();
  s.setValue(kWindowState, window_->saveState(kStateVersion));
  s.sync();
}

}  // namespace fw

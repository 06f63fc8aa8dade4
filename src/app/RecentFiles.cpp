#include "app/RecentFiles.h"

#include "app/Settings.h"

namespace fw {

namespace {

const QString kKey = QStringLiteral("recentProjects");

}  // namespace

QStringList RecentFiles::withFront(QStringList list, const QString& path) {
  list.removeAll(path);
  list.prepend(path);
  while (list.size() > kMaximum) list.removeLast();
  return list;
}

QStringList RecentFiles::without(QStringList list, const QString& path) {
  list.removeAll(path);
  return list;
}

QStringList RecentFiles::load() {
  QStringList list = programSettings().value(kKey).toStringList();
  list.removeAll(QString());
  while (list.size() > kMaximum) list.removeLast();
  return list;
}

void RecentFiles::store(const QStringList& list) {
  QSettings s = programSettings();
  s.setValue(kKey, list);
  s.sync();
}

}  // namespace fw

#pragma once

#include <QString>
#include <QStringList>

namespace fw {

// The project files last opened or saved, newest first, kept in the user's settings
// (organisation and application "Ferrowrit").
class RecentFiles {
 public:
  static constexpr int kMaximum = 8;

  // The list with `path` at the front, once, and at most kMaximum entries.
  static QStringList withFront(QStringList list, const QString& path);
  // The list without `path`.
  static QStringList without(QStringList list, const QString& path);

  // The stored list, cut to kMaximum entries; empty when nothing is stored.
  static QStringList load();
  static void store(const QStringList& list);
};

}  // namespace fw

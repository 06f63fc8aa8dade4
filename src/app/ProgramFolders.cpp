#include "app/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace fw {

ProgramFolders programFolders(const QString& programDirectory, const QString& documents) {
  ProgramFolders folders;
  const QDir dir(programDirectory);
  if (!dir.exists(QStringLiteral("objects"))) {
    const QString shared =
        QDir::cleanPath(dir.filePath(QStringLiteral("../share/ferrowrit/objects")));
    if (QFileInfo(shared).isDir()) folders.objects = QFile::encodeName(shared).toStdString();
  }
  if (!QFileInfo(programDirectory).isWritable() && !documents.isEmpty())
    folders.projects = QFile::encodeName(documents).toStdString();
  return folders;
}

}  // namespace fw

#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>
#include <string>

#include "files/ObjectFile.h"

namespace fw {

// The picture of an object: its pads, tracks and texts drawn by the board renderer on black,
// without grid and frame, at the largest zoom level at which the whole object fits into
// width x height pixels, centred. An object too large even at 1x is drawn at 1x and scaled down.
QImage drawObjectPreview(const ObjectData& object, int width, int height);

// What the library panel shows of one object file.
struct LibraryEntry {
  bool readable = false;
  std::string description;  // or, for a file that cannot be read, why
  int pinCount = 0;
  QImage preview;  // made only when asked for, see LibraryCache::entry
};

// Object files read once and kept, each until its modification time changes. Reading is lazy:
// the description and pin count when a row is shown, the picture when it is chosen.
class LibraryCache {
 public:
  static constexpr int kPreviewWidth = 240;
  static constexpr int kPreviewHeight = 180;

  // The entry of `path`, read again when the file changed since it was read; with `preview`
  // the picture is made too, if it has not been yet.
  const LibraryEntry& entry(const QString& path, bool preview = false);

 private:
  struct Slot {
    QDateTime modified;
    LibraryEntry entry;
    ObjectData object;  // kept until the picture is made
  };
  QHash<QString, Slot> slots_;
};

}  // namespace fw

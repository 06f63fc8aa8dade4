#include "app/ObjectPreview.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "board/ObjectGeometry.h"
#include "board/View.h"
#include "render/BoardRenderer.h"
#include "render/Canvas.h"

namespace fw {

namespace {

// Room around the rows' positions for the pads themselves: half the largest pad at 1x (a
// graphic pin's ring is twice the pad), and a board unit more.
int padMargin(const ObjectData& object) {
  int margin = 0;
  for (const Pin& p : object.pins) {
    const int size = std::min<int>(p.sizeIndex, kPinSizes - 1);
    const int diameter = PinSizePixels[size][0] * (isGraphicPin(p) ? 2 : 1);
    margin = std::max(margin, diameter / 2);
  }
  return margin + 1;
}

}  // namespace

QImage drawObjectPreview(const ObjectData& object, int width, int height) {
  auto board = makeBoard();
  std::string unused;  // an object read from a file fits; one that does not is drawn empty
  if (!loadAsBoard(*board, object, unused)) board->reset();
  const BoardObject rows{0, static_cast<uint16_t>(board->PinCount),
                         0, static_cast<uint16_t>(board->WirePointCount),
                         0, static_cast<uint16_t>(board->TextCount)};

  // The middle of the object goes to the middle of the workspace, which a view scrolled to the
  // centre shows in the middle of the picture.
  const ObjectBox box = wholeObjectBox(*board, rows);
  const bool empty = box.minX > box.maxX;
  if (!empty)
    moveObjectRows(*board, rows, kCenterBoardX - (box.minX + box.maxX) / 2,
                   kCenterBoardY - (box.minY + box.maxY) / 2);
  const int margin = padMargin(object);
  const int spanX = empty ? 0 : box.maxX - box.minX + 2 * margin;
  const int spanY = empty ? 0 : box.maxY - box.minY + 2 * margin;

  View view;
  view.ZoomLevel = 0;
  while (view.ZoomLevel + 1 < kZoomLevels && spanX * (2 << view.ZoomLevel) <= width &&
         spanY * (2 << view.ZoomLevel) <= height)
    ++view.ZoomLevel;
  // Too large for the picture even at 1x: drawn whole at 1x, then scaled down.
  const int drawWidth = std::max(width, spanX);
  const int drawHeight = std::max(height, spanY);
  view.setAreaSize(drawWidth, drawHeight);
  // The canvas starts its rows where the middle of the view's window lands on its own middle.
  Canvas canvas(drawWidth, drawHeight, view.toWindowY(kCenterBoardY) - drawHeight / 2);
  Visibility visibility;
  visibility.grid = false;
  visibility.frame = false;
  BoardRenderer renderer(BoardRenderer::Use::Once);
  renderer.drawBoard(canvas, *board, view, visibility, Selection{});
  QImage image = canvas.image().copy();
  if (drawWidth == width && drawHeight == height) return image;
  return image.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

const LibraryEntry& LibraryCache::entry(const QString& path, bool preview) {
  const QDateTime modified = QFileInfo(path).lastModified();
  auto found = slots_.find(path);
  if (found == slots_.end() || found->modified != modified) {
    Slot slot;
    slot.modified = modified;
    std::string reason;
    slot.entry.readable =
        ReadObjectFile(QFile::encodeName(path).toStdString(), slot.object, reason);
    if (slot.entry.readable) {
      slot.entry.description = slot.object.description.str();
      slot.entry.pinCount = static_cast<int>(slot.object.pins.size());
    } else {
      slot.entry.description = reason;
    }
    found = slots_.insert(path, std::move(slot));
  }
  Slot& slot = *found;
  if (preview && slot.entry.readable && slot.entry.preview.isNull()) {
    slot.entry.preview = drawObjectPreview(slot.object, kPreviewWidth, kPreviewHeight);
    slot.object = ObjectData{};  // the picture is all that is needed of it from now on
  }
  return slot.entry;
}

}  // namespace fw

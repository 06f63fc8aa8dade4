#include "edit/tools/ObjectSelectionTool.h"

#include <QString>
#include <algorithm>

#include "board/Geometry.h"
#include "board/PinnedPoints.h"
#include "edit/tools/ObjectOutline.h"
#include "edit/tools/TextTool.h"
#include "edit/tools/ToolSupport.h"

namespace fw {

namespace {

bool inRange(int row, int first, int count) {
  return row >= first && row < first + count;
}

}  // namespace

int32_t ObjectSelectionTool::objectUnderPointer() {
  const Board& b = ctx_.board;
  const EditorState& s = ctx_.state;
  int text = -1, pin = -1, point = -1;
  for (int32_t i = 0; i < b.TextCount; ++i)
    if (measureText(ctx_, b.TextTable[static_cast<std::size_t>(i)]).contains(s.HitX, s.HitY))
      text = i;
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[static_cast<std::size_t>(i)];
    if (hitsSquare(s, p.x, p.y, pinHitHalfSize(p))) pin = i;
  }
  for (int32_t i = 0; i < b.WirePointCount; ++i) {
    const WirePoint& p = b.WirePointTable[static_cast<std::size_t>(i)];
    if (hitsSquare(s, p.x & kPositionMask, p.y & kPositionMask, pointHitHalfWidth(b, i))) point = i;
  }
  int32_t selected = 0;
  for (int32_t k = 0; k < b.ObjectCount; ++k)
    if (inRange(pin, b.ObjectTable[std::size_t(k)].firstPin,
                b.ObjectTable[std::size_t(k)].pinCount))
      selected = k + 1;
  for (int32_t k = 0; k < b.ObjectCount; ++k)
    if (inRange(point, b.ObjectTable[std::size_t(k)].firstPoint,
                b.ObjectTable[std::size_t(k)].pointCount))
      selected = k + 1;
  for (int32_t k = 0; k < b.ObjectCount; ++k)
    if (inRange(text, b.ObjectTable[std::size_t(k)].firstText,
                b.ObjectTable[std::size_t(k)].textCount))
      selected = k + 1;
  return selected;
}

void ObjectSelectionTool::editObjectPress() {
  EditorState& s = ctx_.state;
  const int32_t selectedBefore = s.SelectedObject;
  s.clearSelections();
  beginHitTest(ctx_);
  s.SelectedObject = objectUnderPointer();
  if (s.SelectedObject > 0) {
    // A description is held in Latin-1, as every text of the files; the panel shows UTF-8, so
    // "10µF" is shown as typed rather than with a replacement character for the 8-bit byte.
    const std::string held =
        ctx_.board.ObjectDescriptions[static_cast<std::size_t>(s.SelectedObject - 1)].str();
    const std::string description =
        QString::fromLatin1(held.data(), qsizetype(held.size())).toStdString();
    ctx_.controls.panel[2] = "Object \"" + description + "\" (#" +
                             std::to_string(s.SelectedObject) +
                             ") selected. Drag Object with Mouse.";
  } else {
    ctx_.controls.panel[2] = "Select Object to Edit";
  }
  if (s.SelectedObject > 0 && s.SelectedObject == selectedBefore) {
    // A second press on the selected object grabs it at the snapped press position.
    armDrag(ctx_, kDragObject, s.SelectedObject - 1);
    s.DragRefX = s.PressX;
    s.DragRefY = s.PressY;
    tracks_.arm(ctx_, ctx_.board.ObjectTable[std::size_t(s.SelectedObject - 1)]);
  } else if (s.SelectedObject != selectedBefore) {
    ctx_.redraw();
  }
}

BoardPoint ObjectSelectionTool::dragOffset(int curX, int curY) const {
  const EditorState& s = ctx_.state;
  const BoardObject& o = ctx_.board.ObjectTable[s.DragIndex];
  const ObjectBox box = wholeObjectBox(ctx_.board, o);
  const int dx = curX - s.DragRefX;
  const int dy = curY - s.DragRefY;
  if (box.maxX < box.minX) return {dx, dy};  // an object with no elements left
  // An object that already lies partly outside (from an older file) is held only where the
  // move would push it further out; clamping to the full range would make it jump, even along
  // an axis the pointer did not move, and for an object wider than the board invert the range.
  return {clampInt(dx, std::min(0, -box.minX), std::max(0, kMaxBoardX - box.maxX)),
          clampInt(dy, std::min(0, -box.minY), std::max(0, kMaxBoardY - box.maxY))};
}

void ObjectSelectionTool::objectDragPreview() {
  EditorState& s = ctx_.state;
  if (s.DragIndex >= ctx_.board.ObjectCount) return;
  const BoardObject& o = ctx_.board.ObjectTable[s.DragIndex];
  const BoardPoint p = ctx_.view.snappedPointer();
  s.DragCurX = static_cast<uint16_t>(p.x);
  s.DragCurY = static_cast<uint16_t>(p.y);
  if (dragPreviewStands(s)) {
    const BoardPoint prev =
        dragOffset(static_cast<int16_t>(s.DragPrevX), static_cast<int16_t>(s.DragPrevY));
    drawObjectOutline(ctx_, o, prev.x, prev.y);
    tracks_.drawMoved(ctx_, prev.x, prev.y);
  }
  const BoardPoint cur = dragOffset(p.x, p.y);
  drawObjectOutline(ctx_, o, cur.x, cur.y);
  tracks_.drawMoved(ctx_, cur.x, cur.y);
  s.DragPrevX = s.DragCurX;
  s.DragPrevY = s.DragCurY;
}

void ObjectSelectionTool::objectRelease() {
  const EditorState& s = ctx_.state;
  const int row = s.SelectedObject - 1;
  if (row >= ctx_.board.ObjectCount || s.DragIndex >= ctx_.board.ObjectCount) return;
  const BoardPoint d =
      dragOffset(static_cast<int16_t>(s.DragCurX), static_cast<int16_t>(s.DragCurY));
  const BoardObject& o = ctx_.board.ObjectTable[static_cast<std::size_t>(row)];
  moveObjectRows(ctx_.board, o, d.x, d.y);
  // Track ends cannot follow a pad that lands off the board (an object lying partly outside,
  // from an older file): then nothing moves.
  if (!pinnedPadsOnBoard(ctx_.board, tracks_.pinned())) {
    moveObjectRows(ctx_.board, o, -d.x, -d.y);
    ctx_.controls.panel[2] = "Object not moved: its tracks would leave the board";
  }
  followPins(ctx_.board, tracks_.pinned());
  tracks_.clear();
  ctx_.redraw();
}

}  // namespace fw

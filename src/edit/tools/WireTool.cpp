#include "edit/tools/WireTool.h"

#include "board/Removal.h"
#include "edit/tools/ToolSupport.h"

namespace fw {

namespace {

bool inAnyObject(const Board& b, int32_t pointRow) {
  for (int32_t i = 0; i < b.ObjectCount; ++i) {
    const BoardObject& o = b.ObjectTable[static_cast<std::size_t>(i)];
    if (pointRow >= o.firstPoint && pointRow < o.firstPoint + o.pointCount) return true;
  }
  return false;
}

}  // namespace

void WireTool::drawWirePress(MouseButton button) {
  if (button == MouseButton::Right) {
    endWire();
  } else if (button == MouseButton::Left) {
    if (ctx_.state.WireLastX == kNoWire)
      startWire();
    else
      addWirePoint();
  }
}

void WireTool::eraseRubberBand() {
  const EditorState& s = ctx_.state;
  if (s.RubberWiped != 0 || s.RubberEndX == kNoWire) return;
  ctx_.canvas.moveTo(s.RubberAnchorX, s.RubberAnchorY);
  ctx_.canvas.lineTo(s.RubberEndX, s.RubberEndY);
}

void WireTool::abandonWire() {
  EditorState& s = ctx_.state;
  s.WireLastX = kNoWire;
  s.WireLastY = kNoWire;
  s.RubberAnchorX = kNoWire;
  s.RubberEndX = kNoWire;
}

void WireTool::endWire() {
  setInvertingPen(ctx_.canvas);
  eraseRubberBand();
  ctx_.controls.cursor = CursorShape::Arrow;
  ctx_.controls.panel[1].clear();
  abandonWire();
  ctx_.controls.panel[2] = "Wire ended. Select new start position";
  // A wire that got no second point leaves nothing behind. A lone start that belongs to a
  // placed object stays: removing it would leave the object's range past the table.
  Board& b = ctx_.board;
  const int32_t last = b.WirePointCount - 1;
  if (last >= 0 && last < kWirePointCapacity &&
      isWireStart(b.WirePointTable[static_cast<std::size_t>(last)]) && !inAnyObject(b, last))
    removeRows(b, ElementTable::WirePoints, last, 1);  // objects after it move down with it
}

void WireTool::startWire() {
  const BoardPoint p = ctx_.view.snappedPointer();
  WirePoint first;
  first.x = static_cast<uint16_t>(p.x + WireStartFlag);
  first.y = static_cast<uint16_t>(p.y + WireStartFlag);
  first.attr = kWireStartAttr;
  if (!ctx_.board.addWirePoint(first)) {
    ctx_.controls.panel[2] = "Wire point table full: point not added";
    return;
  }
  EditorState& s = ctx_.state;
  s.WireLastX = p.x;
  s.WireLastY = p.y;
  ctx_.controls.cursor = CursorShape::Cross;
  ctx_.controls.panel[2] = "Select Next Position or Right Mousebutton to Stop.";
  const WindowPoint anchor = ctx_.view.toWindow(p.x, p.y);
  s.RubberAnchorX = anchor.x;
  s.RubberAnchorY = anchor.y;
  ctx_.canvas.moveTo(anchor.x, anchor.y);
}

void WireTool::addWirePoint() {
  if (ctx_.board.WirePointCount >= kWirePointCapacity) {
    ctx_.controls.panel[2] = "Wire point table full: point not added";
    return;
  }
  EditorState& s = ctx_.state;
  Canvas& c = ctx_.canvas;
  setInvertingPen(c);
  eraseRubberBand();
  c.moveTo(s.RubberAnchorX, s.RubberAnchorY);

  const BoardPoint p = ctx_.view.snappedPointer();
  s.WireLastX = p.x;
  s.WireLastY = p.y;
  const int layer = clampInt(ctx_.controls.layer.index, 0, kLayerCount - 1);
  const int width = clampInt(ctx_.controls.wireSize.index, 0, kWireWidths - 1);
  WirePoint point;
  point.x = static_cast<uint16_t>(p.x);
  point.y = static_cast<uint16_t>(p.y);
  point.attr = static_cast<uint8_t>(layer * 16 + width);
  ctx_.board.addWirePoint(point);

  // The new segment is drawn at once in merge mode, like the full redraw draws wires.
  c.setPenColor(colors::layerColor(layer));
  c.setRasterMode(RasterMode::Merge);
  c.setPenWidth(WireWidthPixels[width][ctx_.view.zoomColumn()]);
  const WindowPoint anchor = ctx_.view.toWindow(p.x, p.y);
  s.RubberAnchorX = anchor.x;
  s.RubberAnchorY = anchor.y;
  s.RubberEndX = kNoWire;
  c.lineTo(anchor.x, anchor.y);
  c.setPenWidth(1);
}

void WireTool::moveRubberBand() {
  EditorState& s = ctx_.state;
  Canvas& c = ctx_.canvas;
  eraseRubberBand();
  s.RubberWiped = 0;
  const BoardPoint p = ctx_.view.snappedPointer();
  const WindowPoint end = ctx_.view.toWindow(p.x, p.y);
  s.RubberEndX = end.x;
  s.RubberEndY = end.y;
  // The anchor is worked out again from the last row, so that it follows scrolling, zooming and
  // the removal of the last point.
  const int32_t last = ctx_.board.WirePointCount - 1;
  if (last >= 0 && last < kWirePointCapacity) {
    const WirePoint& row = ctx_.board.WirePointTable[static_cast<std::size_t>(last)];
    const WindowPoint anchor = ctx_.view.toWindow(row.x & kPositionMask, row.y & kPositionMask);
    s.RubberAnchorX = anchor.x;
    s.RubberAnchorY = anchor.y;
  }
  c.moveTo(s.RubberAnchorX, s.RubberAnchorY);
  c.lineTo(s.RubberEndX, s.RubberEndY);
  c.moveTo(s.RubberAnchorX, s.RubberAnchorY);
}

}  // namespace fw

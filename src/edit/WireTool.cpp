// Draw Wire: a new wire point by point, with a rubber band from the last point to the pointer;
// the right button ends the wire.
#include "edit/Editor.h"

namespace fw {

void Editor::drawWirePress(MouseButton button) {
  if (button == MouseButton::Right) {
    endWire();
  } else if (button == MouseButton::Left) {
    if (state_.WireLastX == kNoWire)
      startWire();
    else
      addWirePoint();
  }
}

// The rubber band is drawn from the anchor to its free end; drawn again it is gone. Nothing is
// erased when no band stands on screen or a RedrawBoard has painted over it.
void Editor::eraseRubberBand() {
  if (state_.RubberWiped != 0 || state_.RubberEndX == kNoWire) return;
  canvas_.moveTo(state_.RubberAnchorX, state_.RubberAnchorY);
  canvas_.lineTo(state_.RubberEndX, state_.RubberEndY);
}

void Editor::endWire() {
  setInvertingPen();
  eraseRubberBand();
  controls_.cursor = CursorShape::Arrow;
  controls_.panel[1].clear();
  state_.WireLastX = kNoWire;
  state_.WireLastY = kNoWire;
  state_.RubberAnchorX = kNoWire;
  state_.RubberEndX = kNoWire;
  controls_.panel[2] = "Wire ended. Select new start position";
  // A wire that got no second point leaves nothing behind.
  const int32_t last = board_->WirePointCount - 1;
  if (last >= 0 && last < kWirePointCapacity &&
      isWireStart(board_->WirePointTable[static_cast<std::size_t>(last)]))
    board_->WirePointCount = last;
}

void Editor::startWire() {
  const BoardPoint p = view_.snappedPointer();
  WirePoint first;
  first.x = static_cast<uint16_t>(p.x + WireStartFlag);
  first.y = static_cast<uint16_t>(p.y + WireStartFlag);
  first.attr = kWireStartAttr;
  if (!board_->addWirePoint(first)) {
    controls_.panel[2] = "Wire point table full: point not added";
    return;
  }
  state_.WireLastX = p.x;
  state_.WireLastY = p.y;
  controls_.cursor = CursorShape::Cross;
  controls_.panel[2] = "Select Next Position or Right Mousebutton to Stop.";
  const WindowPoint anchor = view_.toWindow(p.x, p.y);
  state_.RubberAnchorX = anchor.x;
  state_.RubberAnchorY = anchor.y;
  canvas_.moveTo(anchor.x, anchor.y);
}

void Editor::addWirePoint() {
  if (board_->WirePointCount >= kWirePointCapacity) {
    controls_.panel[2] = "Wire point table full: point not added";
    return;
  }
  setInvertingPen();
  eraseRubberBand();
  const int oldAnchorX = state_.RubberAnchorX;
  const int oldAnchorY = state_.RubberAnchorY;
  canvas_.moveTo(oldAnchorX, oldAnchorY);

  const BoardPoint p = view_.snappedPointer();
  state_.WireLastX = p.x;
  state_.WireLastY = p.y;
  const int layer = clampInt(controls_.layer.index, 0, kLayerCount - 1);
  const int width = clampInt(controls_.wireSize.index, 0, kWireWidths - 1);
  WirePoint point;
  point.x = static_cast<uint16_t>(p.x);
  point.y = static_cast<uint16_t>(p.y);
  point.attr = static_cast<uint8_t>(layer * 16 + width);
  board_->addWirePoint(point);

  // The new segment is drawn at once in merge mode, like the full redraw draws wires.
  canvas_.setPenColor(colors::layerColor(layer));
  canvas_.setRasterMode(RasterMode::Merge);
  canvas_.setPenWidth(WireWidthPixels[width][clampInt(view_.ZoomLevel, 0, kZoomLevels - 1)]);
  const WindowPoint anchor = view_.toWindow(p.x, p.y);
  state_.RubberAnchorX = anchor.x;
  state_.RubberAnchorY = anchor.y;
  state_.RubberEndX = kNoWire;
  canvas_.lineTo(anchor.x, anchor.y);
  canvas_.setPenWidth(1);
}

void Editor::moveRubberBand() {
  eraseRubberBand();
  state_.RubberWiped = 0;
  const BoardPoint p = view_.snappedPointer();
  const WindowPoint end = view_.toWindow(p.x, p.y);
  state_.RubberEndX = end.x;
  state_.RubberEndY = end.y;
  // The anchor is worked out again from the last row, so that it follows scrolling, zooming and
  // the removal of the last point.
  const int32_t last = board_->WirePointCount - 1;
  if (last >= 0 && last < kWirePointCapacity) {
    const WirePoint& row = board_->WirePointTable[static_cast<std::size_t>(last)];
    const WindowPoint anchor = view_.toWindow(row.x & kPositionMask, row.y & kPositionMask);
    state_.RubberAnchorX = anchor.x;
    state_.RubberAnchorY = anchor.y;
  }
  canvas_.moveTo(state_.RubberAnchorX, state_.RubberAnchorY);
  canvas_.lineTo(state_.RubberEndX, state_.RubberEndY);
  canvas_.moveTo(state_.RubberAnchorX, state_.RubberAnchorY);
}

}  // namespace fw

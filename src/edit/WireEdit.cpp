// Edit Wires: selecting a wire point, highlighting its segment or its whole wire, dragging the
// point, the Wire Size and Active Layer lists and the Line Methods pop-up.
#include "edit/Editor.h"

namespace fw {

namespace {

uint16_t clampedBoardX(int x) {
  return static_cast<uint16_t>(clampInt(x, 0, kMaxBoardX));
}
uint16_t clampedBoardY(int y) {
  return static_cast<uint16_t>(clampInt(y, 0, kMaxBoardY));
}

constexpr uint16_t kFlagBits = 0xC000;

}  // namespace

// The segment of a point ends at the point itself, or for a wire start at the row after it.
// -1 when there is no such segment: a wire start with no second point, or a row with nothing
// before it.
int Editor::wireSegmentEnd(int row) const {
  const int32_t count = board_->WirePointCount;
  if (row < 0 || row >= count) return -1;
  const auto& t = board_->WirePointTable;
  int e = row;
  if (isWireStart(t[static_cast<std::size_t>(row)])) {
    e = row + 1;
    if (e >= count || isWireStart(t[static_cast<std::size_t>(e)])) return -1;
  }
  return e >= 1 ? e : -1;
}

int Editor::wireStartOf(int row) const {
  const auto& t = board_->WirePointTable;
  while (row > 0 && !isWireStart(t[static_cast<std::size_t>(row)])) --row;
  return row;
}

// Visits every point of the row's wire after its start, in order.
template <typename Visit>
void Editor::forEachPointOfWire(int row, Visit visit) const {
  const auto& t = board_->WirePointTable;
  for (int k = wireStartOf(row) + 1;
       k < board_->WirePointCount && !isWireStart(t[static_cast<std::size_t>(k)]); ++k)
    visit(k);
}

// Half a point's width in board units (the 1x column of the pixel widths is also the width in
// board units); a first row drawn with attr 255 belongs to no segment and has none.
int Editor::halfWireWidth(int row) const {
  const uint8_t attr = board_->WirePointTable[static_cast<std::size_t>(row)].attr;
  if (attr == kWireStartAttr) return 0;
  return WireWidthPixels[clampInt(wireWidthIndex(attr), 0, kWireWidths - 1)][0] / 2;
}

void Editor::editWiresPress() {
  state_.HitFound = 0;
  const BoardPoint hit = view_.unsnappedPointer();
  state_.HitX = hit.x;
  state_.HitY = hit.y;
  const int32_t selectedBefore = state_.SelectedPoint;
  const auto& t = board_->WirePointTable;
  const int32_t count = board_->WirePointCount;

  // Only the points are tested, each against half the width of the wider of the two segments
  // that meet there; the last point hit wins.
  for (int32_t i = 0; i < count; ++i) {
    const WirePoint& point = t[static_cast<std::size_t>(i)];
    const bool nextIsSegment = i + 1 < count && !isWireStart(t[static_cast<std::size_t>(i + 1)]);
    int h = halfWireWidth(isWireStart(point) && nextIsSegment ? i + 1 : i);
    if (nextIsSegment &&
        wireWidthIndex(t[static_cast<std::size_t>(i + 1)].attr) > wireWidthIndex(point.attr))
      h = halfWireWidth(i + 1);
    const int x = point.x & kPositionMask;
    const int y = point.y & kPositionMask;
    if (state_.HitX < x - h || state_.HitX > x + h || state_.HitY < y - h || state_.HitY > y + h)
      continue;

    state_.HitFound = 1;
    if (i + 1 == selectedBefore) {
      // A second press on the selected point grabs it.
      armDrag(kDragPoint, i);
    }
    if (state_.SelectedPoint > 0) unhighlightPoint(state_.SelectedPoint - 1);
    controls_.panel[2] = "Wire selected. Drag Wire with mouse.";
    state_.SelectedPoint = i + 1;
    highlightPoint(i);
    showPointInLists(i);
  }

  if (state_.HitFound == 0 && state_.SelectedPoint > 0) {
    controls_.panel[2] = "Select Wire to Edit";
    state_.SelectedPoint = 0;
    RedrawBoard();
  }
}

// The marker is asked for apart from the row, as the full repaint asks: a row above 16383 added
// to the no-marker bit would be read as a lower row.
void Editor::highlightPoint(int row) {
  if (row < 0 || row >= board_->WirePointCount) return;
  if (controls_.selectCompleteWire) {
    forEachPointOfWire(
        row, [this](int k) { renderer_.DrawSelectedSegment(canvas_, *board_, view_, k, false); });
  }
  renderer_.DrawSelectedSegment(canvas_, *board_, view_, row, true);
}

void Editor::unhighlightPoint(int row) {
  if (row < 0 || row >= board_->WirePointCount) return;
  if (controls_.selectCompleteWire)
    forEachPointOfWire(row, [this](int k) { DrawNormalSegment(k); });
  else
    DrawNormalSegment(row);
}

// Removes a highlight by drawing the point's segment as the board shows it, in copy mode; a
// segment of a hidden layer is left out.
void Editor::DrawNormalSegment(int row) {
  const int e = wireSegmentEnd(row);
  if (e < 0) return;
  const WirePoint& from = board_->WirePointTable[static_cast<std::size_t>(e - 1)];
  const WirePoint& to = board_->WirePointTable[static_cast<std::size_t>(e)];
  const int layer = wireLayer(to.attr);
  if (layer >= kLayerCount) return;
  const int width = clampInt(wireWidthIndex(to.attr), 0, kWireWidths - 1);
  canvas_.setPenStyle(PenStyle::Solid);
  canvas_.setRasterMode(RasterMode::Copy);
  canvas_.setPenColor(colors::layerColor(layer));
  canvas_.setPenWidth(WireWidthPixels[width][clampInt(view_.ZoomLevel, 0, kZoomLevels - 1)]);
  canvas_.moveTo(view_.toWindowX(from.x & kPositionMask), view_.toWindowY(from.y & kPositionMask));
  if (controls_.showLayer[static_cast<std::size_t>(layer)])
    canvas_.lineTo(view_.toWindowX(to.x & kPositionMask), view_.toWindowY(to.y & kPositionMask));
  canvas_.setPenWidth(1);
}

// The lists show the width and layer of the point's segment.
void Editor::showPointInLists(int row) {
  int source = wireSegmentEnd(row);
  if (source < 0) source = row;
  const uint8_t attr = board_->WirePointTable[static_cast<std::size_t>(source)].attr;
  if (attr == kWireStartAttr) return;
  controls_.wireSize.index = clampInt(wireWidthIndex(attr), 0, kWireWidths - 1);
  controls_.layer.index = clampInt(wireLayer(attr), 0, kLayerCount - 1);
}

// The one or two segments that meet at the dragged point, stretched to (atX, atY).
void Editor::drawPointPreviewLines(int atX, int atY) {
  const int32_t count = board_->WirePointCount;
  const int idx = state_.DragIndex;
  if (idx >= count) return;
  const auto& t = board_->WirePointTable;
  if (idx >= 1 && !isWireStart(t[static_cast<std::size_t>(idx)])) {
    const WirePoint& a = t[static_cast<std::size_t>(idx - 1)];
    canvas_.moveTo(view_.toWindowX(a.x & kPositionMask), view_.toWindowY(a.y & kPositionMask));
    canvas_.lineTo(atX, atY);
  }
  if (idx + 1 < count && !isWireStart(t[static_cast<std::size_t>(idx + 1)])) {
    const WirePoint& b = t[static_cast<std::size_t>(idx + 1)];
    canvas_.moveTo(view_.toWindowX(b.x & kPositionMask), view_.toWindowY(b.y & kPositionMask));
    canvas_.lineTo(atX, atY);
  }
}

void Editor::pointDragPreview() {
  stepDragPreview(&Editor::drawPointPreviewLines);
}

void Editor::pointRelease() {
  const BoardPoint r = view_.snappedPointer();
  const bool samePlace =
      static_cast<uint16_t>(r.x) == state_.PressX && static_cast<uint16_t>(r.y) == state_.PressY;
  const int row = state_.SelectedPoint - 1;
  if (samePlace || row >= board_->WirePointCount) {
    setInvertingPen();
    drawPointPreviewLines(static_cast<int16_t>(state_.DragPrevX),
                          static_cast<int16_t>(state_.DragPrevY));
    state_.DragPrevX = kNoPreview;
    return;
  }
  // The flag bits of x travel with the point into both coordinates, so a wire start stays a
  // start; a release beyond the board area puts the point on the nearest edge of it.
  WirePoint& point = board_->WirePointTable[static_cast<std::size_t>(row)];
  const auto flags = static_cast<uint16_t>(point.x & kFlagBits);
  point.x = static_cast<uint16_t>(clampedBoardX(r.x) + flags);
  point.y = static_cast<uint16_t>(clampedBoardY(r.y) + flags);
  RedrawBoard();
}

// Sets the bits of the selected segment's attr outside keepMask to newBits, or of every segment
// of the selected wire in complete-wire mode. A wire's first row is never touched.
void Editor::changeSelectedWireAttr(uint8_t keepMask, uint8_t newBits) {
  const int row = state_.SelectedPoint - 1;
  if (row >= board_->WirePointCount) return;
  auto change = [&](int k) {
    uint8_t& attr = board_->WirePointTable[static_cast<std::size_t>(k)].attr;
    attr = static_cast<uint8_t>((attr & keepMask) | newBits);
  };
  if (controls_.selectCompleteWire) {
    forEachPointOfWire(row, change);
  } else {
    const int e = wireSegmentEnd(row);
    if (e >= 0) change(e);
  }
  RedrawBoard();
}

void Editor::WireChange(int widthIndex) {
  controls_.wireSize.index = clampInt(widthIndex, 0, kWireWidths - 1);
  controls_.panel[2] = "WireSize Changed";
  if (toolIs(Tool::EditWires) && state_.SelectedPoint > 0)
    changeSelectedWireAttr(0xF0, static_cast<uint8_t>(controls_.wireSize.index));
}

void Editor::ComboBox3Change(int layerIndex) {
  controls_.layer.index = clampInt(layerIndex, 0, kLayerCount - 1);
  controls_.panel[2] = "Active Layer Changed";
  if (toolIs(Tool::EditText) && state_.SelectedText > 0) activeLayerChangedForText();
  if (toolIs(Tool::EditWires) && state_.SelectedPoint > 0)
    changeSelectedWireAttr(0x0F, static_cast<uint8_t>(controls_.layer.index * 16));
}

// While a point is selected the user may switch between segment and split mode but not in or
// out of complete-wire mode; with nothing selected all three are offered.
void Editor::BitBtn9Click() {
  controls_.selectSegmentOnlyEnabled = true;
  controls_.selectCompleteWireEnabled = true;
  controls_.splitWireEnabled = true;
  if (state_.SelectedPoint > 0 && (controls_.selectSegmentOnly || controls_.splitWire))
    controls_.selectCompleteWireEnabled = false;
  if (state_.SelectedPoint > 0 && controls_.selectCompleteWire) {
    controls_.selectSegmentOnlyEnabled = false;
    controls_.splitWireEnabled = false;
  }
  host_.showLineMethodsMenu();
}

// The three items check themselves and uncheck the others; a disabled item does nothing.
void Editor::segClick() {
  if (!controls_.selectSegmentOnlyEnabled) return;
  controls_.selectSegmentOnly = true;
  controls_.selectCompleteWire = false;
  controls_.splitWire = false;
}

void Editor::compClick() {
  if (!controls_.selectCompleteWireEnabled) return;
  controls_.selectSegmentOnly = false;
  controls_.selectCompleteWire = true;
  controls_.splitWire = false;
}

void Editor::SplClick() {
  if (!controls_.splitWireEnabled) return;
  controls_.selectSegmentOnly = false;
  controls_.selectCompleteWire = false;
  controls_.splitWire = true;
}

}  // namespace fw

#include "edit/tools/WireEditTool.h"

#include "board/Geometry.h"
#include "edit/tools/ToolSupport.h"

namespace fw {

namespace {
constexpr uint16_t kFlagBits = 0xC000;
}  // namespace

template <typename Visit>
void WireEditTool::forEachPointOfWire(int row, Visit visit) const {
  const WireRows w = wireOf(ctx_.board, row);
  for (int k = w.start + 1; k < w.end; ++k) visit(k);
}

void WireEditTool::editWiresPress() {
  EditorState& s = ctx_.state;
  beginHitTest(ctx_);
  const int32_t selectedBefore = s.SelectedPoint;

  // Only the points are tested, each against half the width of the wider of the two segments
  // that meet there; the last point hit wins.
  for (int32_t i = 0; i < ctx_.board.WirePointCount; ++i) {
    const WirePoint& point = ctx_.board.WirePointTable[static_cast<std::size_t>(i)];
    if (!hitsSquare(s, point.x & kPositionMask, point.y & kPositionMask,
                    pointHitHalfWidth(ctx_.board, i)))
      continue;

    s.HitFound = 1;
    // A second press on the selected point grabs it.
    if (i + 1 == selectedBefore) armDrag(ctx_, kDragPoint, i);
    if (s.SelectedPoint > 0) unhighlightPoint(s.SelectedPoint - 1);
    ctx_.controls.panel[2] = "Wire selected. Drag Wire with mouse.";
    s.SelectedPoint = i + 1;
    highlightPoint(i);
    showPointInLists(i);
  }

  if (s.HitFound == 0 && s.SelectedPoint > 0) {
    ctx_.controls.panel[2] = "Select Wire to Edit";
    s.SelectedPoint = 0;
    ctx_.redraw();
  }
}

// The marker is asked for apart from the row, as the full repaint asks: a row above 16383 added
// to the no-marker bit would be read as a lower row.
void WireEditTool::highlightPoint(int row) {
  if (row < 0 || row >= ctx_.board.WirePointCount) return;
  BoardRenderer& r = ctx_.renderer;
  if (ctx_.controls.selectCompleteWire) {
    forEachPointOfWire(
        row, [&](int k) { r.DrawSelectedSegment(ctx_.canvas, ctx_.board, ctx_.view, k, false); });
  }
  r.DrawSelectedSegment(ctx_.canvas, ctx_.board, ctx_.view, row, true);
}

void WireEditTool::unhighlightPoint(int row) {
  if (row < 0 || row >= ctx_.board.WirePointCount) return;
  if (ctx_.controls.selectCompleteWire)
    forEachPointOfWire(row, [this](int k) { DrawNormalSegment(k); });
  else
    DrawNormalSegment(row);
}

// Removes a highlight by drawing the point's segment as the board shows it, in copy mode; a
// segment of a hidden layer is left out.
void WireEditTool::DrawNormalSegment(int row) {
  const int e = wireSegmentEnd(ctx_.board, row);
  if (e < 0) return;
  const WirePoint& from = ctx_.board.WirePointTable[static_cast<std::size_t>(e - 1)];
  const WirePoint& to = ctx_.board.WirePointTable[static_cast<std::size_t>(e)];
  const int layer = wireLayer(to.attr);
  if (layer >= kLayerCount) return;
  const int width = clampInt(wireWidthIndex(to.attr), 0, kWireWidths - 1);
  const View& v = ctx_.view;
  Canvas& c = ctx_.canvas;
  c.setPenStyle(PenStyle::Solid);
  c.setRasterMode(RasterMode::Copy);
  c.setPenColor(colors::layerColor(layer));
  c.setPenWidth(WireWidthPixels[width][v.zoomColumn()]);
  c.moveTo(v.toWindowX(from.x & kPositionMask), v.toWindowY(from.y & kPositionMask));
  if (ctx_.controls.showLayer[static_cast<std::size_t>(layer)])
    c.lineTo(v.toWindowX(to.x & kPositionMask), v.toWindowY(to.y & kPositionMask));
  c.setPenWidth(1);
}

// The lists show the width and layer of the point's segment.
void WireEditTool::showPointInLists(int row) {
  int source = wireSegmentEnd(ctx_.board, row);
  if (source < 0) source = row;
  const uint8_t attr = ctx_.board.WirePointTable[static_cast<std::size_t>(source)].attr;
  if (attr == kWireStartAttr) return;
  ctx_.controls.wireSize.index = clampInt(wireWidthIndex(attr), 0, kWireWidths - 1);
  ctx_.controls.layer.index = clampInt(wireLayer(attr), 0, kLayerCount - 1);
}

// The one or two segments that meet at the dragged point, stretched to (atX, atY).
void WireEditTool::drawPointPreviewLines(int atX, int atY) {
  const int32_t count = ctx_.board.WirePointCount;
  const int idx = ctx_.state.DragIndex;
  if (idx >= count) return;
  const auto& t = ctx_.board.WirePointTable;
  const View& v = ctx_.view;
  Canvas& c = ctx_.canvas;
  if (idx >= 1 && !isWireStart(t[static_cast<std::size_t>(idx)])) {
    const WirePoint& a = t[static_cast<std::size_t>(idx - 1)];
    c.moveTo(v.toWindowX(a.x & kPositionMask), v.toWindowY(a.y & kPositionMask));
    c.lineTo(atX, atY);
  }
  if (idx + 1 < count && !isWireStart(t[static_cast<std::size_t>(idx + 1)])) {
    const WirePoint& b = t[static_cast<std::size_t>(idx + 1)];
    c.moveTo(v.toWindowX(b.x & kPositionMask), v.toWindowY(b.y & kPositionMask));
    c.lineTo(atX, atY);
  }
}

void WireEditTool::pointDragPreview() {
  stepDragPreview(ctx_, [this](int x, int y) { drawPointPreviewLines(x, y); });
}

void WireEditTool::pointRelease() {
  const BoardPoint r = ctx_.view.snappedPointer();
  const int row = ctx_.state.SelectedPoint - 1;
  if (releasedWherePressed(ctx_) || row >= ctx_.board.WirePointCount) {
    erasePreview(ctx_, [this](int x, int y) { drawPointPreviewLines(x, y); });
    return;
  }
  // The flag bits of x travel with the point into both coordinates, so a wire start stays a
  // start; a release beyond the board area puts the point on the nearest edge of it.
  WirePoint& point = ctx_.board.WirePointTable[static_cast<std::size_t>(row)];
  const auto flags = static_cast<uint16_t>(point.x & kFlagBits);
  point.x = static_cast<uint16_t>(clampToBoardX(r.x) + flags);
  point.y = static_cast<uint16_t>(clampToBoardY(r.y) + flags);
  ctx_.redraw();
}

// Sets the bits of the selected segment's attr outside keepMask to newBits, or of every segment
// of the selected wire in complete-wire mode. A wire's first row is never touched.
void WireEditTool::changeSelectedWireAttr(uint8_t keepMask, uint8_t newBits) {
  const int row = ctx_.state.SelectedPoint - 1;
  if (row >= ctx_.board.WirePointCount) return;
  auto change = [&](int k) {
    uint8_t& attr = ctx_.board.WirePointTable[static_cast<std::size_t>(k)].attr;
    attr = static_cast<uint8_t>((attr & keepMask) | newBits);
  };
  if (ctx_.controls.selectCompleteWire) {
    forEachPointOfWire(row, change);
  } else {
    const int e = wireSegmentEnd(ctx_.board, row);
    if (e >= 0) change(e);
  }
  ctx_.redraw();
}

void WireEditTool::WireChange(int widthIndex) {
  Controls& c = ctx_.controls;
  c.wireSize.index = clampInt(widthIndex, 0, kWireWidths - 1);
  c.panel[2] = "WireSize Changed";
  if (ctx_.toolIs(Tool::EditWires) && ctx_.state.SelectedPoint > 0)
    changeSelectedWireAttr(0xF0, static_cast<uint8_t>(c.wireSize.index));
}

void WireEditTool::activeLayerChangedForWire() {
  if (ctx_.toolIs(Tool::EditWires) && ctx_.state.SelectedPoint > 0)
    changeSelectedWireAttr(0x0F, static_cast<uint8_t>(ctx_.controls.layer.index * 16));
}

// While a point is selected the user may switch between segment and split mode but not in or
// out of complete-wire mode; with nothing selected all three are offered.
void WireEditTool::BitBtn9Click() {
  Controls& c = ctx_.controls;
  const bool selected = ctx_.state.SelectedPoint > 0;
  c.selectSegmentOnlyEnabled = true;
  c.selectCompleteWireEnabled = true;
  c.splitWireEnabled = true;
  if (selected && (c.selectSegmentOnly || c.splitWire)) c.selectCompleteWireEnabled = false;
  if (selected && c.selectCompleteWire) {
    c.selectSegmentOnlyEnabled = false;
    c.splitWireEnabled = false;
  }
  ctx_.host.showLineMethodsMenu();
}

// The three items check themselves and uncheck the others; a disabled item does nothing.
void WireEditTool::segClick() {
  checkLineMethod(ctx_.controls.selectSegmentOnlyEnabled, LineMethod::Segment);
}

void WireEditTool::compClick() {
  checkLineMethod(ctx_.controls.selectCompleteWireEnabled, LineMethod::CompleteWire);
}

void WireEditTool::SplClick() {
  checkLineMethod(ctx_.controls.splitWireEnabled, LineMethod::Split);
}

void WireEditTool::checkLineMethod(bool enabled, LineMethod method) {
  if (!enabled) return;
  Controls& c = ctx_.controls;
  c.selectSegmentOnly = method == LineMethod::Segment;
  c.selectCompleteWire = method == LineMethod::CompleteWire;
  c.splitWire = method == LineMethod::Split;
}

}  // namespace fw

#include "edit/tools/HighlightTool.h"

#include <algorithm>
#include <cstdlib>

#include "board/Geometry.h"
#include "edit/tools/ToolSupport.h"
#include "fab/TextBox.h"

namespace fw {

namespace {

// The island's own colour, apart from the layer colours and the yellow of a selection.
const QColor kConnectionColor(0, 255, 255);

// Whether (hx, hy) lies within `half` of the segment a-b, in board units.
bool nearSegment(int hx, int hy, int ax, int ay, int bx, int by, int half) {
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((hx - ax) * dx + (hy - ay) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = ax + t * dx - hx, ey = ay + t * dy - hy;
  return ex * ex + ey * ey <= double(half) * half;
}

}  // namespace

HighlightTool::~HighlightTool() = default;

const Connectivity& HighlightTool::connectivity(ConnectivityDetail detail) {
  const Board& b = ctx_.board;
  // The counts guard against a change that reached the board without passing the editor.
  if (!connectivity_ || builtAt_ != generation_ || builtPins_ != b.PinCount ||
      builtPoints_ != b.WirePointCount || builtTexts_ != b.TextCount ||
      (detail == ConnectivityDetail::IslandsAndEnds && builtDetail_ != detail)) {
    connectivity_ = std::make_unique<Connectivity>(
        b,
        [](const TextItem& t) {
          const GerberTextBox box = gerberTextBox(t);
          return TextExtent{box.width, box.height};
        },
        detail);
    builtAt_ = generation_;
    builtDetail_ = detail;
    builtPins_ = b.PinCount;
    builtPoints_ = b.WirePointCount;
    builtTexts_ = b.TextCount;
  }
  return *connectivity_;
}

CopperItem HighlightTool::itemAtPointer() {
  beginHitTest(ctx_);
  const EditorState& s = ctx_.state;
  const Board& b = ctx_.board;
  // The pads first, the last one hit winning as in Edit Pins; then the tracks along their length.
  CopperItem hit;
  for (int i = 0; i < b.PinCount && i < kPinCapacity; ++i) {
    const Pin& pin = b.PinTable[std::size_t(i)];
    if (hitsSquare(s, pin.x, pin.y, pinHitHalfSize(pin))) hit = {CopperKind::Pad, i};
  }
  if (hit.row >= 0) return hit;
  const int n = std::min<int>(b.WirePointCount, kWirePointCapacity);
  for (int i = 1; i < n; ++i) {
    const WirePoint& p = b.WirePointTable[std::size_t(i)];
    if (isWireStart(p)) continue;
    const WirePoint& q = b.WirePointTable[std::size_t(i - 1)];
    const int half = std::max(pointHitHalfWidth(b, i), 1);
    if (nearSegment(s.HitX, s.HitY, q.x & kPositionMask, q.y & kPositionMask, p.x & kPositionMask,
                    p.y & kPositionMask, half))
      hit = {CopperKind::Track, i};
  }
  return hit;
}

void HighlightTool::highlightPress() {
  const CopperItem item = itemAtPointer();
  const bool wasShown = clear();
  std::string& status = ctx_.controls.panel[2];
  const Connectivity& conn = connectivity();
  const int id = item.row < 0                   ? -1
                 : item.kind == CopperKind::Pad ? conn.islandOfPin(item.row)
                                                : conn.islandOfWirePoint(item.row);
  if (id < 0) {
    status = "No pad or track here";
    if (wasShown) ctx_.redraw();
    return;
  }
  island_ = conn.island(id);
  shown_ = true;
  shownAt_ = generation_;
  status = "Connected: " + std::to_string(island_.pins.size()) + " pads, " +
           std::to_string(island_.segments.size()) + " segments";
  ctx_.redraw();
}

bool HighlightTool::clear() {
  const bool was = shown_;
  shown_ = false;
  island_ = Island{};
  return was;
}

void HighlightTool::drawHighlight() {
  if (!shown_) return;
  if (shownAt_ != generation_) {
    clear();  // the rows may name other copper now
    return;
  }
  Canvas& c = ctx_.canvas;
  const Board& b = ctx_.board;
  const View& v = ctx_.view;
  const int z = v.zoomColumn();
  c.setRasterMode(RasterMode::Copy);
  c.setPenStyle(PenStyle::Solid);
  c.setPenColor(kConnectionColor);
  for (int row : island_.segments) {
    if (row < 1 || row >= b.WirePointCount || row >= kWirePointCapacity) continue;
    const WirePoint& p = b.WirePointTable[std::size_t(row)];
    const WirePoint& q = b.WirePointTable[std::size_t(row - 1)];
    c.setPenWidth(WireWidthPixels[std::min(wireWidthIndex(p.attr), kWireWidths - 1)][z]);
    c.moveTo(v.toWindowX(q.x & kPositionMask), v.toWindowY(q.y & kPositionMask));
    c.lineTo(v.toWindowX(p.x & kPositionMask), v.toWindowY(p.y & kPositionMask));
  }
  c.setPenWidth(1);
  for (int row : island_.pins) {
    if (row < 0 || row >= b.PinCount || row >= kPinCapacity) continue;
    c.setPenColor(kConnectionColor);
    c.setBrushColor(kConnectionColor);
    c.setBrushStyle(BrushStyle::Solid);
    ctx_.renderer.DrawPin(c, b, v, row);
  }
}

}  // namespace fw

#include "edit/tools/ObjectOutline.h"

#include "edit/tools/ToolSupport.h"

namespace fw {

BoardObject floatingRows(const Board& board, const EditorState& s) {
  return rowsPastCounts(board, s.FloatPinCount, s.FloatPointCount, s.FloatTextCount);
}

void drawObjectOutline(EditContext& ctx, const BoardObject& o, int a, int b) {
  Canvas& c = ctx.canvas;
  const View& v = ctx.view;
  const Board& board = ctx.board;
  setInvertingPen(c);
  c.setPenColor(colors::kPad);
  c.setBrushStyle(BrushStyle::Clear);
  forEachRow(o.firstPoint, o.pointCount, kWirePointCapacity, [&](std::size_t k) {
    const WirePoint& p = board.WirePointTable[k];
    const auto x = static_cast<uint16_t>(p.x + a);
    const auto y = static_cast<uint16_t>(p.y + b);
    const int xw = v.toWindowX(x & kPositionMask);
    const int yw = v.toWindowY(y & kPositionMask);
    if (x > kPositionMask) {
      c.moveTo(xw, yw);
    } else {
      c.setPenWidth(
          WireWidthPixels[clampInt(wireWidthIndex(p.attr), 0, kWireWidths - 1)][v.zoomColumn()]);
      c.lineTo(xw, yw);
    }
  });
  c.setPenWidth(1);
  const bool graphicShown = ctx.controls.showLayer[kGraphic];
  forEachRow(o.firstPin, o.pinCount, kPinCapacity, [&](std::size_t k) {
    const Pin& p = board.PinTable[k];
    if (isGraphicPin(p) && !graphicShown) return;
    const int xw = v.toWindowX(static_cast<uint16_t>(p.x + a));
    const int yw = v.toWindowY(static_cast<uint16_t>(p.y + b));
    ctx.renderer.DrawPinShape(c, p, v, xw, yw);
    c.setBrushStyle(BrushStyle::Clear);
  });
  c.setPenWidth(1);
}

}  // namespace fw

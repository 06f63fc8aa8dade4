#include "edit/tools/TextTool.h"

#include <QString>
#include <algorithm>

#include "board/Geometry.h"
#include "edit/tools/ToolSupport.h"

namespace fw {

namespace {

constexpr const char* kNewText = "Text";
constexpr int kNewTextSize = 10;
constexpr uint16_t kTextLayerBits = 0xF000;

TextItem& textAt(Board& b, int row) {
  return b.TextTable[static_cast<std::size_t>(row)];
}

}  // namespace

ScreenTextExtent measureText(EditContext& ctx, const TextItem& t) {
  const int f = ctx.view.zoomFactor();
  ctx.canvas.setFontPointSize((t.size & 63) * f / 5);
  const std::string s = t.text.str();
  const QSize e = ctx.canvas.textExtent(QString::fromLatin1(s.data(), qsizetype(s.size())));
  ScreenTextExtent x;
  x.width = e.width();
  x.height = e.height();
  const int hw = x.width / (2 * f);
  const int hh = x.height / (2 * f);
  x.left = textX(t) - hw;
  x.right = x.left + x.width / f;
  x.top = t.y - hh;
  x.bottom = x.top + x.height / f;
  return x;
}

void TextTool::createTextPress() {
  Board& b = ctx_.board;
  if (b.TextCount >= kTextCapacity) {
    ctx_.controls.panel[2] = "Text table full: text not created";
    return;
  }
  const BoardPoint p = ctx_.view.snappedPointer();
  TextItem& row = textAt(b, b.TextCount);
  row.y = static_cast<uint16_t>(p.y);
  row.x =
      static_cast<uint16_t>(clampInt(ctx_.controls.layer.index, 0, kLayerCount - 1) * 4096 + p.x);
  ctx_.state.TextOptionsTarget = 0;
  runTextOptions();
  ctx_.redraw();
}

void TextTool::showTextOptionsForSelectedText() {
  runTextOptions();
}

void TextTool::runTextOptions() {
  Board& b = ctx_.board;
  const int target = ctx_.state.TextOptionsTarget;
  if (target > b.TextCount) return;
  std::string text = kNewText;
  int size = kNewTextSize;
  if (target > 0) {
    text = textAt(b, target - 1).text.str();
    size = textAt(b, target - 1).size & 63;
  }
  if (!ctx_.host.editTextOptions(text, size)) return;
  if (text.empty()) text = "*";
  // A new text takes the free row whose position the press wrote.
  const int row = target > 0 ? target - 1 : b.TextCount;
  if (row >= kTextCapacity) return;
  TextItem& t = textAt(b, row);
  t.size = static_cast<uint8_t>(std::clamp(size, kMinTextSize, kMaxTextSize));
  t.text.set(text);
  if (target == 0) ++b.TextCount;
}

void TextTool::editTextPress() {
  EditorState& s = ctx_.state;
  Board& b = ctx_.board;
  const int32_t selectedBefore = s.SelectedText;
  beginHitTest(ctx_);
  int hit = -1;
  // Every text is tested and the last one hit wins, the most recently created.
  for (int32_t i = 0; i < b.TextCount; ++i) {
    const TextItem& t = textAt(b, i);
    const ScreenTextExtent e = measureText(ctx_, t);
    if (!e.contains(s.HitX, s.HitY)) continue;
    hit = i;
    s.HitFound = 1;
    s.DragRefX = static_cast<uint16_t>(e.width / 2);
    s.DragRefY = static_cast<uint16_t>(e.height / 2);
    ctx_.controls.layer.index = clampInt(textLayer(t), 0, kLayerCount - 1);
    ctx_.controls.panel[2] =
        "Text Selected. Drag Text with Mouse or Press Right Button for TextOptions.";
  }

  if (hit < 0) {
    ctx_.controls.panel[2] = "Select Text to Edit.";
    if (s.SelectedText > 0) {
      s.SelectedText = 0;
      ctx_.redraw();
    }
    return;
  }
  s.SelectedText = hit + 1;
  if (s.SelectedText == selectedBefore) {
    // A second press on the selected text grabs it; its outline appears with the first move.
    armDrag(ctx_, kDragText, hit);
  } else {
    ctx_.redraw();
  }
}

BoardPoint TextTool::movedCentre(const TextItem& t, int curX, int curY) const {
  const int x = textX(t) - ctx_.state.PressX + curX;
  const int y = (t.y & 4095) - ctx_.state.PressY + curY;
  return {clampToBoardX(x), clampToBoardY(y)};
}

// The outline stands for the text while it is dragged: a rectangle of the size measured at the
// press around the centre's window position.
void TextTool::drawOutline(int boardX, int boardY) {
  const WindowPoint w = ctx_.view.toWindow(boardX, boardY);
  const int rx = ctx_.state.DragRefX;
  const int ry = ctx_.state.DragRefY;
  ctx_.canvas.rectangle(w.x - rx, w.y - ry, w.x + rx, w.y + ry);
}

void TextTool::textDragPreview() {
  EditorState& s = ctx_.state;
  const int row = s.SelectedText - 1;
  if (row < 0 || row >= ctx_.board.TextCount) return;
  const TextItem& t = textAt(ctx_.board, row);
  const BoardPoint p = ctx_.view.snappedPointer();
  s.DragCurX = static_cast<uint16_t>(p.x);
  s.DragCurY = static_cast<uint16_t>(p.y);
  setInvertingPen(ctx_.canvas);
  ctx_.canvas.setPenColor(colors::kPad);
  ctx_.canvas.setBrushStyle(BrushStyle::Clear);
  if (dragPreviewStands(s)) {
    const BoardPoint prev =
        movedCentre(t, static_cast<int16_t>(s.DragPrevX), static_cast<int16_t>(s.DragPrevY));
    drawOutline(prev.x, prev.y);
  }
  const BoardPoint cur =
      movedCentre(t, static_cast<int16_t>(s.DragCurX), static_cast<int16_t>(s.DragCurY));
  drawOutline(cur.x, cur.y);
  s.DragPrevX = s.DragCurX;
  s.DragPrevY = s.DragCurY;
}

// The text moves by the difference of two snapped positions and keeps its layer bits.
void TextTool::textRelease() {
  EditorState& s = ctx_.state;
  const int row = s.SelectedText - 1;
  if (row >= ctx_.board.TextCount) return;
  TextItem& t = textAt(ctx_.board, row);
  const BoardPoint c =
      movedCentre(t, static_cast<int16_t>(s.DragCurX), static_cast<int16_t>(s.DragCurY));
  t.x = static_cast<uint16_t>((t.x & kTextLayerBits) | c.x);
  t.y = static_cast<uint16_t>(c.y);
  ctx_.redraw();
}

void TextTool::activeLayerChangedForText() {
  const int row = ctx_.state.SelectedText - 1;
  if (!ctx_.toolIs(Tool::EditText) || row < 0 || row >= ctx_.board.TextCount) return;
  TextItem& t = textAt(ctx_.board, row);
  t.x = static_cast<uint16_t>(ctx_.controls.layer.index * 4096 + textX(t));
  ctx_.redraw();
}

}  // namespace fw

#include "edit/tools/PinTool.h"

#include "board/Geometry.h"
#include "board/PinnedPoints.h"
#include "edit/tools/ToolSupport.h"

namespace fw {

namespace {

BoardObject onePin(int row) {
  BoardObject o;
  o.firstPin = static_cast<uint16_t>(row);
  o.pinCount = 1;
  return o;
}

}  // namespace

void PinTool::createPinPress() {
  const BoardPoint p = ctx_.view.snappedPointer();
  Pin pin;
  pin.x = static_cast<uint16_t>(p.x);
  pin.y = static_cast<uint16_t>(p.y);
  pin.style = ctx_.controls.graphicPin
                  ? GraphicPinFlag
                  : static_cast<uint8_t>(clampInt(ctx_.controls.pinStyle.index, 0, 2));
  pin.sizeIndex = static_cast<uint8_t>(clampInt(ctx_.controls.pinSize.index, 0, kPinSizes - 1));
  if (!ctx_.board.addPin(pin)) {
    ctx_.controls.panel[2] = "Pin table full: pin not created";
    return;
  }
  ctx_.controls.panel[2] = "New Pin created";
  drawPinNormal(ctx_.board.PinCount - 1);
}

void PinTool::editPinsPress() {
  EditorState& s = ctx_.state;
  beginHitTest(ctx_);
  const int32_t selectedBefore = s.SelectedPin;

  // Every pin is tested and the last one hit wins, the most recently created.
  for (int32_t i = 0; i < ctx_.board.PinCount; ++i) {
    const Pin& pin = ctx_.board.PinTable[static_cast<std::size_t>(i)];
    if (!hitsSquare(s, pin.x, pin.y, pinHitHalfSize(pin))) continue;
    s.HitFound = 1;
    if (i + 1 == selectedBefore) {
      // A second press on the selected pin grabs it.
      armDrag(ctx_, kDragPin, i);
      s.DragRadius = pinDragRadius(ctx_.board, i, ctx_.view.ZoomLevel);
      tracks_.arm(ctx_, onePin(i));
    }
    if (s.SelectedPin > 0) drawPinNormal(s.SelectedPin - 1);
    ctx_.controls.panel[2] = "Pin selected. Drag Pin with mouse.";
    s.SelectedPin = i + 1;
    drawPinSelected(i);
    showPinInLists(i);
  }

  if (s.HitFound == 0 && s.SelectedPin > 0) {
    ctx_.controls.panel[2] = "Select Pin to Edit";
    drawPinNormal(s.SelectedPin - 1);
    s.SelectedPin = 0;
  }
}

// The lists show the selected pin; a graphic pin cannot change its style, so the style list
// shows "Circle" and is disabled.
void PinTool::showPinInLists(int row) {
  const Pin& pin = ctx_.board.PinTable[static_cast<std::size_t>(row)];
  Controls& c = ctx_.controls;
  c.pinSize.index = clampInt(pin.sizeIndex, 0, kPinSizes - 1);
  if (isGraphicPin(pin)) {
    c.pinStyle.index = 0;
    c.pinStyle.enabled = false;
  } else {
    c.pinStyle.index = clampInt(pin.style, 0, 2);
    c.pinStyle.enabled = true;
  }
}

// A pad is drawn white, a graphic pin's ring purple.
void PinTool::drawPinNormal(int row) {
  if (row < 0 || row >= ctx_.board.PinCount) return;
  const bool graphic = isGraphicPin(ctx_.board.PinTable[static_cast<std::size_t>(row)]);
  drawPinIn(row, graphic ? colors::layerColor(kGraphic) : colors::kPad);
}

void PinTool::drawPinSelected(int row) {
  if (row < 0 || row >= ctx_.board.PinCount) return;
  drawPinIn(row, colors::kHighlight);
}

// Pen and brush in the colour; a graphic pin's ring sets its own brush.
void PinTool::drawPinIn(int row, const QColor& colour) {
  Canvas& c = ctx_.canvas;
  c.setPenColor(colour);
  c.setBrushColor(colour);
  c.setPenStyle(PenStyle::Solid);
  c.setBrushStyle(BrushStyle::Solid);
  c.setPenWidth(1);
  ctx_.renderer.DrawPin(c, ctx_.board, ctx_.view, row);
}

// Drawn twice at the same place the preview leaves nothing.
void PinTool::drawPinPreview(int centreX, int centreY) {
  const int r = ctx_.state.DragRadius;
  ctx_.canvas.ellipse(centreX - r, centreY - r, centreX + r, centreY + r);
  tracks_.drawTo(ctx_, centreX, centreY);
}

void PinTool::pinDragPreview() {
  stepDragPreview(ctx_, [this](int x, int y) { drawPinPreview(x, y); });
}

void PinTool::pinRelease(int windowY) {
  const BoardPoint r = ctx_.view.snappedPointer();
  const int row = ctx_.state.SelectedPin - 1;
  // A release over the toolbar moves nothing.
  if (releasedWherePressed(ctx_) || windowY <= kBoardAreaTop || row >= ctx_.board.PinCount) {
    ctx_.canvas.setBrushStyle(BrushStyle::Clear);
    erasePreview(ctx_, [this](int x, int y) { drawPinPreview(x, y); });
    tracks_.clear();
    return;
  }
  // A release beyond the board area puts the pin on the nearest edge of it; the track ends on
  // its centre go with it when Drag Connected Tracks is on.
  Pin& pin = ctx_.board.PinTable[static_cast<std::size_t>(row)];
  pin.x = clampToBoardX(r.x);
  pin.y = clampToBoardY(r.y);
  followPins(ctx_.board, tracks_.pinned());
  tracks_.clear();
  ctx_.redraw();
}

int PinTool::editedPinRow() const {
  const int row = ctx_.state.SelectedPin - 1;
  if (!ctx_.toolIs(Tool::EditPins) || ctx_.state.SelectedPin <= 0 || row >= ctx_.board.PinCount)
    return -1;
  return row;
}

void PinTool::SizeChange(int sizeIndex) {
  ctx_.controls.pinSize.index = clampInt(sizeIndex, 0, kPinSizes - 1);
  ctx_.controls.panel[2] = "Pin Size Changed";
  const int row = editedPinRow();
  if (row < 0) return;
  ctx_.board.PinTable[static_cast<std::size_t>(row)].sizeIndex =
      static_cast<uint8_t>(ctx_.controls.pinSize.index);
  ctx_.redraw();
  ctx_.refreshPinDragRadius();
}

void PinTool::ComboBox2Change(int styleIndex) {
  ctx_.controls.pinStyle.index = clampInt(styleIndex, 0, 2);
  ctx_.controls.panel[2] = "Pin Style Changed";
  const int row = editedPinRow();
  if (row < 0) return;
  Pin& pin = ctx_.board.PinTable[static_cast<std::size_t>(row)];
  // The list is disabled while a graphic pin is selected: a graphic pin keeps its style.
  if (isGraphicPin(pin)) return;
  pin.style = static_cast<uint8_t>(ctx_.controls.pinStyle.index);
  ctx_.redraw();
}

void PinTool::BitBtn10Click() {
  ctx_.host.showDotMethodsMenu();
}

void PinTool::NormalClick() {
  ctx_.controls.normalPin = true;
  ctx_.controls.graphicPin = false;
  ctx_.controls.pinStyle.enabled = true;
}

void PinTool::outlClick() {
  ctx_.controls.normalPin = false;
  ctx_.controls.graphicPin = true;
  ctx_.controls.pinStyle.index = 0;
  ctx_.controls.pinStyle.enabled = false;
}

}  // namespace fw

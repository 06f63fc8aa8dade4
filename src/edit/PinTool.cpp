// Create Pin and Edit Pins: placing pins, selecting them, dragging them to a new grid position,
// the Pin Size and Pin Style lists and the Dot Methods pop-up.
#include "edit/Editor.h"

namespace fw {

namespace {

const QColor kGraphicPinPen(128, 0, 128);

int sizeColumn(const Pin& pin) {
  return clampInt(pin.sizeIndex, 0, kPinSizes - 1);
}

// Half the pad's diameter in board units (the 1x column of the pixel sizes is also the size in
// board units), doubled for a graphic pin.
int hitHalfSize(const Pin& pin) {
  const int h = PinSizePixels[sizeColumn(pin)][0] / 2;
  return pin.style == GraphicPinFlag ? 2 * h : h;
}

uint16_t clampedBoardX(int x) {
  return static_cast<uint16_t>(clampInt(x, 0, kMaxBoardX));
}
uint16_t clampedBoardY(int y) {
  return static_cast<uint16_t>(clampInt(y, 0, kMaxBoardY));
}

}  // namespace

void Editor::createPinPress() {
  const BoardPoint p = view_.snappedPointer();
  Pin pin;
  pin.x = static_cast<uint16_t>(p.x);
  pin.y = static_cast<uint16_t>(p.y);
  pin.style = controls_.graphicPin ? GraphicPinFlag
                                   : static_cast<uint8_t>(clampInt(controls_.pinStyle.index, 0, 2));
  pin.sizeIndex = static_cast<uint8_t>(clampInt(controls_.pinSize.index, 0, kPinSizes - 1));
  if (!board_->addPin(pin)) {
    controls_.panel[2] = "Pin table full: pin not created";
    return;
  }
  controls_.panel[2] = "New Pin created";
  drawPinNormal(board_->PinCount - 1);
}

void Editor::editPinsPress() {
  state_.HitFound = 0;
  const BoardPoint hit = view_.unsnappedPointer();
  state_.HitX = hit.x;
  state_.HitY = hit.y;
  const int32_t selectedBefore = state_.SelectedPin;

  // Every pin is tested and the last one hit wins, the most recently created.
  for (int32_t i = 0; i < board_->PinCount; ++i) {
    const Pin& pin = board_->PinTable[static_cast<std::size_t>(i)];
    const int h = hitHalfSize(pin);
    if (state_.HitX < pin.x - h || state_.HitX > pin.x + h || state_.HitY < pin.y - h ||
        state_.HitY > pin.y + h)
      continue;
    state_.HitFound = 1;
    if (i + 1 == selectedBefore) {
      // A second press on the selected pin grabs it.
      armDrag(kDragPin, i);
      state_.DragRadius = pinDragRadius(i);
    }
    if (state_.SelectedPin > 0) drawPinNormal(state_.SelectedPin - 1);
    controls_.panel[2] = "Pin selected. Drag Pin with mouse.";
    state_.SelectedPin = i + 1;
    drawPinSelected(i);
    showPinInLists(i);
  }

  if (state_.HitFound == 0 && state_.SelectedPin > 0) {
    controls_.panel[2] = "Select Pin to Edit";
    drawPinNormal(state_.SelectedPin - 1);
    state_.SelectedPin = 0;
  }
}

// The lists show the selected pin; a graphic pin cannot change its style, so the style list
// shows "Circle" and is disabled.
void Editor::showPinInLists(int row) {
  const Pin& pin = board_->PinTable[static_cast<std::size_t>(row)];
  controls_.pinSize.index = sizeColumn(pin);
  if (isGraphicPin(pin)) {
    controls_.pinStyle.index = 0;
    controls_.pinStyle.enabled = false;
  } else {
    controls_.pinStyle.index = clampInt(pin.style, 0, 2);
    controls_.pinStyle.enabled = true;
  }
}

// The preview circle: half the pad's pixel diameter, the full diameter for a graphic pin, which
// is drawn at double size.
uint16_t Editor::pinDragRadius(int row) const {
  if (row < 0 || row >= board_->PinCount) return 0;
  const Pin& pin = board_->PinTable[static_cast<std::size_t>(row)];
  const int d = PinSizePixels[sizeColumn(pin)][clampInt(view_.ZoomLevel, 0, kZoomLevels - 1)];
  return static_cast<uint16_t>(isGraphicPin(pin) ? d : d / 2);
}

void Editor::drawPinNormal(int row) {
  if (row < 0 || row >= board_->PinCount) return;
  const Pin& pin = board_->PinTable[static_cast<std::size_t>(row)];
  if (isGraphicPin(pin)) {
    canvas_.setPenColor(kGraphicPinPen);
  } else {
    canvas_.setPenColor(colors::kPad);
    canvas_.setBrushColor(colors::kPad);
  }
  canvas_.setPenStyle(PenStyle::Solid);
  canvas_.setBrushStyle(BrushStyle::Solid);
  canvas_.setPenWidth(1);
  renderer_.DrawPin(canvas_, *board_, view_, row);
}

void Editor::drawPinSelected(int row) {
  if (row < 0 || row >= board_->PinCount) return;
  canvas_.setPenColor(colors::kHighlight);
  canvas_.setBrushColor(colors::kHighlight);
  canvas_.setPenStyle(PenStyle::Solid);
  canvas_.setBrushStyle(BrushStyle::Solid);
  canvas_.setPenWidth(1);
  renderer_.DrawPin(canvas_, *board_, view_, row);
}

// The circle that follows the pointer while a pin is dragged; drawn twice it leaves nothing.
void Editor::drawPinPreviewCircle(int centreX, int centreY) {
  const int r = state_.DragRadius;
  canvas_.ellipse(centreX - r, centreY - r, centreX + r, centreY + r);
}

void Editor::pinDragPreview() {
  stepDragPreview(&Editor::drawPinPreviewCircle);
}

void Editor::pinRelease(int windowY) {
  const BoardPoint r = view_.snappedPointer();
  const bool samePlace =
      static_cast<uint16_t>(r.x) == state_.PressX && static_cast<uint16_t>(r.y) == state_.PressY;
  const int row = state_.SelectedPin - 1;
  // A release over the toolbar (window y up to 60) moves nothing.
  if (samePlace || windowY <= 60 || row >= board_->PinCount) {
    setInvertingPen();
    canvas_.setBrushStyle(BrushStyle::Clear);
    drawPinPreviewCircle(static_cast<int16_t>(state_.DragPrevX),
                         static_cast<int16_t>(state_.DragPrevY));
    state_.DragPrevX = kNoPreview;
    return;
  }
  // A release beyond the board area puts the pin on the nearest edge of it.
  Pin& pin = board_->PinTable[static_cast<std::size_t>(row)];
  pin.x = clampedBoardX(r.x);
  pin.y = clampedBoardY(r.y);
  RedrawBoard();
}

void Editor::SizeChange(int sizeIndex) {
  controls_.pinSize.index = clampInt(sizeIndex, 0, kPinSizes - 1);
  controls_.panel[2] = "Pin Size Changed";
  const int row = state_.SelectedPin - 1;
  if (!toolIs(Tool::EditPins) || state_.SelectedPin <= 0 || row >= board_->PinCount) return;
  board_->PinTable[static_cast<std::size_t>(row)].sizeIndex =
      static_cast<uint8_t>(controls_.pinSize.index);
  RedrawBoard();
  // An armed drag keeps its preview circle the size of the pin.
  if (state_.DragKind == kDragPin) state_.DragRadius = pinDragRadius(state_.DragIndex);
}

void Editor::ComboBox2Change(int styleIndex) {
  controls_.pinStyle.index = clampInt(styleIndex, 0, 2);
  controls_.panel[2] = "Pin Style Changed";
  const int row = state_.SelectedPin - 1;
  if (!toolIs(Tool::EditPins) || state_.SelectedPin <= 0 || row >= board_->PinCount) return;
  Pin& pin = board_->PinTable[static_cast<std::size_t>(row)];
  // The list is disabled while a graphic pin is selected: a graphic pin keeps its style.
  if (isGraphicPin(pin)) return;
  pin.style = static_cast<uint8_t>(controls_.pinStyle.index);
  RedrawBoard();
}

void Editor::BitBtn10Click() {
  host_.showDotMethodsMenu();
}

void Editor::NormalClick() {
  controls_.normalPin = true;
  controls_.graphicPin = false;
  controls_.pinStyle.enabled = true;
}

void Editor::outlClick() {
  controls_.normalPin = false;
  controls_.graphicPin = true;
  controls_.pinStyle.index = 0;
  controls_.pinStyle.enabled = false;
}

}  // namespace fw

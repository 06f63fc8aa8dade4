// The eight tools and the three pointer handlers. Each handler runs its steps and the per-tool
// blocks in a fixed order; the blocks themselves live in one file per tool.
#include <cstdlib>
#include <string>

#include "edit/Editor.h"
#include "edit/PointerReadout.h"

namespace fw {

namespace {

// What choosing a tool does to the status bar, the cursor and the other controls.
struct ToolSettings {
  Tool tool;
  const char* message;
  CursorShape cursor;
  bool deleteButton;  // BitBtn5
  bool cutObject;     // CutObject1
  bool lineMethods;   // BitBtn8
  bool dotMethods;    // BitBtn10
  bool pinStyle;      // ComboBox2
  bool pinSize;       // Size
  bool wireSize;      // wire
  bool rotate;        // Rotate1
  bool grid;          // ComboBox4
};

constexpr CursorShape kCross = CursorShape::Cross;
constexpr CursorShape kArrow = CursorShape::Arrow;

const ToolSettings kToolSettings[] = {
    {Tool::CreatePin, "Place Pin", kCross, false, false, false, true, true, true, false, false,
     true},
    {Tool::EditPins, "Click on Object to edit", kArrow, true, true, false, false, true, true, false,
     false, true},
    {Tool::DrawWire, "Select start position for Wire", kArrow, true, true, false, false, false,
     false, true, false, true},
    {Tool::EditWires, "Click on Wire to edit", kArrow, true, true, true, false, false, false, true,
     false, true},
    {Tool::CreateText, "Place Text", kArrow, false, false, false, false, false, false, false, false,
     true},
    {Tool::EditText, "Select Text to Edit.", kArrow, true, true, false, false, false, false, false,
     false, true},
    {Tool::EditObject, "Select Object to Edit", kArrow, true, true, false, false, false, false,
     false, true, true},
    {Tool::Pan, "Select pan position", kCross, false, false, false, false, false, false, false,
     false, false},
};

const ToolSettings& settingsFor(Tool tool) {
  for (const ToolSettings& s : kToolSettings)
    if (s.tool == tool) return s;
  return kToolSettings[0];
}

}  // namespace

void Editor::selectTool(Tool tool) {
  const ToolSettings& s = settingsFor(tool);
  controls_.tool = s.tool;
  if (state_.Placing) abandonPlacement();
  // A rubber band left on screen would otherwise stay there, frozen, until the next repaint.
  setInvertingPen();
  eraseRubberBand();
  state_.RubberEndX = kNoWire;
  if (state_.anythingSelected()) {
    state_.clearSelections();
    RedrawBoard();
  }
  if (tool == Tool::DrawWire) {
    // A wire in progress is abandoned; its points stay in the table.
    state_.WireLastX = kNoWire;
    state_.WireLastY = kNoWire;
    state_.RubberAnchorX = kNoWire;
    state_.RubberEndX = kNoWire;
  }
  controls_.panel[2] = s.message;
  controls_.cursor = s.cursor;
  controls_.deleteButton = s.deleteButton;
  controls_.cutObject = s.cutObject;
  controls_.lineMethods = s.lineMethods;
  controls_.dotMethods = s.dotMethods;
  controls_.pinStyle.enabled = s.pinStyle;
  controls_.pinSize.enabled = s.pinSize;
  controls_.wireSize.enabled = s.wireSize;
  controls_.rotate = s.rotate;
  controls_.grid.enabled = s.grid;
}

// The floating object's preview is erased by drawing it once more where it stands; the rows it
// occupied past the ends of the tables are simply not used again.
void Editor::abandonPlacement() {
  state_.FloatX = 0;
  state_.FloatMoved = false;
  updateFloatingObject();
  state_.Placing = false;
  state_.FloatX = 0;
}

void Editor::MouseDown(MouseButton button) {
  const bool left = button == MouseButton::Left;
  const bool right = button == MouseButton::Right;

  // A right press on a selected text opens its options, wherever the pointer is.
  if (right && state_.SelectedText > 0) {
    state_.TextOptionsTarget = state_.SelectedText;
    showTextOptionsForSelectedText();
    state_.DragKind = kDragNone;
    RedrawBoard();
  }

  const BoardPoint p = view_.snappedPointer();
  if (!View::acceptsPosition(p.x, p.y)) return;

  if (right && state_.Placing) {
    controls_.panel[2] = "Select Object to Edit";
    abandonPlacement();
  }

  board_->SavedFlag = false;

  if (toolIs(Tool::CreateText)) createTextPress();
  if (toolIs(Tool::EditObject) && state_.Placing) placeObjectPress(button);
  if (toolIs(Tool::DrawWire)) drawWirePress(button);
  if (toolIs(Tool::Pan)) panPress();
  if (toolIs(Tool::EditObject) && left && board_->ObjectCount > 0 && !state_.Placing)
    editObjectPress();
  if (toolIs(Tool::EditText) && left) editTextPress();
  if (toolIs(Tool::EditPins) && left) editPinsPress();
  if (toolIs(Tool::EditWires) && left) editWiresPress();
  if (toolIs(Tool::CreatePin)) createPinPress();
}

void Editor::mousemove(int x, int y) {
  view_.PointerX = x;
  view_.PointerY = y;
  state_.FloatMoved = false;

  // The previews do not look at the tool: DragKind is set only between a press that armed a
  // drag and the next release.
  if (state_.DragKind == kDragText) {
    textDragPreview();
  } else if (state_.DragKind == kDragObject) {
    objectDragPreview();
  } else if (state_.DragKind == kDragPoint) {
    pointDragPreview();
  } else if (state_.DragKind == kDragPin) {
    pinDragPreview();
  }

  setInvertingPen();
  if (state_.RubberAnchorX != kNoWire && toolIs(Tool::DrawWire)) moveRubberBand();

  showPointerReadout();
  if (state_.WireLastX < kNoWire) showSegmentReadout();

  if (!state_.FollowSuspended) updateFloatingObject();
}

void Editor::FormMouseUp(MouseButton button, int y) {
  const bool left = button == MouseButton::Left;
  if (dragPreviewStands() && state_.DragKind == kDragPin && toolIs(Tool::EditPins) &&
      state_.SelectedPin > 0 && left)
    pinRelease(y);
  if (dragPreviewStands() && state_.DragKind == kDragPoint && toolIs(Tool::EditWires) &&
      state_.SelectedPoint > 0 && left)
    pointRelease();
  if (dragPreviewStands() && state_.DragKind == kDragObject && toolIs(Tool::EditObject) &&
      state_.SelectedObject > 0 && left)
    objectRelease();
  if (dragPreviewStands() && state_.DragKind == kDragText && toolIs(Tool::EditText) &&
      state_.SelectedText > 0 && left)
    textRelease();
  state_.DragKind = kDragNone;
}

// A second press on the selected item arms its drag at the snapped press position; nothing is
// on screen yet.
void Editor::armDrag(uint16_t kind, int row) {
  const BoardPoint press = view_.snappedPointer();
  state_.DragKind = kind;
  state_.PressX = static_cast<uint16_t>(press.x);
  state_.PressY = static_cast<uint16_t>(press.y);
  state_.DragIndex = static_cast<uint16_t>(row);
  state_.DragPrevX = kNoPreview;
}

// One preview step of a pin or wire point drag: the preview belongs at the window position of
// the snapped pointer; the old one is erased by drawing it again, then the new one is drawn.
void Editor::stepDragPreview(void (Editor::*draw)(int, int)) {
  const BoardPoint p = view_.snappedPointer();
  const WindowPoint w = view_.toWindow(p.x, p.y);
  state_.DragCurX = static_cast<uint16_t>(w.x);
  state_.DragCurY = static_cast<uint16_t>(w.y);
  setInvertingPen();
  canvas_.setBrushStyle(BrushStyle::Clear);
  if (dragPreviewStands())
    (this->*draw)(static_cast<int16_t>(state_.DragPrevX), static_cast<int16_t>(state_.DragPrevY));
  (this->*draw)(static_cast<int16_t>(state_.DragCurX), static_cast<int16_t>(state_.DragCurY));
  state_.DragPrevX = state_.DragCurX;
  state_.DragPrevY = state_.DragCurY;
}

// A preview stands on screen unless nothing was drawn since the press or the last RedrawBoard.
// Preview positions are 16-bit; a preview partly left of or above the drawing area has a
// negative position, which still counts as standing.
bool Editor::dragPreviewStands() const {
  return state_.DragPrevX != kNoPreview;
}

void Editor::setInvertingPen() {
  canvas_.setPenStyle(PenStyle::Solid);
  canvas_.setPenWidth(1);
  canvas_.setRasterMode(RasterMode::Invert);
}

void Editor::showPointerReadout() {
  const BoardPoint u = view_.unsnappedPointer();
  controls_.panel[0] = pointerReadoutText(u.x, u.y);
}

void Editor::showSegmentReadout() {
  const BoardPoint s = view_.snappedPointer();
  controls_.panel[1] = segmentReadoutText(s.x - state_.WireLastX, s.y - state_.WireLastY);
}

}  // namespace fw

// The eight tools and the three pointer handlers. Each handler runs its steps and the per-tool
// blocks in a fixed order; the blocks themselves live in one class per tool.
#include "edit/Editor.h"
#include "edit/PointerReadout.h"
#include "edit/ToolSettings.h"
#include "edit/tools/ToolSupport.h"

namespace fw {

void Editor::selectTool(Tool tool) {
  controls_.tool = tool;
  if (state_.Placing) placement_.abandonPlacement();
  // A rubber band left on screen would otherwise stay there, frozen, until the next repaint.
  setInvertingPen(canvas_);
  wires_.eraseRubberBand();
  state_.RubberEndX = kNoWire;
  if (state_.anythingSelected()) {
    state_.clearSelections();
    RedrawBoard();
  }
  if (tool == Tool::DrawWire) wires_.abandonWire();
  if (highlight_.clear()) RedrawBoard();
  applyToolControls(controls_, tool);
}

void Editor::MouseDown(MouseButton button) {
  const bool left = button == MouseButton::Left;
  const bool right = button == MouseButton::Right;
  auto toolIs = [this](Tool t) { return controls_.tool == t; };

  // A right press on a selected text opens its options, wherever the pointer is.
  if (right && state_.SelectedText > 0) {
    state_.TextOptionsTarget = state_.SelectedText;
    texts_.showTextOptionsForSelectedText();
    state_.DragKind = kDragNone;
    RedrawBoard();
  }

  const BoardPoint p = view_.snappedPointer();
  if (!View::acceptsPosition(p.x, p.y)) return;

  if (right && state_.Placing) endPlacement();

  // Highlight Connection only looks at the board, so its press leaves the board saved.
  if (!toolIs(Tool::HighlightConnection)) history_.markUnsaved();

  // A placing press whose reload fails ends the placement; that press must not go on to select
  // the copy it has just put down, so the selection block asks whether the press began placing.
  const bool placing = state_.Placing;
  if (toolIs(Tool::CreateText)) texts_.createTextPress();
  if (toolIs(Tool::EditObject) && state_.Placing) placement_.placeObjectPress(button);
  if (toolIs(Tool::DrawWire)) wires_.drawWirePress(button);
  if (toolIs(Tool::Pan)) pan_.panPress();
  if (toolIs(Tool::EditObject) && left && board_->ObjectCount > 0 && !placing)
    objectSelection_.editObjectPress();
  if (toolIs(Tool::EditText) && left) texts_.editTextPress();
  if (toolIs(Tool::EditPins) && left) pins_.editPinsPress();
  if (toolIs(Tool::EditWires) && left) wireEdit_.editWiresPress();
  if (toolIs(Tool::CreatePin)) pins_.createPinPress();
  if (toolIs(Tool::HighlightConnection) && left) highlight_.highlightPress();
}

void Editor::endPlacement() {
  controls_.panel[2] = "Select Object to Edit";
  placement_.abandonPlacement();
}

// Escape takes the steps a right press takes to stop a wire or a placement. It has no position,
// so it needs no board-area test, runs no other tool's block and leaves SavedFlag alone; with no
// wire in progress it leaves Draw Wire as it is. It also puts out a highlighted connection.
void Editor::escapePressed() {
  if (highlight_.clear()) RedrawBoard();
  if (state_.Placing) endPlacement();
  if (controls_.tool == Tool::DrawWire && state_.WireLastX != kNoWire)
    wires_.drawWirePress(MouseButton::Right);
}

void Editor::mousemove(int x, int y) {
  view_.PointerX = x;
  view_.PointerY = y;
  state_.FloatMoved = false;

  // The previews do not look at the tool: DragKind is set only between a press that armed a
  // drag and the next release.
  if (state_.DragKind == kDragText) {
    texts_.textDragPreview();
  } else if (state_.DragKind == kDragObject) {
    objectSelection_.objectDragPreview();
  } else if (state_.DragKind == kDragPoint) {
    wireEdit_.pointDragPreview();
  } else if (state_.DragKind == kDragPin) {
    pins_.pinDragPreview();
  }

  setInvertingPen(canvas_);
  if (state_.RubberAnchorX != kNoWire && controls_.tool == Tool::DrawWire) wires_.moveRubberBand();

  showPointerReadout();
  if (state_.WireLastX < kNoWire) showSegmentReadout();

  if (!state_.FollowSuspended) placement_.updateFloatingObject();
}

void Editor::FormMouseUp(MouseButton button, int y) {
  // A release drops the item whose drag a press armed, when a preview stands on screen, its
  // tool is still the active one, it is still selected and the left button was released.
  auto drops = [&](uint16_t kind, Tool tool, int32_t selected) {
    return dragPreviewStands(state_) && state_.DragKind == kind && controls_.tool == tool &&
           selected > 0 && button == MouseButton::Left;
  };
  if (drops(kDragPin, Tool::EditPins, state_.SelectedPin)) pins_.pinRelease(y);
  if (drops(kDragPoint, Tool::EditWires, state_.SelectedPoint)) wireEdit_.pointRelease();
  if (drops(kDragObject, Tool::EditObject, state_.SelectedObject)) objectSelection_.objectRelease();
  if (drops(kDragText, Tool::EditText, state_.SelectedText)) texts_.textRelease();
  state_.DragKind = kDragNone;
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

#include "edit/commands/DeleteCommand.h"

#include "board/Geometry.h"
#include "board/Removal.h"
#include "edit/tools/ToolSupport.h"

namespace fw {

namespace {

WirePoint& pointAt(Board& b, int row) {
  return b.WirePointTable[static_cast<std::size_t>(row)];
}

}  // namespace

void DeleteCommand::DeleteSelection() {
  endDrag();
  const EditorState& s = ctx_.state;
  const Controls& c = ctx_.controls;
  if (ctx_.toolIs(Tool::EditObject)) {
    if (s.SelectedObject == 0)
      ctx_.controls.panel[2] = "No Object Selected";
    else
      deleteObject();
  }
  if (ctx_.toolIs(Tool::EditWires)) {
    if (s.SelectedPoint == 0) ctx_.controls.panel[2] = "No Wire Selected";
    if (s.SelectedPoint > 0 && c.selectCompleteWire) deleteCompleteWire();
    if (s.SelectedPoint > 0 && c.selectSegmentOnly) deleteWireSegment();
    if (s.SelectedPoint > 0 && c.splitWire) splitWire();
  }
  if (ctx_.toolIs(Tool::DrawWire)) takeBackWirePoint();
  if (ctx_.toolIs(Tool::EditText)) {
    if (s.SelectedText == 0)
      ctx_.controls.panel[2] = "No Text Selected";
    else
      deleteText();
  }
  if (ctx_.toolIs(Tool::EditPins)) {
    if (s.SelectedPin == 0)
      ctx_.controls.panel[2] = "No Object Selected";
    else
      deletePin();
  }
}

// Del works while the button is still held. A drag armed before the deletion would go on with
// whatever moved into its row: the preview would follow that element and the release would move
// it. So every Delete ends the drag and repaints over a preview that stands on screen.
void DeleteCommand::endDrag() {
  EditorState& s = ctx_.state;
  if (s.DragKind == kDragNone) return;
  s.DragKind = kDragNone;
  if (dragPreviewStands(s)) ctx_.redraw();
}

void DeleteCommand::done(const char* message) {
  ctx_.redraw();
  ctx_.controls.panel[2] = message;
}

void DeleteCommand::deleteObject() {
  removeObject(ctx_.board, ctx_.state.SelectedObject - 1);
  ctx_.state.SelectedObject = 0;
  done("Object Deleted");
}

// The whole wire of the selected point; a wire of three rows or more only after a Yes.
void DeleteCommand::deleteCompleteWire() {
  const int s = ctx_.state.SelectedPoint - 1;
  if (s >= ctx_.board.WirePointCount) return;
  const WireRows w = wireOf(ctx_.board, s);
  if (w.pointsAfterStart() >= 2 &&
      !ctx_.host.askConfirmation("Do you want to delete the complete Wire?"))
    return;
  removeRows(ctx_.board, ElementTable::WirePoints, w.start, w.end - w.start);
  ctx_.state.SelectedPoint = 0;
  ctx_.controls.panel[2] = "Complete Wire Deleted";
  ctx_.redraw();
}

// The selected point goes; its neighbours are joined by one segment. A wire left with fewer
// than two points goes with it.
void DeleteCommand::deleteWireSegment() {
  Board& b = ctx_.board;
  EditorState& st = ctx_.state;
  const int s = st.SelectedPoint - 1;
  if (s >= b.WirePointCount) return;
  const bool lastOfWire = s + 1 < b.WirePointCount && isWireStart(pointAt(b, s + 1));
  const WireRows w = wireOf(b, s);
  if (w.pointsAfterStart() == 1) {
    removeRows(b, ElementTable::WirePoints, w.start, 2);
    st.SelectedPoint = 0;
  } else {
    // Removing a wire's first row makes the next row the start.
    if (w.pointsAfterStart() >= 2 && s == w.start) {
      WirePoint& next = pointAt(b, s + 1);
      next.x = static_cast<uint16_t>(next.x + WireStartFlag);
      next.y = static_cast<uint16_t>(next.y + WireStartFlag);
    }
    removeRows(b, ElementTable::WirePoints, s, 1);
    // The point that moved into the row stays selected unless it begins another wire.
    if (st.SelectedPoint > b.WirePointCount || lastOfWire) --st.SelectedPoint;
  }
  done("Wire Segment Deleted");
}

// The segment that ends at the selected point disappears and the wire falls into two.
void DeleteCommand::splitWire() {
  Board& b = ctx_.board;
  const int s = ctx_.state.SelectedPoint - 1;
  const int n = b.WirePointCount;
  if (s >= n) return;
  if ((s >= 1 && isWireStart(pointAt(b, s - 1))) || isWireStart(pointAt(b, s)) ||
      (s + 1 < n && isWireStart(pointAt(b, s + 1))) || s == n - 1) {
    ctx_.controls.panel[2] = "Edges can not be removed. Use \"Select segment only\" method";
    return;
  }
  WirePoint& p = pointAt(b, s);
  p.x = static_cast<uint16_t>(p.x | WireStartFlag);
  p.y = static_cast<uint16_t>(p.y | WireStartFlag);
  ctx_.state.SelectedPoint = 0;
  done("Wire Segment Deleted");
}

// Draw Wire takes the wire in progress back point by point, never its first row. A row that
// belongs to a placed object leaves that object's range with it.
void DeleteCommand::takeBackWirePoint() {
  Board& b = ctx_.board;
  const int last = b.WirePointCount - 1;
  if (last < 0 || isWireStart(pointAt(b, last))) return;
  removeRows(b, ElementTable::WirePoints, last, 1);
  EditorState& s = ctx_.state;
  if (s.WireLastX < kNoWire && last >= 1) {
    const WirePoint& p = pointAt(b, last - 1);
    s.WireLastX = p.x & kPositionMask;
    s.WireLastY = p.y & kPositionMask;
  }
  ctx_.redraw();
}

void DeleteCommand::deleteText() {
  const int row = ctx_.state.SelectedText - 1;
  removeRows(ctx_.board, ElementTable::Texts, row, 1);
  ctx_.state.SelectedText = 0;
  done("Text Deleted");
}

void DeleteCommand::deletePin() {
  const int row = ctx_.state.SelectedPin - 1;
  removeRows(ctx_.board, ElementTable::Pins, row, 1);
  ctx_.state.SelectedPin = 0;
  done("Pin Deleted");
}

}  // namespace fw

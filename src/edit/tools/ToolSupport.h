#pragma once

// What the tools share: the hit test's pointer position, and the inverting previews that follow
// the pointer while an item is dragged (drawn once to show, drawn again at the same place to
// erase).

#include <cstdint>

#include "edit/EditContext.h"

namespace fw {

// A hit test starts with nothing hit, at the pointer's unsnapped board position (HitX, HitY).
void beginHitTest(EditContext& ctx);
// Whether (HitX, HitY) lies in the square of half side h around (x, y), edges included.
inline bool hitsSquare(const EditorState& s, int x, int y, int h) {
  return s.HitX >= x - h && s.HitX <= x + h && s.HitY >= y - h && s.HitY <= y + h;
}

// A solid 1-pixel pen in inverting mode.
void setInvertingPen(Canvas& canvas);

// A preview stands on screen unless nothing was drawn since the press or the last RedrawBoard.
// Preview positions are 16-bit; a preview partly left of or above the drawing area has a
// negative position, which still counts as standing.
inline bool dragPreviewStands(const EditorState& state) {
  return state.DragPrevX != kNoPreview;
}

// A second press on the selected item arms its drag at the snapped press position; nothing is
// on screen yet.
void armDrag(EditContext& ctx, uint16_t kind, int row);

// One preview step of a pin or wire point drag: the preview belongs at the window position of
// the snapped pointer; the old one is erased by drawing it again, then the new one is drawn.
template <typename Draw>
void stepDragPreview(EditContext& ctx, Draw draw) {
  EditorState& s = ctx.state;
  const BoardPoint p = ctx.view.snappedPointer();
  const WindowPoint w = ctx.view.toWindow(p.x, p.y);
  s.DragCurX = static_cast<uint16_t>(w.x);
  s.DragCurY = static_cast<uint16_t>(w.y);
  setInvertingPen(ctx.canvas);
  ctx.canvas.setBrushStyle(BrushStyle::Clear);
  if (dragPreviewStands(s))
    draw(static_cast<int16_t>(s.DragPrevX), static_cast<int16_t>(s.DragPrevY));
  draw(static_cast<int16_t>(s.DragCurX), static_cast<int16_t>(s.DragCurY));
  s.DragPrevX = s.DragCurX;
  s.DragPrevY = s.DragCurY;
}

// Erases the preview that stands at the last position, when the release moves nothing.
template <typename Draw>
void erasePreview(EditContext& ctx, Draw draw) {
  setInvertingPen(ctx.canvas);
  draw(static_cast<int16_t>(ctx.state.DragPrevX), static_cast<int16_t>(ctx.state.DragPrevY));
  ctx.state.DragPrevX = kNoPreview;
}

// Whether the release lies where the press was, in snapped board units.
bool releasedWherePressed(const EditContext& ctx);

}  // namespace fw

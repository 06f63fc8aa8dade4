#include "edit/tools/ToolSupport.h"

#include "board/Geometry.h"

namespace fw {

void beginHitTest(EditContext& ctx) {
  ctx.state.HitFound = 0;
  const BoardPoint hit = ctx.view.unsnappedPointer();
  ctx.state.HitX = hit.x;
  ctx.state.HitY = hit.y;
}

void setInvertingPen(Canvas& canvas) {
  canvas.setPenStyle(PenStyle::Solid);
  canvas.setPenWidth(1);
  canvas.setRasterMode(RasterMode::Invert);
}

void armDrag(EditContext& ctx, uint16_t kind, int row) {
  const BoardPoint press = ctx.view.snappedPointer();
  ctx.state.DragKind = kind;
  ctx.state.PressX = static_cast<uint16_t>(press.x);
  ctx.state.PressY = static_cast<uint16_t>(press.y);
  ctx.state.DragIndex = static_cast<uint16_t>(row);
  ctx.state.DragPrevX = kNoPreview;
}

bool releasedWherePressed(const EditContext& ctx) {
  const BoardPoint r = ctx.view.snappedPointer();
  return static_cast<uint16_t>(r.x) == ctx.state.PressX &&
         static_cast<uint16_t>(r.y) == ctx.state.PressY;
}

}  // namespace fw

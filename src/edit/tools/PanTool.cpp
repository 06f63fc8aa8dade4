#include "edit/tools/PanTool.h"

namespace fw {

void PanTool::panPress() {
  ctx_.controls.panel[2] = "Select pan position";
  View& v = ctx_.view;
  const int s = v.pxPerGrid();
  // Half a grid step rounds to the nearest grid step; a scroll bar holds a value outside its
  // range at the nearer end. The middle of the board area lies half the toolbar lower.
  const int x = (v.scrollX * s + v.PointerX + s / 2 - v.W / 2) / s;
  const int y =
      (v.scrollY * s + v.PointerY + s / 2 + kBoardAreaTop / 2 - (v.H - kBoardAreaTop) / 2) / s;
  v.scrollX = clampInt(x, 0, kScrollMaxX);
  v.scrollY = clampInt(y, 0, kScrollMaxY);
  ctx_.redraw();
}

}  // namespace fw

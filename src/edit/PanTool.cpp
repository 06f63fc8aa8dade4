// Pan Object: a press brings the grid step nearest to it to the middle of the window.
#include "edit/Editor.h"

namespace fw {

void Editor::panPress() {
  controls_.panel[2] = "Select pan position";
  const int s = view_.pxPerGrid();
  // Half a grid step rounds to the nearest grid step; a scroll bar holds a value outside its
  // range at the nearer end.
  const int x = (view_.scrollX * s + view_.PointerX + s / 2 - view_.W / 2) / s;
  const int y = (view_.scrollY * s + view_.PointerY + s / 2 + 30 - (view_.H - 60) / 2) / s;
  view_.scrollX = clampInt(x, 0, kScrollMaxX);
  view_.scrollY = clampInt(y, 0, kScrollMaxY);
  RedrawBoard();
}

}  // namespace fw

#include "edit/commands/ViewCommands.h"

namespace fw {

void ViewCommands::ComboBox1Change(int zoomIndex) {
  ctx_.controls.panel[2] = "New ZoomLevel selected";
  ctx_.view.ZoomLevel = zoomColumn(zoomIndex);
  ctx_.redraw();
  ctx_.refreshPinDragRadius();
}

void ViewCommands::ScrollBar1Scroll(int position) {
  ctx_.view.scrollX = clampInt(position, 0, kScrollMaxX);
  ctx_.redraw();
}

void ViewCommands::ScrollBar2Scroll(int position) {
  ctx_.view.scrollY = clampInt(position, 0, kScrollMaxY);
  ctx_.redraw();
}

void ViewCommands::GotoCenter1Click() {
  ctx_.view.scrollX = kCenterScrollX;
  ctx_.view.scrollY = kCenterScrollY;
  ctx_.redraw();
}

void ViewCommands::BitBtn8Click() {
  ctx_.controls.panel[2] = "Screen Updated";
  ctx_.redraw();
}

void ViewCommands::GridsOn1Click() {
  ctx_.controls.showGrids = !ctx_.controls.showGrids;
  ctx_.redraw();
}

void ViewCommands::ShowFrame1Click() {
  ctx_.controls.showFrame = !ctx_.controls.showFrame;
  ctx_.redraw();
}

void ViewCommands::toggleLayer(int layer) {
  bool& shown = ctx_.controls.showLayer[static_cast<std::size_t>(layer)];
  shown = !shown;
  ctx_.redraw();
}

void ViewCommands::Layer1Click() {
  toggleLayer(kLayer1);
}
void ViewCommands::layer2Click() {
  toggleLayer(kLayer2);
}
void ViewCommands::layer3Click() {
  toggleLayer(kGraphic);
}

void ViewCommands::wheel(int notches, bool ctrl, bool shift) {
  View& v = ctx_.view;
  if (notches == 0) return;
  if (!ctrl) {
    if (shift)
      ScrollBar1Scroll(v.scrollX - kScrollLargeChange * notches);
    else
      ScrollBar2Scroll(v.scrollY - kScrollLargeChange * notches);
    return;
  }
  const int zoom = clampInt(v.ZoomLevel + notches, 0, kZoomLevels - 1);
  if (zoom == v.ZoomLevel) return;
  // The grid step under the pointer before, and the scroll positions that put it there after.
  const BoardPoint at = v.unsnappedPointer();
  const int f = 1 << zoom;
  const int p = 4 * f;
  auto scrollFor = [&](int half, int pointer, int board) {
    const int num = half + f * board + p - pointer;
    return (num + (num >= 0 ? p / 2 : -p / 2)) / p;
  };
  const int sx = clampInt(scrollFor(v.W / 2, v.PointerX, at.x), 0, kScrollMaxX);
  const int sy = clampInt(scrollFor(v.H / 2, v.PointerY + kBoardAreaTop, at.y), 0, kScrollMaxY);
  ComboBox1Change(zoom);
  if (sx != v.scrollX) ScrollBar1Scroll(sx);
  if (sy != v.scrollY) ScrollBar2Scroll(sy);
}

// The grid resolution list has no effect of its own: the next pointer event snaps with it.
void ViewCommands::ComboBox4Change(int gridIndex) {
  ctx_.controls.grid.index = clampInt(gridIndex, 0, kGridResolutions - 1);
  ctx_.view.GridResolution = ctx_.controls.grid.index;
}

}  // namespace fw

#include "edit/commands/ViewCommands.h"

#include "edit/tools/ToolSupport.h"

namespace fw {

void ViewCommands::ComboBox1Change(int zoomIndex) {
  ctx_.controls.panel[2] = "New ZoomLevel selected";
  ctx_.controls.zoom.index = zoomColumn(zoomIndex);
  ctx_.view.ZoomLevel = ctx_.controls.zoom.index;
  ctx_.redraw();
  refreshPinDragRadius(ctx_);
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

// The grid resolution list has no effect of its own: the next pointer event snaps with it.
void ViewCommands::ComboBox4Change(int gridIndex) {
  ctx_.controls.grid.index = clampInt(gridIndex, 0, kGridResolutions - 1);
  ctx_.view.GridResolution = ctx_.controls.grid.index;
}

}  // namespace fw

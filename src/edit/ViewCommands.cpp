// Commands that change only what the window shows, never the board or SavedFlag.
#include "edit/Editor.h"

namespace fw {

void Editor::ComboBox1Change(int zoomIndex) {
  controls_.panel[2] = "New ZoomLevel selected";
  controls_.zoom.index = clampInt(zoomIndex, 0, kZoomLevels - 1);
  view_.ZoomLevel = controls_.zoom.index;
  RedrawBoard();
  // An armed pin drag keeps its preview circle the size of the pin at the new zoom.
  if (state_.DragKind == kDragPin && state_.DragIndex < board_->PinCount) {
    const Pin& pin = board_->PinTable[state_.DragIndex];
    const int d = PinSizePixels[clampInt(pin.sizeIndex, 0, kPinSizes - 1)][view_.ZoomLevel];
    state_.DragRadius = static_cast<uint16_t>(isGraphicPin(pin) ? d : d / 2);
  }
}

void Editor::ScrollBar1Scroll(int position) {
  view_.scrollX = clampInt(position, 0, kScrollMaxX);
  RedrawBoard();
}

void Editor::ScrollBar2Scroll(int position) {
  view_.scrollY = clampInt(position, 0, kScrollMaxY);
  RedrawBoard();
}

void Editor::GotoCenter1Click() {
  view_.scrollX = kCenterScrollX;
  view_.scrollY = kCenterScrollY;
  RedrawBoard();
}

void Editor::BitBtn8Click() {
  controls_.panel[2] = "Screen Updated";
  RedrawBoard();
}

void Editor::GridsOn1Click() {
  controls_.showGrids = !controls_.showGrids;
  RedrawBoard();
}

void Editor::ShowFrame1Click() {
  controls_.showFrame = !controls_.showFrame;
  RedrawBoard();
}

void Editor::toggleLayer(int layer) {
  controls_.showLayer[static_cast<std::size_t>(layer)] =
      !controls_.showLayer[static_cast<std::size_t>(layer)];
  RedrawBoard();
}

void Editor::Layer1Click() {
  toggleLayer(kLayer1);
}
void Editor::layer2Click() {
  toggleLayer(kLayer2);
}
void Editor::layer3Click() {
  toggleLayer(kGraphic);
}

// The grid resolution list has no effect of its own: the next pointer event snaps with it.
void Editor::ComboBox4Change(int gridIndex) {
  controls_.grid.index = clampInt(gridIndex, 0, kGridResolutions - 1);
  view_.GridResolution = controls_.grid.index;
}

}  // namespace fw

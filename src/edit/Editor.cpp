#include "edit/Editor.h"

namespace fw {

Editor::Editor(Host& host, int areaWidth, int areaHeight)
    : host_(host),
      board_(makeBoard()),
      canvas_(areaWidth, areaHeight),
      ctx_{*board_,
           view_,
           state_,
           controls_,
           canvas_,
           renderer_,
           host_,
           ProgramDirectory,
           ProjectsFolder,
           ObjectsFolder,
           [this] { RedrawBoard(); }},
      documents_(
          ctx_, [this] { windowReset(); }, history_) {
  view_.setAreaSize(areaWidth, areaHeight);
  windowReset();
}

Editor::~Editor() = default;

Visibility Editor::visibility() const {
  Visibility v;
  v.grid = controls_.showGrids;
  v.frame = controls_.showFrame;
  v.layers = controls_.showLayer;
  v.completeWire = controls_.selectCompleteWire;
  return v;
}

Selection Editor::selection() const {
  return {state_.SelectedPin, state_.SelectedPoint, state_.SelectedText, state_.SelectedObject};
}

void Editor::RedrawBoard() {
  // Whatever was drawn in inverting mode is gone after a full repaint.
  state_.DragPrevX = kNoPreview;
  state_.FloatX = 0;
  state_.RubberWiped = 1;
  renderer_.drawBoard(canvas_, *board_, view_, visibility(), selection());
  highlight_.drawHighlight();
}

void Editor::resizeArea(int width, int height) {
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  canvas_.resize(width, height);
  view_.setAreaSize(width, height);
  RedrawBoard();
}

void Editor::FormPaint() {
  if (!state_.FollowSuspended) return;
  RedrawBoard();
  state_.FollowSuspended = false;
}

// Used at start-up and by New. It leaves the tool buttons, the frame and layer check marks, the
// pop-up menu check marks and the rows past the counts as they are, and draws nothing.
void Editor::windowReset() {
  board_->reset();  // frame 252 x 158, no file name, saved, all counts 0
  state_.WireLastX = kNoWire;
  view_.scrollX = kCenterScrollX;
  view_.scrollY = kCenterScrollY;
  state_.clearSelections();
  view_.ZoomLevel = kDefaultZoomLevel;
  controls_.pinStyle.index = 0;
  controls_.layer.index = 0;
  controls_.grid.index = 0;
  view_.GridResolution = 0;
  controls_.showGrids = true;
  controls_.pinSize.index = 1;
  if (controls_.tool == Tool::CreatePin) controls_.cursor = CursorShape::Cross;
  controls_.wireSize.index = 2;
  PrintScale = 100;
  PrintDpiIndex = 1;
  state_.RubberAnchorX = kNoWire;
  state_.RubberEndX = kNoWire;
}

void Editor::ComboBox3Change(int layerIndex) {
  controls_.layer.index = clampInt(layerIndex, 0, kLayerCount - 1);
  controls_.panel[2] = "Active Layer Changed";
  texts_.activeLayerChangedForText();
  wireEdit_.activeLayerChangedForWire();
}

}  // namespace fw

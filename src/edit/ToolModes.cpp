// PLACEHOLDER: tool switching and the pointer handlers (being built).
#include "edit/Editor.h"

namespace fw {
void Editor::selectTool(Tool tool) { controls_.tool = tool; }
void Editor::mousemove(int x, int y) {
  view_.PointerX = x;
  view_.PointerY = y;
}
void Editor::MouseDown(MouseButton) {}
void Editor::FormMouseUp(MouseButton, int) {}
}  // namespace fw

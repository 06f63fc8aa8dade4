// Placing arrives with the object library; until then the floating object is never shown.
#include "edit/tools/ObjectPlacementTool.h"

namespace fw {

void ObjectPlacementTool::placeObjectPress(MouseButton) {}

void ObjectPlacementTool::updateFloatingObject() {}

void ObjectPlacementTool::abandonPlacement() {
  EditorState& s = ctx_.state;
  s.FloatX = 0;
  s.FloatMoved = false;
  updateFloatingObject();
  s.Placing = false;
  s.FloatX = 0;
}

}  // namespace fw

#pragma once

#include "edit/EditContext.h"

namespace fw {

// Placing copies of a loaded object: the floating object follows the pointer as an inverted
// outline, each press puts a copy down, the right press ends the placement.
class ObjectPlacementTool {
 public:
  explicit ObjectPlacementTool(EditContext& ctx) : ctx_(ctx) {}

  // Edit Object press while an object is being placed: puts a copy down.
  void placeObjectPress(MouseButton button);
  // The floating object follows the pointer, or is erased when FloatX is 0.
  void updateFloatingObject();
  // The floating object's preview is erased by drawing it once more where it stands; the rows
  // it occupied past the ends of the tables are simply not used again.
  void abandonPlacement();

 private:
  EditContext& ctx_;
};

}  // namespace fw

#pragma once

#include "edit/EditContext.h"

namespace fw {

// Draw Wire: a new wire point by point, with a rubber band from the last point to the pointer;
// the right button ends the wire.
class WireTool {
 public:
  explicit WireTool(EditContext& ctx) : ctx_(ctx) {}

  void drawWirePress(MouseButton button);
  // The rubber band follows the pointer while a wire is drawn.
  void moveRubberBand();
  // The band is drawn from the anchor to its free end; drawn again it is gone. Nothing is erased
  // when no band stands on screen or a RedrawBoard has painted over it.
  void eraseRubberBand();
  // A wire in progress is abandoned; its points stay in the table.
  void abandonWire();

 private:
  void endWire();
  void startWire();
  void addWirePoint();

  EditContext& ctx_;
};

}  // namespace fw

#pragma once

#include <functional>

#include "edit/EditContext.h"

namespace fw {

// Edit > Rotation: turns the selected object, or the floating one of a placement, clockwise by
// one, two or three quarter turns about the centre of its box, snapped to the grid.
class RotateCommand {
 public:
  // followPointer draws a turned floating object at the pointer again.
  RotateCommand(EditContext& ctx, std::function<void()> followPointer)
      : ctx_(ctx), followPointer_(std::move(followPointer)) {}

  void N90cc1Click() { rotate(1); }  // Ctrl+R
  void N180cw1Click() { rotate(2); }
  void N270cw1Click() { rotate(3); }

 private:
  void rotate(int quarterTurns);
  // One quarter turn of object row `row`; false when there is nothing to turn.
  void quarterTurn(int row, bool floating);

  EditContext& ctx_;
  std::function<void()> followPointer_;
};

// Center Objects (BitBtn2 and the Window menu): moves all material so that its box lies at the
// middle of the workspace, in whole grid steps, and scrolls there.
void CenterObjects(EditContext& ctx);

}  // namespace fw

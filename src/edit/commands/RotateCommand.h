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

  EditContext& ctx_;
  std::function<void()> followPointer_;
};

// One quarter turn clockwise of object row `row` about the grid-snapped centre of its box. A
// placed object that the turn carries past the board's edge moves back inside by whole grid
// steps; a floating one (moveInside false) is checked where it is put down.
void quarterTurnObject(Board& board, int row, bool moveInside);

// Center Objects (BitBtn2 and the Window menu): moves all material so that its box lies at the
// middle of the workspace, in whole grid steps, and scrolls there.
void CenterObjects(EditContext& ctx);

}  // namespace fw

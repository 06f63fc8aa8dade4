#pragma once

#include "edit/EditContext.h"
#include "edit/tools/FollowingTracks.h"

namespace fw {

// Create Pin and Edit Pins: placing pins, selecting them, dragging them to a new grid position,
// the Pin Size and Pin Style lists and the Dot Methods pop-up.
class PinTool {
 public:
  explicit PinTool(EditContext& ctx) : ctx_(ctx) {}

  // Pointer blocks.
  void createPinPress();
  void editPinsPress();
  void pinDragPreview();
  void pinRelease(int windowY);

  // Pin lists and the Dot Methods pop-up.
  void SizeChange(int sizeIndex);
  void ComboBox2Change(int styleIndex);
  void BitBtn10Click();
  void NormalClick();
  void outlClick();

 private:
  void drawPinNormal(int row);
  void drawPinSelected(int row);
  void drawPinIn(int row, const QColor& colour);
  // The circle that follows the pointer, and the tracks that follow the pin.
  void drawPinPreview(int centreX, int centreY);
  void showPinInLists(int row);
  // The selected pin's row when Edit Pins is the tool and a pin is selected; -1 otherwise.
  int editedPinRow() const;

  EditContext& ctx_;
  FollowingTracks tracks_;
};

}  // namespace fw

#pragma once

#include <cstdint>

#include "edit/EditContext.h"

namespace fw {

// Edit Wires: selecting a wire point, highlighting its segment or its whole wire, dragging the
// point, the Wire Size and Active Layer lists and the Line Methods pop-up.
class WireEditTool {
 public:
  explicit WireEditTool(EditContext& ctx) : ctx_(ctx) {}

  // Pointer blocks.
  void editWiresPress();
  void pointDragPreview();
  void pointRelease();

  // The wire part of the Wire Size and Active Layer lists.
  void WireChange(int widthIndex);
  void activeLayerChangedForWire();

  // The Line Methods button (BitBtn8) and its pop-up.
  void BitBtn9Click();
  void segClick();
  void compClick();
  void SplClick();

 private:
  enum class LineMethod { Segment, CompleteWire, Split };
  void checkLineMethod(bool enabled, LineMethod method);
  void drawPointPreviewLines(int atX, int atY);
  void DrawNormalSegment(int row);
  void highlightPoint(int row);
  void unhighlightPoint(int row);
  void showPointInLists(int row);
  void changeSelectedWireAttr(uint8_t keepMask, uint8_t newBits);
  // Visits every point of the row's wire after its start, in order.
  template <typename Visit>
  void forEachPointOfWire(int row, Visit visit) const;

  EditContext& ctx_;
};

}  // namespace fw

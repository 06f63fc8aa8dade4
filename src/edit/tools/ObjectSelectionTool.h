#pragma once

#include "edit/EditContext.h"
#include "edit/tools/FollowingTracks.h"

namespace fw {

// Edit Object: selecting a placed object by any of its pins, wire points or texts, and dragging
// it as one unit with its outline (and, with Drag Connected Tracks, the track ends on its pads).
class ObjectSelectionTool {
 public:
  explicit ObjectSelectionTool(EditContext& ctx) : ctx_(ctx) {}

  void editObjectPress();
  void objectDragPreview();
  void objectRelease();

 private:
  // The last element of each kind under the pointer decides, a text over a wire point over a pin.
  int32_t objectUnderPointer();
  // The move of a drag with the pointer at (curX, curY), held so that the whole object stays
  // inside the board area.
  BoardPoint dragOffset(int curX, int curY) const;

  EditContext& ctx_;
  FollowingTracks tracks_;
};

}  // namespace fw

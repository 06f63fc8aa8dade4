#pragma once

#include "edit/EditContext.h"

namespace fw {

// Edit Object: selecting an object by any of its elements and dragging it as a whole.
class ObjectSelectionTool {
 public:
  explicit ObjectSelectionTool(EditContext& ctx) : ctx_(ctx) {}

  void editObjectPress();
  void objectDragPreview();
  void objectRelease();

 private:
  [[maybe_unused]] EditContext& ctx_;
};

}  // namespace fw

#pragma once

#include "edit/EditContext.h"

namespace fw {

// Pan Object: a press brings the grid step nearest to it to the middle of the window.
class PanTool {
 public:
  explicit PanTool(EditContext& ctx) : ctx_(ctx) {}
  void panPress();

 private:
  EditContext& ctx_;
};

}  // namespace fw

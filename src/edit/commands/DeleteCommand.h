#pragma once

#include "edit/EditContext.h"

namespace fw {

// Delete (the Edit menu's CutObject1 and the toolbar's BitBtn5): removes the selected element
// of the active tool and keeps every object's ranges on its own elements. Like every change, a
// deletion marks the board unsaved through the undo history.
class DeleteCommand {
 public:
  explicit DeleteCommand(EditContext& ctx) : ctx_(ctx) {}

  // Runs the blocks of every tool in a fixed order; only the active tool's blocks act.
  void DeleteSelection();

 private:
  void deleteObject();
  void deleteCompleteWire();
  void deleteWireSegment();
  void splitWire();
  void takeBackWirePoint();
  void deleteText();
  void deletePin();
  void endDrag();
  void done(const char* message);

  EditContext& ctx_;
};

}  // namespace fw

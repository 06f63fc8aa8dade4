#pragma once

#include "edit/EditContext.h"

namespace fw {

// Create Text and Edit Text: placing texts through the Text Options dialog, selecting,
// dragging and re-layering them.
class TextTool {
 public:
  explicit TextTool(EditContext& ctx) : ctx_(ctx) {}

  // Right press on the selected text: the Text Options dialog for TextOptionsTarget.
  void showTextOptionsForSelectedText();
  void createTextPress();
  void editTextPress();
  void textDragPreview();
  void textRelease();
  // The Active Layer list moves the selected text to the chosen layer.
  void activeLayerChangedForText();

 private:
  [[maybe_unused]] EditContext& ctx_;
};

}  // namespace fw

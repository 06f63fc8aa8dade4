#pragma once

#include "edit/EditContext.h"

namespace fw {

// Where a text lies on the board, measured in the font the board draws it in at the current
// zoom: the board rectangle left..right by top..bottom (edges included) and the drawn size in
// pixels.
struct ScreenTextExtent {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width = 0, height = 0;
  bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};
ScreenTextExtent measureText(EditContext& ctx, const TextItem& text);

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
  // Text Options for TextOptionsTarget (0: the new text in row TextCount); Ok stores it.
  void runTextOptions();
  // The board position a dragged text's centre moves to with the pointer at (curX, curY), held
  // inside the board area so that a move never reaches the layer bits.
  BoardPoint movedCentre(const TextItem& text, int curX, int curY) const;
  void drawOutline(int boardX, int boardY);

  EditContext& ctx_;
};

}  // namespace fw

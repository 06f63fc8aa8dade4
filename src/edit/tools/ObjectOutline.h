#pragma once

#include "edit/EditContext.h"

namespace fw {

// The outline that shows a floating or a dragged object: its wires at their widths and its
// pads as outlines, every element taken at (stored x + a, stored y + b), in inverting mode, so
// that drawing it twice at the same offset restores the screen. Texts are not part of it; a
// graphic pin's ring only while the Graphic layer is shown.
void drawObjectOutline(EditContext& ctx, const BoardObject& rows, int a, int b);

// The rows the floating object occupies just past the counts.
BoardObject floatingRows(const Board& board, const EditorState& state);

// The smallest and largest stored position of an object's pins, or when it has none of its wire
// points (masked), or else of its texts (masked): the box that placement and rotation use.
struct ObjectBox {
  int minX = 30000, minY = 30000, maxX = 0, maxY = 0;
};
ObjectBox objectBox(const Board& board, const BoardObject& rows);
// The same over all of the object's elements.
ObjectBox wholeObjectBox(const Board& board, const BoardObject& rows);

// Every stored position of an object's rows, moved by (dx, dy) in 16-bit arithmetic, so wire
// start flags and text layer bits travel unchanged.
void moveObjectRows(Board& board, const BoardObject& rows, int dx, int dy);

// Whether every element of the object, moved by (dx, dy), lies inside 0..792 by 0..592.
bool objectFitsOnBoard(const Board& board, const BoardObject& rows, int dx, int dy);

}  // namespace fw

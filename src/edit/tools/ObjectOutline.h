#pragma once

#include "board/ObjectGeometry.h"
#include "edit/EditContext.h"

namespace fw {

// The outline that shows a floating or a dragged object: its wires at their widths and its
// pads as outlines, every element taken at (stored x + a, stored y + b), in inverting mode, so
// that drawing it twice at the same offset restores the screen. Texts are not part of it; a
// graphic pin's ring only while the Graphic layer is shown.
void drawObjectOutline(EditContext& ctx, const BoardObject& rows, int a, int b);

// The rows the floating object occupies just past the counts.
BoardObject floatingRows(const Board& board, const EditorState& state);

}  // namespace fw

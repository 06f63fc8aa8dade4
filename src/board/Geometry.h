#pragma once

// Geometry that the editor, the renderer and the commands walk alike: where a wire starts and
// ends in the wire point table, which segment a point shows, the sizes that hit tests use, and
// the board-range clamps.

#include <cstdint>

#include "board/Board.h"

namespace fw {

// The rows of one wire: its start row and the row after its last point (exclusive). The points
// after the start, start + 1 .. end - 1, are the ends of the wire's segments.
struct WireRows {
  int start = 0;
  int end = 0;
  int pointsAfterStart() const { return end - start - 1; }
};

// The nearest row at or before row that starts a wire (row 0 when none does).
int wireStartOf(const Board& b, int row);
// The wire that row belongs to, up to the next start or the end of the rows in use.
WireRows wireOf(const Board& b, int row);
// The row that ends the segment a point shows: the point itself, or for a wire start the row
// after it. -1 when there is none: a start with no second point, or a row with nothing before it.
int wireSegmentEnd(const Board& b, int row);
// Half a point's width in board units (the 1x column of the pixel widths is also the width in
// board units); a first row drawn with attr 255 belongs to no segment and has none.
int halfWireWidth(const Board& b, int row);
// The half width a wire point is hit within: that of the wider of the two segments that meet
// there (a wire start takes its first segment's).
int pointHitHalfWidth(const Board& b, int row);

// Half a pin's pad in board units for the hit test, doubled for a pin of style exactly 128
// (a graphic pin as the editor creates it).
int pinHitHalfSize(const Pin& pin);
// The radius in pixels of the circle that follows the pointer while a pin is dragged: half the
// pad's diameter at the zoom level, the full diameter for a graphic pin; 0 past the count.
uint16_t pinDragRadius(const Board& b, int row, int zoomLevel);

// The frame's edges as doubled board positions: an odd frame size puts its edges half a unit
// between two positions, where the screen draws them at every zoom from 2x up. The frame is
// centred on the middle of the workspace.
struct FrameEdges2 {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
FrameEdges2 frameEdges2(const Board& b);
// A board position in nanometres from the frame's lower left corner, y up: where the
// fabrication files and the board check put it.
long long frameXNm(const Board& b, int x);
long long frameYNm(const Board& b, int y);

// New positions are held inside 0..792 by 0..592.
uint16_t clampToBoardX(int x);
uint16_t clampToBoardY(int y);

}  // namespace fw

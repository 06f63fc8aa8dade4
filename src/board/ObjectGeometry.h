#pragma once

// The geometry of an object's rows on the board: its box, moving it, and whether it fits. Pure
// board arithmetic, shared by placement, selection and rotation.

#include <cstddef>

#include "board/Board.h"

namespace fw {

// Visits each row index first .. first + count - 1 that lies inside the table's capacity.
template <typename Visit>
void forEachRow(int first, int count, int capacity, Visit visit) {
  for (int k = first; k < first + count && k < capacity; ++k) visit(static_cast<std::size_t>(k));
}

// The rows of an object of the given sizes standing just past the counts, where a floating
// object waits to be placed.
BoardObject rowsPastCounts(const Board& board, int pinCount, int pointCount, int textCount);

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

// How far to move a footprint along one axis so that the span lo..hi of its anchors is centred
// on `middle`, taking the nearest shift that puts `anchor` (its first pad) on the 2.54 mm grid.
int centringShift(int lo, int hi, int anchor, int middle);

// Whether every element of the object, moved by (dx, dy), lies inside 0..792 by 0..592.
bool objectFitsOnBoard(const Board& board, const BoardObject& rows, int dx, int dy);

}  // namespace fw

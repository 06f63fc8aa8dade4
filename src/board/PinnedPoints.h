#pragma once

// Track ends that go with their pads: the copper wire points lying exactly on the centre of a
// pad that is being moved (dragged in Edit Pins, dragged or turned with its object), so that
// the tracks stay joined to it.

#include <cstdint>
#include <vector>

#include "board/Board.h"

namespace fw {

// A wire point and the pad whose centre it lies on.
struct PinnedPoint {
  int32_t point = 0;
  int32_t pin = 0;
};

// The wire points on the centres of the pads among the pins of `moving` (graphic pins are no
// pads), leaving out the wire points of `moving` itself, which move as they are. A point
// counts when a segment on a copper layer meets it; a point on two moving pads is listed once,
// with the first. Ascending by point.
std::vector<PinnedPoint> pointsOnPins(const Board& board, const BoardObject& moving);

// Whether every pinned point's pad stands where a wire point may: a move that leaves a pad
// elsewhere must leave its track ends as they are.
bool pinnedPadsOnBoard(const Board& board, const std::vector<PinnedPoint>& pinned);

// Puts each pinned point on its pad's centre, keeping its wire start flags.
void followPins(Board& board, const std::vector<PinnedPoint>& pinned);

}  // namespace fw

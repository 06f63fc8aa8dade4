#pragma once

// Drag Connected Tracks: the track ends on the pads of a dragged pin or object, gathered when the
// drag is armed, and the segments they end drawn in the inverting preview as the pads move.

#include <vector>

#include "board/PinnedPoints.h"
#include "edit/EditContext.h"

namespace fw {

class FollowingTracks {
 public:
  // The points pinned to the pads of `moving`, when the Edit menu item is on; none otherwise.
  static std::vector<PinnedPoint> gather(const EditContext& ctx, const BoardObject& moving);

  // Gathers the points and the segments they end for a drag's preview.
  void arm(const EditContext& ctx, const BoardObject& moving);
  void clear();
  // The points gathered when the drag was armed: what follows the pads on the release.
  const std::vector<PinnedPoint>& pinned() const { return pinned_; }
  // Draws the segments with their pinned ends at window position (x, y): a dragged pin.
  void drawTo(EditContext& ctx, int x, int y) const;
  // Draws the segments with their pinned ends moved by (dx, dy) board units: a dragged object.
  void drawMoved(EditContext& ctx, int dx, int dy) const;

 private:
  template <typename PinnedEnd>
  void draw(EditContext& ctx, PinnedEnd pinnedEnd) const;

  std::vector<PinnedPoint> pinned_;  // ascending by point
  std::vector<int> segments_;        // the rows that end a segment meeting one of them, ascending
};

}  // namespace fw

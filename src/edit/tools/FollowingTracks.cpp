#include "edit/tools/FollowingTracks.h"

#include <algorithm>

#include "edit/tools/ToolSupport.h"

namespace fw {

std::vector<PinnedPoint> FollowingTracks::gather(const EditContext& ctx,
                                                 const BoardObject& moving) {
  if (!ctx.controls.dragConnectedTracks) return {};
  return pointsOnPins(ctx.board, moving);
}

void FollowingTracks::arm(const EditContext& ctx, const BoardObject& moving) {
  clear();
  const Board& b = ctx.board;
  const int count = std::clamp(b.WirePointCount, 0, kWirePointCapacity);
  pinned_ = gather(ctx, moving);
  for (const PinnedPoint& p : pinned_) {
    const bool ends = p.point > 0 && !isWireStart(b.WirePointTable[std::size_t(p.point)]);
    if (ends) segments_.push_back(p.point);
    if (p.point + 1 < count && !isWireStart(b.WirePointTable[std::size_t(p.point + 1)]))
      segments_.push_back(p.point + 1);
  }
  // A segment between two pinned points is drawn once: twice would erase it.
  std::sort(segments_.begin(), segments_.end());
  segments_.erase(std::unique(segments_.begin(), segments_.end()), segments_.end());
}

void FollowingTracks::clear() {
  pinned_.clear();
  segments_.clear();
}

template <typename PinnedEnd>
void FollowingTracks::draw(EditContext& ctx, PinnedEnd pinnedEnd) const {
  const Board& b = ctx.board;
  const View& v = ctx.view;
  Canvas& c = ctx.canvas;
  setInvertingPen(c);
  const auto end = [&](int row) {
    const WirePoint& w = b.WirePointTable[std::size_t(row)];
    const int x = w.x & kPositionMask, y = w.y & kPositionMask;
    const bool isPinned = std::binary_search(
        pinned_.begin(), pinned_.end(), PinnedPoint{row, 0},
        [](const PinnedPoint& a, const PinnedPoint& c) { return a.point < c.point; });
    return isPinned ? pinnedEnd(x, y) : v.toWindow(x, y);
  };
  for (const int row : segments_) {
    // The rows may have gone since the drag was armed.
    if (row < 1 || row >= b.WirePointCount || row >= kWirePointCapacity) continue;
    const WindowPoint from = end(row - 1), to = end(row);
    c.moveTo(from.x, from.y);
    c.lineTo(to.x, to.y);
  }
}

void FollowingTracks::drawTo(EditContext& ctx, int x, int y) const {
  draw(ctx, [&](int, int) { return WindowPoint{x, y}; });
}

void FollowingTracks::drawMoved(EditContext& ctx, int dx, int dy) const {
  const View& v = ctx.view;
  draw(ctx, [&](int x, int y) { return v.toWindow(x + dx, y + dy); });
}

}  // namespace fw

#include "edit/commands/RotateCommand.h"

#include <algorithm>
#include <array>
#include <vector>

#include "board/ObjectGeometry.h"
#include "board/PinnedPoints.h"
#include "edit/tools/FollowingTracks.h"

namespace fw {

namespace {

// Where a floating object stands while it turns, so that its wrapped relative positions turn
// as ordinary ones.
constexpr int kFloatTurnX = 400;
constexpr int kFloatTurnY = 300;

int roundUpToGrid(int units) {
  return (units + 3) / 4 * 4;
}

// How far, in whole grid steps, a span lo..hi must move to lie inside 0..limit.
int shiftInside(int lo, int hi, int limit) {
  if (lo < 0) return roundUpToGrid(-lo);
  if (hi > limit) return -roundUpToGrid(hi - limit);
  return 0;
}

// The floating object's rows as they stand, to put back when a later quarter turn is refused.
struct FloatingCopy {
  std::vector<Pin> pins;
  std::vector<WirePoint> points;
  std::vector<TextItem> texts;
};

template <typename Row, std::size_t N>
void copyRows(const std::array<Row, N>& table, int first, int count, std::vector<Row>& into) {
  for (int k = first; k < first + count && k < int(N); ++k) into.push_back(table[std::size_t(k)]);
}

template <typename Row, std::size_t N>
void restoreRows(std::array<Row, N>& table, int first, const std::vector<Row>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) table[std::size_t(first) + i] = rows[i];
}

}  // namespace

void RotateCommand::rotate(int quarterTurns) {
  EditorState& s = ctx_.state;
  // The shortcut works only where the Rotation menu does: under Edit Object.
  if (!ctx_.controls.rotate) return;
  if (s.SelectedObject == 0 && !s.Placing) {
    ctx_.controls.panel[2] = "No Object Selected";
    ctx_.redraw();
    return;
  }
  Board& b = ctx_.board;
  if (!s.Placing && s.SelectedObject > b.ObjectCount) return;
  // A turn of the floating object is all or nothing: when a later quarter turn is refused the
  // rows go back as they were, which is also the shape of the outline standing on screen.
  const BoardObject floating =
      rowsPastCounts(b, s.FloatPinCount, s.FloatPointCount, s.FloatTextCount);
  FloatingCopy before;
  if (s.Placing) {
    copyRows(b.PinTable, floating.firstPin, floating.pinCount, before.pins);
    copyRows(b.WirePointTable, floating.firstPoint, floating.pointCount, before.points);
    copyRows(b.TextTable, floating.firstText, floating.textCount, before.texts);
  }
  // A placed object's pads take the track ends on their centres round with them.
  const std::vector<PinnedPoint> pinned =
      s.Placing ? std::vector<PinnedPoint>{}
                : FollowingTracks::gather(ctx_, b.ObjectTable[std::size_t(s.SelectedObject - 1)]);
  for (int i = 0; i < quarterTurns; ++i) {
    if (s.Placing) {
      // The floating object turns as a temporary object standing at (400, 300).
      const BoardObject rows = floating;
      if (b.ObjectCount >= kObjectCapacity) return;
      b.ObjectTable[static_cast<std::size_t>(b.ObjectCount)] = rows;
      // Standing there, every element must have plain positions again; one that still wraps
      // into its flag or layer bits (material far from the pins) cannot be turned safely.
      if (!objectFitsOnBoard(b, rows, kFloatTurnX, kFloatTurnY)) {
        restoreRows(b.PinTable, floating.firstPin, before.pins);
        restoreRows(b.WirePointTable, floating.firstPoint, before.points);
        restoreRows(b.TextTable, floating.firstText, before.texts);
        ctx_.controls.panel[2] = "Object too large to rotate while placing";
        return;
      }
      moveObjectRows(b, rows, kFloatTurnX, kFloatTurnY);
      quarterTurnObject(b, b.ObjectCount, false);
      moveObjectRows(b, rows, -kFloatTurnX, -kFloatTurnY);
    } else {
      quarterTurnObject(b, s.SelectedObject - 1, true);
    }
  }
  followPins(b, pinned);
  ctx_.redraw();
  if (s.Placing) {
    s.FloatMoved = false;
    followPointer_();
  }
  ctx_.controls.panel[2] = "Object Rotated";
}

void quarterTurnObject(Board& b, int row, bool moveInside) {
  const BoardObject o = b.ObjectTable[static_cast<std::size_t>(row)];
  const ObjectBox box = objectBox(b, o);
  const int cx = (box.minX + box.maxX) / 8 * 4;
  const int cy = (box.minY + box.maxY) / 8 * 4;

  // The turned positions, worked out in full before anything is stored.
  struct Turned {
    int x, y;
  };
  std::vector<Turned> pins, points, texts;
  int minX = 1 << 30, minY = 1 << 30, maxX = -(1 << 30), maxY = -(1 << 30);
  auto take = [&](std::vector<Turned>& into, int x, int y) {
    into.push_back({x, y});
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  };
  for (int k = o.firstPin; k < o.firstPin + o.pinCount; ++k) {
    const Pin& p = b.PinTable[static_cast<std::size_t>(k)];
    take(pins, cx + cy - p.y, p.x - cx + cy);
  }
  for (int k = o.firstPoint; k < o.firstPoint + o.pointCount; ++k) {
    const WirePoint& p = b.WirePointTable[static_cast<std::size_t>(k)];
    take(points, cx + cy - (p.y & kPositionMask), (p.x & kPositionMask) - cx + cy);
  }
  for (int k = o.firstText; k < o.firstText + o.textCount; ++k) {
    const TextItem& t = b.TextTable[static_cast<std::size_t>(k)];
    take(texts, cx + cy - (t.y & 4095), textX(t) - cx + cy);
  }
  const int sx = moveInside ? shiftInside(minX, maxX, kMaxBoardX) : 0;
  const int sy = moveInside ? shiftInside(minY, maxY, kMaxBoardY) : 0;

  for (int i = 0; i < o.pinCount; ++i) {
    Pin& p = b.PinTable[static_cast<std::size_t>(o.firstPin + i)];
    p.x = static_cast<uint16_t>(pins[std::size_t(i)].x + sx);
    p.y = static_cast<uint16_t>(pins[std::size_t(i)].y + sy);
    if (p.style == 1 || p.style == 2) p.style = static_cast<uint8_t>(3 - p.style);
  }
  for (int i = 0; i < o.pointCount; ++i) {
    WirePoint& p = b.WirePointTable[static_cast<std::size_t>(o.firstPoint + i)];
    p.x = static_cast<uint16_t>(points[std::size_t(i)].x + sx + (p.x & WireStartFlag));
    p.y = static_cast<uint16_t>(points[std::size_t(i)].y + sy + (p.y & WireStartFlag));
  }
  for (int i = 0; i < o.textCount; ++i) {
    TextItem& t = b.TextTable[static_cast<std::size_t>(o.firstText + i)];
    t.x = static_cast<uint16_t>(texts[std::size_t(i)].x + sx + (t.x & 12288));
    t.y = static_cast<uint16_t>(texts[std::size_t(i)].y + sy);
  }
}

void CenterObjects(EditContext& ctx) {
  Board& b = ctx.board;
  if (b.PinCount <= 0 && b.WirePointCount <= 0 && b.TextCount <= 0) return;
  ctx.view.scrollX = kCenterScrollX;
  ctx.view.scrollY = kCenterScrollY;
  BoardObject all;
  all.pinCount = static_cast<uint16_t>(std::max(b.PinCount, 0));
  all.pointCount = static_cast<uint16_t>(std::max(b.WirePointCount, 0));
  all.textCount = static_cast<uint16_t>(std::max(b.TextCount, 0));
  const ObjectBox box = wholeObjectBox(b, all);
  const int dx = 4 * ((kCenterBoardX - (box.minX + (box.maxX - box.minX) / 2)) / 4);
  const int dy = 4 * ((kCenterBoardY - (box.minY + (box.maxY - box.minY) / 2)) / 4);
  moveObjectRows(b, all, dx, dy);
  ctx.redraw();
  ctx.controls.panel[2] = "Objects moved to center of Board";
}

}  // namespace fw

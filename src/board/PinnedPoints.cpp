#include "board/PinnedPoints.h"

#include <algorithm>

#include "board/View.h"

namespace fw {

namespace {

bool onCopper(uint8_t attr) {
  const int layer = wireLayer(attr);
  return attr != kWireStartAttr && (layer == kLayer1 || layer == kLayer2);
}

// Whether a segment on a copper layer meets wire point `row`: the one it ends, or the one the
// next row ends when that row continues its wire.
bool copperMeets(const Board& b, int row, int count) {
  const WirePoint& p = b.WirePointTable[std::size_t(row)];
  if (!isWireStart(p) && row > 0 && onCopper(p.attr)) return true;
  if (row + 1 >= count) return false;
  const WirePoint& next = b.WirePointTable[std::size_t(row + 1)];
  return !isWireStart(next) && onCopper(next.attr);
}

}  // namespace

std::vector<PinnedPoint> pointsOnPins(const Board& b, const BoardObject& moving) {
  // The moving pads by position, so that each wire point is looked up once.
  struct Pad {
    uint32_t key;
    int32_t row;
  };
  std::vector<Pad> pads;
  const int pinEnd =
      std::min<int>(moving.firstPin + moving.pinCount, std::min(b.PinCount, kPinCapacity));
  for (int k = moving.firstPin; k < pinEnd; ++k) {
    const Pin& p = b.PinTable[std::size_t(k)];
    if (!isGraphicPin(p)) pads.push_back({uint32_t(p.x) << 16 | p.y, k});
  }
  std::vector<PinnedPoint> pinned;
  if (pads.empty()) return pinned;
  // Stable, so that of two pads in one place the first wins.
  std::stable_sort(pads.begin(), pads.end(),
                   [](const Pad& a, const Pad& c) { return a.key < c.key; });
  const int count = std::clamp(b.WirePointCount, 0, kWirePointCapacity);
  for (int row = 0; row < count; ++row) {
    if (row >= moving.firstPoint && row < moving.firstPoint + moving.pointCount) continue;
    const WirePoint& w = b.WirePointTable[std::size_t(row)];
    const uint32_t key = uint32_t(w.x & kPositionMask) << 16 | (w.y & kPositionMask);
    const auto at = std::lower_bound(pads.begin(), pads.end(), key,
                                     [](const Pad& a, uint32_t k) { return a.key < k; });
    if (at == pads.end() || at->key != key || !copperMeets(b, row, count)) continue;
    pinned.push_back({row, at->row});
  }
  return pinned;
}

bool pinnedPadsOnBoard(const Board& b, const std::vector<PinnedPoint>& pinned) {
  return std::all_of(pinned.begin(), pinned.end(), [&](const PinnedPoint& p) {
    if (p.pin < 0 || p.pin >= b.PinCount || p.pin >= kPinCapacity) return false;
    const Pin& pin = b.PinTable[std::size_t(p.pin)];
    return View::acceptsPosition(pin.x, pin.y);
  });
}

void followPins(Board& b, const std::vector<PinnedPoint>& pinned) {
  if (!pinnedPadsOnBoard(b, pinned)) return;
  for (const PinnedPoint& p : pinned) {
    if (p.point < 0 || p.point >= b.WirePointCount || p.point >= kWirePointCapacity) continue;
    const Pin& pin = b.PinTable[std::size_t(p.pin)];
    WirePoint& w = b.WirePointTable[std::size_t(p.point)];
    w.x = uint16_t((w.x & ~kPositionMask) | pin.x);
    w.y = uint16_t((w.y & ~kPositionMask) | pin.y);
  }
}

}  // namespace fw

#include "board/Geometry.h"

#include "board/View.h"

namespace fw {

namespace {
const WirePoint& pointAt(const Board& b, int row) {
  return b.WirePointTable[static_cast<std::size_t>(row)];
}
int pointsInUse(const Board& b) {
  return clampInt(b.WirePointCount, 0, kWirePointCapacity);
}
}  // namespace

int wireStartOf(const Board& b, int row) {
  while (row > 0 && !isWireStart(pointAt(b, row))) --row;
  return row;
}

WireRows wireOf(const Board& b, int row) {
  WireRows w;
  w.start = wireStartOf(b, row);
  const int n = pointsInUse(b);
  w.end = w.start + 1;
  while (w.end < n && !isWireStart(pointAt(b, w.end))) ++w.end;
  return w;
}

int wireSegmentEnd(const Board& b, int row) {
  const int n = pointsInUse(b);
  if (row < 0 || row >= n) return -1;
  int e = row;
  if (isWireStart(pointAt(b, row))) {
    e = row + 1;
    if (e >= n || isWireStart(pointAt(b, e))) return -1;
  }
  return e >= 1 ? e : -1;
}

int halfWireWidth(const Board& b, int row) {
  const uint8_t attr = pointAt(b, row).attr;
  if (attr == kWireStartAttr) return 0;
  return WireWidthPixels[clampInt(wireWidthIndex(attr), 0, kWireWidths - 1)][0] / 2;
}

int pointHitHalfWidth(const Board& b, int i) {
  const WirePoint& point = pointAt(b, i);
  const bool nextIsSegment = i + 1 < pointsInUse(b) && !isWireStart(pointAt(b, i + 1));
  int h = halfWireWidth(b, isWireStart(point) && nextIsSegment ? i + 1 : i);
  if (nextIsSegment && wireWidthIndex(pointAt(b, i + 1).attr) > wireWidthIndex(point.attr))
    h = halfWireWidth(b, i + 1);
  return h;
}

int pinHitHalfSize(const Pin& pin) {
  const int h = PinSizePixels[clampInt(pin.sizeIndex, 0, kPinSizes - 1)][0] / 2;
  return pin.style == GraphicPinFlag ? 2 * h : h;
}

uint16_t pinDragRadius(const Board& b, int row, int zoomLevel) {
  if (row < 0 || row >= b.PinCount || row >= kPinCapacity) return 0;
  const Pin& pin = b.PinTable[static_cast<std::size_t>(row)];
  const int d = PinSizePixels[clampInt(pin.sizeIndex, 0, kPinSizes - 1)][zoomColumn(zoomLevel)];
  return static_cast<uint16_t>(isGraphicPin(pin) ? d : d / 2);
}

FrameEdges2 frameEdges2(const Board& b) {
  FrameEdges2 e;
  e.left = 2 * kCenterBoardX - b.FrameWidth;
  e.right = 2 * kCenterBoardX + b.FrameWidth;
  e.top = 2 * kCenterBoardY - b.FrameHeight;
  e.bottom = 2 * kCenterBoardY + b.FrameHeight;
  return e;
}

// Half a board unit of 0.635 mm: an odd frame size puts the corner between two positions.
constexpr long long kHalfUnitNm = 317500;

long long frameXNm(const Board& b, int x) {
  return (2LL * x - frameEdges2(b).left) * kHalfUnitNm;
}

long long frameYNm(const Board& b, int y) {
  return (frameEdges2(b).bottom - 2LL * y) * kHalfUnitNm;
}

uint16_t clampToBoardX(int x) {
  return static_cast<uint16_t>(clampInt(x, 0, kMaxBoardX));
}
uint16_t clampToBoardY(int y) {
  return static_cast<uint16_t>(clampInt(y, 0, kMaxBoardY));
}

}  // namespace fw

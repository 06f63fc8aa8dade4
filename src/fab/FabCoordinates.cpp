#include "fab/FabCoordinates.h"

#include "board/Geometry.h"

namespace fw {

namespace {

constexpr long long kHalfUnitNm = 317500;  // half a board unit

}  // namespace

bool fabHasPad(const Pin& p) {
  return !isGraphicPin(p) && p.style <= 2;
}

// The frame's edges in doubled positions put the origin exactly on the corner the screen draws,
// half a unit between two positions for an odd frame size.
long long fabX(const Board& b, int x) {
  return (2 * x - frameEdges2(b).left) * kHalfUnitNm;
}

long long fabY(const Board& b, int y) {
  return (frameEdges2(b).bottom - 2 * y) * kHalfUnitNm;
}

long long fabLength360(int q) {
  return (q * 25400000LL * 2 + 360) / 720;
}

}  // namespace fw

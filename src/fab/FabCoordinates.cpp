#include "fab/FabCoordinates.h"

#include "board/Geometry.h"
#include "board/PrintTables.h"

namespace fw {

bool fabHasPad(const Pin& p) {
  return !isGraphicPin(p) && p.style <= 2;
}

long long fabX(const Board& b, int x) {
  return frameXNm(b, x);
}

long long fabY(const Board& b, int y) {
  return frameYNm(b, y);
}

long long fabLength360(int q) {
  return printLengthNm(q);
}

}  // namespace fw

#pragma once

#include <algorithm>
#include <cstdint>

#include "board/Board.h"
#include "board/View.h"
#include "render/Canvas.h"

// What the drawing rules and the text layers both need to put board rows in the window.

namespace fw {

// The rows of a table in use: its count, kept within its capacity.
inline int rowsInUse(int32_t count, int32_t capacity) {
  return std::clamp<int32_t>(count, 0, capacity);
}

// A board text's point size at the view's zoom.
inline int textPoints(const View& v, const TextItem& t) {
  return v.zoomFactor() * (t.size & 63) / 5;
}

// Board units to window pixels, as View maps them, without a call per coordinate.
struct Mapping {
  int f, baseX, baseY;
  explicit Mapping(const View& v)
      : f(v.zoomFactor()), baseX(v.toWindowX(0)), baseY(v.toWindowY(0)) {}
  int x(int bx) const { return baseX + f * bx; }
  int y(int by) const { return baseY + f * by; }
};

// The window rectangle the canvas shows, for deciding that something cannot touch it.
struct Visible {
  int x1, y1, x2, y2;
  explicit Visible(const Canvas& c)
      : x1(0), y1(c.yOffset()), x2(c.width() - 1), y2(c.yOffset() + c.height() - 1) {}
  bool touches(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
    return right >= x1 && left <= x2 && bottom >= y1 && top <= y2;
  }
  bool contains(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
    return left >= x1 && right <= x2 && top >= y1 && bottom <= y2;
  }
};

}  // namespace fw

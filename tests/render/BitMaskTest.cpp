// One-bit masks: merging at any offset and drawing on the canvas, against a pixel-by-pixel
// reference, with masks that straddle every edge.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "render/BitMask.h"
#include "render/Canvas.h"

namespace fw {
namespace {

using Pixels = std::set<std::pair<int64_t, int64_t>>;  // (x, y) relative to the origin

bool lit(const BitMask& m, int64_t x, int64_t y) {
  const int64_t c = x - m.left, r = y - m.top;
  if (r < 0 || r >= m.rows || c < 0 || c >= 64 * int64_t(m.words)) return false;
  return (m.row(int(r))[c / 64] >> (c % 64)) & 1;
}

Pixels pixelsOf(const BitMask& m) {
  Pixels p;
  for (int64_t y = m.top; y < m.top + m.rows; ++y)
    for (int64_t x = m.left; x < m.left + 64 * int64_t(m.words); ++x)
      if (lit(m, x, y)) p.insert({x, y});
  return p;
}

// A mask of random runs, some of them whole words long.
BitMask randomMask(std::mt19937& rng, int left, int top, int rows, int width) {
  BitMask m;
  m.reset(left, top, rows, width);
  for (int r = 0; r < rows; ++r)
    for (int k = 0; k < 4; ++k) {
      const int x1 = int(rng() % uint32_t(width));
      const int len = rng() % 4 == 0 ? 70 : int(rng() % 6);
      m.setRun(r, x1, x1 + len);
    }
  return m;
}

TEST(BitMask, MergeAtAnyOffsetLightsExactlyTheSourcePixelsInside) {
  std::mt19937 rng(7);
  for (const int64_t dx : {-300, -129, -64, -63, -1, 0, 1, 5, 63, 64, 65, 130, 199, 250, 1000}) {
    for (const int64_t dy : {-30, -3, 0, 7, 40}) {
      BitMask dst = randomMask(rng, 3, -2, 35, 200);
      const BitMask src = randomMask(rng, -9, 4, 12, 100);
      Pixels want = pixelsOf(dst);
      for (const auto& [x, y] : pixelsOf(src))
        if (x + dx >= dst.left && x + dx < dst.left + dst.width && y + dy >= dst.top &&
            y + dy < dst.top + dst.rows)
          want.insert({x + dx, y + dy});
      dst.merge(src, dx, dy);
      EXPECT_EQ(pixelsOf(dst), want) << "offset " << dx << ", " << dy;
    }
  }
}

TEST(BitMask, CanvasDrawsTheLitPixelsClippedToItsEdges) {
  std::mt19937 rng(11);
  const BitMask m = randomMask(rng, -5, -3, 20, 140);
  const Pixels lits = pixelsOf(m);
  for (const auto& [x, y] :
       std::vector<std::pair<int, int>>{{0, 70}, {-70, 55}, {90, 62}, {37, 95}}) {
    Canvas c(160, 40, 60);
    c.beginBatch();
    c.pixelMask(x, y, m, QColor(255, 0, 0));
    c.endBatch();
    int wrong = 0;
    for (int wy = 60; wy < 100; ++wy)
      for (int wx = 0; wx < 160; ++wx) {
        const bool want = lits.count({wx - x, wy - y}) != 0;
        wrong += (c.pixelAt(wx, wy) == qRgb(255, 0, 0)) != want ? 1 : 0;
      }
    EXPECT_EQ(wrong, 0) << "origin " << x << ", " << y;
  }
}

}  // namespace
}  // namespace fw

// One-bit masks: merging at any offset, drawing on the canvas and scanning an image, against a
// pixel-by-pixel reference, with masks that straddle every edge.

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "render/BitMask.h"
#include "render/Canvas.h"
#include "render/PixelTools.h"

namespace fw {
namespace {

using test::lit;

using Pixels = std::set<std::pair<int64_t, int64_t>>;  // (x, y) relative to the origin

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
      for (int x = x1; x <= std::min(x1 + len, width - 1); ++x)
        m.row(r)[x / 64] |= uint64_t(1) << (x % 64);
    }
  return m;
}

std::vector<std::pair<int64_t, int>> offsetsAndWidths() {
  std::vector<std::pair<int64_t, int>> all;
  for (const int width : {200, 110})
    for (const int64_t dx :
         {-300, -129, -64, -63, -1, 0, 1, 5, 17, 63, 64, 65, 130, 199, 250, 1000})
      all.emplace_back(dx, width);
  return all;
}

TEST(BitMask, MergeAndClearAtAnyOffsetChangeExactlyThePixelsInside) {
  std::mt19937 rng(7);
  // The narrower mask ends in the word where a source merged at 17 ends.
  for (const auto& [dx, width] : offsetsAndWidths()) {
    for (const int64_t dy : {-30, -3, 0, 7, 40}) {
      BitMask dst = randomMask(rng, 3, -2, 35, width);
      const BitMask src = randomMask(rng, -9, 4, 12, 100);
      Pixels want = pixelsOf(dst);
      for (const auto& [x, y] : pixelsOf(src))
        if (x + dx >= dst.left && x + dx < dst.left + dst.width && y + dy >= dst.top &&
            y + dy < dst.top + dst.rows)
          want.insert({x + dx, y + dy});
      dst.merge(src, dx, dy);
      EXPECT_EQ(pixelsOf(dst), want) << "offset " << dx << ", " << dy << " in " << width;
      // Clearing a box at the same offset darkens exactly the pixels inside it.
      const int64_t x1 = dx - 20, y1 = dy, x2 = dx + 70, y2 = dy + 9;
      for (auto it = want.begin(); it != want.end();)
        it = it->first >= x1 && it->first <= x2 && it->second >= y1 && it->second <= y2
                 ? want.erase(it)
                 : std::next(it);
      dst.clear(x1, y1, x2, y2);
      EXPECT_EQ(pixelsOf(dst), want) << "cleared at " << dx << ", " << dy;
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

// Scanning an image: the mask holds exactly the pixels of the area that differ from the blank
// colour, as tightly as they allow, with the sides they touch; clearing blanks the area only.
TEST(BitMask, ScanningAnImageFindsExactlyTheLitPixelsOfTheArea) {
  constexpr QRgb kBlank = 0xFF000000u;
  std::mt19937 rng(5);
  const struct {
    QRect area;
    int lit;  // pixels lit at random in the image
    bool clear;
  } cases[] = {{QRect(0, 0, 1, 1), 40, false},      {QRect(3, 2, 7, 9), 300, true},
               {QRect(1, 0, 63, 20), 60, false},    {QRect(0, 5, 64, 30), 900, true},
               {QRect(9, 1, 65, 33), 5, true},      {QRect(0, 0, 200, 40), 0, true},
               {QRect(2, 3, 197, 36), 2000, false}, {QRect(0, 0, 200, 40), 8000, true}};
  for (const auto& t : cases) {
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(kBlank);
    for (int i = 0; i < t.lit; ++i)
      image.setPixel(int(rng() % 200), int(rng() % 40), qRgb(int(rng() % 256), 255, 0));
    const QImage before = image.copy();
    Pixels want;
    int sides = 0;
    for (int y = t.area.top(); y <= t.area.bottom(); ++y)
      for (int x = t.area.left(); x <= t.area.right(); ++x) {
        if (before.pixel(x, y) == kBlank) continue;
        want.insert({x - 10, y + 4});  // relative to the origin (10, -4)
        sides |= (x == t.area.left() ? kLeftSide : 0) | (x == t.area.right() ? kRightSide : 0) |
                 (y == t.area.top() ? kTopSide : 0) | (y == t.area.bottom() ? kBottomSide : 0);
      }
    BitMask out, work;
    EXPECT_EQ(litMask(image, t.area, kBlank, 10, -4, t.clear, out, work), sides) << t.lit;
    EXPECT_EQ(pixelsOf(out), want) << t.lit;
    // As small as the lit pixels allow.
    int64_t left = INT64_MAX, right = INT64_MIN, top = INT64_MAX, bottom = INT64_MIN;
    for (const auto& [x, y] : want) {
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
    if (!want.empty()) {
      EXPECT_EQ(std::make_tuple(int64_t(out.left), int64_t(out.width), int64_t(out.top),
                                int64_t(out.rows)),
                std::make_tuple(left, right - left + 1, top, bottom - top + 1));
    }
    int changed = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 200; ++x) {
        const QRgb expected = t.clear && t.area.contains(x, y) ? kBlank : before.pixel(x, y);
        changed += image.pixel(x, y) != expected ? 1 : 0;
      }
    EXPECT_EQ(changed, 0) << t.lit;
  }
}

}  // namespace
}  // namespace fw

// The row-by-row shapes against their definitions, pixel by pixel.

#include <gtest/gtest.h>

#include <random>

#include "render/Raster.h"

namespace fw::raster {
namespace {

// Is the pixel centre (2x + 1, 2y + 1) closer than w / 2 to the segment, in half pixels?
bool inCapsule(int64_t x, int64_t y, int x0, int y0, int x1, int y1, int w) {
  const int64_t o = w & 1;
  const int64_t ax = 2 * int64_t(x0) + o, ay = 2 * int64_t(y0) + o;
  const int64_t bx = 2 * int64_t(x1) + o, by = 2 * int64_t(y1) + o;
  const int64_t px = 2 * x + 1 - ax, py = 2 * y + 1 - ay;
  const int64_t dx = bx - ax, dy = by - ay;
  const int64_t len2 = dx * dx + dy * dy;
  const int64_t t = px * dx + py * dy;
  const int64_t r2 = int64_t(w) * w;
  if (len2 == 0 || t <= 0) return px * px + py * py < r2;
  if (t >= len2) return (px - dx) * (px - dx) + (py - dy) * (py - dy) < r2;
  const int64_t cross = px * dy - py * dx;
  return double(cross) * double(cross) < double(r2) * double(len2);
}

bool inEllipse(int64_t x, int64_t y, int x1, int y1, int w, int h) {
  const int64_t u = 2 * x + 1 - 2 * int64_t(x1) - w;
  const int64_t v = 2 * y + 1 - 2 * int64_t(y1) - h;
  return u * u * h * h + v * v * w * w <= int64_t(w) * w * h * h;
}

TEST(Raster, CapsuleRowsAreExactlyThePixelsNearTheSegment) {
  std::mt19937 rng(3);
  auto pick = [&](int lo, int hi) { return int(rng() % uint32_t(hi - lo + 1)) + lo; };
  int mismatches = 0;
  for (int i = 0; i < 400; ++i) {
    const int w = pick(2, 24);
    const int x0 = pick(-20, 20), y0 = pick(-20, 20);
    int x1 = x0, y1 = y0;
    switch (i % 4) {  // level, upright, 45 degrees, any
      case 0:
        x1 = x0 + pick(-30, 30);
        break;
      case 1:
        y1 = y0 + pick(-30, 30);
        break;
      case 2: {
        const int d = pick(-20, 20);
        x1 = x0 + d;
        y1 = y0 + (pick(0, 1) ? d : -d);
        break;
      }
      default:
        x1 = x0 + pick(-30, 30);
        y1 = y0 + pick(-30, 30);
    }
    const Disk disk(w);
    const Capsule cap(x0, y0, x1, y1, disk);
    for (int y = -60; y <= 60; ++y) {
      const Span s = cap.row(y);
      for (int x = -60; x <= 60; ++x) {
        const bool drawn = !s.empty() && x >= s.x1 && x <= s.x2;
        if (drawn != inCapsule(x, y, x0, y0, x1, y1, w)) ++mismatches;
      }
      if (!s.empty()) {
        EXPECT_GE(y, cap.top());
        EXPECT_LE(y, cap.bottom());
        EXPECT_GE(s.x1, cap.left());
        EXPECT_LE(s.x2, cap.right());
      }
    }
  }
  // Floating point decides only exact ties on the band's edges.
  EXPECT_LE(mismatches, 2);
}

TEST(Raster, EllipseAndRoundBoxRowsFollowTheirDefinitions) {
  for (int w = 1; w <= 40; w += 3)
    for (int h = 1; h <= 40; h += 5)
      for (int y = -2; y < h + 2; ++y) {
        const Span s = ellipseRow(3, 0, w, h, y);
        for (int x = 0; x < w + 6; ++x)
          EXPECT_EQ(!s.empty() && x >= s.x1 && x <= s.x2, inEllipse(x, y, 3, 0, w, h))
              << w << "x" << h << " at " << x << "," << y;
      }
  // A rounded box: inside its box; in each corner square, inside that corner's ellipse.
  const RoundBox b = RoundBox::make(10, 20, 50, 40, 12, 8);
  for (int y = 18; y < 42; ++y) {
    const Span s = b.row(y);
    for (int x = 8; x < 52; ++x) {
      bool inside = x >= 10 && x < 50 && y >= 20 && y < 40;
      const bool left = 2 * x + 1 < 2 * 10 + 12, right = 2 * x + 1 > 2 * 50 - 12;
      const bool upper = 2 * y + 1 < 2 * 20 + 8, lower = 2 * y + 1 > 2 * 40 - 8;
      if (inside && (left || right) && (upper || lower))
        inside = inEllipse(x, y, left ? 10 : 50 - 12, upper ? 20 : 40 - 8, 12, 8);
      EXPECT_EQ(!s.empty() && x >= s.x1 && x <= s.x2, inside) << x << "," << y;
    }
  }
  // The inset ring of a pen: an ellipse shrinks to the ellipse of the smaller box.
  const RoundBox e = RoundBox::make(0, 0, 30, 20, 30, 20).inset(3);
  EXPECT_EQ(e.x1, 3);
  EXPECT_EQ(e.x2, 27);
  EXPECT_EQ(e.cornerW, 24);
  EXPECT_EQ(e.cornerH, 14);
}

TEST(Raster, ThinLinesVisitOnlyTheClippedSteps) {
  // Clipping to a window gives the same pixels as drawing all and keeping those inside.
  std::mt19937 rng(5);
  for (int i = 0; i < 300; ++i) {
    const int x0 = int(rng() % 200) - 100, y0 = int(rng() % 200) - 100;
    const int x1 = int(rng() % 200) - 100, y1 = int(rng() % 200) - 100;
    std::vector<std::pair<int, int>> all, clipped;
    thinLine(x0, y0, x1, y1, -1000, 1000, -1000, 1000,
             [&](int x, int y, int64_t) { all.emplace_back(x, y); });
    thinLine(x0, y0, x1, y1, -30, 40, -25, 35,
             [&](int x, int y, int64_t) { clipped.emplace_back(x, y); });
    std::vector<std::pair<int, int>> expected;
    for (const auto& p : all)
      if (p.first >= -30 && p.first <= 40 && p.second >= -25 && p.second <= 35)
        expected.push_back(p);
    EXPECT_EQ(clipped, expected) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    EXPECT_EQ(int(all.size()), std::max(std::abs(x1 - x0), std::abs(y1 - y0)));
    if (!all.empty()) {
      EXPECT_EQ(all.front(), std::make_pair(x0, y0));
    }
  }
}

}  // namespace
}  // namespace fw::raster

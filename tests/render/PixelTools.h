#pragma once

// Small helpers for tests that read canvas pixels.

#include <QColor>
#include <QImage>
#include <cstdint>
#include <string>

#include "render/BitMask.h"
#include "render/Canvas.h"

namespace fw::test {

// Whether the mask lights pixel (x, y), relative to its origin.
inline bool lit(const MaskView& m, int64_t x, int64_t y) {
  const int64_t c = x - m.left, r = y - m.top;
  if (r < 0 || r >= m.rows || c < 0 || c >= 64 * int64_t(m.words)) return false;
  return (m.row(int(r))[c / 64] >> (c % 64)) & 1;
}
inline bool lit(const BitMask& m, int64_t x, int64_t y) {
  return lit(m.view(), x, y);
}

inline QRgb rgb(int r, int g, int b) {
  return qRgb(r, g, b);
}
inline QRgb rgb(const QColor& c) {
  return qRgb(c.red(), c.green(), c.blue());
}

// Pixels of the colour inside window rectangle x1..x2 by y1..y2 (inclusive).
inline int countPixels(const Canvas& c, QRgb colour, int x1, int y1, int x2, int y2) {
  int n = 0;
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      if (c.pixelAt(x, y) == colour) ++n;
  return n;
}

inline int countPixels(const Canvas& c, QRgb colour) {
  return countPixels(c, colour, 0, c.yOffset(), c.width() - 1, c.yOffset() + c.height() - 1);
}

// Bounding box of the pixels of a colour, in window coordinates; empty (x1 > x2) if none.
struct Box {
  int x1 = 1, y1 = 1, x2 = 0, y2 = 0;
  bool empty() const { return x1 > x2; }
  int width() const { return x2 - x1 + 1; }
  int height() const { return y2 - y1 + 1; }
};

inline Box boundsOf(const Canvas& c, QRgb colour) {
  Box b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
  for (int y = c.yOffset(); y < c.yOffset() + c.height(); ++y)
    for (int x = 0; x < c.width(); ++x)
      if (c.pixelAt(x, y) == colour) {
        b.x1 = std::min(b.x1, x);
        b.x2 = std::max(b.x2, x);
        b.y1 = std::min(b.y1, y);
        b.y2 = std::max(b.y2, y);
      }
  if (b.x1 > b.x2) return Box{};
  return b;
}

// Number of differing pixels and the first one, for readable failures.
struct ImageDiff {
  int count = 0;
  int x = -1, y = -1;
  QRgb a = 0, b = 0;
};

inline ImageDiff compareImages(const QImage& a, const QImage& b) {
  ImageDiff d;
  if (a.size() != b.size()) {
    d.count = -1;
    return d;
  }
  for (int y = 0; y < a.height(); ++y) {
    const QRgb* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const QRgb* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      if (ra[x] != rb[x]) {
        if (d.count == 0) {
          d.x = x;
          d.y = y;
          d.a = ra[x];
          d.b = rb[x];
        }
        ++d.count;
      }
  }
  return d;
}

}  // namespace fw::test

#include "render/BitMask.h"

#include <algorithm>

#include "render/Raster.h"

namespace fw {

namespace {

// Bits lo .. 63 of a word.
uint64_t fromBit(int lo) {
  return ~uint64_t(0) << lo;
}

}  // namespace

void BitMask::reset(int left0, int top0, int rows0, int width0) {
  left = left0;
  top = top0;
  rows = std::max(rows0, 0);
  width = std::max(width0, 0);
  words = (width + 63) / 64;
  bits.assign(std::size_t(rows) * std::size_t(words), 0);
}

void BitMask::setRun(int r, int x1, int x2) {
  x1 = std::max(x1, 0);
  x2 = std::min(x2, width - 1);
  if (r < 0 || r >= rows || x1 > x2) return;
  uint64_t* w = row(r);
  const int a = x1 / 64, b = x2 / 64;
  const uint64_t first = fromBit(x1 % 64);
  const uint64_t last = ~uint64_t(0) >> (63 - x2 % 64);
  if (a == b) {
    w[a] |= first & last;
    return;
  }
  w[a] |= first;
  for (int i = a + 1; i < b; ++i) w[i] = ~uint64_t(0);
  w[b] |= last;
}

void BitMask::merge(const BitMask& src, int64_t x, int64_t y) {
  if (src.empty() || empty()) return;
  // Where src's first row and column land in this mask.
  const int64_t dy = y + src.top - top;
  const int64_t dx = x + src.left - left;
  const int64_t r0 = std::max<int64_t>(0, -dy);
  const int64_t r1 = std::min<int64_t>(src.rows - 1, int64_t(rows) - 1 - dy);
  // Source word i lands on this mask's words k = firstWord + i (its low bits) and k + 1.
  const int64_t firstWord = raster::floorDiv(dx, 64);
  const int shift = int(dx - 64 * firstWord);
  const int64_t i0 = std::max<int64_t>(0, -firstWord - 1);
  const int64_t i1 = std::min<int64_t>(src.words - 1, int64_t(words) - 1 - firstWord);
  if (r0 > r1 || i0 > i1) return;
  if (dy >= 0 && dy + src.rows <= rows && dx >= 0 && dx + src.width <= width &&
      firstWord + src.words < words) {
    // Wholly inside, with a word to spare on the right, as glyphs in their text and most texts
    // in the window are: no bounds to check and no bits past the last column.
    const std::size_t n = std::size_t(src.words);
    for (int r = 0; r < src.rows; ++r) {
      const uint64_t* s = src.row(r);
      uint64_t* d = row(int(r + dy)) + firstWord;
      if (shift == 0) {
        for (std::size_t i = 0; i < n; ++i) d[i] |= s[i];
        continue;
      }
      for (std::size_t i = 0; i < n; ++i) {
        d[i] |= s[i] << shift;
        d[i + 1] |= s[i] >> (64 - shift);
      }
    }
    return;
  }
  for (int64_t r = r0; r <= r1; ++r) {
    const uint64_t* s = src.row(int(r));
    uint64_t* d = row(int(r + dy));
    for (int64_t i = i0; i <= i1; ++i) {
      const uint64_t w = s[i];
      if (w == 0) continue;
      const int64_t k = firstWord + i;
      if (k >= 0) d[k] |= w << shift;
      if (shift != 0 && k + 1 < words) d[k + 1] |= w >> (64 - shift);
    }
    // Nothing past the last column.
    d[words - 1] &= ~uint64_t(0) >> (64 * words - width);
  }
}

}  // namespace fw

#include "render/BitMask.h"

#include <QImage>
#include <QRect>
#include <algorithm>

#include "render/Avx2.h"
#include "render/Raster.h"

#if defined(FW_AVX2_PATHS)
#include <immintrin.h>
#endif

namespace fw {

namespace {

// Bits lo .. 63 of a word.
uint64_t fromBit(int lo) {
  return ~uint64_t(0) << lo;
}

// The lit bits of the n (at most 64) pixels from p; with `clear` they are left blank.
uint64_t litWord(QRgb* p, int n, QRgb blank, bool clear) {
  uint64_t w = 0;
  for (int i = 0; i < n; ++i) w |= uint64_t(p[i] != blank) << i;
  if (clear && w != 0) std::fill(p, p + n, blank);
  return w;
}

#if defined(FW_AVX2_PATHS)
// litWord eight pixels at a time, the last few one by one. Most words of a drawn text are
// blank: a whole word of them costs one test of all its pixels together.
__attribute__((target("avx2"))) uint64_t litWordAvx2(QRgb* p, int n, QRgb blank, bool clear) {
  const __m256i b = _mm256_set1_epi32(int(blank));
  const int blocks = n / 8;
  __m256i diff[8];
  __m256i any = _mm256_setzero_si256();
  for (int k = 0; k < blocks; ++k) {
    diff[k] = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8 * k)), b);
    any = _mm256_or_si256(any, diff[k]);
  }
  uint64_t w = 0;
  if (!_mm256_testz_si256(any, any)) {
    for (int k = 0; k < blocks; ++k) {
      const __m256i same = _mm256_cmpeq_epi32(diff[k], _mm256_setzero_si256());
      const unsigned lit = ~unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(same))) & 0xFFu;
      if (lit == 0) continue;
      w |= uint64_t(lit) << (8 * k);
      if (clear) _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 8 * k), b);
    }
  }
  if (blocks * 8 < n) w |= litWord(p + blocks * 8, n - blocks * 8, blank, clear) << (blocks * 8);
  return w;
}
#endif

}  // namespace

void BitMask::reset(int left0, int top0, int rows0, int width0) {
  left = left0;
  top = top0;
  rows = std::max(rows0, 0);
  width = std::max(width0, 0);
  words = (width + 63) / 64;
  bits.assign(std::size_t(rows) * std::size_t(words), 0);
}

void BitMask::clear(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const int64_t c1 = std::max<int64_t>(x1 - left, 0), c2 = std::min<int64_t>(x2 - left, width - 1);
  const int64_t r1 = std::max<int64_t>(y1 - top, 0), r2 = std::min<int64_t>(y2 - top, rows - 1);
  if (c1 > c2 || r1 > r2) return;
  const int a = int(c1 / 64), b = int(c2 / 64);
  const uint64_t first = fromBit(int(c1 % 64));
  const uint64_t last = ~uint64_t(0) >> (63 - c2 % 64);
  for (int64_t r = r1; r <= r2; ++r) {
    uint64_t* w = row(int(r));
    if (a == b) {
      w[a] &= ~(first & last);
      continue;
    }
    w[a] &= ~first;
    std::fill(w + a + 1, w + b, uint64_t(0));
    w[b] &= ~last;
  }
}

void BitMask::merge(const MaskView& src, int64_t x, int64_t y) {
  if (src.empty() || empty()) return;
  // Where src's first row and column land in this mask.
  const int64_t dy = y + src.top - top;
  const int64_t dx = x + src.left - left;
  if (dy >= 0 && dy + src.rows <= rows && dx >= 0 && dx + src.width <= width) {
    // Wholly inside, as most texts in the window are.
    mergeInside(bits.data(), words, left, top, src, x, y);
    return;
  }
  const int64_t r0 = std::max<int64_t>(0, -dy);
  const int64_t r1 = std::min<int64_t>(src.rows - 1, int64_t(rows) - 1 - dy);
  // Source word i lands on this mask's words k = firstWord + i (its low bits) and k + 1.
  const int64_t firstWord = raster::floorDiv(dx, 64);
  const int shift = int(dx - 64 * firstWord);
  const int64_t i0 = std::max<int64_t>(0, -firstWord - 1);
  const int64_t i1 = std::min<int64_t>(src.words - 1, int64_t(words) - 1 - firstWord);
  if (r0 > r1 || i0 > i1) return;
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

int litMask(QImage& image, const QRect& area, QRgb blank, int originX, int originY, bool clear,
            BitMask& out, BitMask& work) {
  const QRect a = area & image.rect();
  out.reset(0, 0, 0, 0);
  if (a.isEmpty()) return 0;
  // Every row of the area as bits first, noting the lit pixels' bounds.
  work.reset(0, 0, a.height(), a.width());
#if defined(FW_AVX2_PATHS)
  const bool avx2 = useAvx2();
#endif
  int firstRow = -1, lastRow = -1, minColumn = a.width(), maxColumn = -1;
  for (int r = 0; r < a.height(); ++r) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(a.top() + r)) + a.left();
    uint64_t* bits = work.row(r);
    bool lit = false;
    for (int i = 0; i < work.words; ++i) {
      const int n = std::min(64, a.width() - 64 * i);
#if defined(FW_AVX2_PATHS)
      const uint64_t w = avx2 ? litWordAvx2(line + 64 * i, n, blank, clear)
                              : litWord(line + 64 * i, n, blank, clear);
#else
      const uint64_t w = litWord(line + 64 * i, n, blank, clear);
#endif
      if (w == 0) continue;
      bits[i] = w;
      lit = true;
      minColumn = std::min(minColumn, 64 * i + __builtin_ctzll(w));
      maxColumn = std::max(maxColumn, 64 * i + 63 - __builtin_clzll(w));
    }
    if (!lit) continue;
    if (firstRow < 0) firstRow = r;
    lastRow = r;
  }
  if (firstRow < 0) return 0;
  out.reset(a.left() + minColumn - originX, a.top() + firstRow - originY, lastRow - firstRow + 1,
            maxColumn - minColumn + 1);
  out.merge(work, a.left() - originX, a.top() - originY);
  return (minColumn == 0 ? kLeftSide : 0) | (maxColumn == a.width() - 1 ? kRightSide : 0) |
         (firstRow == 0 ? kTopSide : 0) | (lastRow == a.height() - 1 ? kBottomSide : 0);
}

}  // namespace fw

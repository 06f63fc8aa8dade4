#pragma once

#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <vector>

class QImage;
class QRect;

namespace fw {

// A mask's rows, laid out as BitMask's below, read-only and without their storage, which a
// BitMask or a larger store owns.
struct MaskView {
  int top = 0;
  int left = 0;
  int rows = 0;
  int width = 0;
  int words = 0;
  const uint64_t* bits = nullptr;

  bool empty() const { return rows <= 0 || words <= 0; }
  const uint64_t* row(int r) const { return bits + std::size_t(r) * std::size_t(words); }
};

// Lights every pixel of `src`, its origin at (x, y) of the destination's origin, in rows of
// `words` words from `bits` whose first pixel lies at (left, top) of that origin. src must be
// non-empty and lie wholly inside the destination: nothing is checked.
inline void mergeInside(uint64_t* bits, int words, int left, int top, const MaskView& src,
                        int64_t x, int64_t y);

// Rows of one-bit pixels, such as a rendered text, relative to an origin: row r lies top + r
// rows below it and holds `words` 64-bit words, bit b of word i being the pixel left + 64 i + b
// columns right of it. Texts are kept this way so that putting many of them together, or on
// top of each other, costs a few word operations per row instead of one per pixel run.
struct BitMask {
  int top = 0;
  int left = 0;
  int rows = 0;
  int width = 0;  // columns that may be lit; words holds them rounded up to whole words
  int words = 0;
  std::vector<uint64_t> bits;

  bool empty() const { return rows <= 0 || words <= 0; }
  // Blank rows x width pixels, the first at (left, top); keeps the storage it had.
  void reset(int left, int top, int rows, int width);
  uint64_t* row(int r) { return bits.data() + std::size_t(r) * std::size_t(words); }
  const uint64_t* row(int r) const { return bits.data() + std::size_t(r) * std::size_t(words); }
  // Darkens the pixels from (x1, y1) to (x2, y2) inclusive, relative to the origin, as far as
  // they fall inside this mask.
  void clear(int64_t x1, int64_t y1, int64_t x2, int64_t y2);
  // Lights every pixel that `src` lights when its origin lies at (x, y) of this mask's origin,
  // as far as it falls inside this mask.
  void merge(const MaskView& src, int64_t x, int64_t y);
  void merge(const BitMask& src, int64_t x, int64_t y) { merge(src.view(), x, y); }
  MaskView view() const { return {top, left, rows, width, words, bits.data()}; }
  std::size_t bytes() const { return bits.capacity() * sizeof(uint64_t); }
};

void mergeInside(uint64_t* bits, int words, int left, int top, const MaskView& src, int64_t x,
                 int64_t y) {
  const int dy = int(y + src.top - top);
  const int dx = int(x + src.left - left);
  const int firstWord = dx / 64;
  const int shift = dx % 64;
  const std::size_t n = std::size_t(src.words);
  const uint64_t* s = src.bits;
  uint64_t* d = bits + std::size_t(dy) * std::size_t(words) + std::size_t(firstWord);
  if (shift == 0) {
    for (int r = 0; r < src.rows; ++r, s += n, d += words)
      for (std::size_t i = 0; i < n; ++i) d[i] |= s[i];
    return;
  }
  // The last source word's high bits need a word of their own only where this mask has one;
  // where it has none, they are blank, as src lights nothing past its width.
  const bool spill = firstWord + src.words < words;
  for (int r = 0; r < src.rows; ++r, s += n, d += words) {
    for (std::size_t i = 0; i + 1 < n; ++i) {
      d[i] |= s[i] << shift;
      d[i + 1] |= s[i] >> (64 - shift);
    }
    d[n - 1] |= s[n - 1] << shift;
    if (spill) d[n] |= s[n - 1] >> (64 - shift);
  }
}

// The sides of a scanned area that lit pixels touch.
enum LitSide { kLeftSide = 1, kRightSide = 2, kTopSide = 4, kBottomSide = 8 };

// The pixels of `area` (inside `image`, Format_RGB32) that differ from `blank`, as a mask no
// larger than they need, its origin at (originX, originY) of the image. With `clear`, the
// pixels scanned are all `blank` afterwards. `work` is scratch space, kept by the caller so
// that its storage is reused. Returns the LitSide bits of the sides that lit pixels touch.
int litMask(QImage& image, const QRect& area, QRgb blank, int originX, int originY, bool clear,
            BitMask& out, BitMask& work);

}  // namespace fw

#include <cstdlib>

#include "render/CanvasImpl.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace fw::canvas_detail {

namespace {

// Rows per band of a batch: 32 rows of a wide image stay within a core's cache.
constexpr int kBandRows = 32;

// Figures whose origin lies within this of the canvas origin, and no larger than the limits
// below, are drawn from stamps.
constexpr int kStampCoordLimit = 1 << 24;
constexpr int kStampMaxLine = 1024;
constexpr int kStampMaxBox = 4096;
constexpr int kStampMaxPen = 255;
constexpr std::size_t kStampMaxSpans = 4'000'000;
static_assert(kStampMaxLine < (1 << 15) && kStampMaxBox < (1 << 13) && kStampMaxPen < (1 << 8),
              "stamp keys pack offsets in 16 bits, sizes in 13 and pens in 8");

bool stampable(int x, int y) {
  return std::abs(x) <= kStampCoordLimit && std::abs(y) <= kStampCoordLimit;
}

// Sets row[a..b] to the colour. Runs are mostly short, so whole blocks of four pixels are
// stored, the last one overlapping the block before it rather than finishing pixel by pixel.
inline void fillRun(QRgb* row, int a, int b, QRgb colour) {
  const int n = b - a + 1;
#if defined(__SSE2__)
  if (n >= 4) {
    const __m128i v = _mm_set1_epi32(int(colour));
    QRgb* const last = row + b - 3;
    for (QRgb* p = row + a; p < last; p += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(last), v);
    return;
  }
#endif
  for (int i = 0; i < n; ++i) row[a + i] = colour;
}

#if defined(__SSE2__) && defined(FW_AVX2_PATHS)
#define FW_CANVAS_AVX2 1
// useAvx2 kept here, where it is asked for every span: a load and a branch, not a call.
bool avx2() {
  static const bool use = useAvx2();
  return use;
}

// writeSpan in Copy or Merge mode eight pixels at a time, for spans of at least eight.
__attribute__((target("avx2"))) void writeSpanAvx2(QRgb* row, int x1, int x2, QRgb colour,
                                                   bool merge) {
  const __m256i c = _mm256_set1_epi32(int(colour));
  auto block = [&](QRgb * p) __attribute__((target("avx2"))) {
    auto* q = reinterpret_cast<__m256i*>(p);
    _mm256_storeu_si256(q, merge ? _mm256_or_si256(_mm256_loadu_si256(q), c) : c);
  };
  // Writing or ORing a pixel twice is doing it once, so the last block may overlap.
  QRgb* const last = row + x2 - 7;
  for (QRgb* p = row + x1; p < last; p += 8) block(p);
  block(last);
}

// writeWord eight pixels at a time, for processors that have AVX2.
__attribute__((target("avx2"))) void writeWordAvx2(QRgb* p, uint64_t w, QRgb colour) {
  const __m256i c = _mm256_set1_epi32(int(colour));
  const __m256i lanes = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
  for (int k = 0; k < 8; ++k, w >>= 8, p += 8) {
    const unsigned byte = unsigned(w & 0xFF);
    if (byte == 0) continue;
    auto* q = reinterpret_cast<__m256i*>(p);
    if (byte == 0xFF) {
      _mm256_storeu_si256(q, c);
      continue;
    }
    const __m256i lit =
        _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(int(byte)), lanes), lanes);
    _mm256_storeu_si256(q, _mm256_blendv_epi8(_mm256_loadu_si256(q), c, lit));
  }
}
#endif

inline void writeSpan(QRgb* row, int x1, int x2, QRgb colour, RasterMode mode) {
  if (mode == RasterMode::Copy) {
    fillRun(row, x1, x2, colour);
    return;
  }
  QRgb* p = row + x1;
  QRgb* const end = row + x2 + 1;
#if defined(__SSE2__)
  if (end - p >= 4) {
    auto block = [](QRgb* q, __m128i k, bool merge) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(q),
                       merge ? _mm_or_si128(v, k) : _mm_xor_si128(v, k));
    };
    if (mode == RasterMode::Merge) {
      // OR twice is OR once, so the last block may overlap.
      const __m128i k = _mm_set1_epi32(int(colour));
      for (; end - p > 4; p += 4) block(p, k, true);
      block(end - 4, k, true);
      return;
    }
    const __m128i k = _mm_set1_epi32(int(kRgbMask));
    for (; end - p >= 4; p += 4) block(p, k, false);
  }
#endif
  // Merge ORs the colour in, invert flips every colour bit.
  if (mode == RasterMode::Merge)
    for (; p != end; ++p) *p |= colour;
  else
    for (; p != end; ++p) *p ^= kRgbMask;
}

// Writes the part of the span on window row y that lies inside the target.
inline void drawSpan(const Target& t, int y, raster::Span s, QRgb colour, RasterMode mode) {
  if (s.empty() || y < t.top || y > t.bottom) return;
  const int x1 = std::max(s.x1, 0);
  const int x2 = std::min(s.x2, t.w - 1);
  if (x1 > x2) return;
#if defined(FW_CANVAS_AVX2)
  if (x2 - x1 >= 7 && mode != RasterMode::Invert && avx2()) {
    writeSpanAvx2(t.row(y), x1, x2, colour, mode == RasterMode::Merge);
    return;
  }
#endif
  writeSpan(t.row(y), x1, x2, colour, mode);
}

void drawLine(const Op& op, const Target& t, Disks& disks) {
  const DrawState& s = op.st;
  if (s.penWidth <= 1) {
    const bool dashed = s.penStyle == PenStyle::DashDotDot;
    const bool fillGaps = s.brushStyle == BrushStyle::Solid;
    const int64_t phase = op.dashPhase;
    raster::thinLine(op.v[0], op.v[1], op.v[2], op.v[3], 0, t.w - 1, t.top, t.bottom,
                     [&](int x, int y, int64_t k) {
                       if (!dashed || dashOn(phase + k))
                         Target::pixel(t.row(y)[x], s.pen, s.mode);
                       else if (fillGaps)
                         Target::pixel(t.row(y)[x], s.brush, s.mode);
                     });
    return;
  }
  if (const Stamp* stamp = op.stamp) {
    const int x0 = op.v[0], top = op.v[1] + stamp->top;
    const int first = std::max(top, t.top);
    const int last = std::min(top + int(stamp->outer.size()) - 1, t.bottom);
    for (int y = first; y <= last; ++y) {
      const raster::Span r = stamp->outer[std::size_t(y - top)];
      drawSpan(t, y, {r.x1 + x0, r.x2 + x0}, s.pen, s.mode);
    }
    return;
  }
  const raster::Capsule cap(op.v[0], op.v[1], op.v[2], op.v[3], disks.of(s.penWidth), op.v[4] != 0);
  const int first = std::max(cap.top(), t.top);
  const int last = std::min(cap.bottom(), t.bottom);
  for (int y = first; y <= last; ++y) drawSpan(t, y, cap.row(y), s.pen, s.mode);
}

void drawShape(const Op& op, const Target& t) {
  const DrawState& s = op.st;
  const raster::RoundBox box = {op.v[0], op.v[1], op.v[2], op.v[3], op.v[4], op.v[5]};
  const bool fill = s.brushStyle == BrushStyle::Solid;
  // Pen and brush cover the box between them; when they look alike, draw it in one go.
  const bool whole = fill && (s.mode == RasterMode::Invert || s.pen == s.brush);
  const raster::RoundBox inner = box.inset(std::max(s.penWidth, 1));
  const Stamp* stamp = op.stamp;
  const int first = std::max(box.y1, t.top);
  const int last = std::min(box.y2 - 1, t.bottom);
  for (int y = first; y <= last; ++y) {
    raster::Span outer, in;
    if (stamp) {
      const std::size_t i = std::size_t(y - box.y1);
      outer = stamp->outer[i];
      in = stamp->inner[i];
      outer.x1 += box.x1;
      outer.x2 += box.x1;
      in.x1 += box.x1;
      in.x2 += box.x1;
    } else {
      outer = box.row(y);
      if (!outer.empty() && !whole) {
        in = inner.row(y);
        if (!in.empty()) {
          in.x1 = std::max(in.x1, outer.x1);
          in.x2 = std::min(in.x2, outer.x2);
        }
      }
    }
    if (outer.empty()) continue;
    if (whole || in.empty()) {
      drawSpan(t, y, outer, s.pen, s.mode);
      continue;
    }
    drawSpan(t, y, {outer.x1, in.x1 - 1}, s.pen, s.mode);
    drawSpan(t, y, {in.x2 + 1, outer.x2}, s.pen, s.mode);
    if (fill) drawSpan(t, y, in, s.brush, s.mode);
  }
}

#if defined(__SSE2__)
// For each value of four bits, the block of four pixels whose lanes it lights.
struct NibbleLanes {
  __m128i lanes[16];
  NibbleLanes() {
    for (int n = 0; n < 16; ++n)
      lanes[n] = _mm_set_epi32(n & 8 ? -1 : 0, n & 4 ? -1 : 0, n & 2 ? -1 : 0, n & 1 ? -1 : 0);
  }
};
const NibbleLanes kNibbleLanes;
#endif

// Sets each pixel p[b] (b = 0 .. 63) whose bit b of w is lit to the colour.
inline void writeWord(QRgb* p, uint64_t w, QRgb colour) {
#if defined(__SSE2__)
  // Sixteen pixels at a time: skipped when blank, stored when whole, else four blocks of four,
  // each blended under its lanes with no branch on the pattern of bits.
  const __m128i c = _mm_set1_epi32(int(colour));
  for (int k = 0; k < 4; ++k, w >>= 16, p += 16) {
    unsigned chunk = unsigned(w & 0xFFFF);
    if (chunk == 0) continue;
    auto* q = reinterpret_cast<__m128i*>(p);
    if (chunk == 0xFFFF) {
      for (int i = 0; i < 4; ++i) _mm_storeu_si128(q + i, c);
      continue;
    }
    for (int i = 0; i < 4; ++i, chunk >>= 4) {
      const __m128i lit = kNibbleLanes.lanes[chunk & 15];
      const __m128i v = _mm_loadu_si128(q + i);
      _mm_storeu_si128(q + i, _mm_or_si128(_mm_andnot_si128(lit, v), _mm_and_si128(lit, c)));
    }
  }
#else
  for (; w != 0; w &= w - 1) p[__builtin_ctzll(w)] = colour;
#endif
}

// v: origin x, y, then the mask's top, left, rows and words per row.
void drawBits(const Op& op, const Target& t) {
  const QRgb colour = op.st.pen;
  const int top = op.v[1] + op.v[2];
  const int rows = op.v[4];
  const int words = op.v[5];
  const int first = std::max(t.top - top, 0);
  const int last = std::min(t.bottom - top, rows - 1);
  const int64_t x0 = int64_t(op.v[0]) + op.v[3];
  // Only the words that reach into the target's columns.
  const int i0 = int(std::max<int64_t>(0, raster::floorDiv(-x0, 64)));
  const int i1 = int(std::min<int64_t>(words - 1, raster::floorDiv(t.w - 1 - x0, 64)));
#if defined(FW_CANVAS_AVX2)
  const bool useWide = avx2();
#endif
  for (int r = first; r <= last; ++r) {
    QRgb* p = t.row(top + r);
    const uint64_t* src = op.bits + std::size_t(r) * std::size_t(words);
    for (int i = i0; i <= i1; ++i) {
      uint64_t w = src[i];
      if (w == 0) continue;
      const int64_t px = x0 + 64 * int64_t(i);
      if (px >= 0 && px + 64 <= t.w) {
#if defined(FW_CANVAS_AVX2)
        if (useWide) {
          writeWordAvx2(p + px, w, colour);
          continue;
        }
#endif
        writeWord(p + px, w, colour);
        continue;
      }
      for (; w != 0; w &= w - 1) {
        const int64_t x = px + __builtin_ctzll(w);
        if (x >= 0 && x < t.w) p[x] = colour;
      }
    }
  }
}

void drawGrid(const Op& op, const Target& t) {
  const int x0 = op.v[0], dx = op.v[1], x1 = std::min(op.v[2], t.w - 1);
  const int y0 = op.v[3], dy = op.v[4], y1 = std::min(op.v[5], t.bottom);
  if (x1 < 0) return;
  int y = y0;
  if (y < t.top) y += int((int64_t(t.top) - y + dy - 1) / dy * dy);
  int firstX = x0;
  if (firstX < 0) firstX += int((int64_t(-firstX) + dx - 1) / dx * dx);
  for (; y <= y1; y += dy) {
    QRgb* row = t.row(y);
    for (int x = firstX; x <= x1; x += dx) row[x] = op.st.pen;
  }
}

// Draws the part of the operation that lies in the target.
inline void draw(const Op& op, const Target& t, Disks& disks) {
  switch (op.kind) {
    case OpKind::Pixel:
      if (op.v[1] >= t.top && op.v[1] <= t.bottom && op.v[0] >= 0 && op.v[0] < t.w)
        t.row(op.v[1])[op.v[0]] = op.st.pen;
      break;
    case OpKind::Line:
      drawLine(op, t, disks);
      break;
    case OpKind::Shape:
      drawShape(op, t);
      break;
    case OpKind::Bits:
      drawBits(op, t);
      break;
    case OpKind::Grid:
      drawGrid(op, t);
      break;
  }
}

}  // namespace

// Stamps are dropped only between batches, never while collected operations point at them.
void OpRaster::trimStamps() {
  if (!batching_ && stampSpans_ > kStampMaxSpans) {
    lineStamps_.clear();
    shapeStamps_.clear();
    stampSpans_ = 0;
  }
}

const Stamp* OpRaster::lineStamp(int x0, int y0, int x1, int y1, int width, bool startCap) {
  const int dx = x1 - x0, dy = y1 - y0;
  if (!stampable(x0, y0) || std::abs(dx) > kStampMaxLine || std::abs(dy) > kStampMaxLine ||
      width > kStampMaxPen)
    return nullptr;
  trimStamps();
  // 16 bits for each offset (at most kStampMaxLine), the width, the start cap.
  const uint64_t key = (uint64_t(uint16_t(int16_t(dx))) << 48) |
                       (uint64_t(uint16_t(int16_t(dy))) << 32) | (uint64_t(width) << 1) |
                       (startCap ? 1 : 0);
  auto& slot = lineStamps_[key];
  if (!slot) {
    slot = std::make_unique<Stamp>();
    const raster::Capsule cap(0, 0, dx, dy, disks_.of(width), startCap);
    slot->top = cap.top();
    slot->outer.reserve(std::size_t(cap.bottom() - cap.top() + 1));
    for (int y = cap.top(); y <= cap.bottom(); ++y) slot->outer.push_back(cap.row(y));
    stampSpans_ += slot->outer.size();
  }
  return slot.get();
}

const Stamp* OpRaster::shapeStamp(const raster::RoundBox& box, int penWidth) {
  const int w = box.x2 - box.x1, h = box.y2 - box.y1;
  if (!stampable(box.x1, box.y1) || w > kStampMaxBox || h > kStampMaxBox || penWidth > kStampMaxPen)
    return nullptr;
  trimStamps();
  const int pen = std::max(penWidth, 1);
  // 13 bits for each size (at most kStampMaxBox), 8 for the pen.
  const uint64_t key = (uint64_t(w) << 47) | (uint64_t(h) << 34) | (uint64_t(box.cornerW) << 21) |
                       (uint64_t(box.cornerH) << 8) | uint64_t(pen);
  auto& slot = shapeStamps_[key];
  if (!slot) {
    slot = std::make_unique<Stamp>();
    const raster::RoundBox outer = raster::RoundBox::make(0, 0, w, h, box.cornerW, box.cornerH);
    const raster::RoundBox inner = outer.inset(pen);
    for (int y = 0; y < h; ++y) {
      const raster::Span o = outer.row(y);
      raster::Span in = o.empty() ? raster::Span{} : inner.row(y);
      if (!in.empty()) {
        in.x1 = std::max(in.x1, o.x1);
        in.x2 = std::min(in.x2, o.x2);
      }
      slot->outer.push_back(o);
      slot->inner.push_back(in);
    }
    stampSpans_ += 2 * slot->outer.size();
  }
  return slot.get();
}

const raster::Disk& Disks::of(int width) {
  if (std::size_t(width) >= byWidth_.size()) byWidth_.resize(std::size_t(width) + 1);
  auto& slot = byWidth_[std::size_t(width)];
  if (!slot) slot = std::make_unique<raster::Disk>(width);
  return *slot;
}

void OpRaster::execute(const Op& op, const Target& t) {
  draw(op, t, disks_);
}

void OpRaster::fillRows(const Target& t, int x1, int x2, QRgb colour) {
  for (int y = t.top; y <= t.bottom; ++y) drawSpan(t, y, {x1, x2}, colour, RasterMode::Copy);
}

// Draws the collected operations band by band.
void OpRaster::flush(QImage& image, int imageTop) {
  if (ops_.empty()) return;
  const int firstRow = imageTop;
  const int lastRow = imageTop + image.height() - 1;
  const int rows = image.height();
  const int bands = (rows + kBandRows - 1) / kBandRows;
  // Counting sort of (band, op) pairs by band; within a band the order of drawing stays.
  bandStart_.assign(std::size_t(bands) + 1, 0);
  auto bandOf = [&](int y) { return std::clamp((y - imageTop) / kBandRows, 0, bands - 1); };
  for (const Op& op : ops_) {
    const int b0 = bandOf(std::max(op.top, firstRow));
    const int b1 = bandOf(std::min(op.bottom, lastRow));
    for (int b = b0; b <= b1; ++b) ++bandStart_[std::size_t(b) + 1];
  }
  for (int b = 0; b < bands; ++b) bandStart_[std::size_t(b) + 1] += bandStart_[std::size_t(b)];
  bandOps_.resize(bandStart_[std::size_t(bands)]);
  std::vector<uint32_t> fill(bandStart_.begin(), bandStart_.end() - 1);
  for (uint32_t i = 0; i < ops_.size(); ++i) {
    const Op& op = ops_[i];
    const int b0 = bandOf(std::max(op.top, firstRow));
    const int b1 = bandOf(std::min(op.bottom, lastRow));
    for (int b = b0; b <= b1; ++b) bandOps_[fill[std::size_t(b)]++] = i;
  }
  for (int b = 0; b < bands; ++b) {
    const int top = imageTop + b * kBandRows;
    const Target t = Target::of(image, imageTop, top, top + kBandRows - 1);
    const uint32_t end = bandStart_[std::size_t(b) + 1];
    for (uint32_t k = bandStart_[std::size_t(b)]; k < end; ++k) {
      // The operations' own data lie scattered in memory: ask for it ahead of use.
      if (k + 4 < end) __builtin_prefetch(&ops_[bandOps_[k + 4]]);
      if (k + 2 < end && ops_[bandOps_[k + 2]].bits) __builtin_prefetch(ops_[bandOps_[k + 2]].bits);
      draw(ops_[bandOps_[k]], t, disks_);
    }
  }
  ops_.clear();
}

}  // namespace fw::canvas_detail

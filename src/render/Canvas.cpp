#include "render/Canvas.h"

#include <QFontMetrics>
#include <QPen>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <unordered_map>

#include "render/Raster.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fw {

namespace {

// 96 dpi, so that point sizes give the pixel sizes of a classic screen.
constexpr int kDotsPerMeter = 3780;
constexpr int kMaxFontPoints = 1000;
constexpr QRgb kOpaque = 0xFF000000u;
constexpr QRgb kRgbMask = 0x00FFFFFFu;
// Rows per band of a batch: 32 rows of a wide image stay within a core's cache.
constexpr int kBandRows = 32;

// Dash-dot-dot: a dash of 9 pixels, then two dots of 3, each followed by a gap of 3.
constexpr int kDashPeriod = 24;
bool dashOn(int64_t pos) {
  const int64_t p = pos % kDashPeriod;
  return p < 9 || (p >= 12 && p < 15) || (p >= 18 && p < 21);
}

QRgb opaqueRgb(const QColor& c) {
  return kOpaque | (c.rgb() & kRgbMask);
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

// The image rows that one drawing step may write, addressed in window coordinates.
struct Target {
  uchar* bits;
  qsizetype bpl;
  int w;
  int imageTop;  // window row of image row 0
  int top;       // first window row that may be written
  int bottom;    // last window row that may be written

  QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits + (y - imageTop) * bpl); }
  void span(int y, raster::Span s, QRgb colour, RasterMode mode) const {
    if (s.empty() || y < top || y > bottom) return;
    const int x1 = std::max(s.x1, 0);
    const int x2 = std::min(s.x2, w - 1);
    if (x1 > x2) return;
    writeSpan(row(y), x1, x2, colour, mode);
  }
  static void pixel(QRgb& p, QRgb colour, RasterMode mode) {
    switch (mode) {
      case RasterMode::Copy:
        p = colour;
        break;
      case RasterMode::Merge:
        p |= colour;
        break;
      case RasterMode::Invert:
        p ^= kRgbMask;
        break;
    }
  }
};

// The canvas state a drawing operation depends on, taken when it is asked for.
struct DrawState {
  QRgb pen = kOpaque;
  QRgb brush = kOpaque | kRgbMask;
  int penWidth = 1;
  PenStyle penStyle = PenStyle::Solid;
  BrushStyle brushStyle = BrushStyle::Solid;
  RasterMode mode = RasterMode::Copy;
};

// The row spans of a wide line or a shape relative to its origin (a line's start point, a
// shape's top-left corner), worked out once and reused for every figure of the same size and
// direction: the shapes' rows are exact integer functions of offsets, so moving a figure by
// whole pixels only moves its spans.
struct Stamp {
  int top = 0;                      // first row, relative to the origin
  std::vector<raster::Span> outer;  // per row: a line's pixels, or a shape's outer edge
  std::vector<raster::Span> inner;  // shapes only: what the pen leaves inside
};

// Figures whose origin lies within this of the canvas origin, and no larger than the limits
// below, are drawn from stamps.
constexpr int kStampCoordLimit = 1 << 24;
constexpr int kStampMaxLine = 1024;
constexpr int kStampMaxBox = 4096;
constexpr int kStampMaxPen = 255;
constexpr std::size_t kStampMaxSpans = 4'000'000;
static_assert(kStampMaxLine < (1 << 15) && kStampMaxBox < (1 << 13) && kStampMaxPen < (1 << 8),
              "stamp keys pack offsets in 16 bits, sizes in 13 and pens in 8");

enum class OpKind : uint8_t { Pixel, Line, Shape, Runs, Grid };

// One drawing operation, complete with its state, so it can run later and in pieces.
struct Op {
  OpKind kind;
  DrawState st;
  int64_t dashPhase = 0;
  int v[6] = {0, 0, 0, 0, 0, 0};   // the operation's coordinates, see Canvas::Impl::execute
  const uint32_t* data = nullptr;  // of a RunMask
  const Stamp* stamp = nullptr;    // of a line or shape, when one is kept
  int top = 0;                     // rows it may touch
  int bottom = -1;
};

}  // namespace

struct Canvas::Impl {
  QImage image;
  int yOffset = 60;

  QColor penColor{0, 0, 0};
  QColor brushColor{255, 255, 255};
  DrawState st;
  int penX = 0;
  int penY = 0;
  int64_t dashPhase = 0;

  // The font is made on first use: fonts need the application object.
  std::optional<QFont> font;
  QString fontFamily = QStringLiteral("Arial");
  int fontPoints = 8;
  QColor fontColor{0, 0, 0};
  bool textOpaque = false;
  std::optional<QFontMetrics> metrics;

  QPainter painter;
  // Round ends of wide lines, by pen width, made when first needed.
  std::vector<std::unique_ptr<raster::Disk>> disks;

  std::unordered_map<uint64_t, std::unique_ptr<Stamp>> lineStamps;
  std::unordered_map<uint64_t, std::unique_ptr<Stamp>> shapeStamps;
  std::size_t stampSpans = 0;

  static bool stampable(int x, int y) {
    return std::abs(x) <= kStampCoordLimit && std::abs(y) <= kStampCoordLimit;
  }

  // Stamps are dropped only between batches, never while collected operations point at them.
  void trimStamps() {
    if (!batching && stampSpans > kStampMaxSpans) {
      lineStamps.clear();
      shapeStamps.clear();
      stampSpans = 0;
    }
  }

  const Stamp* lineStamp(int dx, int dy, int width, bool startCap) {
    // 16 bits for each offset (at most kStampMaxLine), the width, the start cap.
    const uint64_t key = (uint64_t(uint16_t(int16_t(dx))) << 48) |
                         (uint64_t(uint16_t(int16_t(dy))) << 32) | (uint64_t(width) << 1) |
                         (startCap ? 1 : 0);
    auto& slot = lineStamps[key];
    if (!slot) {
      slot = std::make_unique<Stamp>();
      const raster::Capsule cap(0, 0, dx, dy, disk(width), startCap);
      slot->top = cap.top();
      for (int y = cap.top(); y <= cap.bottom(); ++y) slot->outer.push_back(cap.row(y));
      stampSpans += slot->outer.size();
    }
    return slot.get();
  }

  const Stamp* shapeStamp(const raster::RoundBox& box, int pen) {
    const int w = box.x2 - box.x1, h = box.y2 - box.y1;
    // 13 bits for each size (at most kStampMaxBox), 8 for the pen.
    const uint64_t key = (uint64_t(w) << 47) | (uint64_t(h) << 34) | (uint64_t(box.cornerW) << 21) |
                         (uint64_t(box.cornerH) << 8) | uint64_t(pen);
    auto& slot = shapeStamps[key];
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
      stampSpans += 2 * slot->outer.size();
    }
    return slot.get();
  }

  // The last wide line drawn, while nothing else has been drawn since: a line continuing it
  // with the same pen need not draw its round start again.
  struct {
    bool valid = false;
    int x = 0, y = 0;
    DrawState st;
  } lastLine;

  bool batching = false;
  std::vector<Op> ops;
  std::vector<uint32_t> bandStart;  // per band, its first entry in bandOps
  std::vector<uint32_t> bandOps;    // op indices ordered by band, then by order of drawing

  void allocate(int w, int h) {
    lastLine.valid = false;
    flush();
    endPainter();
    image = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(kOpaque);
    metrics.reset();
  }

  void endPainter() {
    if (painter.isActive()) painter.end();
  }

  int firstRow() const { return yOffset; }
  int lastRow() const { return yOffset + image.height() - 1; }

  Target target(int top, int bottom) {
    Target t;
    t.bits = image.bits();
    t.bpl = image.bytesPerLine();
    t.w = image.width();
    t.imageTop = yOffset;
    t.top = std::max(top, firstRow());
    t.bottom = std::min(bottom, lastRow());
    return t;
  }

  const raster::Disk& disk(int width) {
    if (std::size_t(width) >= disks.size()) disks.resize(std::size_t(width) + 1);
    auto& slot = disks[std::size_t(width)];
    if (!slot) slot = std::make_unique<raster::Disk>(width);
    return *slot;
  }

  QFont& currentFont() {
    if (!font) {
      QFont f(fontFamily);
      f.setStyleStrategy(QFont::NoAntialias);
      f.setPointSize(fontPoints);
      font = f;
      metrics.reset();
    }
    return *font;
  }

  const QFontMetrics& fontMetrics() {
    if (!metrics) metrics.emplace(currentFont(), &image);
    return *metrics;
  }

  QPainter& activePainter() {
    lastLine.valid = false;
    flush();
    if (!painter.isActive()) {
      painter.begin(&image);
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setRenderHint(QPainter::TextAntialiasing, false);
      painter.translate(0, -yOffset);
    }
    return painter;
  }

  Op makeOp(OpKind kind) {
    Op op;
    op.kind = kind;
    op.st = st;
    op.st.pen = opaqueRgb(penColor);
    op.st.brush = opaqueRgb(brushColor);
    return op;
  }

  // Draws the operation now, or keeps it for the batch.
  void submit(const Op& op) {
    lastLine.valid = false;
    if (op.top > op.bottom || op.bottom < firstRow() || op.top > lastRow()) return;
    if (batching) {
      ops.push_back(op);
      return;
    }
    execute(op, target(op.top, op.bottom));
  }

  void line(int x0, int y0, int x1, int y1) {
    Op op = makeOp(OpKind::Line);
    op.v[0] = x0;
    op.v[1] = y0;
    op.v[2] = x1;
    op.v[3] = y1;
    op.dashPhase = dashPhase;
    const int reach = st.penWidth <= 1 ? 0 : st.penWidth / 2 + 1;
    op.top = raster::clampCoord(int64_t(std::min(y0, y1)) - reach);
    op.bottom = raster::clampCoord(int64_t(std::max(y0, y1)) + reach);
    if (st.penWidth <= 1 && st.penStyle == PenStyle::DashDotDot) {
      const int64_t n = std::max(std::abs(int64_t(x1) - x0), std::abs(int64_t(y1) - y0));
      dashPhase = (dashPhase + n) % kDashPeriod;
    }
    const int64_t left = int64_t(std::min(x0, x1)) - reach;
    const int64_t right = int64_t(std::max(x0, x1)) + reach;
    if (right < 0 || left >= image.width() || op.bottom < firstRow() || op.top > lastRow()) {
      lastLine.valid = false;
      return;
    }
    const bool wide = st.penWidth > 1;
    // v[4]: 1 = draw the round start, 0 = the previous line drew it. Copying or merging the
    // same pixels again changes nothing; inverting would.
    const bool continues = wide && lastLine.valid && lastLine.x == x0 && lastLine.y == y0 &&
                           lastLine.st.pen == op.st.pen && lastLine.st.penWidth == op.st.penWidth &&
                           lastLine.st.mode == op.st.mode && op.st.mode != RasterMode::Invert;
    op.v[4] = continues ? 0 : 1;
    if (wide && stampable(x0, y0) && std::abs(x1 - x0) <= kStampMaxLine &&
        std::abs(y1 - y0) <= kStampMaxLine && st.penWidth <= kStampMaxPen) {
      trimStamps();
      op.stamp = lineStamp(x1 - x0, y1 - y0, st.penWidth, !continues);
    }
    submit(op);
    if (wide) {
      lastLine.valid = true;
      lastLine.x = x1;
      lastLine.y = y1;
      lastLine.st = op.st;
    }
  }

  void shape(const raster::RoundBox& box) {
    if (box.isEmpty() || box.x2 <= 0 || box.x1 >= image.width() || box.y2 <= firstRow() ||
        box.y1 > lastRow()) {
      lastLine.valid = false;
      return;
    }
    Op op = makeOp(OpKind::Shape);
    op.v[0] = box.x1;
    op.v[1] = box.y1;
    op.v[2] = box.x2;
    op.v[3] = box.y2;
    op.v[4] = box.cornerW;
    op.v[5] = box.cornerH;
    op.top = box.y1;
    op.bottom = box.y2 - 1;
    if (stampable(box.x1, box.y1) && box.x2 - box.x1 <= kStampMaxBox &&
        box.y2 - box.y1 <= kStampMaxBox && st.penWidth <= kStampMaxPen) {
      trimStamps();
      op.stamp = shapeStamp(box, std::max(st.penWidth, 1));
    }
    submit(op);
  }

  void execute(const Op& op, const Target& t) {
    switch (op.kind) {
      case OpKind::Pixel:
        if (op.v[1] >= t.top && op.v[1] <= t.bottom && op.v[0] >= 0 && op.v[0] < t.w)
          t.row(op.v[1])[op.v[0]] = op.st.pen;
        break;
      case OpKind::Line:
        executeLine(op, t);
        break;
      case OpKind::Shape:
        executeShape(op, t);
        break;
      case OpKind::Runs:
        executeRuns(op, t);
        break;
      case OpKind::Grid:
        executeGrid(op, t);
        break;
    }
  }

  void executeLine(const Op& op, const Target& t) {
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
        t.span(y, {r.x1 + x0, r.x2 + x0}, s.pen, s.mode);
      }
      return;
    }
    const raster::Capsule cap(op.v[0], op.v[1], op.v[2], op.v[3], disk(s.penWidth), op.v[4] != 0);
    const int first = std::max(cap.top(), t.top);
    const int last = std::min(cap.bottom(), t.bottom);
    for (int y = first; y <= last; ++y) t.span(y, cap.row(y), s.pen, s.mode);
  }

  void executeShape(const Op& op, const Target& t) {
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
        t.span(y, outer, s.pen, s.mode);
        continue;
      }
      t.span(y, {outer.x1, in.x1 - 1}, s.pen, s.mode);
      t.span(y, {in.x2 + 1, outer.x2}, s.pen, s.mode);
      if (fill) t.span(y, in, s.brush, s.mode);
    }
  }

  // v: origin x, y, then the mask's top, left, rows and width.
  void executeRuns(const Op& op, const Target& t) {
    const QRgb colour = op.st.pen;
    const int top = op.v[1] + op.v[2];
    const int rows = op.v[4];
    const int first = std::max(t.top - top, 0);
    const int last = std::min(t.bottom - top, rows - 1);
    const int x0 = op.v[0] + op.v[3];
    const bool inside = x0 >= 0 && x0 + op.v[5] <= t.w;
    const uint32_t* rowStart = op.data;
    const uint32_t* runs = op.data + rows + 1;
    for (int r = first; r <= last; ++r) {
      QRgb* p = t.row(top + r);
      const uint32_t end = rowStart[r + 1];
      for (uint32_t k = rowStart[r]; k < end; ++k) {
        int a = x0 + int(runs[k] & 0xFFFF), b = x0 + int(runs[k] >> 16);
        if (!inside) {
          a = std::max(a, 0);
          b = std::min(b, t.w - 1);
        }
        if (a <= b) fillRun(p, a, b, colour);
      }
    }
  }

  void executeGrid(const Op& op, const Target& t) {
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

  // Draws the collected operations band by band.
  void flush() {
    if (ops.empty()) return;
    const int rows = image.height();
    const int bands = (rows + kBandRows - 1) / kBandRows;
    // Counting sort of (band, op) pairs by band; within a band the order of drawing stays.
    bandStart.assign(std::size_t(bands) + 1, 0);
    auto bandOf = [&](int y) { return std::clamp((y - yOffset) / kBandRows, 0, bands - 1); };
    for (const Op& op : ops) {
      const int b0 = bandOf(std::max(op.top, firstRow()));
      const int b1 = bandOf(std::min(op.bottom, lastRow()));
      for (int b = b0; b <= b1; ++b) ++bandStart[std::size_t(b) + 1];
    }
    for (int b = 0; b < bands; ++b) bandStart[std::size_t(b) + 1] += bandStart[std::size_t(b)];
    bandOps.resize(bandStart[std::size_t(bands)]);
    std::vector<uint32_t> fill(bandStart.begin(), bandStart.end() - 1);
    for (uint32_t i = 0; i < ops.size(); ++i) {
      const Op& op = ops[i];
      const int b0 = bandOf(std::max(op.top, firstRow()));
      const int b1 = bandOf(std::min(op.bottom, lastRow()));
      for (int b = b0; b <= b1; ++b) bandOps[fill[std::size_t(b)]++] = i;
    }
    for (int b = 0; b < bands; ++b) {
      const int top = yOffset + b * kBandRows;
      const Target t = target(top, top + kBandRows - 1);
      const uint32_t end = bandStart[std::size_t(b) + 1];
      for (uint32_t k = bandStart[std::size_t(b)]; k < end; ++k) {
        // The operations' own data lie scattered in memory: ask for it ahead of use.
        if (k + 4 < end) __builtin_prefetch(&ops[bandOps[k + 4]]);
        if (k + 2 < end && ops[bandOps[k + 2]].data) __builtin_prefetch(ops[bandOps[k + 2]].data);
        execute(ops[bandOps[k]], t);
      }
    }
    ops.clear();
  }
};

Canvas::Canvas(int width, int height, int yOffset) : d(std::make_unique<Impl>()) {
  d->yOffset = yOffset;
  d->allocate(width, height);
}

Canvas::~Canvas() {
  d->endPainter();
}

void Canvas::resize(int width, int height) {
  d->allocate(width, height);
}
int Canvas::width() const {
  return d->image.width();
}
int Canvas::height() const {
  return d->image.height();
}
int Canvas::yOffset() const {
  return d->yOffset;
}

const QImage& Canvas::image() const {
  d->flush();
  d->endPainter();
  return d->image;
}

QImage& Canvas::image() {
  d->lastLine.valid = false;
  d->flush();
  d->endPainter();
  return d->image;
}

QRgb Canvas::pixelAt(int x, int y) const {
  d->flush();
  const int iy = y - d->yOffset;
  if (x < 0 || x >= d->image.width() || iy < 0 || iy >= d->image.height()) return kOpaque;
  return reinterpret_cast<const QRgb*>(d->image.constScanLine(iy))[x];
}

QRgb* Canvas::scanLine(int y) {
  d->lastLine.valid = false;
  d->flush();
  const int iy = y - d->yOffset;
  if (iy < 0 || iy >= d->image.height()) return nullptr;
  return reinterpret_cast<QRgb*>(d->image.scanLine(iy));
}

void Canvas::setPenColor(const QColor& c) {
  d->penColor = c;
}
void Canvas::setPenWidth(int w) {
  d->st.penWidth = std::clamp(w, 0, 4096);
}
void Canvas::setPenStyle(PenStyle s) {
  d->st.penStyle = s;
}
void Canvas::setBrushColor(const QColor& c) {
  d->brushColor = c;
}
void Canvas::setBrushStyle(BrushStyle s) {
  d->st.brushStyle = s;
}
void Canvas::setRasterMode(RasterMode m) {
  d->st.mode = m;
}

void Canvas::setFont(const QFont& f) {
  QFont copy(f);
  copy.setStyleStrategy(QFont::NoAntialias);
  copy.setPointSize(d->fontPoints);
  d->fontFamily = copy.family();
  d->font = copy;
  d->metrics.reset();
}

void Canvas::setFontPointSize(int points) {
  const int p = std::clamp(points, 1, kMaxFontPoints);
  if (p == d->fontPoints) return;
  d->fontPoints = p;
  if (d->font) {
    d->font->setPointSize(p);
    d->metrics.reset();
  }
}

void Canvas::setFontColor(const QColor& c) {
  d->fontColor = c;
}
void Canvas::setTextBackgroundOpaque(bool opaque) {
  d->textOpaque = opaque;
}

QColor Canvas::penColor() const {
  return d->penColor;
}
int Canvas::penWidth() const {
  return d->st.penWidth;
}
PenStyle Canvas::penStyle() const {
  return d->st.penStyle;
}
QColor Canvas::brushColor() const {
  return d->brushColor;
}
BrushStyle Canvas::brushStyle() const {
  return d->st.brushStyle;
}
RasterMode Canvas::rasterMode() const {
  return d->st.mode;
}
int Canvas::penX() const {
  return d->penX;
}
int Canvas::penY() const {
  return d->penY;
}
QFont Canvas::font() const {
  return d->currentFont();
}
int Canvas::fontPointSize() const {
  return d->fontPoints;
}
QColor Canvas::fontColor() const {
  return d->fontColor;
}
bool Canvas::textBackgroundOpaque() const {
  return d->textOpaque;
}

void Canvas::setPixel(int x, int y, const QColor& c) {
  Op op = d->makeOp(OpKind::Pixel);
  op.st.pen = opaqueRgb(c);
  op.v[0] = x;
  op.v[1] = y;
  op.top = op.bottom = y;
  if (x < 0 || x >= d->image.width()) return;
  d->submit(op);
}

void Canvas::moveTo(int x, int y) {
  d->penX = raster::clampCoord(x);
  d->penY = raster::clampCoord(y);
  d->dashPhase = 0;
}

void Canvas::lineTo(int x, int y) {
  const int x1 = raster::clampCoord(x);
  const int y1 = raster::clampCoord(y);
  d->line(d->penX, d->penY, x1, y1);
  d->penX = x1;
  d->penY = y1;
}

void Canvas::polyline(const std::vector<QPoint>& points) {
  const int64_t savedPhase = d->dashPhase;
  d->dashPhase = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    d->line(raster::clampCoord(points[i - 1].x()), raster::clampCoord(points[i - 1].y()),
            raster::clampCoord(points[i].x()), raster::clampCoord(points[i].y()));
  }
  d->dashPhase = savedPhase;
}

void Canvas::rectangle(int x1, int y1, int x2, int y2) {
  d->shape(raster::RoundBox::make(raster::clampCoord(x1), raster::clampCoord(y1),
                                  raster::clampCoord(x2), raster::clampCoord(y2), 0, 0));
}

void Canvas::ellipse(int x1, int y1, int x2, int y2) {
  const raster::RoundBox box =
      raster::RoundBox::make(raster::clampCoord(x1), raster::clampCoord(y1), raster::clampCoord(x2),
                             raster::clampCoord(y2), 0, 0);
  d->shape(
      raster::RoundBox::make(box.x1, box.y1, box.x2, box.y2, box.x2 - box.x1, box.y2 - box.y1));
}

void Canvas::roundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
  d->shape(raster::RoundBox::make(raster::clampCoord(x1), raster::clampCoord(y1),
                                  raster::clampCoord(x2), raster::clampCoord(y2), cornerW,
                                  cornerH));
}

void Canvas::pixelRuns(int x, int y, const RunMask& mask, const QColor& c) {
  if (mask.rows <= 0 || mask.data.size() < std::size_t(mask.rows) + 1) return;
  if (mask.data[std::size_t(mask.rows)] > mask.data.size() - std::size_t(mask.rows) - 1) return;
  if (int64_t(x) + mask.left + mask.width <= 0 || int64_t(x) + mask.left >= width()) return;
  Op op = d->makeOp(OpKind::Runs);
  op.st.pen = opaqueRgb(c);
  op.v[0] = x;
  op.v[1] = y;
  op.v[2] = mask.top;
  op.v[3] = mask.left;
  op.v[4] = mask.rows;
  op.v[5] = mask.width;
  op.data = mask.data.data();
  op.top = raster::clampCoord(int64_t(y) + mask.top);
  op.bottom = raster::clampCoord(int64_t(y) + mask.top + mask.rows - 1);
  d->submit(op);
}

void Canvas::dotGrid(int x0, int dx, int x1, int y0, int dy, int y1, const QColor& c) {
  if (dx < 1 || dy < 1 || x1 < x0 || y1 < y0) return;
  Op op = d->makeOp(OpKind::Grid);
  op.st.pen = opaqueRgb(c);
  op.v[0] = x0;
  op.v[1] = dx;
  op.v[2] = x1;
  op.v[3] = y0;
  op.v[4] = dy;
  op.v[5] = y1;
  op.top = y0;
  op.bottom = y1;
  d->submit(op);
}

void Canvas::beginBatch() {
  d->batching = true;
}

void Canvas::endBatch() {
  d->flush();
  d->batching = false;
}

void Canvas::textOut(int x, int y, const QString& text) {
  d->lastLine.valid = false;
  d->flush();
  const QFontMetrics& fm = d->fontMetrics();
  const int px = raster::clampCoord(x);
  const int py = raster::clampCoord(y);
  if (d->textOpaque) {
    const Target t = d->target(py, py + fm.height() - 1);
    const int w = fm.horizontalAdvance(text);
    const QRgb bg = opaqueRgb(d->brushColor);
    for (int row = t.top; row <= t.bottom; ++row)
      t.span(row, {px, px + w - 1}, bg, RasterMode::Copy);
  }
  if (text.isEmpty()) return;
  QPainter& p = d->activePainter();
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p.setFont(d->currentFont());
  p.setPen(d->fontColor);
  p.setBrush(Qt::NoBrush);
  p.drawText(QPoint(px, py + fm.ascent()), text);
}

QSize Canvas::textExtent(const QString& text) {
  const QFontMetrics& fm = d->fontMetrics();
  return {fm.horizontalAdvance(text), fm.height()};
}

QPainter& Canvas::painter() {
  QPainter& p = d->activePainter();
  QPen pen(d->penColor);
  if (d->st.penWidth <= 1) {
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
  } else {
    pen.setWidth(d->st.penWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  pen.setStyle(d->st.penStyle == PenStyle::DashDotDot ? Qt::DashDotDotLine : Qt::SolidLine);
  p.setPen(pen);
  p.setBrush(d->st.brushStyle == BrushStyle::Solid ? QBrush(d->brushColor) : QBrush(Qt::NoBrush));
  p.setBackgroundMode(d->textOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
  p.setBackground(QBrush(d->brushColor));
  switch (d->st.mode) {
    case RasterMode::Copy:
      p.setCompositionMode(QPainter::CompositionMode_SourceOver);
      break;
    case RasterMode::Merge:
      p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
      break;
    case RasterMode::Invert:
      p.setCompositionMode(QPainter::RasterOp_NotDestination);
      break;
  }
  if (d->font) p.setFont(*d->font);
  return p;
}

}  // namespace fw

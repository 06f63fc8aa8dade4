#pragma once

// The inside of Canvas, shared by its two halves: Canvas.cpp keeps the canvas state and turns
// each call into a drawing operation; CanvasBatch.cpp draws the operations, at once or
// collected for a batch and drawn band by band. Nothing outside the canvas includes this.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "render/Avx2.h"
#include "render/Canvas.h"
#include "render/Raster.h"

namespace fw {
namespace canvas_detail {

constexpr QRgb kOpaque = 0xFF000000u;
constexpr QRgb kRgbMask = 0x00FFFFFFu;

// Dash-dot-dot: a dash of 9 pixels, then two dots of 3, each followed by a gap of 3.
constexpr int kDashPeriod = 24;
inline bool dashOn(int64_t pos) {
  const int64_t p = pos % kDashPeriod;
  return p < 9 || (p >= 12 && p < 15) || (p >= 18 && p < 21);
}

inline QRgb opaqueRgb(const QColor& c) {
  return kOpaque | (c.rgb() & kRgbMask);
}

// The image rows that one drawing step may write, addressed in window coordinates.
struct Target {
  uchar* bits;
  qsizetype bpl;
  int w;
  int imageTop;  // window row of image row 0
  int top;       // first window row that may be written
  int bottom;    // last window row that may be written

  // Rows top .. bottom of the image, as far as it has them; imageTop is the window row of its
  // first row.
  static Target of(QImage& image, int imageTop, int top, int bottom) {
    Target t;
    t.bits = image.bits();
    t.bpl = image.bytesPerLine();
    t.w = image.width();
    t.imageTop = imageTop;
    t.top = std::max(top, imageTop);
    t.bottom = std::min(bottom, imageTop + image.height() - 1);
    return t;
  }

  QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits + (y - imageTop) * bpl); }
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

enum class OpKind : uint8_t { Pixel, Line, Shape, Bits, Grid };

// One drawing operation, complete with its state, so it can run later and in pieces.
//
// v holds its coordinates: a pixel's x, y; a line's start x, y, end x, y and 1 when it draws
// its round start (0 when the line before it drew that); a shape's box x1, y1, x2, y2 and
// corners; a bit mask's origin x, y, then the mask's top, left, rows and words per row; a dot
// grid's x0, dx, x1, y0, dy, y1.
struct Op {
  OpKind kind;
  DrawState st;
  int64_t dashPhase = 0;
  int v[6] = {0, 0, 0, 0, 0, 0};
  const uint64_t* bits = nullptr;  // of a BitMask
  const Stamp* stamp = nullptr;    // of a line or shape, when one is kept
  int top = 0;                     // rows it may touch
  int bottom = -1;
};

// Round ends of wide lines, by pen width, made when first needed.
class Disks {
 public:
  const raster::Disk& of(int width);

 private:
  std::vector<std::unique_ptr<raster::Disk>> byWidth_;
};

// Draws operations: at once, or collected between begin and end and then drawn band by band.
// Keeps the stamps and round ends that wide lines and shapes are drawn from.
class OpRaster {
 public:
  bool batching() const { return batching_; }
  void begin(std::size_t expectedOps) {
    batching_ = true;
    if (expectedOps > ops_.capacity()) ops_.reserve(expectedOps);
  }
  // Draws what was collected and stops collecting.
  void end(QImage& image, int imageTop) {
    flush(image, imageTop);
    batching_ = false;
  }
  void collect(const Op& op) { ops_.push_back(op); }
  // Draws what was collected, band by band; imageTop is the window row of the image's first row.
  void flush(QImage& image, int imageTop);
  // Draws the operation at once, as far as it lies in the target.
  void execute(const Op& op, const Target& t);
  // Sets columns x1 .. x2 of every row of the target to the colour.
  void fillRows(const Target& t, int x1, int x2, QRgb colour);

  // The stamp of a wide line from (x0, y0) to (x1, y1), or nullptr when the line is too long or
  // too far away to keep one.
  const Stamp* lineStamp(int x0, int y0, int x1, int y1, int width, bool startCap);
  // The stamp of a shape drawn with the pen width, or nullptr when it is too large or too far
  // away to keep one.
  const Stamp* shapeStamp(const raster::RoundBox& box, int penWidth);

 private:
  void trimStamps();

  bool batching_ = false;
  std::vector<Op> ops_;
  std::vector<uint32_t> bandStart_;  // per band, its first entry in bandOps_
  std::vector<uint32_t> bandOps_;    // op indices ordered by band, then by order of drawing

  Disks disks_;
  std::unordered_map<uint64_t, std::unique_ptr<Stamp>> lineStamps_;
  std::unordered_map<uint64_t, std::unique_ptr<Stamp>> shapeStamps_;
  std::size_t stampSpans_ = 0;
};

}  // namespace canvas_detail

struct Canvas::Impl {
  using DrawState = canvas_detail::DrawState;
  using Op = canvas_detail::Op;
  using OpKind = canvas_detail::OpKind;
  using Target = canvas_detail::Target;

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

  // The last wide line drawn, while nothing else has been drawn since: a line continuing it
  // with the same pen need not draw its round start again.
  struct {
    bool valid = false;
    int x = 0, y = 0;
    DrawState st;
  } lastLine;

  canvas_detail::OpRaster opRaster;

  void allocate(int w, int h);
  void endPainter() {
    if (painter.isActive()) painter.end();
  }
  void flush() { opRaster.flush(image, yOffset); }

  int firstRow() const { return yOffset; }
  int lastRow() const { return yOffset + image.height() - 1; }
  Target target(int top, int bottom) { return Target::of(image, yOffset, top, bottom); }

  QFont& currentFont();
  const QFontMetrics& fontMetrics();
  QPainter& activePainter();

  Op makeOp(OpKind kind);
  // Draws the operation now, or keeps it for the batch.
  void submit(const Op& op);
  void line(int x0, int y0, int x1, int y1);
  void shape(const raster::RoundBox& box);
};

}  // namespace fw

#include "render/Canvas.h"

#include <QFontMetrics>
#include <QPen>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "render/Raster.h"

namespace fw {

namespace {

// 96 dpi, so that point sizes give the pixel sizes of a classic screen.
constexpr int kDotsPerMeter = 3780;
constexpr int kMaxFontPoints = 1000;
constexpr QRgb kOpaque = 0xFF000000u;
constexpr QRgb kRgbMask = 0x00FFFFFFu;

// Dash-dot-dot: a dash of 9 pixels, then two dots of 3, each followed by a gap of 3.
constexpr int kDashPeriod = 24;
bool dashOn(int64_t pos) {
  const int64_t p = pos % kDashPeriod;
  return p < 9 || (p >= 12 && p < 15) || (p >= 18 && p < 21);
}

QRgb opaqueRgb(const QColor& c) {
  return kOpaque | (c.rgb() & kRgbMask);
}

void writeSpan(QRgb* row, int x1, int x2, QRgb colour, RasterMode mode) {
  QRgb* p = row + x1;
  QRgb* end = row + x2 + 1;
  switch (mode) {
    case RasterMode::Copy:
      std::fill(p, end, colour);
      break;
    case RasterMode::Merge:
      for (; p != end; ++p) *p |= colour;
      break;
    case RasterMode::Invert:
      for (; p != end; ++p) *p ^= kRgbMask;
      break;
  }
}

// The image rows of one drawing operation, addressed in window coordinates.
struct Target {
  uchar* bits;
  qsizetype bpl;
  int w;
  int top;     // first window row shown
  int bottom;  // last window row shown
  RasterMode mode;

  QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits + (y - top) * bpl); }
  void span(int y, raster::Span s, QRgb colour) const {
    if (s.empty() || y < top || y > bottom) return;
    const int x1 = std::max(s.x1, 0);
    const int x2 = std::min(s.x2, w - 1);
    if (x1 > x2) return;
    writeSpan(row(y), x1, x2, colour, mode);
  }
  void pixel(int x, int y, QRgb colour) const {
    QRgb& p = row(y)[x];
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

}  // namespace

struct Canvas::Impl {
  QImage image;
  int yOffset = 60;

  QColor penColor{0, 0, 0};
  int penWidth = 1;
  PenStyle penStyle = PenStyle::Solid;
  QColor brushColor{255, 255, 255};
  BrushStyle brushStyle = BrushStyle::Solid;
  RasterMode mode = RasterMode::Copy;
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

  void allocate(int w, int h) {
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

  Target target() {
    Target t;
    t.bits = image.bits();
    t.bpl = image.bytesPerLine();
    t.w = image.width();
    t.top = yOffset;
    t.bottom = yOffset + image.height() - 1;
    t.mode = mode;
    return t;
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
    if (!painter.isActive()) {
      painter.begin(&image);
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setRenderHint(QPainter::TextAntialiasing, false);
      painter.translate(0, -yOffset);
    }
    return painter;
  }

  void line(int x0, int y0, int x1, int y1) {
    const Target t = target();
    if (penWidth <= 1) {
      const QRgb pen = opaqueRgb(penColor);
      const QRgb gap = opaqueRgb(brushColor);
      const bool dashed = penStyle == PenStyle::DashDotDot;
      const bool fillGaps = brushStyle == BrushStyle::Solid;
      const int64_t phase = dashPhase;
      raster::thinLine(x0, y0, x1, y1, 0, t.w - 1, t.top, t.bottom, [&](int x, int y, int64_t k) {
        if (!dashed || dashOn(phase + k))
          t.pixel(x, y, pen);
        else if (fillGaps)
          t.pixel(x, y, gap);
      });
      if (dashed) {
        const int64_t n = std::max(std::abs(int64_t(x1) - x0), std::abs(int64_t(y1) - y0));
        dashPhase = (phase + n) % kDashPeriod;
      }
      return;
    }
    const raster::Capsule cap(x0, y0, x1, y1, penWidth);
    const QRgb pen = opaqueRgb(penColor);
    const int first = std::max(cap.top(), t.top);
    const int last = std::min(cap.bottom(), t.bottom);
    if (cap.right() < 0 || cap.left() >= t.w) return;
    for (int y = first; y <= last; ++y) t.span(y, cap.row(y), pen);
  }

  void shape(const raster::RoundBox& box) {
    if (box.isEmpty()) return;
    const Target t = target();
    const QRgb pen = opaqueRgb(penColor);
    const QRgb brush = opaqueRgb(brushColor);
    const bool fill = brushStyle == BrushStyle::Solid;
    // Pen and brush cover the box between them; when they look alike, draw it in one go.
    const bool whole = fill && (mode == RasterMode::Invert || pen == brush);
    const raster::RoundBox inner = box.inset(std::max(penWidth, 1));
    const int first = std::max(box.y1, t.top);
    const int last = std::min(box.y2 - 1, t.bottom);
    for (int y = first; y <= last; ++y) {
      const raster::Span outer = box.row(y);
      if (outer.empty()) continue;
      if (whole) {
        t.span(y, outer, pen);
        continue;
      }
      raster::Span in = inner.row(y);
      if (in.empty()) {
        t.span(y, outer, pen);
        continue;
      }
      in.x1 = std::max(in.x1, outer.x1);
      in.x2 = std::min(in.x2, outer.x2);
      t.span(y, {outer.x1, in.x1 - 1}, pen);
      t.span(y, {in.x2 + 1, outer.x2}, pen);
      if (fill) t.span(y, in, brush);
    }
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
  d->endPainter();
  return d->image;
}

QImage& Canvas::image() {
  d->endPainter();
  return d->image;
}

QRgb Canvas::pixelAt(int x, int y) const {
  const int iy = y - d->yOffset;
  if (x < 0 || x >= d->image.width() || iy < 0 || iy >= d->image.height()) return kOpaque;
  return reinterpret_cast<const QRgb*>(d->image.constScanLine(iy))[x];
}

QRgb* Canvas::scanLine(int y) {
  const int iy = y - d->yOffset;
  if (iy < 0 || iy >= d->image.height()) return nullptr;
  return reinterpret_cast<QRgb*>(d->image.scanLine(iy));
}

void Canvas::setPenColor(const QColor& c) {
  d->penColor = c;
}
void Canvas::setPenWidth(int w) {
  d->penWidth = std::clamp(w, 0, 4096);
}
void Canvas::setPenStyle(PenStyle s) {
  d->penStyle = s;
}
void Canvas::setBrushColor(const QColor& c) {
  d->brushColor = c;
}
void Canvas::setBrushStyle(BrushStyle s) {
  d->brushStyle = s;
}
void Canvas::setRasterMode(RasterMode m) {
  d->mode = m;
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
  return d->penWidth;
}
PenStyle Canvas::penStyle() const {
  return d->penStyle;
}
QColor Canvas::brushColor() const {
  return d->brushColor;
}
BrushStyle Canvas::brushStyle() const {
  return d->brushStyle;
}
RasterMode Canvas::rasterMode() const {
  return d->mode;
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
  if (QRgb* row = scanLine(y)) {
    if (x >= 0 && x < d->image.width()) row[x] = opaqueRgb(c);
  }
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

void Canvas::textOut(int x, int y, const QString& text) {
  const QFontMetrics& fm = d->fontMetrics();
  const int px = raster::clampCoord(x);
  const int py = raster::clampCoord(y);
  if (d->textOpaque) {
    const Target t = d->target();
    Target copy = t;
    copy.mode = RasterMode::Copy;
    const int w = fm.horizontalAdvance(text);
    const QRgb bg = opaqueRgb(d->brushColor);
    const int last = std::min(py + fm.height() - 1, t.bottom);
    for (int row = std::max(py, t.top); row <= last; ++row) copy.span(row, {px, px + w - 1}, bg);
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
  if (d->penWidth <= 1) {
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
  } else {
    pen.setWidth(d->penWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  pen.setStyle(d->penStyle == PenStyle::DashDotDot ? Qt::DashDotDotLine : Qt::SolidLine);
  p.setPen(pen);
  p.setBrush(d->brushStyle == BrushStyle::Solid ? QBrush(d->brushColor) : QBrush(Qt::NoBrush));
  p.setBackgroundMode(d->textOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
  p.setBackground(QBrush(d->brushColor));
  switch (d->mode) {
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

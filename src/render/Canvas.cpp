#include "render/Canvas.h"

#include <sys/mman.h>

#include <QPen>
#include <cstdlib>

#include "render/CanvasImpl.h"

namespace fw {

using canvas_detail::kDashPeriod;
using canvas_detail::kOpaque;
using canvas_detail::Op;
using canvas_detail::opaqueRgb;
using canvas_detail::OpKind;

namespace {

// 96 dpi, so that point sizes give the pixel sizes of a classic screen.
constexpr int kDotsPerMeter = 3780;
constexpr int kMaxFontPoints = 1000;

}  // namespace

QImage newImage(int w, int h, QImage::Format format) {
  constexpr std::size_t kLargePage = std::size_t(2) << 20;
  const int depth = QImage::toPixelFormat(format).bitsPerPixel();
  const std::size_t bpl = (std::size_t(std::max(w, 0)) * std::size_t(depth) + 31) / 32 * 4;
  const std::size_t bytes = bpl * std::size_t(std::max(h, 0));
  const std::size_t reserved = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  void* pixels = nullptr;
  if (w <= 0 || h <= 0 || depth <= 0 || bytes < 2 * kLargePage ||
      posix_memalign(&pixels, kLargePage, reserved) != 0)
    return QImage(w, h, format);
#if defined(MADV_HUGEPAGE)
  madvise(pixels, reserved, MADV_HUGEPAGE);
#endif
  return QImage(static_cast<uchar*>(pixels), w, h, qsizetype(bpl), format, std::free, pixels);
}

void Canvas::Impl::allocate(int w, int h) {
  lastLine.valid = false;
  flush();
  endPainter();
  image = newImage(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  image.fill(kOpaque);
  metrics.reset();
}

QFont& Canvas::Impl::currentFont() {
  if (!font) {
    QFont f(fontFamily);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setPointSize(fontPoints);
    font = f;
    metrics.reset();
  }
  return *font;
}

const QFontMetrics& Canvas::Impl::fontMetrics() {
  if (!metrics) metrics.emplace(currentFont(), &image);
  return *metrics;
}

QPainter& Canvas::Impl::activePainter() {
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

Op Canvas::Impl::makeOp(OpKind kind) {
  Op op;
  op.kind = kind;
  op.st = st;
  op.st.pen = opaqueRgb(penColor);
  op.st.brush = opaqueRgb(brushColor);
  return op;
}

void Canvas::Impl::submit(const Op& op) {
  lastLine.valid = false;
  if (op.top > op.bottom || op.bottom < firstRow() || op.top > lastRow()) return;
  if (opRaster.batching()) {
    opRaster.collect(op);
    return;
  }
  opRaster.execute(op, target(op.top, op.bottom));
}

void Canvas::Impl::line(int x0, int y0, int x1, int y1) {
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
  if (wide) op.stamp = opRaster.lineStamp(x0, y0, x1, y1, st.penWidth, !continues);
  submit(op);
  if (wide) {
    lastLine.valid = true;
    lastLine.x = x1;
    lastLine.y = y1;
    lastLine.st = op.st;
  }
}

void Canvas::Impl::shape(const raster::RoundBox& box) {
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
  op.stamp = opRaster.shapeStamp(box, st.penWidth);
  submit(op);
}

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

Canvas::State Canvas::state() const {
  return {d->penColor, d->st.penWidth, d->st.penStyle, d->brushColor, d->st.brushStyle, d->st.mode,
          d->penX,     d->penY,        d->fontPoints,  d->fontColor,  d->textOpaque};
}
QFont Canvas::font() const {
  return d->currentFont();
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

void Canvas::pixelMask(int x, int y, const BitMask& mask, const QColor& c) {
  if (mask.empty() || mask.bits.size() < std::size_t(mask.rows) * std::size_t(mask.words)) return;
  const int64_t left = int64_t(x) + mask.left;
  if (left + 64 * int64_t(mask.words) <= 0 || left >= width()) return;
  Op op = d->makeOp(OpKind::Bits);
  op.st.pen = opaqueRgb(c);
  op.v[0] = x;
  op.v[1] = y;
  op.v[2] = mask.top;
  op.v[3] = mask.left;
  op.v[4] = mask.rows;
  op.v[5] = mask.words;
  op.bits = mask.bits.data();
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

void Canvas::beginBatch(std::size_t expectedOps) {
  d->opRaster.begin(expectedOps);
}

void Canvas::endBatch() {
  d->opRaster.end(d->image, d->yOffset);
}

void Canvas::textOut(int x, int y, const QString& text) {
  d->lastLine.valid = false;
  d->flush();
  const QFontMetrics& fm = d->fontMetrics();
  const int px = raster::clampCoord(x);
  const int py = raster::clampCoord(y);
  if (d->textOpaque) {
    const int w = fm.horizontalAdvance(text);
    d->opRaster.fillRows(d->target(py, py + fm.height() - 1), px, px + w - 1,
                         opaqueRgb(d->brushColor));
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

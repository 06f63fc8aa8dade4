#include "print/PrintRoutine.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRawFont>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "board/Geometry.h"
#include "board/PrintTables.h"
#include "board/View.h"
#include "render/Canvas.h"

namespace fw {

namespace {

// The top-left pin's centre stands this many dots in from the printable area's corner, unless
// the artwork would then reach past the area's left or top edge.
constexpr int kMargin = 20;
// The layer items a print can choose: what any of them draws is the artwork that must fit.
constexpr int kPrintLayerItems = 4;
// A frame mark continues a frame edge about 3 mm out from its corner and is about 0.2 mm wide,
// in 1/360 inch at 100%.
constexpr int kMarkLength = 43;
constexpr int kMarkWidth = 3;

int dpiOf(const PrintSettings& s) {
  return kPrintDpiTable[clampInt(s.dpiIndex, 0, 4)];
}

// Millimetres as dots at the settings' resolution, rounded.
int mmDots(int tenthsOfMm, const PrintSettings& s) {
  return (tenthsOfMm * dpiOf(s) + 127) / 254;
}

struct Origin {
  int x = 30000;
  int y = 30000;
};

// The smallest x and y over the pins; a board without pins takes them over every element, so
// that it still lands on the page.
Origin printOrigin(const Board& b) {
  Origin o;
  auto take = [&o](int x, int y) {
    o.x = std::min(o.x, x);
    o.y = std::min(o.y, y);
  };
  for (int32_t i = 0; i < b.PinCount; ++i)
    take(b.PinTable[std::size_t(i)].x, b.PinTable[std::size_t(i)].y);
  if (b.PinCount > 0) return o;
  for (int32_t i = 0; i < b.WirePointCount; ++i) {
    const WirePoint& p = b.WirePointTable[std::size_t(i)];
    take(p.x & kPositionMask, p.y & kPositionMask);
  }
  for (int32_t i = 0; i < b.TextCount; ++i)
    take(textX(b.TextTable[std::size_t(i)]), b.TextTable[std::size_t(i)].y);
  return o;
}

// Goes through the artwork once, either drawing it or only taking its box.
class Artwork {
 public:
  Artwork(QPainter* painter, const Board& b, const PrintSettings& s, int zoomLevel)
      : p_(painter), b_(b), s_(s), zoom_(zoomColumn(zoomLevel)), origin_(printOrigin(b)) {}

  // Whatever lies wholly off this rectangle is not drawn: the page cuts it off anyway.
  void setPage(const QRect& page) { page_ = page; }

  void setNegative(bool negative) {
    ink_ = negative ? Qt::white : Qt::black;
    ground_ = negative ? Qt::black : Qt::white;
  }

  // Measures the artwork of every layer without drawing, then moves it right and down by just
  // enough that all of it lies inside the printable area. Every layer moves by the same amount,
  // so the prints of one board's layers still lie on top of each other.
  void place() {
    QPainter* const painter = p_;
    p_ = nullptr;
    run();
    p_ = painter;
    shift_ = QPoint(std::max(0, -everything_.left()), std::max(0, -everything_.top()));
    if (bounds_.isValid()) bounds_.translate(shift_);
  }

  void run() {
    texts();
    wires();
    pins();
    marks();
  }
  // The box of what the chosen layer draws, in dots before mirroring.
  QRect bounds() const { return bounds_; }

 private:
  int X(int x, int dx = 0) const {
    return PrintUnits(kUnitsPer360 * (x - origin_.x) + dx, s_) + kMargin + shift_.x();
  }
  int Y(int y, int dy = 0) const {
    return PrintUnits(kUnitsPer360 * (y - origin_.y) + dy, s_) + kMargin + shift_.y();
  }
  // Drawing takes the chosen layer only; measuring takes every layer some print would draw.
  bool wanted(int layer) const {
    return layer == s_.layer || (!p_ && layer >= 0 && layer < kPrintLayerItems);
  }
  void take(const QRect& r, bool printed) {
    everything_ = everything_.united(r);
    if (printed) bounds_ = bounds_.united(r);
  }

  // Every text of the layer on a box of ground colour, centred on its position.
  void texts() {
    for (int32_t i = 0; i < b_.TextCount; ++i) {
      const TextItem& t = b_.TextTable[std::size_t(i)];
      const int points = printTextPoints(t.size, s_);
      if (!wanted(textLayer(t)) || points <= 0) continue;
      Face& face = faceAt(points);
      const int width = qRound(shape(face, t, glyphs_, positions_));
      const QRect box(X(textX(t)) - width / 2, Y(t.y) - face.height / 2, width, face.height);
      if (!p_) {
        take(box, textLayer(t) == s_.layer);
        continue;
      }
      if (!box.intersects(page_)) continue;
      p_->fillRect(box, ground_);
      QGlyphRun run;
      run.setRawFont(face.raw);
      run.setGlyphIndexes(glyphs_);
      run.setPositions(positions_);
      p_->setPen(ink_);
      p_->drawGlyphRun(QPointF(box.left(), box.top() + face.ascent), run);
    }
  }

  // Each segment in its end point's layer and width; segments of other layers leave gaps.
  void wires() {
    QPoint at;
    for (int32_t i = 0; i < b_.WirePointCount; ++i) {
      const WirePoint& w = b_.WirePointTable[std::size_t(i)];
      const QPoint to(X(w.x & kPositionMask), Y(w.y & kPositionMask));
      if (!isWireStart(w) && wanted(wireLayer(w.attr))) {
        const int width = PrintUnits(printWireWidth(wireWidthIndex(w.attr)), s_);
        line(at, to, width, wireLayer(w.attr) == s_.layer);
      }
      at = to;
    }
  }

  void line(QPoint a, QPoint b, int width, bool printed) {
    if (!p_) {
      const int r = width / 2 + 1;
      take(QRect(a, b).normalized().adjusted(-r, -r, r, r), printed);
      return;
    }
    const int r = width / 2 + 1;
    if (!QRect(a, b).normalized().adjusted(-r, -r, r, r).intersects(page_)) return;
    p_->setPen(QPen(ink_, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_->drawLine(a, b);
  }

  void pins() {
    for (int32_t i = 0; i < b_.PinCount; ++i) {
      const Pin& pin = b_.PinTable[std::size_t(i)];
      const int s = printPadSize(pin.sizeIndex);
      const int h2 = s / 2;
      const int o = s * 8 / 10;
      auto box = [&](int dx1, int dy1, int dx2, int dy2) {
        return QRect(QPoint(X(pin.x, dx1), Y(pin.y, dy1)), QPoint(X(pin.x, dx2), Y(pin.y, dy2)));
      };
      if (isGraphicPin(pin)) {
        // A graphic pin prints only its ring, twice the pad's size, for the Graphic layer.
        if (wanted(kGraphic))
          ring(box(-s, -s, s, s), PrintUnits(printRingPen(zoom_), s_), s_.layer == kGraphic);
        continue;
      }
      const int corner = PrintUnits(s, s_);
      const int hole = printHoleRadius(s, pin.style);
      switch (pin.style) {
        case 0:
          shape(box(-h2, -h2, h2, h2), 0, ink_);
          break;
        case 1:
          shape(box(-o, -h2, o, h2), corner, ink_);
          break;
        case 2:
          shape(box(-h2, -o, h2, o), corner, ink_);
          break;
        default:
          continue;  // no pad and no hole for a style the list does not know
      }
      shape(box(-hole, -hole, hole, hole), 0, ground_);
    }
  }

  // An ellipse (corner 0) or a rounded rectangle filling the box, its right and bottom edges
  // excluded, with a one-dot edge in ink inside it.
  void shape(const QRect& r, int corner, const QColor& fill) {
    const QRectF outer(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top());
    if (!p_) {
      take(r, true);  // every layer's print has the pads
      return;
    }
    if (!r.intersects(page_)) return;
    auto path = [corner](const QRectF& f) {
      QPainterPath pp;
      if (corner == 0)
        pp.addEllipse(f);
      else
        pp.addRoundedRect(f, corner / 2.0, corner / 2.0);
      return pp;
    };
    p_->fillPath(path(outer), ink_);
    if (outer.width() > 2 && outer.height() > 2)
      p_->fillPath(path(outer.adjusted(1, 1, -1, -1)), fill);
  }

  void ring(const QRect& r, int penWidth, bool printed) {
    if (!p_) {
      const int g = penWidth / 2 + 1;
      take(r.adjusted(-g, -g, g, g), printed);
      return;
    }
    p_->setPen(QPen(ink_, penWidth));
    p_->setBrush(Qt::NoBrush);
    p_->drawEllipse(QRectF(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top()));
  }

  // A frame edge, given as a doubled board position, in dots from the origin. An even one is a
  // board position and lands where a pin there would; an odd one lies half a board unit, 4.5
  // units of 1/360 inch, between two, and lands halfway between the dots of the units either
  // side of it, so that the marks keep to the pins' truncation at every scale.
  int frameDot(int edge2, int origin) const {
    const int q2 = kUnitsPer360 * (edge2 - 2 * origin);
    if (q2 % 2 == 0) return PrintUnits(q2 / 2, s_) + kMargin;
    return (PrintUnits((q2 - 1) / 2, s_) + PrintUnits((q2 + 1) / 2, s_)) / 2 + kMargin;
  }

  // Crop marks on every layer's print: at each corner of the board frame, its two edges
  // continued outward, for laying films in register and cutting the board to size.
  void marks() {
    if (!s_.frameMarks) return;
    const FrameEdges2 e = frameEdges2(b_);
    const int left = frameDot(e.left, origin_.x) + shift_.x();
    const int right = frameDot(e.right, origin_.x) + shift_.x();
    const int top = frameDot(e.top, origin_.y) + shift_.y();
    const int bottom = frameDot(e.bottom, origin_.y) + shift_.y();
    const int length = std::max(1, PrintUnits(kMarkLength, s_));
    const int width = std::max(1, PrintUnits(kMarkWidth, s_));
    const int half = width / 2;
    const QRect strokes[] = {{left - length, top - half, length, width},
                             {left - half, top - length, width, length},
                             {right, top - half, length, width},
                             {right - half, top - length, width, length},
                             {left - length, bottom - half, length, width},
                             {left - half, bottom, width, length},
                             {right, bottom - half, length, width},
                             {right - half, bottom, width, length}};
    for (const QRect& r : strokes) {
      if (!p_)
        take(r, true);
      else if (r.intersects(page_))
        p_->fillRect(r, ink_);
    }
  }

  // Texts come in few sizes and 8-bit characters: each face shapes a character once, and texts
  // are drawn as glyph runs, which costs a fraction of laying out every string again.
  struct Face {
    QRawFont raw;
    int ascent = 0;
    int height = 0;
    std::array<int, 256> glyph{};  // -1 until looked up
    std::array<qreal, 256> advance{};
  };
  Face& faceAt(int points) {
    auto it = faces_.find(points);
    if (it != faces_.end()) return it->second;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, (points * dpiOf(s_) + 36) / 72));
    font.setStyleStrategy(QFont::NoAntialias);
    Face face;
    face.raw = QRawFont::fromFont(font);
    const QFontMetrics fm(font);
    face.ascent = fm.ascent();
    face.height = fm.height();
    face.glyph.fill(-1);
    return faces_.emplace(points, face).first->second;
  }
  // The glyphs of a text and its width in dots.
  qreal shape(Face& face, const TextItem& t, QVector<quint32>& glyphs, QVector<QPointF>& at) {
    const int length = std::min<int>(t.text.length, int(t.text.chars.size()));
    glyphs.clear();
    at.clear();
    qreal x = 0;
    for (int i = 0; i < length; ++i) {
      const auto c = static_cast<unsigned char>(t.text.chars[std::size_t(i)]);
      if (face.glyph[c] < 0) {
        const QVector<quint32> g = face.raw.glyphIndexesForString(QString(QChar(char16_t(c))));
        face.glyph[c] = g.isEmpty() ? 0 : int(g[0]);
        const QVector<QPointF> a = face.raw.advancesForGlyphIndexes(
            QVector<quint32>{quint32(face.glyph[c])}, QRawFont::SeparateAdvances);
        face.advance[c] = a.isEmpty() ? 0 : a[0].x();
      }
      glyphs.push_back(quint32(face.glyph[c]));
      at.push_back(QPointF(x, 0));
      x += face.advance[c];
    }
    return x;
  }

  std::map<int, Face> faces_;
  QVector<quint32> glyphs_;
  QVector<QPointF> positions_;
  QPainter* p_;
  const Board& b_;
  const PrintSettings& s_;
  int zoom_;
  Origin origin_;
  QPoint shift_;
  QColor ink_ = Qt::black;
  QColor ground_ = Qt::white;
  QRect bounds_;      // what the chosen layer draws
  QRect everything_;  // what any layer's print draws
  QRect page_{-(1 << 28), -(1 << 28), 1 << 29, 1 << 29};
};

// Where the ruler begins: 5 mm below the artwork, at its left edge.
QPoint rulerStart(const QRect& drawn, const PrintSettings& s) {
  return QPoint(drawn.left(), drawn.bottom() + 1 + mmDots(50, s));
}

// A true 50 mm bar with ticks every millimetre and longer ones every centimetre, whatever the
// scale, so that a ruler on the print shows whether the printer kept the size.
void drawRuler(QPainter& p, QPoint start, const PrintSettings& s) {
  const int width = std::max(1, mmDots(1, s));
  p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(start, start + QPoint(mmDots(500, s), 0));
  for (int mm = 0; mm <= 50; ++mm) {
    const int x = start.x() + mmDots(10 * mm, s);
    const int length = mmDots(mm % 10 == 0 ? 30 : 15, s);
    p.drawLine(QPoint(x, start.y()), QPoint(x, start.y() + length));
  }
}

}  // namespace

bool boardHasMaterial(const Board& b) {
  return b.PinCount > 0 || b.WirePointCount > 0 || b.TextCount > 0;
}

int printTextPoints(int size, const PrintSettings& s) {
  return printTextBasePoints(size, s.scale) * dpiOf(s) / 360;
}

int PrintUnits(int q, const PrintSettings& s) {
  return (q * s.scale / 100) * dpiOf(s) / 360;
}

namespace {

QRect grownForNegative(const QRect& drawn, const PrintSettings& settings) {
  if (drawn.isEmpty()) return drawn;
  const int g = mmDots(20, settings);
  return drawn.adjusted(-g, -g, g, g);
}

}  // namespace

QRect negativeArea(const Board& board, const PrintSettings& settings, int zoomLevel) {
  Artwork measure(nullptr, board, settings, zoomLevel);
  measure.place();
  return grownForNegative(measure.bounds(), settings);
}

std::string artworkCutOff(const Board& board, const PrintSettings& settings, QSize area,
                          int zoomLevel) {
  Artwork measure(nullptr, board, settings, zoomLevel);
  measure.place();
  QRect box = measure.bounds();
  if (box.isEmpty()) return {};
  if (settings.ruler) {  // as drawRuler draws it below the artwork
    const int pen = std::max(1, mmDots(1, settings));
    const QPoint start = rulerStart(box, settings);
    box |= QRect(start - QPoint(pen / 2, pen / 2),
                 start + QPoint(mmDots(500, settings) + pen / 2, mmDots(30, settings)));
  }
  const int pastRight = box.right() + 1 - area.width();
  const int pastBottom = box.bottom() + 1 - area.height();
  // Rounded up to a tenth of a millimetre, so that a dot cut off never reads as 0.0 mm.
  const auto mm = [&](int dots) {
    const double tenths = std::ceil(dots * 254.0 / dpiOf(settings));
    return QString::number(tenths / 10, 'f', 1).toStdString() + " mm";
  };
  std::string where;
  // A mirrored page is turned over: what reaches past the right edge lands past the left one.
  if (pastRight > 0)
    where = mm(pastRight) + (settings.mirror ? " past the left edge" : " past the right edge");
  if (pastBottom > 0)
    where += (where.empty() ? "" : " and ") + mm(pastBottom) + " past the bottom edge";
  if (where.empty()) return {};
  return "The artwork reaches " + where + " of the printable area and is cut off there.";
}

void printBoard(QPainter& painter, QSize area, const Board& board, const PrintSettings& settings,
                int zoomLevel, Mirroring mirroring) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  if (settings.mirror && mirroring == Mirroring::Transform) {
    painter.translate(area.width(), 0);
    painter.scale(-1, 1);
  }
  Artwork artwork(&painter, board, settings, zoomLevel);
  artwork.setPage(QRect(QPoint(0, 0), area));
  // One walk measures every layer for the page position and the chosen layer for the additions;
  // the faces it makes for the texts serve the drawing too.
  artwork.place();
  const QRect drawn = artwork.bounds();
  if (settings.negative && !drawn.isEmpty()) {
    painter.fillRect(grownForNegative(drawn, settings), Qt::black);
    artwork.setNegative(true);
  }
  artwork.run();
  if (settings.ruler && !drawn.isEmpty()) drawRuler(painter, rulerStart(drawn, settings), settings);
  painter.restore();
}

QImage printToImage(const Board& board, const PrintSettings& settings, QSize pageDots,
                    int zoomLevel) {
  // One byte a dot: a 600 dpi page is 35 MB instead of 139 MB, and black and white need no more.
  QImage image = newImage(pageDots.width(), pageDots.height(), QImage::Format_Grayscale8);
  image.fill(Qt::white);
  const int dotsPerMeter = static_cast<int>(dpiOf(settings) / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  // Qt's raster engine hands every fill taller than about a hundred rows to the global thread
  // pool and waits for it, unless it already runs on a pool thread. A page is thousands of such
  // fills (long tracks at 600 dpi), and the hand-overs cost more than they save, so the page is
  // painted on one pool thread, start to end.
  auto paint = [&] {
    QPainter painter(&image);
    printBoard(painter, pageDots, board, settings, zoomLevel, Mirroring::None);
  };
  QThreadPool* pool = QThreadPool::globalInstance();
  if (pool->contains(QThread::currentThread())) {
    paint();
  } else {
    QSemaphore done;
    pool->start([&] {
      paint();
      done.release();
    });
    done.acquire();
  }
  return settings.mirror ? image.mirrored(true, false) : image;
}

bool printToPdf(QIODevice& device, const QPageLayout& layout, const Board& board,
                const PrintSettings& settings, int zoomLevel) {
  const int dpi = dpiOf(settings);
  QPdfWriter pdf(&device);
  pdf.setCreator(QStringLiteral("Ferrowrit"));
  pdf.setPageLayout(layout);
  pdf.setResolution(dpi);
  QPainter painter;
  if (!painter.begin(&pdf)) return false;
  printBoard(painter, layout.paintRectPixels(dpi).size(), board, settings, zoomLevel);
  return painter.end();
}

}  // namespace fw

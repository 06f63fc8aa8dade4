#include "render/BoardRenderer.h"

#include <algorithm>
#include <vector>

#include "board/Geometry.h"
#include "render/BoardMapping.h"
#include "render/text/TextCache.h"
#include "render/text/TextLayers.h"

namespace fw {

QColor colors::layerColor(int layer) {
  switch (layer) {
    case kLayer1:
      return QColor(0, 128, 0);
    case kLayer2:
      return QColor(128, 0, 0);
    default:  // the Graphic layer; no other layer exists
      return QColor(128, 0, 128);
  }
}

QColor BoardRenderer::textColor(int layer) {
  return layer == kGraphic ? colors::kGraphicTextNormal : colors::layerColor(layer);
}

struct BoardRenderer::Cache {
  explicit Cache(Use use) : layers(use == Use::Once) {
    if (use == Use::Once) texts.keepNoRows();
  }
  TextCache texts;
  TextLayers layers;  // kept at least until the batch that draws them is drawn
};

std::array<std::size_t, 4> BoardRenderer::textCacheUsage() const {
  const TextCache::Usage u = cache_->texts.usage();
  return {u.wholeTexts, u.composedTexts, u.glyphs, u.maskBytes};
}

namespace {

int padSize(const Pin& p, int z) {
  return PinSizePixels[std::min<int>(p.sizeIndex, kPinSizes - 1)][z];
}

int trackWidth(uint8_t attr, int z) {
  return WireWidthPixels[std::min(wireWidthIndex(attr), kWireWidths - 1)][z];
}

bool layerShown(const Visibility& vis, int layer) {
  return layer >= 0 && layer < kLayerCount && vis.layers[std::size_t(layer)];
}

// The grid's dot rows start this far down the window, below the toolbar; at 32x, where a grid
// step is 128 pixels, one whole step down.
constexpr int kGridRowsTop = 64;
constexpr int kLargestGridStep = 128;

QString textString(const TextItem& t) {
  const std::string s = t.text.str();
  return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

// The graphic pin: an outline circle at double size in the pen colour, no hole.
void graphicRing(Canvas& c, int xw, int yw, int d, int f) {
  c.setBrushColor(colors::kBackground);
  c.setBrushStyle(BrushStyle::Clear);
  c.setPenWidth(f / 2);
  const int r = 2 * (d / 2);
  c.ellipse(xw - r, yw - r, xw + r, yw + r);
  c.setPenWidth(1);
  c.setBrushStyle(BrushStyle::Solid);
}

// The pad shape of style 0, 1 or 2 in the current pen and brush.
void padShape(Canvas& c, int style, int xw, int yw, int d) {
  const int half = d / 2;
  const int longHalf = (8 * d) / 10;
  switch (style) {
    case 0:
      c.ellipse(xw - half, yw - half, xw + half, yw + half);
      break;
    case 1:
      c.roundRect(xw - longHalf, yw - half, xw + longHalf, yw + half, d, d);
      break;
    case 2:
      c.roundRect(xw - half, yw - longHalf, xw + half, yw + longHalf, d, d);
      break;
    default:
      break;
  }
}

void drillHole(Canvas& c, int xw, int yw, int d) {
  c.setBrushColor(colors::kHole);
  c.setPenColor(colors::kHole);
  const int r = d / 8;
  c.ellipse(xw - r, yw - r, xw + r, yw + r);
}

// A text centred on its position, the way every board text is placed.
void centredText(Canvas& c, const View& v, const TextItem& t) {
  const QString s = textString(t);
  const QSize e = c.textExtent(s);
  const Mapping m(v);
  c.textOut(m.x(textX(t)) - e.width() / 2, m.y(t.y) - e.height() / 2, s);
}

// One full repaint. The reference drawing goes through the canvas operations one by one, as
// the drawing rules state them; the fast drawing leaves out what cannot touch the canvas,
// writes grid dots straight into the image and copies texts from the cache. Both produce the
// same pixels.
class Redraw {
 public:
  Redraw(BoardRenderer& r, Canvas& c, const Board& b, const View& v, const Visibility& vis,
         TextCache* cache, TextLayers* layers)
      : r_(r),
        c_(c),
        b_(b),
        v_(v),
        vis_(vis),
        cache_(cache),
        layers_(layers),
        map_(v),
        area_(c),
        z_(v.zoomColumn()) {}

  void run(const Selection& sel) {
    // Everything up to the highlights is collected and drawn band by band.
    if (cache_) {
      // Before the batch: the cache may start afresh here, never while operations wait.
      if (b_.TextCount > 0) cache_->beginDrawing(c_.font());
      prepareTextLayers();
      // A few operations for each pin, one for each wire point, and some for the rest.
      c_.beginBatch(3 * std::size_t(rowsInUse(b_.PinCount, kPinCapacity)) +
                    std::size_t(rowsInUse(b_.WirePointCount, kWirePointCapacity)) + 1024);
    }
    boardArea();
    if (vis_.grid) grid();
    workspace();
    if (vis_.frame) frame();
    for (int layer = 0; layer < kLayerCount; ++layer) {
      layerTexts(layer);
      c_.setBrushStyle(BrushStyle::Solid);
      c_.setPenStyle(PenStyle::Solid);
      c_.setRasterMode(RasterMode::Merge);
      c_.setPenColor(colors::layerColor(layer));
      wires(layer);
    }
    pins();
    if (cache_) c_.endBatch();
    highlights(sel);
  }

  // The fast drawing, before drawing texts: keeps the text layers made by the last redraw
  // while they still hold.
  void prepareTextLayers() { layers_->prepare(scene(), *cache_); }

  // Every text of the layer in its normal colour on a transparent background. The fast
  // drawing expects beginDrawing on the cache and prepareTextLayers beforehand.
  void layerTexts(int layer) {
    c_.setBrushStyle(BrushStyle::Clear);
    c_.setTextBackgroundOpaque(false);
    const int n = rowsInUse(b_.TextCount, kTextCapacity);
    const bool shown = layerShown(vis_, layer);
    const QColor colour = BoardRenderer::textColor(layer);
    if (!cache_) {
      for (int i = 0; i < n; ++i) {
        const TextItem& t = b_.TextTable[std::size_t(i)];
        if (textLayer(t) == layer) straightText(t, colour, shown);
      }
      return;
    }
    const TextLayers::Layer kept = layers_->layer(scene(), *cache_, layer);
    if (kept.mask != nullptr) c_.pixelMask(0, 0, *kept.mask, colour);
    for (const int i : kept.straight) straightText(b_.TextTable[std::size_t(i)], colour, true);
    leaveFont(kept.lastPoints, colour);
  }

  // A text drawn straight onto the canvas in its size and colour, or only its font set.
  void straightText(const TextItem& t, const QColor& colour, bool draw) {
    c_.setFontPointSize(textPoints(v_, t));
    c_.setFontColor(colour);
    if (draw) centredText(c_, v_, t);
  }

  // Leaves the font as the straightforward drawing would.
  void leaveFont(int lastPoints, const QColor& colour) {
    if (lastPoints >= 0) {
      c_.setFontPointSize(lastPoints);
      c_.setFontColor(colour);
    }
  }

 private:
  TextLayers::Scene scene() const {
    TextLayers::Scene s{b_, v_, c_, {}};
    for (int l = 0; l < kLayerCount; ++l) s.shown[std::size_t(l)] = layerShown(vis_, l);
    return s;
  }

  void boardArea() {
    c_.setBrushStyle(BrushStyle::Solid);
    c_.setBrushColor(colors::kBackground);
    c_.setPenStyle(PenStyle::Solid);
    c_.setPenColor(colors::kBackground);
    c_.setPenWidth(1);
    c_.setRasterMode(RasterMode::Copy);
    c_.rectangle(0, kBoardAreaTop, v_.W, v_.H - kBoardAreaBottomMargin);
  }

  void grid() {
    const int p = v_.pxPerGrid();
    auto mod = [p](int a) { return ((a % p) + p) % p; };
    const int gx = mod(v_.W / 2 - p * v_.scrollX);
    const int gy = mod(v_.H / 2 - p * v_.scrollY);
    // The rows start below the toolbar, on a grid row.
    const int top = gy + (p == kLargestGridStep ? kLargestGridStep : kGridRowsTop);
    const int cols = v_.W / p;
    const int rows = v_.H / p;
    if (!cache_) {
      for (int col = 0; col <= cols; ++col)
        for (int row = 0; row <= rows; ++row)
          c_.setPixel(gx + col * p, top + row * p, colors::kGrid);
      return;
    }
    c_.dotGrid(gx, p, gx + cols * p, top, p, top + rows * p, colors::kGrid);
  }

  std::vector<QPoint> gridRectangle(int g1, int h1, int g2, int h2) const {
    const int x1 = v_.gridToWindowX(g1), x2 = v_.gridToWindowX(g2);
    const int y1 = v_.gridToWindowY(h1), y2 = v_.gridToWindowY(h2);
    return {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
  }

  void workspace() {
    c_.setPenStyle(PenStyle::DashDotDot);
    c_.setPenColor(colors::kWorkspace);
    c_.setRasterMode(RasterMode::Copy);
    c_.polyline(gridRectangle(0, 0, kScrollMaxX, kScrollMaxY));
  }

  void frame() {
    const int cx = v_.gridToWindowX(kCenterScrollX);
    const int cy = v_.gridToWindowY(kCenterScrollY);
    const int64_t f = v_.zoomFactor();
    const int a = int(std::clamp<int64_t>(f * b_.FrameWidth / 2, -(1 << 24), 1 << 24));
    const int bh = int(std::clamp<int64_t>(f * b_.FrameHeight / 2, -(1 << 24), 1 << 24));
    c_.setPenColor(colors::kFrame);
    c_.polyline({{cx - a, cy - bh},
                 {cx + a, cy - bh},
                 {cx + a, cy + bh},
                 {cx - a, cy + bh},
                 {cx - a, cy - bh}});
    c_.setPenColor(colors::kCentreCross);
    c_.moveTo(cx, v_.gridToWindowY(0));
    c_.lineTo(cx, v_.gridToWindowY(kScrollMaxY));
    c_.moveTo(v_.gridToWindowX(0), cy);
    c_.lineTo(v_.gridToWindowX(kScrollMaxX), cy);
  }

  void wires(int layer) {
    const int n = rowsInUse(b_.WirePointCount, kWirePointCapacity);
    const bool shown = layerShown(vis_, layer);
    if (!cache_) {
      for (int i = 0; i < n; ++i) {
        const WirePoint& p = b_.WirePointTable[std::size_t(i)];
        const int x = map_.x(p.x & kPositionMask);
        const int y = map_.y(p.y & kPositionMask);
        if (!isWireStart(p) && wireLayer(p.attr) == layer && shown) {
          c_.setPenWidth(trackWidth(p.attr, z_));
          c_.lineTo(x, y);
        } else {
          c_.moveTo(x, y);
        }
      }
      return;
    }
    if (n == 0) return;
    // A row that is not a wire start continues from wherever the pen stands.
    int px = c_.state().penX, py = c_.state().penY;
    int lastWidth = -1;
    if (shown) {
      for (int i = 0; i < n; ++i) {
        const WirePoint& p = b_.WirePointTable[std::size_t(i)];
        const int x = map_.x(p.x & kPositionMask);
        const int y = map_.y(p.y & kPositionMask);
        if (!isWireStart(p) && wireLayer(p.attr) == layer) {
          const int w = trackWidth(p.attr, z_);
          lastWidth = w;
          const int reach = w / 2 + 2;
          if (area_.touches(std::min(px, x) - reach, std::min(py, y) - reach,
                            std::max(px, x) + reach, std::max(py, y) + reach)) {
            c_.setPenWidth(w);
            c_.moveTo(px, py);
            c_.lineTo(x, y);
          }
        }
        px = x;
        py = y;
      }
    } else {
      const WirePoint& p = b_.WirePointTable[std::size_t(n - 1)];
      px = map_.x(p.x & kPositionMask);
      py = map_.y(p.y & kPositionMask);
    }
    if (lastWidth >= 0) c_.setPenWidth(lastWidth);
    c_.moveTo(px, py);
  }

  void pins() {
    c_.setPenWidth(1);
    c_.setRasterMode(RasterMode::Copy);
    const int n = rowsInUse(b_.PinCount, kPinCapacity);
    const int f = v_.zoomFactor();
    if (layerShown(vis_, kGraphic)) {
      for (int i = 0; i < n; ++i) {
        const Pin& p = b_.PinTable[std::size_t(i)];
        if (!isGraphicPin(p)) continue;
        const int xw = map_.x(p.x), yw = map_.y(p.y), d = padSize(p, z_);
        if (cache_ && !area_.touches(xw - d - 1, yw - d - 1, xw + d + 1, yw + d + 1)) continue;
        c_.setPenColor(colors::layerColor(kGraphic));
        graphicRing(c_, xw, yw, d, f);
      }
    }
    for (int i = 0; i < n; ++i) {
      const Pin& p = b_.PinTable[std::size_t(i)];
      if (p.style > 2) continue;
      const int xw = map_.x(p.x), yw = map_.y(p.y), d = padSize(p, z_);
      if (cache_ && !area_.touches(xw - d - 1, yw - d - 1, xw + d + 1, yw + d + 1)) continue;
      c_.setPenColor(colors::kPad);
      c_.setBrushColor(colors::kPad);
      padShape(c_, p.style, xw, yw, d);
      drillHole(c_, xw, yw, d);
    }
  }

  void highlightColours() {
    c_.setPenColor(colors::kHighlight);
    c_.setBrushColor(colors::kHighlight);
    c_.setBrushStyle(BrushStyle::Solid);
    c_.setPenStyle(PenStyle::Solid);
    c_.setRasterMode(RasterMode::Copy);
  }

  // A selected text: its layer's colour on an opaque yellow background.
  void highlightText(const TextItem& t) {
    const int layer = textLayer(t);
    c_.setFontPointSize(textPoints(v_, t));
    c_.setFontColor(colors::layerColor(layer));
    c_.setBrushColor(colors::kHighlight);
    c_.setBrushStyle(BrushStyle::Solid);
    c_.setTextBackgroundOpaque(true);
    centredText(c_, v_, t);
    c_.setTextBackgroundOpaque(false);
  }

  void highlights(const Selection& sel) {
    highlightColours();
    const int texts = rowsInUse(b_.TextCount, kTextCapacity);
    const int pins = rowsInUse(b_.PinCount, kPinCapacity);
    const int points = rowsInUse(b_.WirePointCount, kWirePointCapacity);
    if (sel.text > 0 && sel.text <= texts) {
      const TextItem& t = b_.TextTable[std::size_t(sel.text - 1)];
      if (layerShown(vis_, textLayer(t))) highlightText(t);
    }
    if (sel.pin > 0 && sel.pin <= pins) {
      highlightColours();
      r_.DrawPin(c_, b_, v_, sel.pin - 1);
    }
    if (sel.point > 0 && sel.point <= points) {
      const int row = sel.point - 1;
      if (vis_.completeWire) {
        const WireRows w = wireOf(b_, row);
        for (int k = w.start + 1; k < w.end; ++k) r_.DrawSelectedSegment(c_, b_, v_, k, false);
      }
      r_.DrawSelectedSegment(c_, b_, v_, row, true);
    }
    const int objects = rowsInUse(b_.ObjectCount, kObjectCapacity);
    if (sel.object > 0 && sel.object <= objects) {
      const BoardObject& o = b_.ObjectTable[std::size_t(sel.object - 1)];
      const int pinEnd = std::min(int(o.firstPin) + o.pinCount, pins);
      for (int k = o.firstPin; k < pinEnd; ++k) {
        highlightColours();
        r_.DrawPin(c_, b_, v_, k);
      }
      const int pointEnd = std::min(int(o.firstPoint) + o.pointCount, points);
      for (int k = o.firstPoint; k < pointEnd; ++k) r_.DrawSelectedSegment(c_, b_, v_, k, true);
      const int textEnd = std::min(int(o.firstText) + o.textCount, texts);
      for (int k = o.firstText; k < textEnd; ++k) highlightText(b_.TextTable[std::size_t(k)]);
    }
  }

  BoardRenderer& r_;
  Canvas& c_;
  const Board& b_;
  const View& v_;
  const Visibility& vis_;
  TextCache* cache_;    // null for the reference drawing
  TextLayers* layers_;  // with the cache
  Mapping map_;
  Visible area_;
  int z_;
};

}  // namespace

BoardRenderer::BoardRenderer(Use use) : cache_(std::make_unique<Cache>(use)) {}
BoardRenderer::~BoardRenderer() = default;

void BoardRenderer::drawBoard(Canvas& c, const Board& b, const View& v, const Visibility& vis,
                              const Selection& sel) {
  Redraw(*this, c, b, v, vis, &cache_->texts, &cache_->layers).run(sel);
}

void BoardRenderer::drawBoardReference(Canvas& c, const Board& b, const View& v,
                                       const Visibility& vis, const Selection& sel) {
  Redraw(*this, c, b, v, vis, nullptr, nullptr).run(sel);
}

void BoardRenderer::DrawPinShape(Canvas& c, const Pin& p, const View& v, int xw, int yw) {
  const int d = padSize(p, v.zoomColumn());
  if (isGraphicPin(p))
    graphicRing(c, xw, yw, d, v.zoomFactor());
  else
    padShape(c, p.style, xw, yw, d);
}

void BoardRenderer::DrawPin(Canvas& c, const Board& b, const View& v, int row) {
  if (row < 0 || row >= kPinCapacity) return;
  const Pin& p = b.PinTable[std::size_t(row)];
  const Mapping m(v);
  const int xw = m.x(p.x), yw = m.y(p.y), d = padSize(p, v.zoomColumn());
  c.setRasterMode(RasterMode::Copy);
  DrawPinShape(c, p, v, xw, yw);
  c.setBrushColor(colors::kHole);
  c.setPenColor(colors::kHole);
  if (!isGraphicPin(p)) drillHole(c, xw, yw, d);
}

void BoardRenderer::DrawSelectedSegment(Canvas& c, const Board& b, const View& v, int rowArg) {
  if (rowArg < 0) return;
  if (rowArg > 16383)
    DrawSelectedSegment(c, b, v, rowArg & 16383, false);
  else
    DrawSelectedSegment(c, b, v, rowArg, true);
}

void BoardRenderer::DrawSelectedSegment(Canvas& c, const Board& b, const View& v, int row,
                                        bool withMarker) {
  const int n = rowsInUse(b.WirePointCount, kWirePointCapacity);
  if (row < 0 || row >= n) return;
  const Mapping m(v);
  const auto at = [&](int k) {
    const WirePoint& p = b.WirePointTable[std::size_t(k)];
    return QPoint(m.x(p.x & kPositionMask), m.y(p.y & kPositionMask));
  };
  c.setRasterMode(RasterMode::Copy);
  c.setPenStyle(PenStyle::Solid);
  c.setPenColor(colors::kHighlight);
  c.setPenWidth(1);
  const WirePoint& p = b.WirePointTable[std::size_t(row)];
  // A wire start shows the wire's first segment and takes its width from the next row; a
  // start with no following point in its wire has no segment and only its own width, and
  // none at all when it was begun by drawing.
  const int end = wireSegmentEnd(b, row);
  const int widthRow = end >= 0 ? end : row;
  const bool hasWidth = end >= 0 || !isWireStart(p) || p.attr != kWireStartAttr;
  if (end >= 0) {
    const QPoint a = at(end - 1), e = at(end);
    c.moveTo(a.x(), a.y());
    c.lineTo(e.x(), e.y());
  }
  if (!withMarker || !hasWidth) return;
  c.setBrushColor(colors::kHighlight);
  c.setBrushStyle(BrushStyle::Solid);
  const int r = trackWidth(b.WirePointTable[std::size_t(widthRow)].attr, v.zoomColumn()) / 2;
  const QPoint q = at(row);
  c.ellipse(q.x() - r + 1, q.y() - r + 1, q.x() + r, q.y() + r);
}

void BoardRenderer::DrawLayerTexts(Canvas& c, const Board& b, const View& v, const Visibility& vis,
                                   int layer) {
  if (b.TextCount > 0) cache_->texts.beginDrawing(c.font());
  Redraw r(*this, c, b, v, vis, &cache_->texts, &cache_->layers);
  r.prepareTextLayers();
  r.layerTexts(layer);
}

}  // namespace fw

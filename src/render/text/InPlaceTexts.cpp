#include "render/text/InPlaceTexts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "render/Canvas.h"
#include "render/Raster.h"
#include "render/text/TextFaces.h"
#include "render/text/TextShaper.h"

namespace fw {

InPlaceTexts::InPlaceTexts(TextFaces& faces, TextShaper& shaper) : faces_(faces), shaper_(shaper) {}
InPlaceTexts::~InPlaceTexts() = default;

void InPlaceTexts::clear() {
  slots_.clear();
  ink_.clear();
  bytesTaken_ = 0;
}

std::size_t InPlaceTexts::bytes() const {
  std::size_t n = 0;
  for (const auto& [row, slot] : slots_) n += slot.entry.mask.bytes();
  return n;
}

TextPixels InPlaceTexts::forRow(std::size_t row, const char* chars, int length, int points,
                                int width, const Canvas& c, int x, int y, bool keep,
                                uint64_t generation) {
  const std::array<int, 5> place{x, y, c.width(), c.height(), c.yOffset()};
  const auto kept = slots_.find(row);
  if (kept != slots_.end() && kept->second.place == place &&
      kept->second.text.holds(generation, chars, length, points))
    return kept->second.entry.text();
  if (!keep && kept != slots_.end()) slots_.erase(kept);
  Slot& slot = keep ? slots_[row] : spare_;
  const QString text = QString::fromLatin1(chars, length);
  const QFontMetrics& fm = faces_.metricsAt(points);
  TextEntry& e = slot.entry;
  e.width = width;
  e.height = fm.height();
  const auto done = [&] {
    return this->keep(slot, keep, chars, length, points, place, generation);
  };
  // First the text's ink box as the font gives it, a little wider, then, if anything touches
  // that box's border inside the canvas, everywhere its pixels can lie; window coordinates.
  const QRect canvas(0, c.yOffset(), c.width(), c.height());
  const int m = 2 + e.height / 32;
  const int r = textReach(e.height);
  // The glyphs' ink leaves out lines under, over or through the text; the line's box holds
  // them.
  QRect ink = inkBox(text, chars, length, points, x, y + fm.ascent());
  if (faces_.decorated()) ink |= QRect(x, y, e.width, e.height);
  ink.adjust(-m, -m, m, m);
  const QRect all = QRect(x - r, y - r, e.width + 2 * r, e.height + 2 * r) & canvas;
  e.mask.reset(0, 0, 0, 0);
  if (text.isEmpty() || all.isEmpty()) return done();
  draw(text, points, fm.ascent(), c, x, y);
  const QRect first = ink & canvas;
  const auto scan = [&](const QRect& box, bool clear) {
    return litMask(canvasShaped_, box.translated(0, -c.yOffset()), kTextBlank, x, y - c.yOffset(),
                   clear, e.mask, scanWork_);
  };
  if (!first.isEmpty()) {
    // Pixels on a side of the box that the canvas does not share mean it was too small.
    const int shared = (first.left() == canvas.left() ? kLeftSide : 0) |
                       (first.right() == canvas.right() ? kRightSide : 0) |
                       (first.top() == canvas.top() ? kTopSide : 0) |
                       (first.bottom() == canvas.bottom() ? kBottomSide : 0);
    if ((scan(first, true) & ~shared) == 0) return done();
    draw(text, points, fm.ascent(), c, x, y);  // the scan cleared what it found
  } else {
    // The ink box lies off the canvas: whatever of the text reaches the canvas comes in across
    // the canvas's edges, where they cross the box of everywhere its pixels can lie.
    const QRect edges[4] = {QRect(all.left(), all.top(), all.width(), 1),
                            QRect(all.left(), all.bottom(), all.width(), 1),
                            QRect(all.left(), all.top(), 1, all.height()),
                            QRect(all.right(), all.top(), 1, all.height())};
    const bool onEdge[4] = {all.top() == canvas.top(), all.bottom() == canvas.bottom(),
                            all.left() == canvas.left(), all.right() == canvas.right()};
    bool lit = false;
    for (int k = 0; k < 4 && !lit; ++k) lit = onEdge[k] && scan(edges[k], false) != 0;
    if (!lit) return done();  // mask left empty
  }
  // The image is blank outside a drawing: each scan clears what it finds, and this box holds
  // every pixel a text can light.
  scan(all, true);
  return done();
}

QRect InPlaceTexts::inkBox(const QString& text, const char* chars, int length, int points, int x,
                           int baseline) {
  std::array<int32_t, 32> pens{};
  int width = 0;
  if (length > int(pens.size()) || !shaper_.place(chars, length, points, pens.data(), width))
    return faces_.metricsAt(points).boundingRect(text).translated(x, baseline);
  const std::size_t size = std::size_t(std::max(points, 0));
  if (size >= ink_.size()) ink_.resize(size + 1);
  if (!ink_[size]) ink_[size] = std::make_unique<std::array<std::optional<QRect>, 256>>();
  QRect box;
  for (int i = 0; i < length; ++i) {
    const uint8_t c = uint8_t(chars[i]);
    std::optional<QRect>& ink = (*ink_[size])[c];
    if (!ink) ink = faces_.metricsAt(points).boundingRect(QChar::fromLatin1(char(c)));
    const QRect& g = *ink;
    if (g.isEmpty()) continue;
    // The pen lies within its pixel: a pixel more on the right.
    const int pen = int(raster::floorDiv(pens[std::size_t(i)], 64));
    box |= g.translated(x + pen, baseline).adjusted(0, 0, 1, 0);
  }
  return box;
}

// Draws a text on the canvas-shaped image at its very place, white on blank.
void InPlaceTexts::draw(const QString& text, int points, int ascent, const Canvas& c, int x,
                        int y) {
  const QSize size(c.width(), c.height());
  if (canvasShaped_.size() != size) {
    canvasShaped_ = textImage(size.width(), size.height());
    canvasShaped_.fill(kTextBlank);
  }
  QPainter p(&canvasShaped_);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.translate(0, -c.yOffset());
  p.setFont(faces_.fontAt(points));
  p.setPen(QColor(255, 255, 255));
  p.drawText(QPoint(x, y + ascent), text);
  p.end();
}

// Counts a text just drawn at its place and keeps it there, unless it is not to be kept.
TextPixels InPlaceTexts::keep(Slot& slot, bool keep, const char* chars, int length, int points,
                              const std::array<int, 5>& place, uint64_t generation) {
  if (!keep) return slot.entry.text();
  bytesTaken_ += slot.entry.mask.bytes();
  slot.place = place;
  slot.text.remember(generation, chars, length, points);
  return slot.entry.text();
}

}  // namespace fw

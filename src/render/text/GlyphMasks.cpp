#include "render/text/GlyphMasks.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QString>
#include <algorithm>
#include <climits>

#include "render/Raster.h"
#include "render/text/TextFaces.h"
#include "render/text/TextPixels.h"
#include "render/text/TextShaper.h"

namespace fw {

GlyphMasks::GlyphMasks(TextFaces& faces, TextShaper& shaper) : faces_(faces), shaper_(shaper) {}

GlyphMasks::~GlyphMasks() {
  if (painter_.isActive()) painter_.end();
}

void GlyphMasks::clear() {
  sizes_.clear();
  bytes_ = 0;
}

std::size_t GlyphMasks::glyphCount() const {
  std::size_t n = 0;
  for (const auto& f : sizes_)
    if (f) n += f->glyphs.size();
  return n;
}

GlyphMasks::Size& GlyphMasks::size(int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= sizes_.size()) sizes_.resize(i + 1);
  if (!sizes_[i]) sizes_[i] = std::make_unique<Size>();
  return *sizes_[i];
}

QPainter& GlyphMasks::scratch(int w, int h) {
  if (w > scratch_.width() || h > scratch_.height()) {
    if (painter_.isActive()) painter_.end();
    scratch_ = textImage(std::max(w, scratch_.width()), std::max(h, scratch_.height()));
    scratch_.fill(kTextBlank);
  }
  if (!painter_.isActive()) {
    painter_.begin(&scratch_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setPen(QColor(255, 255, 255));
  }
  return painter_;
}

void GlyphMasks::drawWhole(const QString& text, int points, int& width, int& height,
                           BitMask& mask) {
  const QFontMetrics& fm = faces_.metricsAt(points);
  width = fm.horizontalAdvance(text);
  height = fm.height();
  mask.reset(0, 0, 0, 0);  // keeps its storage, as a spare entry is made again and again
  // First the extent with a quarter of the height around it.
  const int m = height / 4 + 2;
  if (!text.isEmpty())
    scan(Drawn{&text, nullptr}, 0, points, QRect(-m, -m, width + 2 * m, height + 2 * m), width,
         height, mask);
}

void GlyphMasks::scan(const Drawn& what, int phase, int points, QRect area, int width, int height,
                      BitMask& mask) {
  const QFontMetrics& fm = faces_.metricsAt(points);
  // Draw into `area` (relative to the drawing corner), clipped to it; if anything touches its
  // border, the area was too small and the drawing is repeated in the extent with a margin of
  // twice the height, past which no glyph reaches. The scratch image is blank outside a
  // drawing: the scan clears what the clipped drawing lit.
  for (int attempt = 0;; ++attempt) {
    if (attempt == 1) {
      const int margin = textReach(height);
      area = QRect(-margin, -margin, width + 2 * margin, height + 2 * margin);
    }
    const int w = area.width();
    const int h = area.height();
    const int ox = -area.left();
    const int oy = -area.top();
    QPainter& p = scratch(w, h);
    p.setClipRect(0, 0, w, h);
    const QPointF pen(ox + phase / 64.0, oy + fm.ascent());
    if (what.glyph != nullptr) {
      p.drawGlyphRun(pen, *what.glyph);
    } else {
      p.setFont(faces_.fontAt(points));
      p.drawText(pen, *what.text);
    }
    const bool touches =
        litMask(scratch_, QRect(0, 0, w, h), kTextBlank, ox, oy, true, mask, scanWork_) != 0;
    if (!touches || attempt == 1) break;
  }
}

void GlyphMasks::drawGlyph(uint8_t c, int phase, int points, BitMask& mask) {
  const QFontMetrics& fm = faces_.metricsAt(points);
  QGlyphRun run;
  run.setRawFont(faces_.rawFontAt(points));
  run.setGlyphIndexes({shaper_.glyphIndex(c, points)});
  run.setPositions({QPointF(0, 0)});
  // First the glyph's ink box as the font gives it, a little wider; the outline stays well
  // inside the clip, since an outline cut by it may come out differently.
  const int m = 2 + fm.height() / 16;
  const QRect ink = fm.boundingRect(QChar{c}).translated(0, fm.ascent());
  scan(Drawn{nullptr, &run}, phase, points, ink.adjusted(-m, -m, m + 1, m),
       (shaper_.advance(c, points) + 63) / 64 + 1, fm.height(), mask);
}

bool GlyphMasks::phaseFree(Size& f, int points) {
  if (f.phaseFree != 0) return f.phaseFree > 0;
  f.phaseFree = -1;
  // Qt draws glyphs at quarter-pixel steps where it draws them at all, the pen's pixel taken by
  // rounding down. A round character shows a half-pixel step in almost every row: one that
  // comes out the same half a pixel on means the face draws its glyphs without such steps, as
  // Qt draws aliased ones. The zero is in nearly every font and in most board texts.
  constexpr uint8_t kRound = '0';
  if (!shaper_.simpleChar(kRound, points)) return false;
  const BitMask& first = glyph(f, kRound, 0, points);
  BitMask half;
  drawGlyph(kRound, 32, points, half);
  if (half.left != first.left || half.top != first.top || half.rows != first.rows ||
      half.width != first.width || half.bits != first.bits)
    return false;
  f.phaseFree = 1;
  return true;
}

const BitMask& GlyphMasks::glyph(Size& f, uint8_t c, int phase, int points) {
  // While it is not yet known, phaseFree asks for the zero at phase 0 through here.
  if (phase != 0 && phaseFree(f, points)) phase = 0;
  auto& found = f.byPhase[c];
  if (found && (*found)[std::size_t(phase)] != nullptr) return *(*found)[std::size_t(phase)];
  if (!found) found = std::make_unique<std::array<const BitMask*, 64>>();
  const uint32_t key = uint32_t(c) << 6 | uint32_t(phase);
  BitMask& mask = f.glyphs[key];
  drawGlyph(c, phase, points, mask);
  bytes_ += mask.bytes();
  (*found)[std::size_t(phase)] = &mask;
  return mask;
}

bool GlyphMasks::layOut(const char* chars, int length, int points, Layout& l) {
  if (faces_.decorated()) return false;  // a line along the text belongs to the whole text
  Size& f = size(points);
  std::array<int32_t, 32> pens{};
  if (length > int(pens.size()) || !shaper_.place(chars, length, points, pens.data(), l.width))
    return false;
  // Every glyph first, since drawing one uses the scan buffer; a space lights nothing.
  int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, right = INT_MIN;
  l.count = 0;
  for (int i = 0; i < length; ++i) {
    const int32_t pen = pens[std::size_t(i)];
    const int whole = int(raster::floorDiv(pen, 64));  // the pixel the pen lies in
    const BitMask& g = glyph(f, uint8_t(chars[i]), pen - whole * 64, points);
    if (g.empty()) continue;
    l.glyphs[std::size_t(l.count)] = &g;
    l.wholes[std::size_t(l.count)] = whole;
    ++l.count;
    top = std::min(top, g.top);
    bottom = std::max(bottom, g.top + g.rows - 1);
    left = std::min(left, whole + g.left);
    right = std::max(right, whole + g.left + g.width - 1);
  }
  if (f.height < 0) f.height = faces_.metricsAt(points).height();
  l.height = f.height;
  if (l.count == 0) {
    l.top = l.left = l.rows = l.columns = 0;
    return true;
  }
  l.top = top;
  l.left = left;
  l.rows = bottom - top + 1;
  l.columns = right - left + 1;
  return true;
}

void GlyphMasks::Layout::write(uint64_t* bits) const {
  for (int i = 0; i < count; ++i)
    mergeInside(bits, words(), left, top, glyphs[std::size_t(i)]->view(), wholes[std::size_t(i)],
                0);
}

}  // namespace fw

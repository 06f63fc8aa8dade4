#include "render/TextCache.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "render/Raster.h"

namespace fw {

namespace {

constexpr int kDotsPerMeter = 3780;  // 96 dpi, as the canvas
// Past this many bytes of masks the cache starts afresh, which bounds its memory.
constexpr std::size_t kMaxMaskBytes = std::size_t(48) << 20;
constexpr QRgb kBlank = 0xFF000000u;
// Measures are scaled from this size, above every size drawn.
constexpr int kLargePoints = 1000;

QImage scratchImage(int w, int h) {
  QImage img = newImage(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  img.setDotsPerMeterX(kDotsPerMeter);
  img.setDotsPerMeterY(kDotsPerMeter);
  return img;
}

QFont withoutSize(QFont f) {
  f.setPointSize(1);
  return f;
}

}  // namespace

TextCache::TextCache() {
  device_.setDotsPerMeterX(kDotsPerMeter);
  device_.setDotsPerMeterY(kDotsPerMeter);
}

TextCache::~TextCache() {
  if (painter_.isActive()) painter_.end();
}

void TextCache::beginDrawing(const QFont& face) {
  const QFont f = withoutSize(face);
  if (full()) clear();
  if (hasFace_ && f == face_) {
    settleFace();
    return;
  }
  clear();
  face_ = f;
  hasFace_ = true;
  // A line under, over or through a text belongs to the whole text, not to its glyphs.
  decorated_ = f.underline() || f.overline() || f.strikeOut();
  settleFace();
}

void TextCache::settleFace() {
  if (!settleFont_) {
    settleFont_ = QRawFont::fromFont(QFont(fontAt(12), &device_));
    const QList<quint32> glyphs = settleFont_->glyphIndexesForString(QStringLiteral("H"));
    settleGlyph_ = glyphs.isEmpty() ? 0 : glyphs.front();
  }
  // Qt keeps the glyphs of its last ten transforms: one of sixteen scales, taken in turn, is
  // never among them, so the glyph is loaded afresh. Every cache of the thread takes the same
  // turns, since they share Qt's fonts: with turns of its own, a second renderer would ask for
  // a scale the first had just loaded, and the face would stay as it was.
  static thread_local int turn = 0;
  turn = (turn + 1) % 16;
  settleFont_->alphaMapForGlyph(settleGlyph_, QRawFont::PixelAntialiasing,
                                QTransform::fromScale(1.0 + (turn + 1) / 1024.0, 1.0));
}

const QFont& TextCache::fontAt(int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= fonts_.size()) fonts_.resize(i + 1);
  if (!fonts_[i]) {
    fonts_[i].emplace(face_);
    fonts_[i]->setPointSize(points);
  }
  return *fonts_[i];
}

void TextCache::clear() {
  ++generation_;
  entries_.clear();
  measures_.clear();
  metrics_.clear();
  fonts_.clear();
  glyphFaces_.clear();
  pairKinds_.clear();
  pairsOneByOne_ = false;
  probe_.reset();
  rows_.clear();  // with the texts the rows put together
  store_.clear();
  storeUsed_ = storeSize_ = storeBytes_ = 0;
  inPlace_.clear();
  settleFont_.reset();
  maskBytes_ = 0;
}

const TextCache::Measures& TextCache::measures(int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= measures_.size()) measures_.resize(i + 1);
  Measures& m = measures_[i];
  if (m.height == 0) {
    const QFontMetrics& fm = metricsAt(points);
    m.maxWidth = fm.maxWidth();
    m.height = std::max(fm.height(), 1);
  }
  return m;
}

TextCache::Measures TextCache::roughMeasures(int points) {
  // A size measured already gives its own.
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i < measures_.size() && measures_[i].height != 0) return measures_[i];
  // Hinting moves a size's measures from the scaled ones by a pixel or two; twice the scaled
  // measures and a margin leave room for far more.
  const Measures& large = measures(kLargePoints);
  const double scale = 2.0 * std::max(points, 0) / kLargePoints;
  return {int(scale * large.maxWidth) + 16, int(scale * large.height) + 16};
}

const TextCache::Entry& TextCache::whole(const char* chars, int length, int points) {
  std::string key;
  key.reserve(std::size_t(length) + 2);
  key.push_back(char(points & 0xFF));
  key.push_back(char((points >> 8) & 0xFF));
  key.append(chars, std::size_t(length));
  auto it = entries_.find(key);
  if (it != entries_.end()) return it->second;
  Entry e;
  render(QString::fromLatin1(chars, length), points, e);
  maskBytes_ += e.mask.bytes();
  return entries_.emplace(std::move(key), std::move(e)).first->second;
}

TextCache::Text TextCache::inPlaceForRow(std::size_t row, const char* chars, int length, int points,
                                         int width, const Canvas& c, int x, int y) {
  length = std::clamp(length, 0, 32);
  const std::array<int, 5> place{x, y, c.width(), c.height(), c.yOffset()};
  const auto kept = inPlace_.find(row);
  if (kept != inPlace_.end() && kept->second.place == place &&
      holds(kept->second.text, chars, length, points))
    return kept->second.entry.text();
  // Once the cache is full, the text is drawn into a spare slot that nobody keeps.
  const bool keep = !full();
  if (!keep && kept != inPlace_.end()) inPlace_.erase(kept);
  InPlaceSlot& slot = keep ? inPlace_[row] : spareInPlace_;
  const QString text = QString::fromLatin1(chars, length);
  const QFontMetrics& fm = metricsAt(points);
  Entry& e = slot.entry;
  e.width = width;
  e.height = fm.height();
  // First the text's ink box as the font gives it, a little wider, then, if anything touches
  // that box's border inside the canvas, everywhere its pixels can lie; window coordinates.
  const QRect canvas(0, c.yOffset(), c.width(), c.height());
  const int m = 2 + e.height / 32;
  const int r = reach(e.height);
  // The glyphs' ink leaves out lines under, over or through the text; the line's box holds
  // them.
  QRect ink = inkBox(text, chars, length, points, x, y + fm.ascent());
  if (decorated_) ink |= QRect(x, y, e.width, e.height);
  ink.adjust(-m, -m, m, m);
  const QRect all = QRect(x - r, y - r, e.width + 2 * r, e.height + 2 * r) & canvas;
  e.mask.reset(0, 0, 0, 0);
  if (text.isEmpty() || all.isEmpty()) return keepInPlace(slot, keep, chars, length, points, place);
  drawInPlace(text, points, fm.ascent(), c, x, y);
  const QRect first = ink & canvas;
  const auto scan = [&](const QRect& box, bool clear) {
    return litMask(canvasShaped_, box.translated(0, -c.yOffset()), kBlank, x, y - c.yOffset(),
                   clear, e.mask, scanWork_);
  };
  if (!first.isEmpty()) {
    // Pixels on a side of the box that the canvas does not share mean it was too small.
    const int shared = (first.left() == canvas.left() ? kLeftSide : 0) |
                       (first.right() == canvas.right() ? kRightSide : 0) |
                       (first.top() == canvas.top() ? kTopSide : 0) |
                       (first.bottom() == canvas.bottom() ? kBottomSide : 0);
    if ((scan(first, true) & ~shared) == 0)
      return keepInPlace(slot, keep, chars, length, points, place);
    drawInPlace(text, points, fm.ascent(), c, x, y);  // the scan cleared what it found
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
    if (!lit) return keepInPlace(slot, keep, chars, length, points, place);  // mask left empty
  }
  // The image is blank outside a drawing: each scan clears what it finds, and this box holds
  // every pixel a text can light.
  scan(all, true);
  return keepInPlace(slot, keep, chars, length, points, place);
}

QRect TextCache::inkBox(const QString& text, const char* chars, int length, int points, int x,
                        int baseline) {
  GlyphFace& f = glyphFace(points);
  std::array<int32_t, 32> pens{};
  int width = 0;
  if (length > int(pens.size()) || !place(f, chars, length, points, pens.data(), width))
    return metricsAt(points).boundingRect(text).translated(x, baseline);
  if (!f.ink) f.ink = std::make_unique<std::array<std::optional<QRect>, 256>>();
  QRect box;
  for (int i = 0; i < length; ++i) {
    const uint8_t c = uint8_t(chars[i]);
    std::optional<QRect>& ink = (*f.ink)[c];
    if (!ink) ink = metricsAt(points).boundingRect(QChar::fromLatin1(char(c)));
    const QRect& g = *ink;
    if (g.isEmpty()) continue;
    // The pen lies within its pixel: a pixel more on the right.
    const int pen = int(raster::floorDiv(pens[std::size_t(i)], 64));
    box |= g.translated(x + pen, baseline).adjusted(0, 0, 1, 0);
  }
  return box;
}

// Draws a text on the canvas-shaped image at its very place, white on blank.
void TextCache::drawInPlace(const QString& text, int points, int ascent, const Canvas& c, int x,
                            int y) {
  const QSize size(c.width(), c.height());
  if (canvasShaped_.size() != size) {
    canvasShaped_ = scratchImage(size.width(), size.height());
    canvasShaped_.fill(kBlank);
  }
  QPainter p(&canvasShaped_);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.translate(0, -c.yOffset());
  p.setFont(fontAt(points));
  p.setPen(QColor(255, 255, 255));
  p.drawText(QPoint(x, y + ascent), text);
  p.end();
}

// Counts a text just drawn at its place against the cache and keeps it there, unless the
// cache is full.
TextCache::Text TextCache::keepInPlace(InPlaceSlot& slot, bool keep, const char* chars, int length,
                                       int points, const std::array<int, 5>& place) {
  if (!keep) return slot.entry.text();
  maskBytes_ += slot.entry.mask.bytes();
  slot.place = place;
  remember(slot.text, chars, length, points);
  return slot.entry.text();
}

bool TextCache::full() const {
  return maskBytes_ > kMaxMaskBytes;
}

TextCache::Usage TextCache::usage() const {
  Usage u;
  for (const auto& [key, e] : entries_) {
    ++u.wholeTexts;
    u.maskBytes += e.mask.bytes();
  }
  for (const auto& [row, slot] : inPlace_) {
    ++u.wholeTexts;
    u.maskBytes += slot.entry.mask.bytes();
  }
  for (const RowSlot& r : rows_) u.composedTexts += r.composed ? 1 : 0;
  u.maskBytes += storeBytes_;
  for (const auto& f : glyphFaces_) {
    if (!f) continue;
    u.glyphs += f->glyphs.size();
    for (const auto& [key, g] : f->glyphs) u.maskBytes += g.bytes();
  }
  return u;
}

bool TextCache::holds(const SlotText& slot, const char* chars, int length, int points) const {
  return slot.generation == generation_ && slot.points == points && slot.length == length &&
         std::memcmp(slot.chars.data(), chars, std::size_t(length)) == 0;
}

void TextCache::remember(SlotText& slot, const char* chars, int length, int points) {
  slot.generation = generation_;
  slot.points = points;
  slot.length = length;
  std::memcpy(slot.chars.data(), chars, std::size_t(length));
}

TextCache::Text TextCache::getForRow(std::size_t row, const char* chars, int length, int points) {
  length = std::clamp(length, 0, 32);
  if (!keepsRows_) return spare(chars, length, points);
  if (row >= rows_.size()) growRows(row);
  RowSlot& slot = rows_[row];
  if (holds(slot.text, chars, length, points)) {
    if (slot.composed) return slot.own;
    if (slot.entry != nullptr) return slot.entry->text();
  }
  if (full()) {
    // Nothing more is kept until the next drawing starts afresh.
    slot.text = SlotText{};
    slot.composed = false;
    slot.entry = nullptr;
    return spare(chars, length, points);
  }
  Layout l;
  slot.composed = layOut(chars, length, points, l);
  slot.entry = nullptr;
  if (slot.composed) {
    // Made again where the row's last mask lay when it fits there.
    const std::size_t n = std::size_t(l.rows) * std::size_t(l.words());
    if (n > slot.ownCapacity) {
      slot.ownBits = storeWords(n);
      slot.ownCapacity = n;
    }
    std::fill_n(slot.ownBits, n, uint64_t(0));
    l.write(slot.ownBits);
    slot.own = Text{l.width, l.height,
                    MaskView{l.top, l.left, l.rows, l.columns, l.words(), slot.ownBits}};
  } else {
    slot.entry = &whole(chars, length, points);
  }
  const Text t = slot.composed ? slot.own : slot.entry->text();
  slot.width = t.width;
  remember(slot.text, chars, length, points);
  return t;
}

TextCache::Text TextCache::spare(const char* chars, int length, int points) {
  Layout l;
  if (!layOut(chars, length, points, l)) {
    render(QString::fromLatin1(chars, length), points, spare_);
    return spare_.text();
  }
  spare_.width = l.width;
  spare_.height = l.height;
  spare_.mask.reset(l.left, l.top, l.rows, l.columns);
  l.write(spare_.mask.bits.data());
  return spare_.text();
}

uint64_t* TextCache::storeWords(std::size_t n) {
  // Blocks of 32,768 words (256 KiB), or one of its own for a larger mask.
  constexpr std::size_t kBlockWords = std::size_t(1) << 15;
  if (storeUsed_ + n > storeSize_) {
    storeSize_ = std::max(n, kBlockWords);
    // Left unset: each text blanks its own words.
    store_.push_back(std::unique_ptr<uint64_t[]>(new uint64_t[storeSize_]));
    storeUsed_ = 0;
    storeBytes_ += storeSize_ * sizeof(uint64_t);
    maskBytes_ += storeSize_ * sizeof(uint64_t);
  }
  uint64_t* at = store_.back().get() + storeUsed_;
  storeUsed_ += n;
  return at;
}

int TextCache::widthForRow(std::size_t row, const char* chars, int length, int points) {
  length = std::clamp(length, 0, 32);
  if (!keepsRows_) return measureWidth(chars, length, points);
  if (row >= rows_.size()) growRows(row);
  RowSlot& slot = rows_[row];
  if (holds(slot.text, chars, length, points)) return slot.width;
  slot.entry = nullptr;
  slot.composed = false;
  slot.width = measureWidth(chars, length, points);
  remember(slot.text, chars, length, points);
  return slot.width;
}

int TextCache::measureWidth(const char* chars, int length, int points) {
  std::array<int32_t, 32> pens{};
  int width = 0;
  if (!place(glyphFace(points), chars, length, points, pens.data(), width))
    width = metricsAt(points).horizontalAdvance(QString::fromLatin1(chars, length));
  return width;
}

// Room for a whole text table at once: growing a row at a time would move every slot again.
void TextCache::growRows(std::size_t row) {
  constexpr std::size_t kRowsAtOnce = 16384;
  if (rows_.capacity() <= row) rows_.reserve(std::max(row + 1, kRowsAtOnce));
  rows_.resize(row + 1);
}

const QFontMetrics& TextCache::metricsAt(int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= metrics_.size()) metrics_.resize(i + 1);
  if (!metrics_[i]) metrics_[i].emplace(fontAt(points), &device_);
  return *metrics_[i];
}

QPainter& TextCache::scratch(int w, int h) {
  if (w > scratch_.width() || h > scratch_.height()) {
    if (painter_.isActive()) painter_.end();
    scratch_ = scratchImage(std::max(w, scratch_.width()), std::max(h, scratch_.height()));
    scratch_.fill(kBlank);
  }
  if (!painter_.isActive()) {
    painter_.begin(&scratch_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setPen(QColor(255, 255, 255));
  }
  return painter_;
}

void TextCache::render(const QString& text, int points, Entry& e) {
  const QFontMetrics& fm = metricsAt(points);
  e.width = fm.horizontalAdvance(text);
  e.height = fm.height();
  e.mask.reset(0, 0, 0, 0);  // keeps its storage, as the spare entry is made again and again
  // First the extent with a quarter of the height around it.
  const int m = e.height / 4 + 2;
  if (!text.isEmpty())
    scan(Drawn{&text, nullptr}, 0, points, QRect(-m, -m, e.width + 2 * m, e.height + 2 * m),
         e.width, e.height, e.mask);
}

void TextCache::scan(const Drawn& what, int phase, int points, QRect area, int width, int height,
                     BitMask& mask) {
  const QFontMetrics& fm = metricsAt(points);
  // Draw into `area` (relative to the drawing corner), clipped to it; if anything touches its
  // border, the area was too small and the drawing is repeated in the extent with a margin of
  // twice the height, past which no glyph reaches. The scratch image is blank outside a
  // drawing: the scan clears what the clipped drawing lit.
  for (int attempt = 0;; ++attempt) {
    if (attempt == 1) {
      const int margin = reach(height);
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
      p.setFont(fontAt(points));
      p.drawText(pen, *what.text);
    }
    const bool touches =
        litMask(scratch_, QRect(0, 0, w, h), kBlank, ox, oy, true, mask, scanWork_) != 0;
    if (!touches || attempt == 1) break;
  }
}

TextCache::GlyphFace& TextCache::glyphFace(int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= glyphFaces_.size()) glyphFaces_.resize(i + 1);
  if (!glyphFaces_[i]) glyphFaces_[i] = std::make_unique<GlyphFace>();
  return *glyphFaces_[i];
}

namespace {

constexpr int32_t kComplexPair = INT32_MIN;

// Characters whose shaping could depend on more than the character itself: controls, the soft
// hyphen and the tab, newline and other layout characters.
bool plainChar(uint8_t c) {
  return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c != 0xAD);
}

// Shaping `text` as QPainter::drawText does: its glyphs, their pen positions and the pen's
// advance over the whole text (1/64 px), when it all comes out in one glyph run.
struct Shaped {
  std::vector<uint32_t> glyphs;
  std::vector<int32_t> pens;
  int32_t advance = 0;  // only when asked for
  QRawFont face;        // whose glyphs they are: the font's own, or a fallback font's
};

bool to64(double px, int32_t& out) {
  const double x = px * 64.0;
  if (std::abs(x - std::round(x)) > 1e-6) return false;
  out = int32_t(std::lround(x));
  return true;
}

bool shape(const QString& text, const QFont& font, QPaintDevice* device, Shaped& s,
           bool withAdvance = false) {
  QTextLayout layout(text, font, device);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const QList<QGlyphRun> runs = layout.glyphRuns();
  if (runs.size() != 1) return false;
  // The sum of the glyphs' advances, without the bearings a line's width takes in.
  if (withAdvance && !to64(QFontMetricsF(font, device).horizontalAdvance(text), s.advance))
    return false;
  const QList<quint32> indexes = runs.front().glyphIndexes();
  s.glyphs.assign(indexes.begin(), indexes.end());
  s.pens.clear();
  for (const QPointF& p : runs.front().positions()) {
    int32_t pen = 0;
    if (!to64(p.x(), pen) || p.y() != runs.front().positions().front().y()) return false;
    s.pens.push_back(pen);
  }
  s.face = runs.front().rawFont();
  return s.pens.size() == s.glyphs.size() && !s.pens.empty() && s.pens.front() == 0;
}

// Kerning grows with the size: a pair that shows none here, far above any text size drawn, has
// none at any size drawn.
constexpr int kProbePoints = 3000;
// Pairs shaped at once are at most this many characters.
constexpr int kMaxLearntAtOnce = 2048;

}  // namespace

bool TextCache::simpleChar(GlyphFace& f, uint8_t c, int points) {
  int8_t& state = f.charState[c];
  if (state != 0) return state == 1;
  state = -1;
  if (&f == probe_.get()) {
    // Shaped once at the probe size: whether the character is one glyph of its own, from the
    // font itself, so that it can be drawn by its index.
    Shaped s;
    if (plainChar(c) && shape(QString(QChar(c)), fontAt(points), &device_, s, true) &&
        s.glyphs.size() == 1 && s.face == rawFont(f, points)) {
      state = 1;
      f.glyphIndex[c] = s.glyphs.front();
      f.advance[c] = s.advance;
    }
    return state == 1;
  }
  // At other sizes the glyph is the same one; only its advance is asked for, without shaping.
  if (!simpleChar(probe(), c, kProbePoints)) return false;
  int32_t advance = 0;
  if (!to64(QFontMetricsF(fontAt(points), &device_).horizontalAdvance(QChar(c)), advance))
    return false;
  state = 1;
  f.glyphIndex[c] = probe_->glyphIndex[c];
  f.advance[c] = advance;
  return true;
}

const QRawFont& TextCache::rawFont(GlyphFace& f, int points) {
  // At the scratch image's resolution, as drawText takes the face there, not the screen's.
  if (!f.rawFont) f.rawFont = QRawFont::fromFont(QFont(fontAt(points), &device_));
  return *f.rawFont;
}

TextCache::GlyphFace& TextCache::probe() {
  if (!probe_) probe_ = std::make_unique<GlyphFace>();
  return *probe_;
}

TextCache::PairKind TextCache::pairKind(uint8_t a, uint8_t b) {
  if (pairKinds_.empty()) pairKinds_.assign(std::size_t(1) << 16, PairKind::Unknown);
  PairKind& kind = pairKinds_[std::size_t(a) << 8 | b];
  if (kind != PairKind::Unknown) return kind;
  GlyphFace& p = probe();
  if (!simpleChar(p, a, kProbePoints) || !simpleChar(p, b, kProbePoints)) {
    kind = PairKind::Complex;
    return kind;
  }
  // Where anything in a string of many pairs shapes otherwise, such as a ligature, pairs are
  // shaped one by one from then on; a pair that does so on its own is complex.
  if (!pairsOneByOne_ && learnPairs(a, b, true)) return kind;
  pairsOneByOne_ = true;
  if (!learnPairs(a, b, false)) kind = PairKind::Complex;
  return kind;
}

bool TextCache::learnPairs(uint8_t a, uint8_t b, bool together) {
  // The pair asked for and, together, every pair not yet learnt of the characters met so far,
  // one after another in one string: a pair's glyphs and distance in it are those it has on its
  // own, so one shaping learns them all.
  GlyphFace& p = probe();
  QString text;
  text.append(QChar(a)).append(QChar(b));
  if (together) walkOpenPairs(text);
  Shaped s;
  bool clean =
      shape(text, fontAt(kProbePoints), &device_, s) && s.glyphs.size() == std::size_t(text.size());
  for (int i = 0; clean && i < text.size(); ++i)
    clean = s.glyphs[std::size_t(i)] == p.glyphIndex[text[i].unicode()];
  if (!clean) return false;
  for (int i = 0; i + 1 < text.size(); ++i) {
    const uint8_t x = uint8_t(text[i].unicode()), y = uint8_t(text[i + 1].unicode());
    const int32_t distance = s.pens[std::size_t(i) + 1] - s.pens[std::size_t(i)];
    pairKinds_[std::size_t(x) << 8 | y] =
        distance == p.advance[x] ? PairKind::Plain : PairKind::Kerned;
  }
  return true;
}

void TextCache::walkOpenPairs(QString& text) {
  const GlyphFace& p = probe();
  std::vector<uint8_t> chars;
  for (int c = 0; c < 256; ++c)
    if (p.charState[std::size_t(c)] == 1) chars.push_back(uint8_t(c));
  // A walk from pair to pair that have not been learnt, each following on from the last where
  // one does, so that most characters start one pair and end another.
  std::vector<bool> taken(std::size_t(1) << 16, false);
  const auto open = [&](uint8_t x, uint8_t y) {
    const std::size_t k = std::size_t(x) << 8 | y;
    return !taken[k] && pairKinds_[k] == PairKind::Unknown;
  };
  taken[std::size_t(text[0].unicode()) << 8 | text[1].unicode()] = true;
  std::size_t from = 0;  // no open pair starts with chars[i] for i < from
  while (text.size() < kMaxLearntAtOnce) {
    const uint8_t last = uint8_t(text.back().unicode());
    const auto next =
        std::find_if(chars.begin(), chars.end(), [&](uint8_t y) { return open(last, y); });
    if (next != chars.end()) {
      taken[std::size_t(last) << 8 | *next] = true;
      text.append(QChar(*next));
      continue;
    }
    // Else a new start: the first character that begins an open pair.
    while (from < chars.size() && std::none_of(chars.begin(), chars.end(),
                                               [&](uint8_t y) { return open(chars[from], y); }))
      ++from;
    if (from == chars.size()) break;
    text.append(QChar(chars[from]));
  }
}

int32_t TextCache::pairDistance(GlyphFace& f, uint8_t a, uint8_t b, int points) {
  switch (pairKind(a, b)) {
    case PairKind::Plain:
      return f.advance[a];
    case PairKind::Kerned:
      break;
    default:
      return kComplexPair;
  }
  const uint32_t key = uint32_t(a) << 8 | b;
  const auto it = f.pairs.find(key);
  if (it != f.pairs.end()) return it->second;
  const QChar pair[2] = {QChar(a), QChar(b)};
  Shaped s;
  int32_t distance = kComplexPair;
  if (shape(QString(pair, 2), fontAt(points), &device_, s) && s.glyphs.size() == 2 &&
      s.glyphs[0] == f.glyphIndex[a] && s.glyphs[1] == f.glyphIndex[b])
    distance = s.pens[1];
  f.pairs.emplace(key, distance);
  return distance;
}

void TextCache::drawGlyph(GlyphFace& f, uint8_t c, int phase, int points, BitMask& mask) {
  const QFontMetrics& fm = metricsAt(points);
  QGlyphRun run;
  run.setRawFont(rawFont(f, points));
  run.setGlyphIndexes({f.glyphIndex[c]});
  run.setPositions({QPointF(0, 0)});
  // First the glyph's ink box as the font gives it, a little wider; the outline stays well
  // inside the clip, since an outline cut by it may come out differently.
  const int m = 2 + fm.height() / 16;
  const QRect ink = fm.boundingRect(QChar{c}).translated(0, fm.ascent());
  scan(Drawn{nullptr, &run}, phase, points, ink.adjusted(-m, -m, m + 1, m),
       (f.advance[c] + 63) / 64 + 1, fm.height(), mask);
}

bool TextCache::phaseFree(GlyphFace& f, int points) {
  if (f.phaseFree != 0) return f.phaseFree > 0;
  f.phaseFree = -1;
  // Qt draws glyphs at quarter-pixel steps where it draws them at all, the pen's pixel taken by
  // rounding down. A round character shows a half-pixel step in almost every row: one that
  // comes out the same half a pixel on means the face draws its glyphs without such steps, as
  // Qt draws aliased ones. The zero is in nearly every font and in most board texts.
  constexpr uint8_t kRound = '0';
  if (!simpleChar(f, kRound, points)) return false;
  const BitMask& first = glyph(f, kRound, 0, points);
  BitMask half;
  drawGlyph(f, kRound, 32, points, half);
  if (half.left != first.left || half.top != first.top || half.rows != first.rows ||
      half.width != first.width || half.bits != first.bits)
    return false;
  f.phaseFree = 1;
  return true;
}

const BitMask& TextCache::glyph(GlyphFace& f, uint8_t c, int phase, int points) {
  // While it is not yet known, phaseFree asks for the zero at phase 0 through here.
  if (phase != 0 && phaseFree(f, points)) phase = 0;
  auto& found = f.byPhase[c];
  if (found && (*found)[std::size_t(phase)] != nullptr) return *(*found)[std::size_t(phase)];
  if (!found) found = std::make_unique<std::array<const BitMask*, 64>>();
  const uint32_t key = uint32_t(c) << 6 | uint32_t(phase);
  BitMask& mask = f.glyphs[key];
  drawGlyph(f, c, phase, points, mask);
  maskBytes_ += mask.bytes();
  (*found)[std::size_t(phase)] = &mask;
  return mask;
}

bool TextCache::place(GlyphFace& f, const char* chars, int length, int points, int32_t* pens,
                      int& width) {
  if (length <= 0) return false;
  pens[0] = 0;
  for (int i = 0; i < length; ++i) {
    const uint8_t c = uint8_t(chars[i]);
    if (!simpleChar(f, c, points)) return false;
    if (i == 0) continue;
    const int32_t d = pairDistance(f, uint8_t(chars[i - 1]), c, points);
    if (d == kComplexPair) return false;
    pens[i] = pens[i - 1] + d;
  }
  // The extent's width is the pen's whole advance, rounded as QFontMetrics rounds it.
  width = int(raster::floorDiv(pens[length - 1] + f.advance[uint8_t(chars[length - 1])] + 32, 64));
  return true;
}

bool TextCache::layOut(const char* chars, int length, int points, Layout& l) {
  if (decorated_) return false;
  GlyphFace& f = glyphFace(points);
  std::array<int32_t, 32> pens{};
  if (length > int(pens.size()) || !place(f, chars, length, points, pens.data(), l.width))
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
  if (f.height < 0) f.height = metricsAt(points).height();
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

void TextCache::Layout::write(uint64_t* bits) const {
  for (int i = 0; i < count; ++i)
    mergeInside(bits, words(), left, top, glyphs[std::size_t(i)]->view(), wholes[std::size_t(i)],
                0);
}

}  // namespace fw

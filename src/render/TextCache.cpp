#include "render/TextCache.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace fw {

namespace {

constexpr int kDotsPerMeter = 3780;  // 96 dpi, as the canvas
// Past this many runs the cache starts afresh, which bounds its memory to some tens of MB.
constexpr std::size_t kMaxSpans = 6'000'000;
constexpr QRgb kBlank = 0xFF000000u;

QImage scratchImage(int w, int h) {
  QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
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
  if (spanCount_ > kMaxSpans) clear();
  if (hasFace_ && f == face_) return;
  clear();
  face_ = f;
  hasFace_ = true;
}

QFont TextCache::fontAt(int points) const {
  QFont f = face_;
  f.setPointSize(points);
  return f;
}

void TextCache::clear() {
  ++generation_;
  entries_.clear();
  measures_.clear();
  metrics_.clear();
  glyphFaces_.clear();
  pairKinds_.clear();
  spanCount_ = 0;
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

const TextCache::Entry& TextCache::get(const char* chars, int length, int points) {
  std::string key;
  key.reserve(std::size_t(length) + 2);
  key.push_back(char(points & 0xFF));
  key.push_back(char((points >> 8) & 0xFF));
  key.append(chars, std::size_t(length));
  auto it = entries_.find(key);
  if (it != entries_.end()) return it->second;
  Entry e;
  if (!compose(chars, length, points, e)) render(QString::fromLatin1(chars, length), points, e);
  spanCount_ += e.mask.data.size();
  return entries_.emplace(std::move(key), std::move(e)).first->second;
}

bool TextCache::holds(const RowSlot& slot, const char* chars, int length, int points) const {
  return slot.generation == generation_ && slot.points == points && slot.length == length &&
         std::memcmp(slot.chars.data(), chars, std::size_t(length)) == 0;
}

void TextCache::remember(RowSlot& slot, const char* chars, int length, int points) {
  slot.generation = generation_;
  slot.points = points;
  slot.length = length;
  std::memcpy(slot.chars.data(), chars, std::size_t(length));
}

const TextCache::Entry& TextCache::getForRow(std::size_t row, const char* chars, int length,
                                             int points) {
  length = std::clamp(length, 0, 32);
  if (row >= rows_.size()) rows_.resize(row + 1);
  RowSlot& slot = rows_[row];
  if (slot.entry != nullptr && holds(slot, chars, length, points)) return *slot.entry;
  const Entry& e = get(chars, length, points);
  slot.entry = &e;
  slot.width = e.width;
  remember(slot, chars, length, points);
  return e;
}

int TextCache::widthForRow(std::size_t row, const char* chars, int length, int points) {
  length = std::clamp(length, 0, 32);
  if (row >= rows_.size()) rows_.resize(row + 1);
  RowSlot& slot = rows_[row];
  if (holds(slot, chars, length, points)) return slot.width;
  slot.entry = nullptr;
  slot.width = metricsAt(points).horizontalAdvance(QString::fromLatin1(chars, length));
  remember(slot, chars, length, points);
  return slot.width;
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
  e.mask = RunMask{};
  if (!text.isEmpty()) scan(text, 0, points, e.width, e.height, e.mask);
}

void TextCache::scan(const QString& text, int phase, int points, int width, int height,
                     RunMask& mask) {
  const QFontMetrics& fm = metricsAt(points);
  // Draw into the extent with a margin for glyphs that reach past it, clipped to that area;
  // if anything touches its border, the margin was too small and the drawing is repeated
  // with a wider one. Positions are kept relative to the drawing corner through (ox, oy).
  std::vector<ScanRun>& runs = scanRuns_;
  // Two tries: a quarter of the height, then twice the height, past which no glyph reaches.
  int margin = height / 4 + 2;
  int ox = 0, oy = 0;
  for (int attempt = 0;; ++attempt, margin = reach(height)) {
    const int w = width + 2 * margin;
    const int h = height + 2 * margin;
    ox = oy = margin;
    QPainter& p = scratch(w, h);
    p.setClipRect(0, 0, w, h);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(0, 0, w, h, QColor(0, 0, 0));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setFont(fontAt(points));
    p.drawText(QPointF(ox + phase / 64.0, oy + fm.ascent()), text);
    runs.clear();
    bool touches = false;
    for (int y = 0; y < h; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
      for (int x = 0; x < w;) {
        // Most of the scratch is blank: skip it four pixels at a time.
        while (x + 4 <= w && ((row[x] ^ kBlank) | (row[x + 1] ^ kBlank) | (row[x + 2] ^ kBlank) |
                              (row[x + 3] ^ kBlank)) == 0)
          x += 4;
        if (x == w) break;
        if (row[x] == kBlank) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < w && row[x] != kBlank) ++x;
        runs.push_back({y, start, x - 1});
        if (start == 0 || x == w || y == 0 || y == h - 1) touches = true;
      }
    }
    if (!touches || attempt == 1) break;
  }
  buildMask(runs, ox, oy, mask);
}

// Runs sorted by row, then by x, without overlaps, become a mask relative to (ox, oy).
void TextCache::buildMask(std::vector<ScanRun>& runs, int ox, int oy, RunMask& m) {
  m = RunMask{};
  if (runs.empty()) return;
  // Bounds of the runs, then the mask relative to them.
  const int top = runs.front().y, bottom = runs.back().y;
  int left = 1 << 30, right = -1;
  for (const ScanRun& r : runs) {
    left = std::min(left, r.x1);
    right = std::max(right, r.x2);
  }
  right = std::min(right, left + 65535);  // runs are held as 16-bit offsets
  m.top = top - oy;
  m.left = left - ox;
  m.rows = bottom - top + 1;
  m.width = right - left + 1;
  m.data.reserve(std::size_t(m.rows) + 1 + runs.size());
  uint32_t k = 0;
  std::size_t next = 0;
  for (int y = top; y <= bottom; ++y) {
    m.data.push_back(k);
    for (; next < runs.size() && runs[next].y == y; ++next)
      if (runs[next].x1 <= right) ++k;
  }
  m.data.push_back(k);
  for (const ScanRun& r : runs)
    if (r.x1 <= right)
      m.data.push_back(uint32_t(r.x1 - left) | (uint32_t(std::min(r.x2, right) - left) << 16));
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
  int32_t advance = 0;
};

bool to64(double px, int32_t& out) {
  const double x = px * 64.0;
  if (std::abs(x - std::round(x)) > 1e-6) return false;
  out = int32_t(std::lround(x));
  return true;
}

bool shape(const QString& text, const QFont& font, QPaintDevice* device, Shaped& s) {
  QTextLayout layout(text, font, device);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const QList<QGlyphRun> runs = layout.glyphRuns();
  // The sum of the glyphs' advances, without the bearings a line's width takes in.
  const double advance = QFontMetricsF(font, device).horizontalAdvance(text);
  if (runs.size() != 1 || !to64(advance, s.advance)) return false;
  const QList<quint32> indexes = runs.front().glyphIndexes();
  s.glyphs.assign(indexes.begin(), indexes.end());
  s.pens.clear();
  for (const QPointF& p : runs.front().positions()) {
    int32_t pen = 0;
    if (!to64(p.x(), pen)) return false;
    s.pens.push_back(pen);
  }
  return s.pens.size() == s.glyphs.size() && !s.pens.empty() && s.pens.front() == 0;
}

int floorDiv64(int32_t v) {
  return v >= 0 ? v / 64 : -((-v + 63) / 64);
}

// Kerning grows with the size: a pair that shows none here, far above any text size drawn, has
// none at any size drawn.
constexpr int kProbePoints = 3000;

}  // namespace

bool TextCache::simpleChar(GlyphFace& f, uint8_t c, int points) {
  int8_t& state = f.charState[c];
  if (state == 0) {
    Shaped s;
    state = plainChar(c) && shape(QString(QChar(c)), fontAt(points), &device_, s) &&
                    s.glyphs.size() == 1
                ? 1
                : -1;
    if (state == 1) {
      f.glyphIndex[c] = s.glyphs.front();
      f.advance[c] = s.advance;
    }
  }
  return state == 1;
}

TextCache::PairKind TextCache::pairKind(uint8_t a, uint8_t b) {
  if (pairKinds_.empty()) pairKinds_.assign(std::size_t(1) << 16, PairKind::Unknown);
  PairKind& kind = pairKinds_[std::size_t(a) << 8 | b];
  if (kind == PairKind::Unknown) {
    const QFont font = fontAt(kProbePoints);
    const QChar pair[2] = {QChar(a), QChar(b)};
    Shaped first, second, both;
    kind = PairKind::Complex;
    if (shape(QString(pair, 1), font, &device_, first) &&
        shape(QString(pair + 1, 1), font, &device_, second) &&
        shape(QString(pair, 2), font, &device_, both) && first.glyphs.size() == 1 &&
        second.glyphs.size() == 1 && both.glyphs.size() == 2 && both.glyphs[0] == first.glyphs[0] &&
        both.glyphs[1] == second.glyphs[0])
      kind = both.pens[1] == first.advance ? PairKind::Plain : PairKind::Kerned;
  }
  return kind;
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

const RunMask& TextCache::glyph(GlyphFace& f, uint8_t c, int phase, int points) {
  const uint32_t key = uint32_t(c) << 6 | uint32_t(phase);
  const auto it = f.glyphs.find(key);
  if (it != f.glyphs.end()) return it->second;
  const QFontMetrics& fm = metricsAt(points);
  const QString text(QChar{c});
  RunMask& mask = f.glyphs[key];
  scan(text, phase, points, fm.horizontalAdvance(text) + 1, fm.height(), mask);
  spanCount_ += mask.data.size();
  return mask;
}

bool TextCache::compose(const char* chars, int length, int points, Entry& e) {
  GlyphFace& f = glyphFace(points);
  std::array<int32_t, 256> pens{};
  if (length <= 0 || length > int(pens.size())) return false;
  for (int i = 0; i < length; ++i) {
    const uint8_t c = uint8_t(chars[i]);
    if (!simpleChar(f, c, points)) return false;
    if (i == 0) continue;
    const int32_t d = pairDistance(f, uint8_t(chars[i - 1]), c, points);
    if (d == kComplexPair) return false;
    pens[std::size_t(i)] = pens[std::size_t(i - 1)] + d;
  }
  // Every glyph first, since drawing one uses the scan buffer.
  std::array<const RunMask*, 256> masks{};
  std::array<int, 256> wholes{};
  for (int i = 0; i < length; ++i) {
    const int32_t pen = pens[std::size_t(i)];
    const int whole = floorDiv64(pen);  // the pixel the pen lies in
    wholes[std::size_t(i)] = whole;
    masks[std::size_t(i)] = &glyph(f, uint8_t(chars[i]), pen - whole * 64, points);
  }
  // Row by row, each glyph's runs in turn; glyphs come left to right, so a row is nearly in
  // order already, and kerned glyphs that overlap are joined.
  int top = INT_MAX, bottom = INT_MIN;
  for (int i = 0; i < length; ++i) {
    const RunMask& g = *masks[std::size_t(i)];
    if (g.rows == 0) continue;  // a space
    top = std::min(top, g.top);
    bottom = std::max(bottom, g.top + g.rows - 1);
  }
  std::vector<ScanRun>& runs = scanRuns_;
  runs.clear();
  for (int y = top; y <= bottom; ++y) {
    const std::size_t rowStart = runs.size();
    for (int i = 0; i < length; ++i) {
      const RunMask& g = *masks[std::size_t(i)];
      const int r = y - g.top;
      if (r < 0 || r >= g.rows) continue;
      const int x0 = wholes[std::size_t(i)] + g.left;
      const uint32_t* spans = g.data.data() + g.rows + 1;
      for (uint32_t k = g.data[std::size_t(r)]; k < g.data[std::size_t(r) + 1]; ++k)
        runs.push_back({y, x0 + int(spans[k] & 0xFFFF), x0 + int(spans[k] >> 16)});
    }
    for (std::size_t j = rowStart + 1; j < runs.size(); ++j) {
      const ScanRun run = runs[j];
      std::size_t m = j;
      for (; m > rowStart && runs[m - 1].x1 > run.x1; --m) runs[m] = runs[m - 1];
      runs[m] = run;
    }
  }
  std::size_t n = 0;
  for (const ScanRun& r : runs) {
    if (n > 0 && runs[n - 1].y == r.y && r.x1 <= runs[n - 1].x2 + 1)
      runs[n - 1].x2 = std::max(runs[n - 1].x2, r.x2);
    else
      runs[n++] = r;
  }
  runs.resize(n);
  // The extent's width is the pen's whole advance, rounded as QFontMetrics rounds it.
  const int32_t end = pens[std::size_t(length - 1)] + f.advance[uint8_t(chars[length - 1])];
  e.width = floorDiv64(end + 32);
  e.height = metricsAt(points).height();
  buildMask(runs, 0, 0, e.mask);
  return true;
}

void TextCache::blit(Canvas& c, const Entry& e, int x, int y, const QColor& colour) {
  c.pixelRuns(x, y, e.mask, colour);
}

}  // namespace fw

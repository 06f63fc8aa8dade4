#include "render/text/TextShaper.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "render/Raster.h"
#include "render/text/TextFaces.h"

namespace fw {

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

TextShaper::TextShaper(TextFaces& faces) : faces_(faces) {}
TextShaper::~TextShaper() = default;

void TextShaper::clear() {
  sizes_.clear();
  pairKinds_.clear();
  pairsOneByOne_ = false;
  probe_.reset();
}

TextShaper::Size& TextShaper::size(int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= sizes_.size()) sizes_.resize(i + 1);
  if (!sizes_[i]) sizes_[i] = std::make_unique<Size>();
  return *sizes_[i];
}

TextShaper::Size& TextShaper::probe() {
  if (!probe_) probe_ = std::make_unique<Size>();
  return *probe_;
}

bool TextShaper::simpleChar(uint8_t c, int points) {
  return simpleChar(size(points), c, points);
}

bool TextShaper::simpleChar(Size& f, uint8_t c, int points) {
  int8_t& state = f.charState[c];
  if (state != 0) return state == 1;
  state = -1;
  if (&f == probe_.get()) {
    // Shaped once at the probe size: whether the character is one glyph of its own, from the
    // font itself, so that it can be drawn by its index.
    Shaped s;
    if (plainChar(c) && shape(QString(QChar(c)), faces_.fontAt(points), faces_.device(), s, true) &&
        s.glyphs.size() == 1 && s.face == faces_.rawFontAt(points)) {
      state = 1;
      f.glyphIndex[c] = s.glyphs.front();
      f.advance[c] = s.advance;
    }
    return state == 1;
  }
  // At other sizes the glyph is the same one; only its advance is asked for, without shaping.
  if (!simpleChar(probe(), c, kProbePoints)) return false;
  int32_t advance = 0;
  if (!to64(QFontMetricsF(faces_.fontAt(points), faces_.device()).horizontalAdvance(QChar(c)),
            advance))
    return false;
  state = 1;
  f.glyphIndex[c] = probe_->glyphIndex[c];
  f.advance[c] = advance;
  return true;
}

TextShaper::PairKind TextShaper::pairKind(uint8_t a, uint8_t b) {
  if (pairKinds_.empty()) pairKinds_.assign(std::size_t(1) << 16, PairKind::Unknown);
  PairKind& kind = pairKinds_[std::size_t(a) << 8 | b];
  if (kind != PairKind::Unknown) return kind;
  Size& p = probe();
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

bool TextShaper::learnPairs(uint8_t a, uint8_t b, bool together) {
  // The pair asked for and, together, every pair not yet learnt of the characters met so far,
  // one after another in one string: a pair's glyphs and distance in it are those it has on its
  // own, so one shaping learns them all.
  Size& p = probe();
  QString text;
  text.append(QChar(a)).append(QChar(b));
  if (together) walkOpenPairs(text);
  Shaped s;
  bool clean = shape(text, faces_.fontAt(kProbePoints), faces_.device(), s) &&
               s.glyphs.size() == std::size_t(text.size());
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

void TextShaper::walkOpenPairs(QString& text) {
  const Size& p = probe();
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

int32_t TextShaper::pairDistance(Size& f, uint8_t a, uint8_t b, int points) {
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
  if (shape(QString(pair, 2), faces_.fontAt(points), faces_.device(), s) && s.glyphs.size() == 2 &&
      s.glyphs[0] == f.glyphIndex[a] && s.glyphs[1] == f.glyphIndex[b])
    distance = s.pens[1];
  f.pairs.emplace(key, distance);
  return distance;
}

bool TextShaper::place(const char* chars, int length, int points, int32_t* pens, int& width) {
  if (length <= 0) return false;
  Size& f = size(points);
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

int TextShaper::measureWidth(const char* chars, int length, int points) {
  std::array<int32_t, 32> pens{};
  int width = 0;
  if (!place(chars, length, points, pens.data(), width))
    width = faces_.metricsAt(points).horizontalAdvance(QString::fromLatin1(chars, length));
  return width;
}

}  // namespace fw

#include "render/TextCache.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
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
  render(QString::fromLatin1(chars, length), points, e);
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
  const QFont font = fontAt(points);
  const QFontMetrics& fm = metricsAt(points);
  e.width = fm.horizontalAdvance(text);
  e.height = fm.height();
  e.mask = RunMask{};
  if (text.isEmpty()) return;
  // Draw into the extent with a margin for glyphs that reach past it, clipped to that area;
  // if anything touches its border, the margin was too small and the drawing is repeated
  // with a wider one. Positions are kept relative to the drawing corner through (ox, oy).
  std::vector<ScanRun>& runs = scanRuns_;
  // Two tries: a quarter of the height, then twice the height, past which no glyph reaches.
  int margin = e.height / 4 + 2;
  int ox = 0, oy = 0;
  for (int attempt = 0;; ++attempt, margin = reach(e.height)) {
    const int w = e.width + 2 * margin;
    const int h = e.height + 2 * margin;
    ox = oy = margin;
    QPainter& p = scratch(w, h);
    p.setClipRect(0, 0, w, h);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(0, 0, w, h, QColor(0, 0, 0));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setFont(font);
    p.drawText(QPoint(ox, oy + fm.ascent()), text);
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
  if (runs.empty()) return;
  // Bounds of the runs, then the mask relative to them.
  const int top = runs.front().y, bottom = runs.back().y;
  int left = 1 << 30, right = -1;
  for (const ScanRun& r : runs) {
    left = std::min(left, r.x1);
    right = std::max(right, r.x2);
  }
  right = std::min(right, left + 65535);  // runs are held as 16-bit offsets
  RunMask& m = e.mask;
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

void TextCache::blit(Canvas& c, const Entry& e, int x, int y, const QColor& colour) {
  c.pixelRuns(x, y, e.mask, colour);
}

}  // namespace fw

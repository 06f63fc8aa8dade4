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

// Pixel runs of one scanned row, in image columns.
struct Run {
  int x1, x2;
};

}  // namespace

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
  spanCount_ = 0;
}

const TextCache::Measures& TextCache::measures(int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= measures_.size()) measures_.resize(i + 1);
  Measures& m = measures_[i];
  if (m.height == 0) {
    const QImage device = scratchImage(1, 1);
    const QFontMetrics fm(fontAt(points), &device);
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

const TextCache::Entry& TextCache::getForRow(std::size_t row, const char* chars, int length,
                                             int points) {
  length = std::clamp(length, 0, 32);
  if (row >= rows_.size()) rows_.resize(row + 1);
  RowSlot& slot = rows_[row];
  if (slot.generation == generation_ && slot.points == points && slot.length == length &&
      std::memcmp(slot.chars.data(), chars, std::size_t(length)) == 0)
    return *slot.entry;
  const Entry& e = get(chars, length, points);
  slot.entry = &e;
  slot.generation = generation_;
  slot.points = points;
  slot.length = length;
  std::memcpy(slot.chars.data(), chars, std::size_t(length));
  return e;
}

void TextCache::render(const QString& text, int points, Entry& e) {
  const QFont font = fontAt(points);
  const QImage device = scratchImage(1, 1);
  const QFontMetrics fm(font, &device);
  e.width = fm.horizontalAdvance(text);
  e.height = fm.height();
  e.mask = RunMask{};
  if (text.isEmpty()) return;
  // Draw with a margin for glyphs that reach past the extent; if anything touches the border
  // of the scratch image, the margin was too small and the drawing is repeated with more.
  std::vector<std::vector<Run>> rows;
  int margin = e.height / 2 + 4;
  for (;; margin *= 2) {
    QImage img = scratchImage(e.width + 2 * margin, e.height + 2 * margin);
    img.fill(kBlank);
    {
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setRenderHint(QPainter::TextAntialiasing, false);
      p.setFont(font);
      p.setPen(QColor(255, 255, 255));
      p.drawText(QPoint(margin, margin + fm.ascent()), text);
    }
    const int w = img.width(), h = img.height();
    rows.assign(std::size_t(h), {});
    bool touches = false;
    for (int y = 0; y < h; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < w;) {
        if (row[x] == kBlank) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < w && row[x] != kBlank) ++x;
        rows[std::size_t(y)].push_back({start, x - 1});
        if (start == 0 || x == w || y == 0 || y == h - 1) touches = true;
      }
    }
    if (!touches || margin > 4096) break;
  }
  // Bounds of the runs, then the mask relative to them.
  int top = -1, bottom = -1, left = 1 << 30, right = -1;
  for (int y = 0; y < int(rows.size()); ++y) {
    if (rows[std::size_t(y)].empty()) continue;
    if (top < 0) top = y;
    bottom = y;
    left = std::min(left, rows[std::size_t(y)].front().x1);
    right = std::max(right, rows[std::size_t(y)].back().x2);
  }
  if (top < 0) return;
  right = std::min(right, left + 65535);  // runs are held as 16-bit offsets
  RunMask& m = e.mask;
  m.top = top - margin;
  m.left = left - margin;
  m.rows = bottom - top + 1;
  m.width = right - left + 1;
  std::size_t runCount = 0;
  for (int y = top; y <= bottom; ++y) runCount += rows[std::size_t(y)].size();
  m.data.reserve(std::size_t(m.rows) + 1 + runCount);
  uint32_t k = 0;
  for (int y = top; y <= bottom; ++y) {
    m.data.push_back(k);
    for (const Run& r : rows[std::size_t(y)])
      if (r.x1 <= right) ++k;
  }
  m.data.push_back(k);
  for (int y = top; y <= bottom; ++y)
    for (const Run& r : rows[std::size_t(y)])
      if (r.x1 <= right)
        m.data.push_back(uint32_t(r.x1 - left) | (uint32_t(std::min(r.x2, right) - left) << 16));
}

void TextCache::blit(Canvas& c, const Entry& e, int x, int y, const QColor& colour) {
  c.pixelRuns(x, y, e.mask, colour);
}

}  // namespace fw

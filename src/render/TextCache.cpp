#include "render/TextCache.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "render/Canvas.h"

namespace fw {

namespace {

constexpr int kDotsPerMeter = 3780;  // 96 dpi, as the canvas
// Past this many runs the cache starts afresh, which bounds its memory to some tens of MB.
constexpr std::size_t kMaxRuns = 4'000'000;
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

void TextCache::useFont(const QFont& face) {
  const QFont f = withoutSize(face);
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
  entries_.clear();
  measures_.clear();
  runCount_ = 0;
}

const TextCache::Measures& TextCache::measures(int points) {
  auto it = measures_.find(points);
  if (it != measures_.end()) return it->second;
  const QImage device = scratchImage(1, 1);
  const QFontMetrics fm(fontAt(points), &device);
  Measures m;
  m.maxWidth = fm.maxWidth();
  m.height = fm.height();
  return measures_.emplace(points, m).first->second;
}

const TextCache::Entry& TextCache::get(const char* chars, int length, int points) {
  std::string key;
  key.reserve(std::size_t(length) + 2);
  key.push_back(char(points & 0xFF));
  key.push_back(char((points >> 8) & 0xFF));
  key.append(chars, std::size_t(length));
  auto it = entries_.find(key);
  if (it != entries_.end()) return it->second;
  if (runCount_ > kMaxRuns) {
    entries_.clear();
    runCount_ = 0;
  }
  Entry e;
  render(QString::fromLatin1(chars, length), points, e);
  runCount_ += e.runs.size();
  return entries_.emplace(std::move(key), std::move(e)).first->second;
}

void TextCache::render(const QString& text, int points, Entry& e) {
  const QFont font = fontAt(points);
  {
    const QImage device = scratchImage(1, 1);
    const QFontMetrics fm(font, &device);
    e.width = fm.horizontalAdvance(text);
    e.height = fm.height();
  }
  e.runs.clear();
  if (text.isEmpty()) return;
  // Draw with a margin for glyphs that reach past the extent; if anything touches the border
  // of the scratch image, the margin was too small and the drawing is repeated with more.
  for (int margin = e.height / 2 + 4;; margin *= 2) {
    QImage img = scratchImage(e.width + 2 * margin, e.height + 2 * margin);
    img.fill(kBlank);
    {
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setRenderHint(QPainter::TextAntialiasing, false);
      p.setFont(font);
      p.setPen(QColor(255, 255, 255));
      p.drawText(QPoint(margin, margin + QFontMetrics(font, &img).ascent()), text);
    }
    e.runs.clear();
    bool touches = false;
    for (int y = 0; y < img.height(); ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < img.width();) {
        if (row[x] == kBlank) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < img.width() && row[x] != kBlank) ++x;
        e.runs.push_back({y - margin, start - margin, x - 1 - margin});
        if (start == 0 || x == img.width() || y == 0 || y == img.height() - 1) touches = true;
      }
    }
    if (!touches || margin > 4096) break;
  }
  e.top = e.left = 0;
  e.bottom = e.right = -1;
  if (!e.runs.empty()) {
    e.top = e.runs.front().dy;
    e.bottom = e.runs.back().dy;
    e.left = e.runs.front().x1;
    e.right = e.runs.front().x2;
    for (const Run& r : e.runs) {
      e.left = std::min(e.left, r.x1);
      e.right = std::max(e.right, r.x2);
    }
  }
}

void TextCache::blit(Canvas& c, const Entry& e, int x, int y, QRgb colour) {
  const int w = c.width();
  if (x + e.right < 0 || x + e.left >= w) return;
  const int firstRow = c.yOffset();
  const int lastRow = c.yOffset() + c.height() - 1;
  if (y + e.bottom < firstRow || y + e.top > lastRow) return;
  int rowY = 0;
  QRgb* row = nullptr;
  for (const Run& r : e.runs) {
    const int wy = y + r.dy;
    if (wy < firstRow) continue;
    if (wy > lastRow) break;
    if (!row || wy != rowY) {
      rowY = wy;
      row = c.scanLine(wy);
    }
    const int x1 = std::max(x + r.x1, 0);
    const int x2 = std::min(x + r.x2, w - 1);
    if (x1 <= x2) std::fill(row + x1, row + x2 + 1, colour);
  }
}

}  // namespace fw

#include "render/text/TextFaces.h"

#include <QTransform>
#include <algorithm>

#include "render/text/TextPixels.h"

namespace fw {

namespace {

// Measures are scaled from this size, above every size drawn.
constexpr int kLargePoints = 1000;

QFont withoutSize(QFont f) {
  f.setPointSize(1);
  return f;
}

// The slot for a point size in a table by size, made when first asked for.
template <typename T>
T& bySize(std::vector<T>& table, int points) {
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i >= table.size()) table.resize(i + 1);
  return table[i];
}

}  // namespace

TextFaces::TextFaces() {
  device_.setDotsPerMeterX(kTextDotsPerMeter);
  device_.setDotsPerMeterY(kTextDotsPerMeter);
}

bool TextFaces::holds(const QFont& face) const {
  return hasFace_ && withoutSize(face) == face_;
}

void TextFaces::setFace(const QFont& face) {
  face_ = withoutSize(face);
  hasFace_ = true;
  decorated_ = face_.underline() || face_.overline() || face_.strikeOut();
}

void TextFaces::clear() {
  measures_.clear();
  metrics_.clear();
  fonts_.clear();
  rawFonts_.clear();
  settleFont_.reset();
}

void TextFaces::settle() {
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

const QFont& TextFaces::fontAt(int points) {
  std::optional<QFont>& f = bySize(fonts_, points);
  if (!f) {
    f.emplace(face_);
    f->setPointSize(points);
  }
  return *f;
}

const QFontMetrics& TextFaces::metricsAt(int points) {
  std::optional<QFontMetrics>& m = bySize(metrics_, points);
  if (!m) m.emplace(fontAt(points), &device_);
  return *m;
}

const QRawFont& TextFaces::rawFontAt(int points) {
  // At the scratch image's resolution, as drawText takes the face there, not the screen's.
  std::optional<QRawFont>& f = bySize(rawFonts_, points);
  if (!f) f = QRawFont::fromFont(QFont(fontAt(points), &device_));
  return *f;
}

const TextFaces::Measures& TextFaces::measures(int points) {
  Measures& m = bySize(measures_, points);
  if (m.height == 0) {
    const QFontMetrics& fm = metricsAt(points);
    m.maxWidth = fm.maxWidth();
    m.height = std::max(fm.height(), 1);
  }
  return m;
}

TextFaces::Measures TextFaces::roughMeasures(int points) {
  // A size measured already gives its own.
  const std::size_t i = std::size_t(std::max(points, 0));
  if (i < measures_.size() && measures_[i].height != 0) return measures_[i];
  // Hinting moves a size's measures from the scaled ones by a pixel or two; twice the scaled
  // measures and a margin leave room for far more.
  const Measures& large = measures(kLargePoints);
  const double scale = 2.0 * std::max(points, 0) / kLargePoints;
  return {int(scale * large.maxWidth) + 16, int(scale * large.height) + 16};
}

}  // namespace fw

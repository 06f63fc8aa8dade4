#include "fab/TextBox.h"

#include <QFont>
#include <QRawFont>
#include <array>

#include "board/PrintTables.h"

namespace fw {

namespace {

// The metrics of the glyph table in GerberText.cpp, read the same way (Liberation Sans at an em
// of kEm pixels, unhinted) so that the box is that of the glyphs the files hold.
constexpr int kEm = 1000;

class Metrics {
 public:
  Metrics() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(kEm);
    font.setHintingPreference(QFont::PreferNoHinting);
    raw_ = QRawFont::fromFont(font);
    height_ = (raw_.ascent() + raw_.descent()) / kEm;
    for (int c = 0; c < 256; ++c) {
      const QVector<quint32> index = raw_.glyphIndexesForString(QString(QChar(char16_t(c))));
      if (index.isEmpty()) continue;
      const QVector<QPointF> advance =
          raw_.advancesForGlyphIndexes(index, QRawFont::SeparateAdvances);
      if (!advance.isEmpty()) advance_[std::size_t(c)] = advance[0].x();
    }
  }
  // At an em of kEm pixels; times em / kEm gives nanometres at an em of `em` nanometres.
  double advance(unsigned char c) const { return advance_[c]; }
  // In ems.
  double height() const { return height_; }

 private:
  QRawFont raw_;
  double height_ = 0;
  std::array<double, 256> advance_{};
};

const Metrics& metrics() {
  static const Metrics m;
  return m;
}

}  // namespace

GerberTextBox gerberTextBox(const TextItem& t) {
  const int points = printTextBasePoints(t.size, 100);
  if (points <= 0) return {};
  const long long em = points * 25400000LL / 72;  // points / 72 inch
  const Metrics& m = metrics();
  const int length = std::min<int>(t.text.length, int(t.text.chars.size()));
  GerberTextBox box;
  for (int k = 0; k < length; ++k)
    box.width += m.advance(static_cast<unsigned char>(t.text.chars[std::size_t(k)])) * em / kEm;
  box.height = m.height() * double(em);
  return box;
}

}  // namespace fw

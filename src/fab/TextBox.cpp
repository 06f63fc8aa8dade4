#include "fab/TextBox.h"

#include <QFont>

#include "board/PrintTables.h"

namespace fw {

GerberFace::GerberFace() {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(kGerberEm);
  font.setHintingPreference(QFont::PreferNoHinting);
  raw_ = QRawFont::fromFont(font);
  ascent_ = raw_.ascent() / kGerberEm;
  height_ = (raw_.ascent() + raw_.descent()) / kGerberEm;
  for (int c = 0; c < 256; ++c) {
    const QVector<quint32> index = raw_.glyphIndexesForString(QString(QChar(char16_t(c))));
    if (index.isEmpty()) continue;
    glyph_[std::size_t(c)] = index[0];
    const QVector<QPointF> advance =
        raw_.advancesForGlyphIndexes(index, QRawFont::SeparateAdvances);
    if (!advance.isEmpty()) advance_[std::size_t(c)] = advance[0].x();
  }
}

const GerberFace& gerberFace() {
  static const GerberFace face;
  return face;
}

long long gerberTextEm(int size) {
  return printTextBasePoints(size, 100) * 25400000LL / 72;  // points / 72 inch
}

GerberTextBox gerberTextBox(const TextItem& t) {
  const long long em = gerberTextEm(t.size);
  if (em <= 0) return {};
  const GerberFace& m = gerberFace();
  const int length = std::min<int>(t.text.length, int(t.text.chars.size()));
  GerberTextBox box;
  for (int k = 0; k < length; ++k)
    box.width += m.advance(static_cast<unsigned char>(t.text.chars[std::size_t(k)])) * double(em) /
                 kGerberEm;
  box.height = m.height() * double(em);
  return box;
}

}  // namespace fw

#pragma once

#include <QRawFont>
#include <array>

#include "board/Board.h"

namespace fw {

// The face of the texts in the Gerber files: Liberation Sans read unhinted at an em of
// kGerberEm pixels, with each 8-bit character's glyph and advance looked up once. The glyph
// outlines and the text boxes both come from it, so a box is that of the glyphs the files hold.
constexpr int kGerberEm = 1000;
class GerberFace {
 public:
  GerberFace();
  const QRawFont& raw() const { return raw_; }
  // The glyph of c (0 for none) and its advance in pixels at kGerberEm.
  quint32 glyph(unsigned char c) const { return glyph_[c]; }
  double advance(unsigned char c) const { return advance_[c]; }
  // In ems.
  double ascent() const { return ascent_; }
  double height() const { return height_; }

 private:
  QRawFont raw_;
  double ascent_ = 0, height_ = 0;
  std::array<quint32, 256> glyph_{};
  std::array<double, 256> advance_{};
};
// The one face, made at first use. Needs a QGuiApplication.
const GerberFace& gerberFace();

// The em of a text of the given size in the Gerber files, in nanometres: the type size of a
// 100% print at 360 dpi; 0 for a size that prints no points.
long long gerberTextEm(int size);

// The box a text takes in the Gerber files, in nanometres: as wide as its glyphs' advances
// together and as high as the font's ascent and descent, at the type size of a 100% print,
// centred on the text's position. Empty for a text the files leave out (a type size of no
// points). Needs a QGuiApplication for the font.
struct GerberTextBox {
  double width = 0;
  double height = 0;
};
GerberTextBox gerberTextBox(const TextItem& text);

}  // namespace fw

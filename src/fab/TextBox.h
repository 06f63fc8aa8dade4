#pragma once

#include "board/Board.h"

namespace fw {

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

#pragma once

#include "board/Board.h"
#include "fab/GerberWriter.h"

namespace fw {

// Every text of the layer as Gerber regions, centred on its position like a print, in
// Liberation Sans at the type size a 100% print at 360 dpi gives: one region per glyph
// outline, a simple contour with the outline's holes joined in by cut-ins, so that copper
// under a text stays whole. Needs a QGuiApplication for the glyph outlines.
void gerberTexts(GerberWriter& g, const Board& b, int layer);

}  // namespace fw

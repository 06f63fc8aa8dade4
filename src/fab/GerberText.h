#pragma once

#include "board/Board.h"
#include "fab/GerberWriter.h"

namespace fw {

// Every text of the layer as Gerber regions, one per glyph, centred on its position like a
// print, in Liberation Sans at the type size a 100% print at 360 dpi gives. Needs a
// QGuiApplication for the glyph outlines.
void gerberTexts(GerberWriter& g, const Board& b, int layer);

}  // namespace fw

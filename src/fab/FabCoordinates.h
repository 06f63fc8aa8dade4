#pragma once

#include "board/Board.h"

namespace fw {

// Where the fabrication files put the board: millimetres in nanometres, seen from the top with
// y up, the frame's lower left corner at the origin; and which pins have copper.

// A pin with copper and a hole: a normal pin of style 0..2. Graphic pins and other styles have
// none.
bool fabHasPad(const Pin& pin);

// Board position to file coordinates in nanometres (the files' 6 decimals of a millimetre). An
// odd frame size puts the origin half a unit between two positions.
long long fabX(const Board& board, int x);
long long fabY(const Board& board, int y);

// A length in 1/360 inch in nanometres.
long long fabLength360(int q);

}  // namespace fw

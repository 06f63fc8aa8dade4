#pragma once

// Removing rows from the tables without leaving gaps, and keeping every object's ranges on its
// own elements.

#include "board/Board.h"

namespace fw {

enum class ElementTable { Pins, WirePoints, Texts };

// Removes count rows from first: every later row moves down, the table's count falls, and no
// row is cleared. Each object's range of that table loses the removed rows it covered and
// moves down by the removed rows that lay before it, so that it keeps pointing at its own
// elements also when the objects do not lie in their tables in placement order. Rows outside
// the rows in use are not removed.
void removeRows(Board& b, ElementTable table, int first, int count);

// Removes object row with its pins, wire points and texts, and its description.
void removeObject(Board& b, int row);

}  // namespace fw

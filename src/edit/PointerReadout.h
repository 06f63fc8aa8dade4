#pragma once

#include <string>

namespace fw {

// Board units as millimetres (one unit is 0.635 mm), fixed-point with two decimals, no leading
// blanks, cut to at most 10 characters. Halves of a hundredth round away from zero.
std::string millimetreText(int boardUnits);

// Panel 0: "X = 63.50 mm    Y = 12.70 mm" for the pointer's unsnapped board position; a
// coordinate left of or above the board origin shows as a lone "-".
std::string pointerReadoutText(int x, int y);

// Panel 1 while a wire is drawn: the pointer relative to the last point, signed, no unit.
std::string segmentReadoutText(int dx, int dy);

}  // namespace fw

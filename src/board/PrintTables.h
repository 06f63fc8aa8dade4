#pragma once

#include <algorithm>

namespace fw {

// The artwork's sizes in 1/360 inch, shared by the print routine and the fabrication files so
// that a printed pad at 100% and a Gerber pad are the same size. A board unit is 9 of them
// (0.635 mm).
constexpr int kPrintPadSize[12] = {18, 24, 27, 36, 41, 45, 56, 72, 90, 108, 139, 192};
constexpr int kPrintWireWidth[12] = {2, 5, 7, 11, 14, 18, 22, 29, 41, 45, 56, 72};
constexpr int kUnitsPer360 = 9;

// A length in 1/360 inch in nanometres, rounded: what the fabrication files and the board
// check measure the artwork's sizes in.
constexpr long long printLengthNm(int q) {
  return (q * 25400000LL * 2 + 360) / 720;
}

// Pad size by a pin's size index, track width by a wire's width index.
inline int printPadSize(int sizeIndex) {
  return kPrintPadSize[std::clamp(sizeIndex, 0, 11)];
}
inline int printWireWidth(int widthIndex) {
  return kPrintWireWidth[std::clamp(widthIndex, 0, 11)];
}

// The radius of a pin's hole for pad size s: s / 5 for a round pad (style 0), s / 4 for an oval.
inline int printHoleRadius(int padSize, int style) {
  return style == 0 ? padSize / 5 : padSize / 4;
}

// The pen of a graphic pin's ring: 2 dots of the screen's zoom factor (1, 2, 4 ... 32 by zoom
// column), printed in 1/360 inch.
inline int printRingPen(int zoomColumn) {
  return 2 << std::clamp(zoomColumn, 0, 5);
}

// A text's type size in points at a print scale, for a printer of 360 dpi: (size & 63) *
// scale / 208. Other resolutions scale it by dpi / 360.
inline int printTextBasePoints(int size, int scale) {
  return (size & 63) * scale / 208;
}

}  // namespace fw

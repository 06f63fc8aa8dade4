#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/ObjectFile.h"

namespace fw {

// The starter object library is kept as plain text and turned into object files at build time.
//
// One footprint per block; blank lines and lines starting with '#' are ignored:
//
//   object dil8_300.kvo                 the file to write: letters, digits, '_', '-', '.'
//   description DIL8 0.3in              the rest of the line, 1 to 50 characters
//   pad X Y SIZE STYLE                  one pad
//   row N X Y DX DY SIZE STYLE          N pads from X,Y in steps of DX,DY
//   ring X Y SIZE                       a graphic pin: an outline circle twice the pad size
//   wire LAYER WIDTH X Y X Y ...        a wire through two or more points
//   text X Y LAYER SIZE TEXT            TEXT is the rest of the line, 1 to 32 characters
//   end
//
// X and Y are board units (0.635 mm, a quarter of the 2.54 mm grid step) from any origin the
// footprint likes, usually pin 1. SIZE of a pad is the pin size index 0..9 (1.27 to 7.62 mm),
// STYLE is circle, horizontal or vertical. LAYER is layer1, layer2 or graphic, WIDTH the wire
// width index 0..11, and the SIZE of a text its relative size 5..50.
//
// Every footprint is moved so that the box around its pads is centred on the middle of the
// board, with its first pad on the 2.54 mm grid, and must then lie within the board.

struct LibraryObject {
  std::string fileName;
  ObjectData object;
  int line = 0;  // the line of its `object`
};

// Parses a library description. False with "LINE: reason" in `error` at the first fault; `out`
// is then left empty.
bool parseObjectLibrary(std::string_view text, std::vector<LibraryObject>& out, std::string& error);

}  // namespace fw

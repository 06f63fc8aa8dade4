#pragma once

#include <array>
#include <string>
#include <string_view>

#include "board/Board.h"

namespace fw {

// What a fabrication export is asked for besides the board: the finished hole of every pad
// size, the solder mask's growth around pads, and how the set is named and packed.
struct FabOptions {
  // The finished (drilled and plated) hole in micrometres for each pad size row 0..11 (the pin
  // sizes "1.27 mm" to "7.62 mm", then the two rows beyond the list). The print's small white
  // drill mark is a centring mark for hand drilling, not this hole.
  std::array<int, 12> holeUm = {700,  1000, 1000, 1200, 1300, 1300,
                                1500, 1800, 2200, 3200, 3200, 4300};
  int maskExpansionUm = 50;  // the mask opening reaches this far past every pad
  bool protel = false;       // names board houses' CAM software recognises: .GTL, .GBL ...
  bool zip = false;          // the set packed into NAME-gerber.zip, as board houses take it
};

constexpr int kFabPadRows = 12;
constexpr int kMinRingUm = 150;            // the copper a board house leaves around a hole
constexpr int kMaxMaskExpansionUm = 1000;  // more would open the mask between pins

// The pad size of row 0..11 as the user knows it: "1.27" .. "7.62" mm as the pin size list
// names them, then the two rows beyond the list by their print size, "9.81" and "13.55".
std::string fabPadSizeLabel(int row);

// The pad of row 0..11 as a 100% print etches it, in nanometres, and the copper ring the row's
// hole leaves in it (narrowest across the pad's smaller side, which for every style is the size
// of a round pad of the row); negative when the hole is wider than the pad.
long long fabPadSizeNm(int row);
long long fabRingNm(const FabOptions& options, int row);

// A length in millimetres as the user types it ("0.8", "1", "1.25") in micrometres, rounded.
// False for anything but a plain decimal number from 0 to 100 mm.
bool parseFabMillimetres(std::string_view text, int& um);

// "PAD=HOLE" as in "1.70=0.8": the pad size row by its label (1.7 is 1.70 too) and the hole in
// micrometres. False with a one-line reason for an unknown pad size or a hole that is no length
// above 0.
bool parseFabHole(std::string_view text, int& row, int& holeUm, std::string& error);

// Why the board cannot be exported with `options`, in one line, or "" when it can: a hole that
// leaves less than kMinRingUm of copper ring on a pad size the board uses, or a mask expansion
// out of 0..kMaxMaskExpansionUm.
std::string fabOptionsProblem(const Board& board, const FabOptions& options);

}  // namespace fw

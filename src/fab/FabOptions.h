#pragma once

#include <array>

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

}  // namespace fw

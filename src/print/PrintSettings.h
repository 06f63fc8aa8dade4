#pragma once

namespace fw {

// What one print asks for: the layer item of the Print Board dialog (0 Layer 1, 1 Layer 2,
// 2 Graphic, 3 pins only), the item of the resolution list (180, 300, 360, 600, 720 dpi), the
// scale in percent (10..250), and the additions for making masters at home.
struct PrintSettings {
  int layer = 0;
  int dpiIndex = 1;
  int scale = 100;
  bool mirror = false;      // the page mirrored left to right, for toner transfer
  bool negative = false;    // black and white swapped around the artwork, for negative resist
  bool ruler = false;       // a 50 mm bar below the artwork to check the printer's scaling
  bool frameMarks = false;  // crop marks at the frame's corners, for register and cutting
};

constexpr int kPrintDpiTable[5] = {180, 300, 360, 600, 720};
constexpr int kMinPrintScale = 10;
constexpr int kMaxPrintScale = 250;

}  // namespace fw

#pragma once

#include <string>
#include <string_view>

#include "files/ObjectFile.h"

namespace fw {

// Turns a KiCad footprint (".kicad_mod", a `footprint` of KiCad 6 and later or a `module` of
// KiCad 5) into an object:
//
// - thru_hole and np_thru_hole pads become pins of the pin size nearest to the pad's smaller
//   side; circle and rect pads are round, oval and roundrect pads oval along their longer side
//   after the pad's rotation. Pad numbers and holes are not kept. SMD pads are skipped.
// - Positions are rounded to the board unit (0.635 mm), all pads shifted together by the part of
//   a unit that keeps the largest pad error smallest. Metric pitches (2.5 mm, 5.0 mm) cannot
//   land exactly: a footprint whose largest pad error passes 0.2 mm is refused unless the
//   rounding is accepted.
// - Lines, rectangles, polygons, circles and arcs on the front silkscreen become graphic-layer
//   wires (arcs and circles as polylines within 0.1 mm of the curve) of the nearest wire width;
//   every other layer is left out.
// - The reference text becomes a graphic-layer text; the name and the description, joined by
//   ": ", become the object's description, cut to the 49 characters an object file keeps.
// - Pad 1 keeps a mark: the footprint counts as marking pad 1 itself when a silkscreen point
//   lies within 2.54 mm of pad 1's centre and nearer to it than to any other pad. Otherwise a
//   short graphic line is drawn just outside pad 1, on the side facing away from the middle of
//   the pads.
// - The footprint is moved so that the box around its pins is centred on the middle of the
//   board with pad 1 on the 2.54 mm grid, as the starter library's footprints are.

constexpr double kKicadMaxRoundingMm = 0.2;

struct KicadImportReport {
  std::string name;           // the footprint's name
  int pins = 0;               // pads that became pins
  int smdPadsSkipped = 0;     // pads without a hole
  double largestErrorMm = 0;  // the largest distance a pad moved by rounding
  bool pad1Marked = false;    // a line was added to mark pad 1
  bool refused = false;
  bool refusedForRounding = false;  // refused only because of the rounding; accepting would help
  std::string reason;               // one line, set when refused
};

// Imports the footprint text. False (report.refused, with the reason) when the text is not a
// footprint, has no through-hole pad, does not fit on the board, or, without acceptRounding,
// rounds a pad by more than 0.2 mm; `out` is then empty.
bool importKicadFootprint(std::string_view text, bool acceptRounding, ObjectData& out,
                          KicadImportReport& report);

// The same for the file at `path`; a file that cannot be read is refused with the reason.
bool importKicadFootprintFile(const std::string& path, bool acceptRounding, ObjectData& out,
                              KicadImportReport& report);

}  // namespace fw

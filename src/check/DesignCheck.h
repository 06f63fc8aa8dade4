#pragma once

// The design rule check: what on a board a board house (or an etching tank) would refuse or
// make wrongly, found from the copper itself, without a schematic.

#include <vector>

#include "check/Connectivity.h"
#include "check/Rules.h"

namespace fw {

enum class FindingKind {
  Clearance,      // copper of two islands on one layer closer than the clearance
  TrackWidth,     // a track narrower than the minimum width
  PadRing,        // copper around a pad's finished hole narrower than the minimum ring
  EdgeClearance,  // copper closer to the frame than the edge clearance
  OutsideFrame,   // copper reaching past the frame
  DanglingEnd,    // a track end that touches nothing
  UnusedPad,      // a pad no track touches (a footprint may well have unused pins)
};
enum class Severity { Error, Warning, Information };

// A finding's layer: kLayer1, kLayer2, or both for a pad's ring or two pads too close.
constexpr int kBothLayers = -1;

struct Finding {
  FindingKind kind = FindingKind::Clearance;
  Severity severity = Severity::Error;
  int layer = kLayer1;
  // Where, in millimetres of the Gerber frame: from the frame's lower left corner, y up.
  double xMm = 0;
  double yMm = 0;
  // What was measured and what the rule asks, in millimetres; a loose end and an unused pad
  // have no values. The distance to the frame is negative for copper past it.
  bool hasValues = false;
  double measuredMm = 0;
  double requiredMm = 0;
  CopperItem item;   // the copper at fault: a click on the finding selects it
  CopperItem other;  // for a clearance, the other copper; row -1 otherwise
};

// Errors first, then warnings, then information, each kind together, in the order of the
// tables.
std::vector<Finding> checkBoard(const Connectivity& connectivity, const CheckRules& rules);

// "clearance", "track-width", "pad-ring", "edge-clearance", "outside-frame", "dangling-end",
// "unused-pad".
const char* findingKindName(FindingKind kind);
// "error", "warning", "information".
const char* severityName(Severity severity);
// "layer1", "layer2" or "both".
const char* findingLayerName(int layer);
// "pin", "segment" or "text".
const char* copperKindName(CopperKind kind);

}  // namespace fw

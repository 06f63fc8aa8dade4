#pragma once

// The design rules a board is checked against, and the named sets of them the Check Board
// dialog and `ferrowrit-cli check` offer.

#include <array>
#include <string_view>
#include <vector>

#include "fab/FabOptions.h"

namespace fw {

struct CheckRules {
  double clearanceMm = 0.2;  // between copper of different islands on one layer
  double minWidthMm = 0.2;   // of a track
  double minRingMm = 0.15;   // copper around a pad's finished hole
  double edgeMm = 0.3;       // between copper and the frame
  // The finished hole by pad size row, as the Gerber export's drill table gives it.
  std::array<int, 12> holeUm = FabOptions{}.holeUm;
};

struct RulePreset {
  const char* name;       // as the dialog lists it
  const char* shortName;  // as the command line also takes it
  CheckRules rules;
};

// "Home etching", "Board house, standard", "Board house, fine", in that order.
const std::vector<RulePreset>& rulePresets();
// The preset of that name or short name (case as given), or null.
const RulePreset* findRulePreset(std::string_view name);

}  // namespace fw

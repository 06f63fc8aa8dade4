#include "check/Rules.h"

namespace fw {

namespace {

CheckRules rules(double clearance, double width, double ring, double edge) {
  CheckRules r;
  r.clearanceMm = clearance;
  r.minWidthMm = width;
  r.minRingMm = ring;
  r.edgeMm = edge;
  return r;
}

}  // namespace

const std::vector<RulePreset>& rulePresets() {
  // Etching at home undercuts and a hand-drilled hole wanders, so it wants twice a board
  // house's margins.
  static const std::vector<RulePreset> presets = {
      {"Home etching", "home", rules(0.4, 0.4, 0.3, 0.5)},
      {"Board house, standard", "standard", rules(0.2, 0.2, 0.15, 0.3)},
      {"Board house, fine", "fine", rules(0.15, 0.15, 0.15, 0.3)},
  };
  return presets;
}

const RulePreset* findRulePreset(std::string_view name) {
  for (const RulePreset& p : rulePresets())
    if (name == p.name || name == p.shortName) return &p;
  return nullptr;
}

}  // namespace fw

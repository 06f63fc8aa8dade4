// ferrowrit-cli check: the design rule check of a board, from its copper alone.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "check/DesignCheck.h"
#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "cli/CommandLine.h"
#include "fab/FabOptions.h"
#include "fab/TextBox.h"

namespace fw {

namespace {

const char* const kCheckUsage =
    "Usage: ferrowrit-cli check FILE [--preset NAME] [--clearance MM] [--min-width MM]\n"
    "                           [--min-ring MM] [--edge MM] [--json]\n"
    "\n"
    "Checks the copper of FILE against design rules, without a schematic: copper that touches\n"
    "is joined (a pad joins both layers), and each finding is printed on a line of its own:\n"
    "  SEVERITY KIND LAYER at X Y mm[: MEASURED mm, needs REQUIRED mm]\n"
    "Kinds: clearance (copper of two islands on one layer too close), track-width, pad-ring\n"
    "(copper around the finished hole of the Gerber export's drill table), edge-clearance,\n"
    "outside-frame, dangling-end (a warning) and unused-pad (information). X and Y are\n"
    "millimetres from the frame's lower left corner, y up, as in the Gerber files; texts on a\n"
    "copper layer are copper by their box in those files.\n"
    "\n"
    "Options:\n"
    "  --preset NAME     the rules of a preset (default \"Board house, standard\"):\n"
    "                      \"Home etching\" (home)            0.4 / 0.4 / 0.3 / 0.5 mm\n"
    "                      \"Board house, standard\" (standard) 0.2 / 0.2 / 0.15 / 0.3 mm\n"
    "                      \"Board house, fine\" (fine)        0.15 / 0.15 / 0.15 / 0.3 mm\n"
    "                    (clearance / minimum width / minimum ring / edge clearance)\n"
    "  --clearance MM    between copper of different islands on one layer\n"
    "  --min-width MM    the narrowest track\n"
    "  --min-ring MM     the narrowest copper around a pad's hole\n"
    "  --edge MM         between copper and the frame\n"
    "  --json            the findings as a JSON array of objects (kind, severity, layer, x, y,\n"
    "                    measured, required, items), values null where there are none\n"
    "\n"
    "Exit status: 0 no errors (warnings and information may be printed), 1 errors were found,\n"
    "2 usage error or the file is refused or cannot be read.\n";

std::string fixed(double value, int decimals) {
  char s[48];
  std::snprintf(s, sizeof s, "%.*f", decimals, value);
  // No "-0.000" for a value that rounds to nothing.
  std::string out = s;
  if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  return out;
}

// Four decimals hold every board position exactly, half units of an odd frame included
// (0.3175 mm).
std::string mm(double v) {
  return fixed(v, 4);
}

// A length taken from the command line, read as the gerber command reads its lengths (to the
// micrometre, whatever the locale).
bool parseMm(const std::string& text, double& value) {
  int um = 0;
  if (!parseFabMillimetres(text, um)) return false;
  value = um / 1000.0;
  return true;
}

void writeText(const std::vector<Finding>& findings, std::ostream& out) {
  int counts[3] = {0, 0, 0};
  for (const Finding& f : findings) {
    out << severityName(f.severity) << ' ' << findingKindName(f.kind) << ' '
        << findingLayerName(f.layer) << " at " << mm(f.xMm) << ' ' << mm(f.yMm) << " mm";
    if (f.hasValues) out << ": " << mm(f.measuredMm) << " mm, needs " << mm(f.requiredMm) << " mm";
    out << '\n';
    ++counts[int(f.severity)];
  }
  out << counts[0] << " errors, " << counts[1] << " warnings, " << counts[2] << " information\n";
}

void appendItem(std::string& s, const CopperItem& item) {
  s += "{\"type\": \"";
  s += copperKindName(item.kind);
  s += "\", \"row\": " + std::to_string(item.row) + "}";
}

void writeJson(const std::vector<Finding>& findings, std::ostream& out) {
  std::string s = "[";
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    s += i == 0 ? "\n  " : ",\n  ";
    s += "{\"kind\": \"";
    s += findingKindName(f.kind);
    s += "\", \"severity\": \"";
    s += severityName(f.severity);
    s += "\", \"layer\": \"";
    s += findingLayerName(f.layer);
    s += "\", \"x\": " + mm(f.xMm) + ", \"y\": " + mm(f.yMm);
    s += ", \"measured\": " + (f.hasValues ? mm(f.measuredMm) : std::string("null"));
    s += ", \"required\": " + (f.hasValues ? mm(f.requiredMm) : std::string("null"));
    s += ", \"items\": [";
    appendItem(s, f.item);
    if (f.other.row >= 0) {
      s += ", ";
      appendItem(s, f.other);
    }
    s += "]}";
  }
  s += findings.empty() ? "]\n" : "\n]\n";
  out << s;
}

}  // namespace

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string input;
  CheckRules rules = findRulePreset("standard")->rules;
  // The preset is applied first and the single rules over it, whatever their order.
  struct Override {
    const char* option;
    double CheckRules::*rule;
    bool given = false;
    double value = 0;
  } overrides[] = {{"--clearance", &CheckRules::clearanceMm},
                   {"--min-width", &CheckRules::minWidthMm},
                   {"--min-ring", &CheckRules::minRingMm},
                   {"--edge", &CheckRules::edgeMm}};
  bool json = false;
  CommandLine line;
  line.usage = kCheckUsage;
  line.options = {
      flagOption({"--json"}, json),
      valueOption({"--preset"},
                  [&rules](const std::string& v, std::string& error) {
                    const RulePreset* preset = findRulePreset(v);
                    if (preset == nullptr)
                      error = "unknown preset " + v;
                    else
                      rules = preset->rules;
                    return error.empty();
                  }),
  };
  for (Override& o : overrides) {
    line.options.push_back(valueOption({o.option}, [&o](const std::string& v, std::string& error) {
      o.given = parseMm(v, o.value);
      if (!o.given) error = std::string(o.option) + " takes millimetres, 0 or more, not " + v;
      return o.given;
    }));
  }
  if (const auto status = line.read(args, input, out, err)) return *status;
  for (const Override& o : overrides)
    if (o.given) rules.*o.rule = o.value;

  auto board = makeBoard();
  // Here a file that cannot be read is not a board with errors: 1 is kept for those.
  if (!loadBoard(input, *board, err)) return kExitUsage;
  const auto app = ensureGuiApplication();
  const Connectivity connectivity(*board, [](const TextItem& t) {
    const GerberTextBox b = gerberTextBox(t);
    return TextExtent{b.width, b.height};
  });
  const std::vector<Finding> findings = checkBoard(connectivity, rules);
  if (json)
    writeJson(findings, out);
  else
    writeText(findings, out);
  for (const Finding& f : findings)
    if (f.severity == Severity::Error) return kExitFailed;
  return kExitOk;
}

}  // namespace fw

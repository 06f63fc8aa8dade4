// ferrowrit-cli gerber: the fabrication set of a board, as the editor's Export Gerber writes it.
#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "cli/CommandLine.h"
#include "fab/Fabrication.h"

namespace fw {

namespace {

const char* const kGerberUsage =
    "Usage: ferrowrit-cli gerber FILE -o DIR [--hole PAD=MM]... [--mask-expansion MM]\n"
    "                            [--protel] [--zip]\n"
    "\n"
    "Writes the fabrication set of FILE into the folder DIR, as the editor's Export Gerber\n"
    "command does, named after FILE (NAME.kvd gives NAME-...):\n"
    "  NAME-layer1.gbr       Layer 1 copper, the top (Gerber RS-274X with X2 attributes)\n"
    "  NAME-layer2.gbr       Layer 2 copper, the bottom\n"
    "  NAME-graphic.gbr      the graphic layer, as the top legend\n"
    "  NAME-mask-top.gbr     the top solder mask: every pad, grown by the mask expansion\n"
    "  NAME-mask-bottom.gbr  the bottom solder mask\n"
    "  NAME-outline.gbr      the board frame, as the profile\n"
    "  NAME.drl              the Excellon drill file, plated through holes\n"
    "  NAME.gbrjob           the Gerber job file that lists them, with the board's size\n"
    "Millimetres, seen from the top; the origin is the frame's lower left corner. Pads, tracks\n"
    "and texts have the sizes of a 100% print; holes are the finished holes by pad size:\n"
    "  pad  1.27 1.70 1.90 2.54 2.90 3.17 3.96 5.08 6.35 7.62 9.81 13.55\n"
    "  hole 0.7  1.0  1.0  1.2  1.3  1.3  1.5  1.8  2.2  3.2  3.2  4.3\n"
    "A hole that leaves less than 0.15 mm of copper ring on a pad size the board uses is\n"
    "refused. Copper outside the frame is written, with a warning.\n"
    "\n"
    "Options:\n"
    "  -o, --output DIR      an existing folder (required)\n"
    "  --hole PAD=MM         the hole for pads of size PAD, e.g. --hole 1.70=0.8 (repeatable)\n"
    "  --mask-expansion MM   how far the mask opening reaches past every pad, 0 to 1 (0.05)\n"
    "  --protel              Protel names instead: NAME.GTL (Layer 1), .GBL (Layer 2),\n"
    "                        .GTO (legend), .GTS, .GBS (masks), .GKO (outline), .XLN (drill)\n"
    "  --zip                 also packs the set, job file included, into NAME-gerber.zip\n"
    "\n"
    "Exit status: 0 success (warnings go to standard error), 1 the file is refused or cannot\n"
    "be read, a hole is refused or a file in DIR cannot be written, 2 usage error.\n";

}  // namespace

int runGerber(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string input, folder;
  FabOptions options;
  CommandLine line;
  line.usage = kGerberUsage;
  line.options = {
      textOption({"-o", "--output"}, folder),
      valueOption({"--hole"},
                  [&options](const std::string& v, std::string& error) {
                    int row = 0, holeUm = 0;
                    if (!parseFabHole(v, row, holeUm, error)) return false;
                    options.holeUm[std::size_t(row)] = holeUm;
                    return true;
                  }),
      valueOption({"--mask-expansion"},
                  [&options](const std::string& v, std::string& error) {
                    if (!parseFabMillimetres(v, options.maskExpansionUm) ||
                        options.maskExpansionUm > kMaxMaskExpansionUm)
                      error = "--mask-expansion takes 0 to 1 (mm), not " + v;
                    return error.empty();
                  }),
      flagOption({"--protel"}, options.protel),
      flagOption({"--zip"}, options.zip),
  };
  line.finish = [&folder](std::string& error) {
    if (folder.empty()) error = "-o DIR is missing";
    return error.empty();
  };
  if (const auto status = line.read(args, input, out, err)) return *status;
  if (!folderExists(folder, err)) return kExitFailed;
  auto board = makeBoard();
  if (!loadBoard(input, *board, err)) return kExitFailed;
  const auto app = ensureGuiApplication();
  FabReport report;
  const bool written = writeFabSet(*board, folder, fabBaseName(input), options, report);
  for (const std::string& w : report.warnings) err << "ferrowrit-cli: warning: " << w << "\n";
  if (!written) {
    err << "ferrowrit-cli: " << report.error << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace fw

// ferrowrit-cli gerber: the fabrication files of a board, as the editor's Export Gerber writes
// them.
#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "fab/Fabrication.h"

namespace fw {

namespace {

const char* const kGerberUsage =
    "Usage: ferrowrit-cli gerber FILE -o DIR\n"
    "\n"
    "Writes the fabrication files of FILE into the folder DIR, as the editor's Export Gerber\n"
    "command does, named after FILE (NAME.kvd gives NAME-...):\n"
    "  NAME-layer1.gbr   Layer 1 copper (Gerber RS-274X with X2 attributes)\n"
    "  NAME-layer2.gbr   Layer 2 copper\n"
    "  NAME-graphic.gbr  the graphic layer, as legend\n"
    "  NAME-outline.gbr  the board frame, as the profile\n"
    "  NAME.drl          the Excellon drill file, plated through holes\n"
    "Millimetres, seen from the top; the origin is the frame's lower left corner. Pads, holes,\n"
    "tracks and texts have the sizes of a 100% print.\n"
    "\n"
    "Options:\n"
    "  -o, --output DIR  an existing folder (required)\n"
    "\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read or a file in DIR cannot be\n"
    "written, 2 usage error.\n";

}  // namespace

int runGerber(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (wantsHelp(args)) {
    out << kGerberUsage;
    return kExitOk;
  }
  std::string input, folder, error;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" || a == "--output") {
      if (i + 1 >= args.size())
        error = a + " needs a value";
      else
        folder = args[++i];
    } else if (isOption(a)) {
      error = "unknown option " + a;
    } else if (!input.empty()) {
      error = "only one FILE is taken";
    } else {
      input = a;
    }
  }
  if (error.empty() && input.empty()) error = "FILE is missing";
  if (error.empty() && folder.empty()) error = "-o DIR is missing";
  if (!error.empty()) {
    err << "ferrowrit-cli: " << error << "\n" << kGerberUsage;
    return kExitUsage;
  }
  auto board = makeBoard();
  if (!loadBoard(input, *board, err)) return kExitFailed;
  const auto app = ensureGuiApplication();
  if (!writeFabFiles(*board, folder, fabBaseName(input), error)) {
    err << "ferrowrit-cli: " << error << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace fw

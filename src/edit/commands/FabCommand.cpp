#include "edit/commands/FabCommand.h"

#include "fab/Fabrication.h"

namespace fw {

namespace {

// The first line of `text`, for the one-line status panel.
std::string oneLine(const std::string& text) {
  const std::size_t end = text.find_first_of("\r\n");
  return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

void FabCommand::ExportGerber1Click() {
  GerberExportChoice choice;
  choice.folder = ctx_.projectsDir();
  if (!ctx_.host.askGerberExport(choice)) return;  // cancelled: nothing happened
  std::string& status = ctx_.controls.panel[2];
  const int errors = checkErrors_ ? checkErrors_() : 0;
  if (errors > 0 &&
      !ctx_.host.askYesNo("The board check found " + std::to_string(errors) +
                          (errors == 1 ? " error" : " errors") + ". Export anyway?")) {
    status = "Gerber export cancelled";
    return;
  }
  FabReport report;
  if (!writeFabSet(ctx_.board, choice.folder, fabBaseName(ctx_.board.CurrentFileName),
                   choice.options, report)) {
    ctx_.host.showError("The Gerber files were not written.\n" + report.error);
    status = "Gerber export failed";
  } else if (!report.warnings.empty()) {
    // The status panel holds one line; the first warning is the one the user reads first.
    status = "Gerber files written; warning: " + oneLine(report.warnings.front());
  } else {
    status = "Gerber files written";
  }
  ctx_.redraw();
}

}  // namespace fw

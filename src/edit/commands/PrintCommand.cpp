#include "edit/commands/PrintCommand.h"

#include <filesystem>

#include "print/PrintRoutine.h"

namespace fw {

void PrintCommand::Print1Click() {
  PrintSettings settings;
  settings.scale = scale_;
  settings.dpiIndex = dpiIndex_;
  if (!ctx_.host.askPrintSettings(settings)) return;
  scale_ = clampInt(settings.scale, kMinPrintScale, kMaxPrintScale);
  dpiIndex_ = clampInt(settings.dpiIndex, 0, 4);
  settings.scale = scale_;
  settings.dpiIndex = dpiIndex_;
  std::string& status = ctx_.controls.panel[2];
  if (!boardHasMaterial(ctx_.board)) {
    status = "Nothing to print";
    return;
  }
  const std::string before = status;
  status = "Printing in progess";
  std::string error;
  if (!ctx_.host.printBoard(ctx_.board, settings, ctx_.view.ZoomLevel, suggestedPdf(settings.layer),
                            error)) {
    if (error.empty()) {
      status = before;  // the file dialog was cancelled: nothing happened
      return;
    }
    ctx_.host.showError("The board was not printed.\n" + error);
    status = "Printing failed";
    ctx_.redraw();
    return;
  }
  status = "Project printed";
  ctx_.redraw();
}

void PrintCommand::PrintSetup1Click() {
  ctx_.host.showPrintSetup();
  ctx_.redraw();
}

std::string PrintCommand::suggestedPdf(int layer) const {
  const std::string& file = ctx_.board.CurrentFileName;
  const std::string name =
      file.empty() ? std::string("board") : std::filesystem::path(file).stem().string();
  return ctx_.projectsDir() + "/" + name + "-layer" + std::to_string(layer + 1) + ".pdf";
}

}  // namespace fw

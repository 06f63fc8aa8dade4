#include "edit/commands/PrintCommand.h"

#include "print/PrintDestination.h"
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

// No layer is chosen yet in Print Setup; its PDF is offered for Layer 1, the item the Print
// Board dialog starts on.
void PrintCommand::PrintSetup1Click() {
  ctx_.host.showPrintSetup(suggestedPdf(0));
  ctx_.redraw();
}

std::string PrintCommand::suggestedPdf(int layer) const {
  return suggestedPdfName(ctx_.projectsDir(), ctx_.board.CurrentFileName, layer);
}

}  // namespace fw

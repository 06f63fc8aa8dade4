#include "edit/commands/FabCommand.h"

#include "fab/Fabrication.h"

namespace fw {

void FabCommand::ExportGerber1Click() {
  FileDialogRequest request;
  request.caption = "Export Gerber";
  request.initialFolder = ctx_.projectsDir();
  const std::string folder = ctx_.host.chooseFolder(request);
  if (folder.empty()) return;  // cancelled: nothing happened
  std::string& status = ctx_.controls.panel[2];
  std::string error;
  if (!writeFabFiles(ctx_.board, folder, fabBaseName(ctx_.board.CurrentFileName), error)) {
    ctx_.host.showError("The Gerber files were not written.\n" + error);
    status = "Gerber export failed";
  } else {
    status = "Gerber files written";
  }
  ctx_.redraw();
}

}  // namespace fw

#pragma once

#include "edit/EditContext.h"

namespace fw {

// File > Export Gerber...: the board's fabrication files into the folder and with the options
// the user chooses in the Export Gerber dialog.
class FabCommand {
 public:
  explicit FabCommand(EditContext& ctx) : ctx_(ctx) {}

  void ExportGerber1Click();

 private:
  EditContext& ctx_;
};

}  // namespace fw

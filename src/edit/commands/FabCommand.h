#pragma once

#include "edit/EditContext.h"

namespace fw {

// File > Export Gerber...: the board's fabrication files into a folder the user chooses.
class FabCommand {
 public:
  explicit FabCommand(EditContext& ctx) : ctx_(ctx) {}

  void ExportGerber1Click();

 private:
  EditContext& ctx_;
};

}  // namespace fw

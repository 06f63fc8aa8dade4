#pragma once

#include <functional>

#include "edit/EditContext.h"

namespace fw {

// File > Export Gerber...: the board's fabrication files into the folder and with the options
// the user chooses in the Export Gerber dialog. The board check runs first; when it finds
// errors, the user decides whether to export all the same.
class FabCommand {
 public:
  using ErrorCountFn = std::function<int()>;
  FabCommand(EditContext& ctx, ErrorCountFn checkErrors)
      : ctx_(ctx), checkErrors_(std::move(checkErrors)) {}

  void ExportGerber1Click();

 private:
  EditContext& ctx_;
  ErrorCountFn checkErrors_;
};

}  // namespace fw

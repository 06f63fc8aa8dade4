#pragma once

#include "edit/EditContext.h"

namespace fw {

// File > Print... (Ctrl+P) and the Print Board button, and File > Print Setup...
class PrintCommand {
 public:
  // printScale and printDpiIndex are the settings the Print Board dialog shows and keeps.
  PrintCommand(EditContext& ctx, int& printScale, int& printDpiIndex)
      : ctx_(ctx), scale_(printScale), dpiIndex_(printDpiIndex) {}

  void Print1Click();  // also BitBtn6Click
  void PrintSetup1Click();

 private:
  // projects/NAME-layerN.pdf beside the program, NAME the project's or "board".
  std::string suggestedPdf(int layer) const;

  EditContext& ctx_;
  int& scale_;
  int& dpiIndex_;
};

}  // namespace fw

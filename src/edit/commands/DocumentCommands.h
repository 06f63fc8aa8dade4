#pragma once

#include <functional>
#include <string>

#include "edit/EditContext.h"

namespace fw {

// New, Open, Save, Save As and closing the window, each guarding unsaved work with SavedFlag,
// and the two board dialogs (Frame Size and Information).
class DocumentCommands {
 public:
  // windowReset empties the board and resets the state and the controls; programDirectory is
  // the folder of the program, below which the projects folder lies.
  DocumentCommands(EditContext& ctx, const std::string& programDirectory,
                   std::function<void()> windowReset)
      : ctx_(ctx), programDirectory_(programDirectory), windowReset_(std::move(windowReset)) {}

  void NewProject();
  void OpenProject();
  void SaveProject();
  void SaveAs1Click();
  // Whether the window may close.
  bool FormClose();
  void FrameSize1Click();
  void Info1Click();

  // CurrentFileName as it was before a Save As, put back when that Save As writes nothing.
  std::string PreviousFileName;
  // The working directory as recorded after the last save attempt; empty until then.
  std::string SaveDirectory;

 private:
  EditContext& ctx_;
  const std::string& programDirectory_;
  std::function<void()> windowReset_;
};

}  // namespace fw

#pragma once

#include <functional>
#include <string>

#include "edit/EditContext.h"
#include "edit/commands/UndoHistory.h"

namespace fw {

// New, Open, Save, Save As and closing the window, each guarding unsaved work with SavedFlag
// (which the undo history sets), Save as Object, and the two board dialogs (Frame Size and
// Information).
class DocumentCommands {
 public:
  // windowReset empties the board and resets the state and the controls.
  // New, Open and Save tell the history where the saved state is.
  DocumentCommands(EditContext& ctx, std::function<void()> windowReset, UndoHistory& history)
      : ctx_(ctx), windowReset_(std::move(windowReset)), history_(history) {}

  void NewProject();
  void OpenProject();
  // Opens the file as Open does once the file is chosen: `ferrowrit FILE.kvd` at start.
  // Returns false when the file could not be opened (the error was shown).
  bool openPath(const std::string& path);
  // A file of the recent list: asks about unsaved work as Open does, then opens the file.
  // Returns false only when the file could not be opened; a "No" answer returns true.
  bool openRecent(const std::string& path);
  void SaveProject();
  void SaveAs1Click();
  // Whether the window may close.
  bool FormClose();
  void FrameSize1Click();
  // File > Save as Object...: the whole board as an object file with a description.
  void SaveasObject1Click();
  void Info1Click();

  // CurrentFileName as it was before a Save As, put back when that Save As writes nothing.
  std::string PreviousFileName;
  // The working directory as recorded after the last save attempt; empty until then.
  std::string SaveDirectory;

 private:
  // New without the question: an empty board, a reset window and a new history.
  void startNewWorkspace();

  EditContext& ctx_;
  std::function<void()> windowReset_;
  UndoHistory& history_;
};

}  // namespace fw

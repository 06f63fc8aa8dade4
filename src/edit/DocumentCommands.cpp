// New, Open, Save, Save As and closing the window, each guarding unsaved work with SavedFlag,
// and the two board dialogs (Frame Size and Information).
#include <filesystem>
#include <system_error>

#include "edit/Editor.h"
#include "files/ProjectFile.h"

namespace fw {

namespace {

constexpr const char* kContinueQuestion = "The current file is not saved. Continue anyway?";
constexpr const char* kQuitQuestion = "The current file is not saved. Quit anyway?";
constexpr const char* kNotOpened = "Error in file name. File not opened.";
constexpr const char* kNotSaved = "Error in file name. File not saved.";

// The frame size scroll bars reach 16..799 by 16..599; a host answer outside them is pulled in.
constexpr int kFrameMinSide = 16;
constexpr int kFrameMaxWidth = 799;
constexpr int kFrameMaxHeight = 599;

// The message box text: the fixed sentence, then why on a second line when there is a reason.
std::string fileError(const char* sentence, const std::string& reason) {
  return reason.empty() ? std::string(sentence) : std::string(sentence) + "\n" + reason;
}

FileDialogRequest projectDialog(const std::string& programDirectory, const char* filter,
                                const char* defaultExtension) {
  FileDialogRequest request;
  request.filter = filter;
  request.defaultExtension = defaultExtension;
  request.initialFolder = programDirectory + "/projects";
  return request;  // the file name is cleared: no suggestion
}

std::string workingDirectory() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string() : cwd.string();
}

}  // namespace

void Editor::NewProject() {
  state_.Placing = false;  // an object placement under way ends
  if (!board_->SavedFlag && !host_.askYesNo(kContinueQuestion)) {
    RedrawBoard();
    return;
  }
  controls_.panel[2] = "A New workspace created";
  windowReset();
  RedrawBoard();
}

void Editor::OpenProject() {
  state_.Placing = false;
  if (!board_->SavedFlag && !host_.askYesNo(kContinueQuestion)) return;

  const std::string path =
      host_.chooseOpenFile(projectDialog(ProgramDirectory, "Kestroval (kvd)|*.kvd", ""));
  if (path.empty()) return;

  // The file is read whole into a board of its own first, so a file that cannot be opened or
  // is damaged leaves the board, CurrentFileName and SavedFlag exactly as they were.
  std::unique_ptr<Board> loaded = makeBoard();
  std::string reason;
  if (!ReadProjectFile(path, *loaded, reason)) {
    host_.showError(fileError(kNotOpened, reason));
    RedrawBoard();
    return;
  }

  // A new workspace (zoom, lists and print settings of a new board) without the question.
  board_->SavedFlag = true;
  NewProject();
  *board_ = *loaded;
  board_->CurrentFileName = path;
  board_->SavedFlag = true;
  RedrawBoard();
  controls_.panel[2] = "Project opened";
}

void Editor::SaveProject() {
  if (!board_->CurrentFileName.empty() && !SaveDirectory.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(SaveDirectory, ignored);
  }
  // Objects whose every element was deleted are dropped before anything else, so also when
  // the user then cancels the dialog.
  board_->removeEmptyObjects();

  if (board_->CurrentFileName.empty())
    board_->CurrentFileName =
        host_.chooseSaveFile(projectDialog(ProgramDirectory, "Kestroval (*.kvd)|*.kvd", "kvd"));
  if (board_->CurrentFileName.empty()) return;

  board_->CurrentFileName = withProjectExtension(board_->CurrentFileName);
  std::string reason;
  if (WriteProjectFile(board_->CurrentFileName, *board_, reason)) {
    board_->SavedFlag = true;
    controls_.panel[2] = "Project Saved";
  } else {
    host_.showError(fileError(kNotSaved, reason));
    board_->CurrentFileName.clear();  // the next Save asks for a name again
  }
  SaveDirectory = workingDirectory();
}

void Editor::SaveAs1Click() {
  PreviousFileName = board_->CurrentFileName;
  board_->CurrentFileName.clear();
  SaveProject();
  if (board_->CurrentFileName.empty()) board_->CurrentFileName = PreviousFileName;
}

bool Editor::FormClose() {
  return board_->SavedFlag || host_.askYesNo(kQuitQuestion);
}

void Editor::FrameSize1Click() {
  int width = board_->FrameWidth;
  int height = board_->FrameHeight;
  if (!host_.editFrameSize(width, height)) return;
  board_->FrameWidth = clampInt(width, kFrameMinSide, kFrameMaxWidth);
  board_->FrameHeight = clampInt(height, kFrameMinSide, kFrameMaxHeight);
  RedrawBoard();
}

void Editor::Info1Click() {
  InfoCounts counts;
  counts.pins = board_->PinCount;
  counts.wires = board_->wireCount();
  counts.wireSegments = board_->wireSegmentCount();
  counts.texts = board_->TextCount;
  counts.objects = board_->ObjectCount;
  host_.showInformation(counts);
}

}  // namespace fw

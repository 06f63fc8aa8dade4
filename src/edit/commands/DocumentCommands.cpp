#include "edit/commands/DocumentCommands.h"

#include <QString>
#include <filesystem>
#include <system_error>

#include "files/ObjectFile.h"
#include "files/ProjectFile.h"

namespace fw {

namespace {

constexpr const char* kContinueQuestion = "The current file is not saved. Continue anyway?";
constexpr const char* kQuitQuestion = "The current file is not saved. Quit anyway?";
constexpr const char* kNotOpened = "Error in file name. File not opened.";
constexpr const char* kNotSaved = "Error in file name. File not saved.";
constexpr const char* kObjectNotSaved = "Error in file name. Object not saved.";

// The message box text: the fixed sentence, then why on a second line when there is a reason.
std::string fileError(const char* sentence, const std::string& reason) {
  return reason.empty() ? std::string(sentence) : std::string(sentence) + "\n" + reason;
}

FileDialogRequest projectDialog(const std::string& projectsFolder, const char* filter,
                                const char* defaultExtension) {
  FileDialogRequest request;
  request.filter = filter;
  request.defaultExtension = defaultExtension;
  request.initialFolder = projectsFolder;
  return request;  // the file name is cleared: no suggestion
}

std::string workingDirectory() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string() : cwd.string();
}

}  // namespace

void DocumentCommands::NewProject() {
  ctx_.state.Placing = false;  // an object placement under way ends
  if (!ctx_.board.SavedFlag && !ctx_.host.askYesNo(kContinueQuestion)) {
    ctx_.redraw();
    return;
  }
  startNewWorkspace();
}

void DocumentCommands::startNewWorkspace() {
  ctx_.controls.panel[2] = "A New workspace created";
  windowReset_();
  history_.clear();
  ctx_.redraw();
}

void DocumentCommands::OpenProject() {
  ctx_.state.Placing = false;
  if (!ctx_.board.SavedFlag && !ctx_.host.askYesNo(kContinueQuestion)) return;

  const std::string path =
      ctx_.host.chooseOpenFile(projectDialog(ctx_.projectsDir(), "Kestroval (kvd)|*.kvd", ""));
  if (path.empty()) return;
  openPath(path);
}

bool DocumentCommands::openRecent(const std::string& path) {
  ctx_.state.Placing = false;
  if (!ctx_.board.SavedFlag && !ctx_.host.askYesNo(kContinueQuestion)) return true;
  return openPath(path);
}

bool DocumentCommands::openPath(const std::string& path) {
  // The file is read whole into a board of its own first, so a file that cannot be opened or
  // is damaged leaves the board, CurrentFileName and SavedFlag exactly as they were.
  std::unique_ptr<Board> loaded = makeBoard();
  std::string reason;
  if (!ReadProjectFile(path, *loaded, reason)) {
    ctx_.host.showError(fileError(kNotOpened, reason));
    ctx_.redraw();
    return false;
  }

  // A new workspace (zoom, lists and print settings of a new board) without the question.
  ctx_.state.Placing = false;
  startNewWorkspace();
  ctx_.board = *loaded;
  ctx_.board.CurrentFileName = path;
  history_.clear();  // the board as read is the saved state
  ctx_.redraw();
  ctx_.controls.panel[2] = "Project opened";
  return true;
}

void DocumentCommands::SaveProject() {
  if (!ctx_.board.CurrentFileName.empty() && !SaveDirectory.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(SaveDirectory, ignored);
  }
  // Objects whose every element was deleted are dropped before anything else, so also when
  // the user then cancels the dialog.
  ctx_.board.removeEmptyObjects();

  if (ctx_.board.CurrentFileName.empty())
    ctx_.board.CurrentFileName = ctx_.host.chooseSaveFile(
        projectDialog(ctx_.projectsDir(), "Kestroval (*.kvd)|*.kvd", "kvd"));
  if (ctx_.board.CurrentFileName.empty()) return;

  ctx_.board.CurrentFileName = withProjectExtension(ctx_.board.CurrentFileName);
  std::string reason;
  if (WriteProjectFile(ctx_.board.CurrentFileName, ctx_.board, reason)) {
    history_.markSaved();
    ctx_.controls.panel[2] = "Project Saved";
  } else {
    ctx_.host.showError(fileError(kNotSaved, reason));
    ctx_.board.CurrentFileName.clear();  // the next Save asks for a name again
  }
  SaveDirectory = workingDirectory();
}

void DocumentCommands::SaveAs1Click() {
  PreviousFileName = ctx_.board.CurrentFileName;
  ctx_.board.CurrentFileName.clear();
  SaveProject();
  if (ctx_.board.CurrentFileName.empty()) ctx_.board.CurrentFileName = PreviousFileName;
}

bool DocumentCommands::FormClose() {
  return ctx_.board.SavedFlag || ctx_.host.askYesNo(kQuitQuestion);
}

void DocumentCommands::FrameSize1Click() {
  int width = ctx_.board.FrameWidth;
  int height = ctx_.board.FrameHeight;
  if (!ctx_.host.editFrameSize(width, height)) return;
  // A host answer outside the scroll bars' ranges is pulled in.
  ctx_.board.FrameWidth = clampFrameWidth(width);
  ctx_.board.FrameHeight = clampFrameHeight(height);
  ctx_.redraw();
}

void DocumentCommands::Info1Click() {
  InfoCounts counts;
  counts.pins = ctx_.board.PinCount;
  counts.wires = ctx_.board.wireCount();
  counts.wireSegments = ctx_.board.wireSegmentCount();
  counts.texts = ctx_.board.TextCount;
  counts.objects = ctx_.board.ObjectCount;
  ctx_.host.showInformation(counts);
}

}  // namespace fw

namespace fw {

void DocumentCommands::SaveasObject1Click() {
  FileDialogRequest request;
  request.filter = "Kestroval Objects (*.kvo)|*.kvo";
  request.defaultExtension = "kvo";
  request.initialFolder = ctx_.objectsDir();
  const std::string path = ctx_.host.chooseSaveFile(request);
  if (path.empty()) return;
  ctx_.state.ObjectFileName = withObjectExtension(path);
  // A cancelled box saves the object with no description.
  std::string description;
  if (!ctx_.host.askText("Object Description", "Enter Object Description", description))
    description.clear();
  // The box answers in UTF-8, as every string of the host; the file holds Latin-1, as every
  // text of the formats (the panel turns it back into UTF-8), so "10µF" is stored with the
  // byte 0xB5 and a character beyond Latin-1 becomes '?'.
  description = QString::fromStdString(description).toLatin1().toStdString();
  if (description.size() > 50) description.resize(50);
  std::string reason;
  if (!WriteObjectFile(ctx_.state.ObjectFileName, ctx_.board, description, reason)) {
    ctx_.host.showError(fileError(kObjectNotSaved, reason));
    return;
  }
  // An object written over the board's own project file leaves the board saved nowhere.
  std::error_code ec;
  if (!ctx_.board.CurrentFileName.empty() &&
      std::filesystem::equivalent(ctx_.state.ObjectFileName, ctx_.board.CurrentFileName, ec)) {
    history_.forgetSaved();
  }
  ctx_.controls.panel[2] = "Object Saved";
}

}  // namespace fw

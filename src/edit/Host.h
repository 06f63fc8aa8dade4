#pragma once

#include <functional>
#include <string>
#include <vector>

#include "board/Board.h"
#include "check/DesignCheck.h"
#include "fab/FabOptions.h"
#include "print/PrintSettings.h"

namespace fw {

struct FileDialogRequest {
  std::string caption;
  std::string filter;            // e.g. "Project files (*.kvd)"
  std::string defaultExtension;  // without the dot
  std::string initialFolder;
  std::string suggestedName;
};

// What File > Export Gerber... asks for: the folder the set goes into and how it is made.
struct GerberExportChoice {
  std::string folder;
  FabOptions options;
};

// What the Check Board dialog works with: the rules it starts from, the check it runs again
// whenever the rules change, and what a chosen finding does (scroll the board to it and mark
// it). The dialog leaves the rules it closed with in `rules`.
struct CheckBoardSession {
  CheckRules rules;
  std::function<std::vector<Finding>(const CheckRules&)> check;
  std::function<void(const Finding&)> showFinding;
};

struct InfoCounts {
  int pins = 0;
  int wires = 0;
  int wireSegments = 0;
  int texts = 0;
  int objects = 0;
};

// Everything modal goes through the host: message boxes, file dialogs and the program's own
// dialogs. The application implements it with Qt dialogs; tests with a scripted fake. Dialogs
// return values; the editor changes the board. The defaults answer as a cancelled dialog would.
class Host {
 public:
  virtual ~Host() = default;

  // Message box with the error symbol and OK.
  virtual void showError(const std::string& text) { (void)text; }
  // Question with the warning symbol and Yes / No; true means Yes.
  virtual bool askYesNo(const std::string& text) {
    (void)text;
    return false;
  }
  // Question with the confirmation symbol and Yes / No; true means Yes.
  virtual bool askConfirmation(const std::string& text) {
    (void)text;
    return false;
  }
  // File dialogs; an empty result means cancelled.
  virtual std::string chooseOpenFile(const FileDialogRequest& request) {
    (void)request;
    return {};
  }
  virtual std::string chooseSaveFile(const FileDialogRequest& request) {
    (void)request;
    return {};
  }
  // A folder dialog starting in request.initialFolder; an empty result means cancelled.
  virtual std::string chooseFolder(const FileDialogRequest& request) {
    (void)request;
    return {};
  }
  // Export Gerber dialog: comes in with the projects folder and the default options; the host
  // may show the choice it remembers from an earlier export instead. True with the user's
  // choice on Export, false on Cancel.
  virtual bool askGerberExport(GerberExportChoice& choice) {
    (void)choice;
    return false;
  }
  // Frame Size dialog: shows width and height, returns true with the new values on Ok.
  virtual bool editFrameSize(int& width, int& height) {
    (void)width;
    (void)height;
    return false;
  }
  virtual void showInformation(const InfoCounts& counts) { (void)counts; }
  // Check Board dialog: lists session.check(session.rules), lets the user change the rules and
  // choose findings; returns when it is closed.
  virtual void showCheckBoard(CheckBoardSession& session) { (void)session; }
  // A one-line input box with caption, prompt and an empty default; false when cancelled.
  virtual bool askText(const std::string& caption, const std::string& prompt, std::string& answer) {
    (void)caption;
    (void)prompt;
    (void)answer;
    return false;
  }
  // Print Board dialog: shows the scale and the resolution item of `settings` (the layer list
  // starts on its first item, the additions off) and returns true with the user's choice on
  // Print; false on Cancel or when the dialog is closed otherwise.
  virtual bool askPrintSettings(PrintSettings& settings) {
    (void)settings;
    return false;
  }
  // Prints one layer of the board on the printer chosen in Print Setup or, with no printer at
  // all, on a PDF file that a save dialog asks for (suggestedPdf is the name it offers). False
  // when nothing was printed: with a reason when the job failed, with none when the user
  // cancelled the file dialog.
  virtual bool printBoard(const Board& board, const PrintSettings& settings, int zoomLevel,
                          const std::string& suggestedPdf, std::string& error) {
    (void)board;
    (void)settings;
    (void)zoomLevel;
    (void)suggestedPdf;
    error = "no printer";
    return false;
  }
  // File > Print Setup: the printer and its paper, or printing to a PDF file, for which it
  // offers suggestedPdf until a file has been chosen.
  virtual void showPrintSetup(const std::string& suggestedPdf) { (void)suggestedPdf; }
  // Text Options dialog: shows text and size (the dialog's scroll bar reaches 5..50) and
  // returns true with what the user entered on Ok; false on Cancel. The caller stores it.
  virtual bool editTextOptions(std::string& text, int& size) {
    (void)text;
    (void)size;
    return false;
  }
  virtual void showAbout() {}
  // Pop-up menus at a point of the drawing area's window.
  virtual void showLineMethodsMenu() {}
  virtual void showDotMethodsMenu() {}
};

}  // namespace fw

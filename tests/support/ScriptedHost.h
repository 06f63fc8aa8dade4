#pragma once

// A scripted fake Host for tests: every question, dialog and pop-up the editor opens is recorded
// in order, and each one is answered from a queue of prepared answers. An empty queue answers as
// a cancelled dialog would (No, no file, frame dialog cancelled).

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "edit/Host.h"

namespace fw {

class ScriptedHost : public Host {
 public:
  // One recorded call: what was shown ("error", "yesNo", "confirm", "openFile", "saveFile",
  // "folder", "gerberExport", "frameSize", "information", "askText", "textOptions", "about",
  // "lineMethodsMenu", "dotMethodsMenu") and its text or caption.
  struct Call {
    std::string kind;
    std::string text;
  };

  // Prepared answers, taken front first.
  std::deque<bool> yesNoAnswers;
  std::deque<std::string> openFileAnswers;
  std::deque<std::string> saveFileAnswers;
  std::deque<std::string> folderAnswers;                            // empty = Cancel
  std::deque<std::optional<GerberExportChoice>> gerberAnswers;      // nullopt = Cancel
  std::deque<std::optional<std::pair<int, int>>> frameSizeAnswers;  // nullopt = Cancel
  std::deque<bool> confirmAnswers;
  std::deque<std::optional<std::string>> textAnswers;     // input box; nullopt = Cancel
  std::deque<std::optional<PrintSettings>> printAnswers;  // Print Board; nullopt = Cancel
  // What printBoard answers: empty for a printed job, else the failure's reason.
  std::deque<std::string> printResults;
  struct PrintJob {
    PrintSettings settings;
    int zoomLevel;
    std::string suggestedPdf;
  };
  std::vector<PrintJob> printJobs;
  // Check Board: what the user does while the dialog is open (choose a finding, change the
  // rules), run after the dialog has listed the findings; none: the dialog is closed at once.
  std::function<void(CheckBoardSession&)> checkBoardScript;
  // Text Options: the string and size the user leaves in the dialog; nullopt = Cancel.
  std::deque<std::optional<std::pair<std::string, int>>> textOptionsAnswers;

  // What was asked, in order, and the details of each kind.
  std::vector<Call> calls;
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  std::vector<FileDialogRequest> folderRequests;
  std::vector<GerberExportChoice> gerberRequests;  // what the Export Gerber dialog was shown
  std::vector<std::pair<int, int>> frameSizeShown;
  std::vector<InfoCounts> informationShown;
  std::vector<std::pair<std::string, int>> textOptionsShown;
  std::vector<Finding> checkBoardListed;  // what the Check Board dialog listed when it opened

  int count(const std::string& kind) const {
    int n = 0;
    for (const Call& c : calls)
      if (c.kind == kind) ++n;
    return n;
  }
  void clearRecord() {
    calls.clear();
    errors.clear();
    questions.clear();
    openRequests.clear();
    saveRequests.clear();
    folderRequests.clear();
    gerberRequests.clear();
    frameSizeShown.clear();
    informationShown.clear();
    textOptionsShown.clear();
  }

  void showError(const std::string& text) override {
    calls.push_back({"error", text});
    errors.push_back(text);
  }
  bool askYesNo(const std::string& text) override {
    calls.push_back({"yesNo", text});
    questions.push_back(text);
    return take(yesNoAnswers, false);
  }
  bool askConfirmation(const std::string& text) override {
    calls.push_back({"confirm", text});
    questions.push_back(text);
    return take(confirmAnswers, false);
  }
  bool askText(const std::string& caption, const std::string& prompt,
               std::string& answer) override {
    calls.push_back({"askText", caption + "|" + prompt});
    const std::optional<std::string> a = take(textAnswers, std::optional<std::string>());
    if (!a) return false;
    answer = *a;
    return true;
  }
  bool askPrintSettings(PrintSettings& settings) override {
    calls.push_back({"printBoard", std::to_string(settings.scale)});
    const auto a = take(printAnswers, std::optional<PrintSettings>());
    if (!a) return false;
    settings = *a;
    return true;
  }
  bool printBoard(const Board&, const PrintSettings& settings, int zoomLevel,
                  const std::string& suggestedPdf, std::string& error) override {
    calls.push_back({"print", suggestedPdf});
    printJobs.push_back({settings, zoomLevel, suggestedPdf});
    error = take(printResults, std::string());
    return error.empty();
  }
  void showPrintSetup(const std::string& suggestedPdf) override {
    calls.push_back({"printSetup", suggestedPdf});
  }
  bool editTextOptions(std::string& text, int& size) override {
    calls.push_back({"textOptions", text});
    textOptionsShown.emplace_back(text, size);
    const auto answer = take(textOptionsAnswers, std::optional<std::pair<std::string, int>>());
    if (!answer) return false;
    text = answer->first;
    size = answer->second;
    return true;
  }
  std::string chooseOpenFile(const FileDialogRequest& request) override {
    calls.push_back({"openFile", request.caption});
    openRequests.push_back(request);
    return take(openFileAnswers, std::string());
  }
  std::string chooseSaveFile(const FileDialogRequest& request) override {
    calls.push_back({"saveFile", request.caption});
    saveRequests.push_back(request);
    return take(saveFileAnswers, std::string());
  }
  std::string chooseFolder(const FileDialogRequest& request) override {
    calls.push_back({"folder", request.caption});
    folderRequests.push_back(request);
    return take(folderAnswers, std::string());
  }
  bool askGerberExport(GerberExportChoice& choice) override {
    calls.push_back({"gerberExport", choice.folder});
    gerberRequests.push_back(choice);
    const auto answer = take(gerberAnswers, std::optional<GerberExportChoice>());
    if (!answer) return false;
    choice = *answer;
    return true;
  }
  bool editFrameSize(int& width, int& height) override {
    calls.push_back({"frameSize", std::to_string(width) + "x" + std::to_string(height)});
    frameSizeShown.emplace_back(width, height);
    const std::optional<std::pair<int, int>> answer =
        take(frameSizeAnswers, std::optional<std::pair<int, int>>());
    if (!answer) return false;
    width = answer->first;
    height = answer->second;
    return true;
  }
  void showInformation(const InfoCounts& counts) override {
    calls.push_back({"information", ""});
    informationShown.push_back(counts);
  }
  void showCheckBoard(CheckBoardSession& session) override {
    calls.push_back({"checkBoard", ""});
    checkBoardListed = session.check(session.rules);
    if (checkBoardScript) checkBoardScript(session);
  }
  void showAbout() override { calls.push_back({"about", ""}); }
  void showLineMethodsMenu() override { calls.push_back({"lineMethodsMenu", ""}); }
  void showDotMethodsMenu() override { calls.push_back({"dotMethodsMenu", ""}); }

 private:
  template <typename T>
  static T take(std::deque<T>& queue, T whenEmpty) {
    if (queue.empty()) return whenEmpty;
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
  }
};

}  // namespace fw

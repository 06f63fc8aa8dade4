// Every way the program writes a file, run once as it is and then with each file-system call of
// the write failing in turn: the user is told why, nothing claims the write was done, the files
// that were there keep every byte and no temporary file is left behind.
#include <gtest/gtest.h>

#include <QDialog>  // QtHost.h keeps a QPointer to one
#include <QPrinterInfo>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "app/QtHost.h"
#include "cli/CliRun.h"
#include "edit/Editor.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"
#include "support/FailingFileOps.h"
#include "support/ScriptedHost.h"

namespace fw {
namespace {

// What the user learnt: a failure told and its words, or a claim that the write was done (the
// status panel, the saved flag, exit status 0). Then what the folder holds: its file names and
// how many of the previous files were replaced.
struct Outcome {
  bool told = false;
  bool done = false;
  std::string message;
  std::vector<std::string> names;
  int replaced = 0;
};

void drawSome(Board& b) {
  for (int i = 0; i < 6; ++i)
    b.addPin({static_cast<uint16_t>(300 + 8 * i), 350, 3, static_cast<uint8_t>(i % 3)});
  TextItem t;
  t.text.set("AMP");
  t.size = 20;
  t.x = 300;
  t.y = 380;
  b.addText(t);
}

Outcome told(const std::vector<std::string>& errors, bool done) {
  Outcome o;
  o.told = !errors.empty();
  o.done = done;
  for (const std::string& e : errors) o.message += e + "\n";
  return o;
}

// The Qt host that writes the PDF file, its dialogs answered and its messages kept.
class AnsweredQtHost : public QtHost {
 public:
  explicit AnsweredQtHost(std::string pdf) : QtHost(nullptr), pdf_(std::move(pdf)) {}
  bool askPrintSettings(PrintSettings&) override { return true; }
  std::string chooseSaveFile(const FileDialogRequest&) override { return pdf_; }
  void showError(const std::string& text) override { errors.push_back(text); }
  std::vector<std::string> errors;

 private:
  std::string pdf_;
};

// The editor's commands, with `folder` where they write.
Outcome saveProject(const std::string& folder) {
  ScriptedHost host;
  Editor ed(host);
  drawSome(ed.board());
  ed.board().CurrentFileName = folder + "/amp.kvd";
  ed.board().SavedFlag = false;
  ed.commands().documents.SaveProject();
  return told(host.errors, ed.board().SavedFlag || ed.controls().panel[2] == "Project Saved");
}

Outcome saveAsObject(const std::string& folder) {
  ScriptedHost host;
  Editor ed(host);
  drawSome(ed.board());
  host.saveFileAnswers = {folder + "/amp.kvo"};
  ed.commands().documents.SaveasObject1Click();
  return told(host.errors, ed.controls().panel[2] == "Object Saved");
}

Outcome exportGerber(const std::string& folder) {
  ScriptedHost host;
  Editor ed(host);
  drawSome(ed.board());
  ed.board().CurrentFileName = "/elsewhere/amp.kvd";
  host.gerberAnswers = {GerberExportChoice{folder, FabOptions()}};
  host.yesNoAnswers = {true};  // export despite what the board check finds
  ed.commands().fab.ExportGerber1Click();
  // A warning (copper outside the frame) may follow on the same line.
  return told(host.errors, ed.controls().panel[2].rfind("Gerber files written", 0) == 0);
}

Outcome printToPdf(const std::string& folder) {
  AnsweredQtHost host(folder + "/amp-layer1.pdf");
  Editor ed(host);
  drawSome(ed.board());
  ed.commands().printing.Print1Click();
  return told(host.errors, ed.controls().panel[2] == "Project printed");
}

// One way of writing: the files it replaces, and either an editor command or the arguments of
// ferrowrit-cli, where IN stands for a project of drawSome's board and DIR for the folder.
struct WritePath {
  const char* name;
  std::vector<std::string> files;
  bool synced;  // forced to disk before the rename
  Outcome (*command)(const std::string& folder);
  std::vector<std::string> cli;
};

void PrintTo(const WritePath& path, std::ostream* os) {
  *os << path.name;
}

const std::vector<std::string> kGerberFiles = {
    "amp-layer1.gbr",      "amp-layer2.gbr",  "amp-graphic.gbr", "amp-mask-top.gbr",
    "amp-mask-bottom.gbr", "amp-outline.gbr", "amp.drl",         "amp.gbrjob"};
const std::vector<std::string> kProtelZipFiles = {"amp.GTL", "amp.GBL",    "amp.GTO",
                                                  "amp.GTS", "amp.GBS",    "amp.GKO",
                                                  "amp.XLN", "amp.gbrjob", "amp-gerber.zip"};

const WritePath kWritePaths[] = {
    {"SaveProject", {"amp.kvd"}, true, saveProject, {}},
    {"SaveAsObject", {"amp.kvo"}, true, saveAsObject, {}},
    {"ExportGerber", kGerberFiles, false, exportGerber, {}},
    {"PrintToPdf", {"amp-layer1.pdf"}, true, printToPdf, {}},
    {"CliPrintPdf", {"amp.pdf"}, true, nullptr, {"print", "IN", "-o", "DIR/amp.pdf"}},
    {"CliPrintPng",
     {"amp.png"},
     true,
     nullptr,
     {"print", "IN", "-o", "DIR/amp.png", "--dpi", "180"}},
    {"CliRender", {"amp.png"}, true, nullptr, {"render", "IN", "-o", "DIR/amp.png"}},
    {"CliGerber", kGerberFiles, false, nullptr, {"gerber", "IN", "-o", "DIR"}},
    {"CliGerberZip",
     kProtelZipFiles,
     false,
     nullptr,
     {"gerber", "IN", "-o", "DIR", "--protel", "--zip"}},
};

class WriteFault : public ::testing::TestWithParam<WritePath> {
 protected:
  void SetUp() override {
    auto b = makeBoard();
    drawSome(*b);
    std::string error;
    ASSERT_TRUE(WriteProjectFile(inputs.path() + "/amp.kvd", *b, error)) << error;
  }

  // Runs the path with `ops` in place into a folder holding the previous files.
  Outcome runWith(FailingFileOps& ops) {
    const WritePath& path = GetParam();
    TestFolder folder;
    for (const std::string& name : path.files)
      std::ofstream(folder.path() + "/" + name) << "the previous " << name;
    Outcome o;
    {
      ScopedFileOps seam(ops);
      if (path.command) {
        o = path.command(folder.path());
      } else {
        std::vector<std::string> args = path.cli;
        for (std::string& a : args) {
          if (a == "IN") a = inputs.path() + "/amp.kvd";
          if (a.rfind("DIR", 0) == 0) a.replace(0, 3, folder.path());
        }
        const CliResult r = runCliCaptured(args);
        o.told = r.status == kExitFailed && !r.err.empty();
        o.done = r.status == kExitOk;
        o.message = r.err;
      }
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename();
      std::ifstream in(entry.path());
      o.names.push_back(name);
      o.replaced += std::string(std::istreambuf_iterator<char>(in), {}) != "the previous " + name;
    }
    std::sort(o.names.begin(), o.names.end());
    return o;
  }

  TestFolder inputs;
};

TEST_P(WriteFault, EachFailingCallIsToldAndKeepsThePreviousFiles) {
  const WritePath& path = GetParam();
  if (path.command == printToPdf && !QPrinterInfo::availablePrinters().isEmpty())
    GTEST_SKIP() << "a printer is installed, so Print would go to it instead of a PDF file";
  std::vector<std::string> names = path.files;
  std::sort(names.begin(), names.end());
  const int files = static_cast<int>(names.size());

  // As it is: every file replaced through the seam, and the calls it makes counted.
  FailingFileOps counted;
  Outcome o = runWith(counted);
  EXPECT_TRUE(o.done && !o.told) << o.message;
  EXPECT_EQ(o.names, names);
  EXPECT_EQ(o.replaced, files);
  EXPECT_EQ(counted.count(FailingFileOps::Open), files);
  EXPECT_GE(counted.count(FailingFileOps::Write), files);
  EXPECT_EQ(counted.count(FailingFileOps::Sync), path.synced ? files : 0);
  EXPECT_EQ(counted.count(FailingFileOps::Close), files);
  EXPECT_EQ(counted.count(FailingFileOps::Rename), files);

  // Then each of those calls failing in turn. Only a rename failing after others leaves the
  // files before it replaced, and it says so.
  for (int call = 0; call < FailingFileOps::kCalls; ++call) {
    const auto kind = static_cast<FailingFileOps::Call>(call);
    for (int nth = 1; nth <= counted.count(kind); ++nth) {
      const char* const callNames[] = {"open", "write", "fsync", "close", "rename"};
      SCOPED_TRACE(std::string(callNames[call]) + " number " + std::to_string(nth));
      const int error = kind == FailingFileOps::Write ? ENOSPC : EIO;
      FailingFileOps failing(kind, nth, error);
      o = runWith(failing);
      ASSERT_TRUE(failing.failed());
      EXPECT_TRUE(o.told && !o.done);
      EXPECT_NE(o.message.find(std::strerror(error)), std::string::npos) << o.message;
      EXPECT_EQ(o.names, names);
      EXPECT_EQ(o.replaced, kind == FailingFileOps::Rename ? nth - 1 : 0);
      EXPECT_EQ(o.message.find("already replaced") != std::string::npos, o.replaced > 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllWritePaths, WriteFault, ::testing::ValuesIn(kWritePaths),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fw

// File > Export Gerber through the editor: the Export Gerber dialog asked with the projects
// folder and the default options, the set named after the board written into the folder the
// user chose, a failed write reported as a failure, and Cancel doing nothing.
#include <QDir>
#include <QFileInfo>

#include "EditorScenario.h"
#include "fab/Fabrication.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

class FabCommandTest : public EditorScenario {};

TEST_F(FabCommandTest, TheSetIsWrittenIntoTheChosenFolderOrTheFailureIsShown) {
  addPin(396, 296);  // inside the frame: no warning
  ed.ProgramDirectory = "/prog";
  TestFolder folder;
  FabOptions options;
  options.holeUm[3] = 1100;
  options.maskExpansionUm = 100;
  struct Case {
    std::string fileName;  // CurrentFileName
    std::string folder;    // the dialog's answer
    std::string status;
    std::string stem;  // the files expected afterwards are named after it; "" for none
  };
  const Case cases[] = {
      {"/somewhere/amp.kvd", folder.path(), "Gerber files written", "amp"},
      {"", folder.path(), "Gerber files written", "board"},
      {"/somewhere/amp.kvd", folder.path() + "/gone", "Gerber export failed", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status + " " + c.folder);
    host.clearRecord();
    board().CurrentFileName = c.fileName;
    host.gerberAnswers.push_back(GerberExportChoice{c.folder, options});
    ed.commands().fab.ExportGerber1Click();
    // The dialog is offered the projects folder and the default options.
    ASSERT_EQ(host.gerberRequests.size(), 1u);
    EXPECT_EQ(host.gerberRequests[0].folder, "/prog/projects");
    EXPECT_EQ(host.gerberRequests[0].options.holeUm, FabOptions().holeUm);
    EXPECT_EQ(host.gerberRequests[0].options.maskExpansionUm, FabOptions().maskExpansionUm);
    EXPECT_EQ(controls().panel[2], c.status);
    EXPECT_EQ(host.errors.size(), c.stem.empty() ? 1u : 0u);
    EXPECT_TRUE(host.questions.empty());  // a board with no check errors is not asked about
    if (c.stem.empty()) continue;
    for (const FabFile f : kFabFiles)
      EXPECT_TRUE(
          QFileInfo::exists(QString::fromStdString(c.folder + "/" + c.stem + fabFileSuffix(f))))
          << fabFileSuffix(f);
  }
  EXPECT_EQ(host.errors.back().rfind("The Gerber files were not written.\ncannot write amp", 0), 0u)
      << host.errors.back();
}

// Copper outside the frame is an error of the board check: the export asks first, writes
// nothing on No, and on Yes writes the set with the warning in the status panel.
TEST_F(FabCommandTest, CheckErrorsAreAskedAboutBeforeWriting) {
  addPin(396, 296);
  addPin(100, 100);
  TestFolder folder;
  const std::string layer1 = folder.path() + "/board-layer1.gbr";

  host.gerberAnswers.push_back(GerberExportChoice{folder.path(), FabOptions()});
  host.yesNoAnswers.push_back(false);
  ed.commands().fab.ExportGerber1Click();
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0].rfind("The board check found ", 0), 0u) << host.questions[0];
  EXPECT_NE(host.questions[0].find(" error"), std::string::npos);
  EXPECT_NE(host.questions[0].find("Export anyway?"), std::string::npos);
  EXPECT_EQ(controls().panel[2], "Gerber export cancelled");
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(layer1)));

  host.gerberAnswers.push_back(GerberExportChoice{folder.path(), FabOptions()});
  host.yesNoAnswers.push_back(true);
  ed.commands().fab.ExportGerber1Click();
  EXPECT_EQ(host.questions.size(), 2u);
  EXPECT_EQ(controls().panel[2], "Gerber files written; warning: 1 pad lies outside the frame");
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(layer1)));
}

TEST_F(FabCommandTest, CancelWritesNothingAndLeavesTheStatusAlone) {
  addPin(100, 100);
  TestFolder folder;
  ed.ProgramDirectory = folder.path();
  QDir().mkpath(QString::fromStdString(folder.path() + "/projects"));
  controls().panel[2] = "before";
  ed.commands().fab.ExportGerber1Click();  // no answer prepared: the dialog is cancelled
  EXPECT_EQ(host.count("gerberExport"), 1);
  EXPECT_EQ(controls().panel[2], "before");
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(QDir(QString::fromStdString(folder.path() + "/projects")).isEmpty());
}

}  // namespace
}  // namespace fw

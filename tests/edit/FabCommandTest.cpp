// File > Export Gerber through the editor: the folder asked for, the five files named after the
// board, and a failed write reported as a failure.
#include <QFileInfo>

#include "EditorScenario.h"
#include "fab/Fabrication.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

class FabCommandTest : public EditorScenario {};

TEST_F(FabCommandTest, TheFilesAreWrittenIntoTheChosenFolderOrTheFailureIsShown) {
  addPin(100, 100);
  ed.ProgramDirectory = "/prog";
  TestFolder folder;
  struct Case {
    std::string fileName;  // CurrentFileName
    std::string folder;    // the dialog's answer
    std::string status;
    std::string firstFile;  // expected to exist afterwards, or "" for none
    int errors;
  };
  const Case cases[] = {
      {"/somewhere/amp.kvd", folder.path(), "Gerber files written", "amp-layer1.gbr", 0},
      {"", folder.path(), "Gerber files written", "board-layer1.gbr", 0},
      {"/somewhere/amp.kvd", folder.path() + "/gone", "Gerber export failed", "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status + " " + c.folder);
    host.clearRecord();
    board().CurrentFileName = c.fileName;
    host.folderAnswers.push_back(c.folder);
    ed.fab().ExportGerber1Click();
    ASSERT_EQ(host.folderRequests.size(), 1u);
    EXPECT_EQ(host.folderRequests[0].initialFolder, "/prog/projects");
    EXPECT_EQ(controls().panel[2], c.status);
    EXPECT_EQ(static_cast<int>(host.errors.size()), c.errors);
    if (c.firstFile.empty()) continue;
    const std::string stem = c.firstFile.substr(0, c.firstFile.find('-'));
    for (const FabFile f : kFabFiles)
      EXPECT_TRUE(
          QFileInfo::exists(QString::fromStdString(c.folder + "/" + stem + fabFileSuffix(f))))
          << fabFileSuffix(f);
  }
  EXPECT_EQ(host.errors.back().rfind("The Gerber files were not written.\ncannot write amp-", 0),
            0u)
      << host.errors.back();

  // Cancel writes nothing and leaves the status alone.
  host.clearRecord();
  controls().panel[2] = "before";
  ed.fab().ExportGerber1Click();
  EXPECT_EQ(host.count("folder"), 1);
  EXPECT_EQ(controls().panel[2], "before");
}

}  // namespace
}  // namespace fw

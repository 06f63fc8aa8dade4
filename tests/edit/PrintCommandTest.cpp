// Print and Print Setup through the editor: the dialog's settings kept, the status texts, and
// failures reported as failures.
#include "EditorScenario.h"

namespace fw {
namespace {

class PrintCommandTest : public EditorScenario {
 protected:
  PrintSettings choice(int layer, int dpiIndex, int scale) {
    PrintSettings s;
    s.layer = layer;
    s.dpiIndex = dpiIndex;
    s.scale = scale;
    return s;
  }
};

TEST_F(PrintCommandTest, APrintKeepsTheDialogsSettingsAndReportsTheOutcome) {
  addPin(100, 100);
  ed.ProgramDirectory = "/prog";
  board().CurrentFileName = "/somewhere/amp.kvd";
  struct Case {
    std::string result;  // what the host's job answers
    std::string status;
    int errors;
  };
  const Case cases[] = {{"", "Project printed", 0},
                        {"the printer is out of paper", "Printing failed", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    host.clearRecord();
    host.printJobs.clear();
    host.printAnswers.push_back(choice(1, 3, 60));
    host.printResults.push_back(c.result);
    ed.commands().printing.Print1Click();
    EXPECT_EQ(controls().panel[2], c.status);
    EXPECT_EQ(static_cast<int>(host.errors.size()), c.errors);
    ASSERT_EQ(host.printJobs.size(), 1u);
    EXPECT_EQ(host.printJobs[0].settings.layer, 1);
    EXPECT_EQ(host.printJobs[0].suggestedPdf, "/prog/projects/amp-layer2.pdf");
  }
  EXPECT_EQ(host.errors.back(), "The board was not printed.\nthe printer is out of paper");
  EXPECT_EQ(ed.PrintScale, 60);
  EXPECT_EQ(ed.PrintDpiIndex, 3);

  // The next dialog shows what was confirmed; Cancel prints nothing and says nothing.
  host.clearRecord();
  host.printJobs.clear();
  controls().panel[2] = "before";
  ed.commands().printing.Print1Click();
  EXPECT_EQ(host.calls.at(0).text, "60");
  EXPECT_TRUE(host.printJobs.empty());
  EXPECT_EQ(controls().panel[2], "before");
}

// Print Setup has no layer chosen yet: it offers the PDF of Layer 1, where the Print Board
// dialog's layer list starts.
TEST_F(PrintCommandTest, PrintSetupOffersTheBoardsLayer1Pdf) {
  ed.ProgramDirectory = "/prog";
  for (const auto& [file, offered] :
       {std::pair<std::string, std::string>{"/somewhere/amp.kvd", "/prog/projects/amp-layer1.pdf"},
        {"", "/prog/projects/board-layer1.pdf"}}) {
    host.clearRecord();
    board().CurrentFileName = file;
    ed.commands().printing.PrintSetup1Click();
    ASSERT_EQ(host.count("printSetup"), 1);
    EXPECT_EQ(host.calls.at(0).text, offered);
  }
}

TEST_F(PrintCommandTest, AnEmptyBoardIsNotPrinted) {
  host.printAnswers.push_back(choice(0, 1, 100));
  ed.commands().printing.Print1Click();
  EXPECT_EQ(controls().panel[2], "Nothing to print");
  EXPECT_TRUE(host.printJobs.empty());
}

}  // namespace
}  // namespace fw

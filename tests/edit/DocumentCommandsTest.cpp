// New, Open, Save, Save As and closing, driven through the editor with a scripted host, against
// real files in a private temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "edit/Editor.h"
#include "files/ProjectFile.h"
#include "support/SameBoard.h"
#include "support/ScriptedHost.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

const char* const kContinue = "The current file is not saved. Continue anyway?";
const char* const kQuit = "The current file is not saved. Quit anyway?";

std::vector<char> fileBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

std::vector<std::string> namesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class DocumentCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fw-docs-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    fs::create_directory(dir / "projects");
    editor = std::make_unique<Editor>(host, 640, 400);
    editor->ProgramDirectory = dir.string();
  }
  void TearDown() override {
    editor.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  Board& board() { return editor->board(); }
  const std::string& status() { return editor->controls().panel[2]; }

  // A small board with one of everything: two pins, a wire of three points, a text and an object
  // holding the second pin.
  void drawSomething() {
    Board& b = board();
    b.addPin({100, 120, 3, 0});
    b.addPin({140, 120, 5, 1});
    b.addWirePoint({static_cast<uint16_t>(100 | WireStartFlag),
                    static_cast<uint16_t>(120 | WireStartFlag), kWireStartAttr});
    b.addWirePoint({140, 120, 2});
    b.addWirePoint({140, 160, 0x12});
    TextItem t;
    t.text.set("R1");
    t.size = 20;
    t.x = 2 * 4096 + 300;
    t.y = 200;
    b.addText(t);
    b.addObject({1, 1, 0, 0, 0, 0}, "a pad");
    b.SavedFlag = false;  // what a press on the board area leaves
  }

  // Moves the pointer over board position (x, y) of the current view and presses the left
  // button there, as the drawing area's pointer events would.
  void pressAt(int x, int y) {
    const View& v = editor->view();
    editor->mouseMove(v.toWindowX(x), v.toWindowY(y) - 60);
    editor->mouseDown(MouseButton::Left);
    editor->mouseUp(MouseButton::Left, v.toWindowY(y) - 60);
  }

  // Saves the current board as `name` through Save As with a scripted dialog answer.
  fs::path saveAs(const std::string& name) {
    host.saveFileAnswers.push_back((dir / name).string());
    editor->commands().documents.SaveAs1Click();
    return dir / name;
  }

  std::unique_ptr<Board> readBack(const fs::path& p) {
    std::unique_ptr<Board> b = makeBoard();
    std::string error;
    EXPECT_TRUE(ReadProjectFile(p.string(), *b, error)) << error;
    return b;
  }

  ScriptedHost host;
  fs::path dir;
  std::unique_ptr<Editor> editor;
};

// --- New ------------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, NewOnASavedBoardResetsWithoutAQuestion) {
  drawSomething();
  board().SavedFlag = true;
  board().CurrentFileName = (dir / "old.kvd").string();
  editor->commands().viewCommands.ComboBox1Change(4);
  editor->state().Placing = true;

  editor->commands().documents.NewProject();

  EXPECT_EQ(host.count("yesNo"), 0);
  EXPECT_EQ(status(), "A New workspace created");
  EXPECT_EQ(board().PinCount, 0);
  EXPECT_EQ(board().WirePointCount, 0);
  EXPECT_EQ(board().TextCount, 0);
  EXPECT_EQ(board().ObjectCount, 0);
  EXPECT_EQ(board().FrameWidth, 252);
  EXPECT_EQ(board().FrameHeight, 158);
  EXPECT_TRUE(board().CurrentFileName.empty());
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(editor->view().ZoomLevel, 2);
  EXPECT_FALSE(editor->state().Placing);
}

TEST_F(DocumentCommandsTest, NewOnAModifiedBoardAnsweredNoLeavesTheBoard) {
  drawSomething();
  board().CurrentFileName = "kept.kvd";
  const std::unique_ptr<Board> before = makeBoard();
  *before = board();
  editor->controls().panel[2] = "earlier message";
  editor->state().Placing = true;
  host.yesNoAnswers = {false};

  editor->commands().documents.NewProject();

  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0], kContinue);
  EXPECT_TRUE(sameContent(board(), *before));
  EXPECT_FALSE(board().SavedFlag);
  EXPECT_EQ(board().CurrentFileName, "kept.kvd");
  EXPECT_EQ(status(), "earlier message");
  EXPECT_FALSE(editor->state().Placing);  // the placement ends even so
}

TEST_F(DocumentCommandsTest, NewOnAModifiedBoardAnsweredYesResets) {
  drawSomething();
  host.yesNoAnswers = {true};
  editor->commands().documents.NewProject();
  EXPECT_EQ(host.count("yesNo"), 1);
  EXPECT_EQ(board().PinCount, 0);
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(status(), "A New workspace created");
}

// --- Open -----------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, OpenReadsTheFileIntoANewWorkspace) {
  drawSomething();
  const fs::path file = saveAs("board.kvd");
  const std::unique_ptr<Board> saved = makeBoard();
  *saved = board();

  // Start again on an empty board with a different view.
  board().SavedFlag = true;
  editor->commands().documents.NewProject();
  editor->commands().viewCommands.ComboBox1Change(5);
  editor->tools().pins.SizeChange(7);
  host.clearRecord();
  host.openFileAnswers = {file.string()};

  editor->commands().documents.OpenProject();

  EXPECT_EQ(host.count("yesNo"), 0);
  ASSERT_EQ(host.openRequests.size(), 1u);
  EXPECT_EQ(host.openRequests[0].initialFolder, (dir / "projects").string());
  EXPECT_EQ(host.openRequests[0].filter, "Kestroval (kvd)|*.kvd");
  EXPECT_TRUE(host.openRequests[0].defaultExtension.empty());
  EXPECT_TRUE(host.openRequests[0].suggestedName.empty());
  EXPECT_TRUE(sameContent(board(), *saved));
  EXPECT_EQ(board().CurrentFileName, file.string());
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(status(), "Project opened");
  EXPECT_EQ(editor->view().ZoomLevel, 2);
  EXPECT_EQ(editor->controls().pinSize.index, 1);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(DocumentCommandsTest, OpenOnAModifiedBoardAnsweredNoStopsBeforeTheDialog) {
  drawSomething();
  host.yesNoAnswers = {false};
  editor->commands().documents.OpenProject();
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0], kContinue);
  EXPECT_EQ(host.count("openFile"), 0);
  EXPECT_EQ(board().PinCount, 2);
  EXPECT_FALSE(board().SavedFlag);
}

TEST_F(DocumentCommandsTest, OpenAnsweredYesThenCancelledLeavesBoardAndFlag) {
  drawSomething();
  board().CurrentFileName = "kept.kvd";
  const std::unique_ptr<Board> before = makeBoard();
  *before = board();
  editor->controls().panel[2] = "earlier message";
  host.yesNoAnswers = {true};
  host.openFileAnswers = {""};

  editor->commands().documents.OpenProject();

  EXPECT_EQ(host.count("yesNo"), 1);
  EXPECT_EQ(host.count("openFile"), 1);
  EXPECT_TRUE(sameContent(board(), *before));
  EXPECT_FALSE(board().SavedFlag);
  EXPECT_EQ(board().CurrentFileName, "kept.kvd");
  EXPECT_EQ(status(), "earlier message");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(DocumentCommandsTest, ARefusedFileLeavesBoardNameAndFlagAsTheyWere) {
  // A missing file, a file that ends inside its pin block, and one whose pin count is beyond
  // the table's capacity.
  writeBytes(dir / "short.kvd", std::string("\x05\x00\x01\x00", 4));
  writeBytes(dir / "huge.kvd", std::string("\xff\xff", 2) + std::string(200, '\0'));
  // The reason follows on a second line: what the file reader says about the file.
  const std::vector<std::pair<fs::path, std::string>> refused = {
      {dir / "missing.kvd", ": No such file"},
      {dir / "short.kvd", ": the file ends inside the pin table (4 bytes)"},
      {dir / "huge.kvd",
       ": not a Ferrowrit project file (it holds 65535 pins; a board has at most 4001)"}};

  drawSomething();
  board().CurrentFileName = "kept.kvd";
  const std::unique_ptr<Board> before = makeBoard();
  *before = board();

  for (const auto& [file, reason] : refused) {
    SCOPED_TRACE(file.filename().string());
    host.clearRecord();
    host.yesNoAnswers = {true};
    host.openFileAnswers = {file.string()};
    editor->commands().documents.OpenProject();

    ASSERT_EQ(host.errors.size(), 1u);
    const std::string first = "Error in file name. File not opened.\n";
    EXPECT_EQ(host.errors[0].substr(0, first.size()), first);
    EXPECT_NE(host.errors[0].find(file.string() + reason, first.size()), std::string::npos)
        << host.errors[0];
    EXPECT_TRUE(sameContent(board(), *before));
    EXPECT_EQ(board().CurrentFileName, "kept.kvd");
    EXPECT_FALSE(board().SavedFlag);
  }
}

// --- Open Recent ----------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, OpenRecentAsksAsOpenDoesThenOpensWithoutADialog) {
  struct Case {
    const char* name;
    bool modified;
    std::vector<bool> answers;
    bool fileExists;
    bool expectedResult;
    bool expectOpened;
    int expectedQuestions;
    size_t expectedErrors;
  };
  const std::vector<Case> cases = {
      {"saved board, file there", false, {}, true, true, true, 0, 0},
      {"modified board, Yes", true, {true}, true, true, true, 1, 0},
      {"modified board, No", true, {false}, true, true, false, 1, 0},
      {"saved board, file gone", false, {}, false, false, false, 0, 1},
      {"modified board, Yes, file gone", true, {true}, false, false, false, 1, 1},
  };
  drawSomething();
  const fs::path file = saveAs("recent.kvd");
  const fs::path gone = dir / "gone.kvd";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    board().SavedFlag = true;
    editor->commands().documents.NewProject();
    board().addPin({10, 10, 1, 0});
    board().CurrentFileName = "before.kvd";
    board().SavedFlag = !c.modified;
    host.clearRecord();
    host.yesNoAnswers.assign(c.answers.begin(), c.answers.end());
    const fs::path target = c.fileExists ? file : gone;

    EXPECT_EQ(editor->commands().documents.openRecent(target.string()), c.expectedResult);

    EXPECT_EQ(host.count("yesNo"), c.expectedQuestions);
    if (c.expectedQuestions > 0) {
      EXPECT_EQ(host.questions[0], kContinue);
    }
    EXPECT_EQ(host.count("openFile"), 0);
    EXPECT_EQ(host.errors.size(), c.expectedErrors);
    EXPECT_EQ(board().CurrentFileName, c.expectOpened ? file.string() : "before.kvd");
    EXPECT_EQ(board().PinCount, c.expectOpened ? 2 : 1);
    EXPECT_EQ(board().SavedFlag, c.expectOpened || !c.modified);
  }
}

TEST_F(DocumentCommandsTest, GivenFoldersReplaceTheOnesBesideTheProgram) {
  editor->ProjectsFolder = "/home/someone/Documents";
  editor->ObjectsFolder = "/usr/share/ferrowrit/objects";
  host.openFileAnswers = {""};
  editor->commands().documents.OpenProject();
  host.saveFileAnswers = {""};
  editor->commands().documents.SaveasObject1Click();
  ASSERT_EQ(host.openRequests.size(), 1u);
  EXPECT_EQ(host.openRequests[0].initialFolder, "/home/someone/Documents");
  ASSERT_EQ(host.saveRequests.size(), 1u);
  EXPECT_EQ(host.saveRequests[0].initialFolder, "/usr/share/ferrowrit/objects");
}

// --- Save -----------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveOnANewBoardAsksOnceThenWritesToTheSameFile) {
  drawSomething();
  host.saveFileAnswers = {(dir / "board").string()};  // no dot: ".kvd" is added

  editor->commands().documents.SaveProject();

  ASSERT_EQ(host.saveRequests.size(), 1u);
  const FileDialogRequest& request = host.saveRequests[0];
  EXPECT_EQ(request.defaultExtension, "kvd");
  EXPECT_EQ(request.initialFolder, (dir / "projects").string());
  EXPECT_EQ(request.filter, "Kestroval (*.kvd)|*.kvd");
  EXPECT_TRUE(request.suggestedName.empty());
  const fs::path file = dir / "board.kvd";
  EXPECT_EQ(board().CurrentFileName, file.string());
  EXPECT_TRUE(fs::exists(file));
  EXPECT_FALSE(fs::exists(dir / "board"));
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(status(), "Project Saved");
  EXPECT_TRUE(sameContent(*readBack(file), board()));

  // A change, then Save again: same file, no dialog.
  board().addPin({300, 300, 0, 2});
  board().SavedFlag = false;
  editor->controls().panel[2].clear();
  editor->commands().documents.SaveProject();
  EXPECT_EQ(host.count("saveFile"), 1);
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_EQ(status(), "Project Saved");
  EXPECT_EQ(readBack(file)->PinCount, 3);
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"board.kvd", "projects"}));
}

TEST_F(DocumentCommandsTest, ADotInAFolderNameKeepsTheNameWithoutExtension) {
  fs::create_directory(dir / "my.boards");
  drawSomething();
  host.saveFileAnswers = {(dir / "my.boards" / "board").string()};
  editor->commands().documents.SaveProject();
  EXPECT_EQ(board().CurrentFileName, (dir / "my.boards" / "board").string());
  EXPECT_TRUE(fs::exists(dir / "my.boards" / "board"));
}

TEST_F(DocumentCommandsTest, SaveRemovesEmptyObjectsEvenWhenTheDialogIsCancelled) {
  drawSomething();
  Board& b = board();
  b.addObject({0, 0, 0, 0, 0, 0}, "emptied");
  b.addObject({0, 0, 0, 0, 0, 0}, "emptied too");
  b.addObject({0, 1, 0, 0, 0, 0}, "last");
  ASSERT_EQ(b.ObjectCount, 4);
  host.saveFileAnswers = {""};

  editor->commands().documents.SaveProject();

  EXPECT_EQ(b.ObjectCount, 2);
  EXPECT_EQ(b.ObjectDescriptions[0].str(), "a pad");
  EXPECT_EQ(b.ObjectDescriptions[1].str(), "last");
  EXPECT_TRUE(b.CurrentFileName.empty());
  EXPECT_FALSE(b.SavedFlag);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"projects"}));
}

TEST_F(DocumentCommandsTest, ASaveThatCannotCreateItsFileTellsAndForgetsTheName) {
  drawSomething();
  board().CurrentFileName = (dir / "no-such-folder" / "board.kvd").string();

  editor->commands().documents.SaveProject();

  EXPECT_EQ(host.count("saveFile"), 0);
  ASSERT_EQ(host.errors.size(), 1u);
  const std::string first = "Error in file name. File not saved.\n";
  EXPECT_EQ(host.errors[0].substr(0, first.size()), first);
  EXPECT_GT(host.errors[0].size(), first.size());
  EXPECT_TRUE(board().CurrentFileName.empty());
  EXPECT_FALSE(board().SavedFlag);
  EXPECT_NE(status(), "Project Saved");

  // The next Save asks for a name again.
  host.saveFileAnswers = {(dir / "second.kvd").string()};
  editor->commands().documents.SaveProject();
  EXPECT_EQ(host.count("saveFile"), 1);
  EXPECT_TRUE(board().SavedFlag);
}

// --- Save As --------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveAsAlwaysAsksAndMovesToTheNewName) {
  drawSomething();
  const fs::path first = saveAs("first.kvd");
  const fs::path second = saveAs("second.kvd");
  EXPECT_EQ(host.count("saveFile"), 2);
  EXPECT_EQ(board().CurrentFileName, second.string());
  EXPECT_EQ(editor->commands().documents.PreviousFileName, first.string());
  EXPECT_TRUE(fs::exists(first));
  EXPECT_TRUE(fs::exists(second));
}

TEST_F(DocumentCommandsTest, SaveAsCancelledKeepsTheOldName) {
  drawSomething();
  const fs::path file = saveAs("board.kvd");
  board().SavedFlag = false;
  host.saveFileAnswers = {""};
  editor->commands().documents.SaveAs1Click();
  EXPECT_EQ(board().CurrentFileName, file.string());
  EXPECT_FALSE(board().SavedFlag);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(DocumentCommandsTest, SaveAsToAnUncreatableNameTellsAndKeepsTheOldName) {
  drawSomething();
  const fs::path file = saveAs("board.kvd");
  const std::vector<char> old = fileBytes(file);
  board().addPin({10, 10, 0, 0});
  board().SavedFlag = false;
  host.saveFileAnswers = {(dir / "missing" / "other.kvd").string()};

  editor->commands().documents.SaveAs1Click();

  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Error in file name. File not saved.", 0), 0u);
  EXPECT_EQ(board().CurrentFileName, file.string());
  EXPECT_FALSE(board().SavedFlag);
  EXPECT_EQ(fileBytes(file), old);
}

// --- Closing --------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, CloseAsksOnlyForAModifiedBoard) {
  EXPECT_TRUE(editor->commands().documents.FormClose());
  EXPECT_EQ(host.count("yesNo"), 0);

  board().SavedFlag = false;
  host.yesNoAnswers = {false, true};
  EXPECT_FALSE(editor->commands().documents.FormClose());
  EXPECT_TRUE(editor->commands().documents.FormClose());
  ASSERT_EQ(host.questions.size(), 2u);
  EXPECT_EQ(host.questions[0], kQuit);
  EXPECT_FALSE(board().SavedFlag);  // nothing is saved on the way out
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"projects"}));
}

TEST_F(DocumentCommandsTest, APressOnTheBoardAfterASaveMakesCloseAsk) {
  // In every tool, even Pan, a single press inside the board area marks the board changed.
  for (Tool tool : {Tool::Pan, Tool::CreatePin, Tool::EditText}) {
    SCOPED_TRACE(static_cast<int>(tool));
    editor->selectTool(tool);
    host.clearRecord();
    host.saveFileAnswers = {(dir / "board.kvd").string()};
    editor->commands().documents.SaveAs1Click();
    ASSERT_TRUE(board().SavedFlag);
    EXPECT_TRUE(editor->commands().documents.FormClose());
    EXPECT_EQ(host.count("yesNo"), 0);

    pressAt(396, 296);
    EXPECT_FALSE(board().SavedFlag);
    host.yesNoAnswers = {false};
    EXPECT_FALSE(editor->commands().documents.FormClose());
    EXPECT_EQ(host.count("yesNo"), 1);
  }
}

TEST_F(DocumentCommandsTest, APressOutsideTheBoardAreaLeavesTheBoardSaved) {
  saveAs("board.kvd");
  editor->selectTool(Tool::Pan);
  pressAt(900, 296);  // beyond x 792
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_TRUE(editor->commands().documents.FormClose());
}

TEST_F(DocumentCommandsTest, ViewCommandsAndAFrameChangeAfterASaveDoNotMakeCloseAsk) {
  drawSomething();
  saveAs("board.kvd");
  host.clearRecord();

  editor->commands().viewCommands.ComboBox1Change(4);
  editor->commands().viewCommands.ScrollBar1Scroll(20);
  editor->commands().viewCommands.ScrollBar2Scroll(30);
  editor->commands().viewCommands.GotoCenter1Click();
  editor->commands().viewCommands.BitBtn8Click();
  editor->commands().viewCommands.GridsOn1Click();
  editor->commands().viewCommands.ShowFrame1Click();
  editor->commands().viewCommands.Layer1Click();
  editor->commands().viewCommands.layer2Click();
  editor->commands().viewCommands.layer3Click();
  editor->commands().viewCommands.ComboBox4Change(2);
  host.frameSizeAnswers = {std::make_pair(400, 300)};
  editor->commands().documents.FrameSize1Click();
  editor->commands().documents.Info1Click();

  EXPECT_EQ(board().FrameWidth, 400);
  EXPECT_TRUE(board().SavedFlag);
  EXPECT_TRUE(editor->commands().documents.FormClose());
  EXPECT_EQ(host.count("yesNo"), 0);
}

// --- Frame Size and Information -------------------------------------------------------------

TEST_F(DocumentCommandsTest, FrameSizeOkSetsTheFrameAndCancelLeavesIt) {
  board().SavedFlag = false;
  host.frameSizeAnswers = {std::nullopt, std::make_pair(500, 400)};

  editor->commands().documents.FrameSize1Click();  // Cancel
  EXPECT_EQ(board().FrameWidth, 252);
  EXPECT_EQ(board().FrameHeight, 158);

  editor->commands().documents.FrameSize1Click();  // Ok
  EXPECT_EQ(board().FrameWidth, 500);
  EXPECT_EQ(board().FrameHeight, 400);
  EXPECT_FALSE(board().SavedFlag);

  // Each showing starts from the board's frame, not from what an earlier showing left.
  ASSERT_EQ(host.frameSizeShown.size(), 2u);
  EXPECT_EQ(host.frameSizeShown[0], std::make_pair(252, 158));
  EXPECT_EQ(host.frameSizeShown[1], std::make_pair(252, 158));
}

TEST_F(DocumentCommandsTest, FrameSizeAnswersOutsideTheScrollBarRangesArePulledIn) {
  host.frameSizeAnswers = {std::make_pair(5000, -3), std::make_pair(0, 600)};
  editor->commands().documents.FrameSize1Click();
  EXPECT_EQ(board().FrameWidth, 799);
  EXPECT_EQ(board().FrameHeight, 16);
  editor->commands().documents.FrameSize1Click();
  EXPECT_EQ(board().FrameWidth, 16);
  EXPECT_EQ(board().FrameHeight, 599);
}

TEST_F(DocumentCommandsTest, InformationCountsPinsWiresSegmentsTextsAndObjects) {
  editor->commands().documents.Info1Click();
  ASSERT_EQ(host.informationShown.size(), 1u);
  const InfoCounts& empty = host.informationShown[0];
  EXPECT_EQ(empty.pins + empty.wires + empty.wireSegments + empty.texts + empty.objects, 0);

  // One wire of four points, then the same wire split after its second point.
  Board& b = board();
  const auto start = [](uint16_t x, uint16_t y) {
    return WirePoint{static_cast<uint16_t>(x | WireStartFlag),
                     static_cast<uint16_t>(y | WireStartFlag), kWireStartAttr};
  };
  b.addWirePoint(start(10, 10));
  b.addWirePoint({20, 10, 2});
  b.addWirePoint({30, 10, 2});
  b.addWirePoint({40, 10, 2});
  editor->commands().documents.Info1Click();
  EXPECT_EQ(host.informationShown[1].wires, 1);
  EXPECT_EQ(host.informationShown[1].wireSegments, 3);

  b.WirePointTable[2] = start(30, 10);
  editor->commands().documents.Info1Click();
  EXPECT_EQ(host.informationShown[2].wires, 2);
  EXPECT_EQ(host.informationShown[2].wireSegments, 2);

  drawSomething();
  editor->commands().documents.Info1Click();
  const InfoCounts& all = host.informationShown[3];
  EXPECT_EQ(all.pins, 2);
  EXPECT_EQ(all.wires, 3);
  EXPECT_EQ(all.wireSegments, 4);
  EXPECT_EQ(all.texts, 1);
  EXPECT_EQ(all.objects, 1);
}

}  // namespace
}  // namespace fw

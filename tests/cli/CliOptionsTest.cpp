// ferrowrit-cli's command lines: what one parser says for every command, and an output folder
// that is not there.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

// The first line on standard error of a usage error, with the command's usage after it: how
// a value, a flag, a FILE and "--name=value" are taken, in the messages the commands give.
TEST(CliOptions, UsageErrorsSayWhatIsWrong) {
  TestFolder folder;
  const std::string in = folder.path() + "/b.kvd";
  std::string error;
  ASSERT_TRUE(WriteProjectFile(in, *makeBoard(), error)) << error;
  const std::string png = folder.path() + "/x.png";
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"info", in, in}, "only one FILE is taken"},
      {{"dump", "--verbose", in}, "unknown option --verbose"},
      {{"make-library"}, "DESCRIPTION is missing"},
      {{"make-library", "a.txt", "b.txt", "-o", "out"}, "only one DESCRIPTION is taken"},
      {{"make-library", "a.txt", "--output="}, "-o FOLDER is missing"},
      {{"render", in, "-o", png, "--no-grid=1"}, "--no-grid takes no value"},
      {{"render", in, "--output="}, "bad value for --output: ''"},
      {{"render", in, "-o", png, "--zoom=9"}, "bad value for --zoom: '9'"},
      // A value is the next argument, whatever it looks like; a flag takes none.
      {{"render", "--zoom", "--no-grid", in, "-o", png}, "bad value for --zoom: '--no-grid'"},
      {{"print", "--mirror", in, "--ruler"}, "-o OUT.pdf or OUT.png is missing"},
      {{"print", in, "-o", png, "--layer=2"}, "unknown option --layer=2"},
      {{"print", in, "-o", folder.path() + "/x.gif"}, "OUT must end in .pdf or .png"},
      {{"print", in, "-o", png, "--dpi", "0300x"}, "--dpi takes 180, 300, 360, 600 or 720"},
      {{"check", "--json", in, "--preset"}, "--preset needs a value"},
      {{"gerber", in, in, "-o", folder.path()}, "only one FILE is taken"},
  };
  for (const Case& c : cases) {
    const CliResult r = runCliCaptured(c.args);
    const std::string usage = "Usage: ferrowrit-cli " + c.args[0];
    EXPECT_EQ(r.status, kExitUsage) << c.message;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "ferrowrit-cli: " + c.message + "\n");
    EXPECT_NE(r.err.find(usage), std::string::npos) << c.message;
    EXPECT_EQ(r.out, "") << c.message;
  }
}

// An output that would go into a missing folder is refused before anything is read or drawn,
// with the folder named: no warning about the board, no file written.
TEST(CliOptions, AMissingOutputFolderIsNamed) {
  TestFolder folder;
  const std::string in = folder.path() + "/b.kvd";
  auto board = makeBoard();
  board->addPin({5000, 5000, 3, 0});  // outside the frame: gerber would warn about it
  std::string error;
  ASSERT_TRUE(WriteProjectFile(in, *board, error)) << error;
  const std::string missing = folder.path() + "/no/such";
  const std::vector<std::string> cases[] = {
      {"render", in, "-o", missing + "/x.png"},
      {"print", in, "-o", missing + "/x.pdf"},
      {"print", in, "--dpi", "180", "--output", missing + "/x.png"},
      {"gerber", in, "-o", missing, "--zip"},
  };
  for (const auto& args : cases) {
    const CliResult r = runCliCaptured(args);
    EXPECT_EQ(r.status, kExitFailed) << args[0];
    EXPECT_EQ(r.err, "ferrowrit-cli: the folder " + missing + " does not exist\n");
    EXPECT_EQ(r.out, "") << args[0];
  }
  // Nothing was made beside the board.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
  // A name without a folder goes into the current one, which is there.
  EXPECT_NE(runCliCaptured({"render", folder.path() + "/absent.kvd", "-o", "x.png"})
                .err.find("absent.kvd"),
            std::string::npos);
}

}  // namespace
}  // namespace fw

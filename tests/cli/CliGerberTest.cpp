// ferrowrit-cli gerber: the five files named after the project, and each outcome's status.
#include <gtest/gtest.h>

#include <QFile>

#include "cli/CliRun.h"
#include "fab/Fabrication.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

TEST(CliGerber, WritesTheFiveFilesOrSaysWhyNot) {
  TestFolder folder;
  const std::string in = folder.path() + "/amp.kvd";
  auto b = makeBoard();
  b->addPin({300, 350, 3, 1});
  b->addWirePoint({280 + WireStartFlag, 360 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({320, 360, 0x15});
  std::string error;
  ASSERT_TRUE(WriteProjectFile(in, *b, error)) << error;

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // part of the message on standard error
  };
  const Case cases[] = {
      {{"gerber", in, "-o", folder.path()}, kExitOk, ""},
      {{"gerber", in, "--output", folder.path()}, kExitOk, ""},
      {{"gerber", in}, kExitUsage, "-o DIR is missing"},
      {{"gerber", "-o", folder.path()}, kExitUsage, "FILE is missing"},
      {{"gerber", in, "-o"}, kExitUsage, "-o needs a value"},
      {{"gerber", in, "-o", folder.path(), "--dpi", "300"}, kExitUsage, "unknown option"},
      {{"gerber", folder.path() + "/missing.kvd", "-o", folder.path()}, kExitFailed, ""},
      {{"gerber", in, "-o", folder.path() + "/no/such"}, kExitFailed, "cannot write amp-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const CliResult r = runCliCaptured(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  // The files hold what the editor's export writes for the same board.
  b->CurrentFileName = in;
  for (const FabFile f : kFabFiles) {
    QFile file(QString::fromStdString(folder.path() + "/amp" + fabFileSuffix(f)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << fabFileSuffix(f);
    EXPECT_EQ(file.readAll().toStdString(), fabFileText(*b, f)) << fabFileSuffix(f);
  }
  const CliResult help = runCliCaptured({"gerber", "--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("ferrowrit-cli gerber FILE -o DIR"), std::string::npos);
  EXPECT_NE(runCliCaptured({"--help"}).out.find("gerber FILE -o DIR"), std::string::npos);
}

}  // namespace
}  // namespace fw

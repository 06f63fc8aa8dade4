// ferrowrit-cli gerber: the set named after the project, its options, and each outcome's status.
#include <gtest/gtest.h>

#include <QFile>

#include "cli/CliRun.h"
#include "fab/Fabrication.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

TEST(CliGerber, WritesTheSetOrSaysWhyNot) {
  TestFolder folder;
  const std::string in = folder.path() + "/amp.kvd";
  auto b = makeBoard();
  b->addPin({300, 350, 3, 1});
  b->addPin({310, 350, 1, 0});
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
      {{"gerber", in, "-o", folder.path() + "/no/such"}, kExitFailed, "/no/such does not exist"},
      {{"gerber", in, "-o", folder.path(), "--hole", "1.71=0.8"}, kExitUsage, "unknown pad size"},
      {{"gerber", in, "-o", folder.path(), "--hole", "1.70=x"}, kExitUsage, "not a length"},
      {{"gerber", in, "-o", folder.path(), "--hole"}, kExitUsage, "--hole needs a value"},
      {{"gerber", in, "-o", folder.path(), "--mask-expansion", "1.5"}, kExitUsage, "0 to 1"},
      {{"gerber", in, "-o", folder.path(), "--mask-expansion", "-0.1"}, kExitUsage, "0 to 1"},
      // 1.5 mm leaves 0.09 mm on the 1.70 mm pads: refused, though the option is well formed.
      {{"gerber", in, "-o", folder.path(), "--hole", "1.70=1.5"},
       kExitFailed,
       "ferrowrit-cli: the 1.5 mm hole leaves a 0.09 mm ring on 1.70 mm pads"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const CliResult r = runCliCaptured(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  // The files hold what the export writes for the same board and options; copper outside the
  // frame is a warning, and the set is written all the same.
  b->addPin({600, 350, 3, 1});
  ASSERT_TRUE(WriteProjectFile(in, *b, error)) << error;
  const CliResult r =
      runCliCaptured({"gerber", in, "-o", folder.path(), "--hole", "2.54=0.9", "--hole", "1.7=0.75",
                      "--mask-expansion", "0.1", "--protel", "--zip"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "ferrowrit-cli: warning: 1 pad lies outside the frame\n");
  FabOptions options;
  options.holeUm[3] = 900;
  options.holeUm[1] = 750;
  options.maskExpansionUm = 100;
  for (const FabFile f : kFabFiles) {
    const std::string name = fabFileName("amp", f, true);
    QFile file(QString::fromStdString(folder.path() + "/" + name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    EXPECT_EQ(file.readAll().toStdString(), fabFileText(*b, f, options)) << name;
  }
  EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.path() + "/amp-gerber.zip")));
  const CliResult help = runCliCaptured({"gerber", "--help"});
  EXPECT_EQ(help.status, kExitOk);
  for (const char* part : {"ferrowrit-cli gerber FILE -o DIR", "NAME-mask-top.gbr", "NAME.gbrjob",
                           "--hole PAD=MM", "--mask-expansion MM", "--protel", "--zip"})
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  EXPECT_NE(runCliCaptured({"--help"}).out.find("gerber FILE -o DIR"), std::string::npos);
}

}  // namespace
}  // namespace fw

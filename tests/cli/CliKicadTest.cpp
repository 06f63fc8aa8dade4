#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/CliRun.h"
#include "files/ObjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

class CliKicad : public ::testing::Test {
 protected:
  // A footprint of `count` pads in a row at `pitch` mm (none: SMD pads only).
  std::string write(const std::string& dir, const std::string& name, int count, double pitch) {
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/" + name + ".kicad_mod";
    std::ofstream file(path);
    file << "(footprint \"" << name << "\" (pad \"0\" smd rect (at 0 -3) (size 1 1))\n";
    for (int i = 0; i < count; ++i)
      file << "(pad \"" << i + 1 << "\" thru_hole circle (at " << i * pitch
           << " 0) (size 1.7 1.7))\n";
    file << ")\n";
    return path;
  }
  TestFolder folder;
};

TEST_F(CliKicad, OneFootprintBecomesAnObjectFileAndRoundingNeedsAccepting) {
  const std::string out = folder.path() + "/out.kvo";
  const std::string header = write(folder.path(), "Header", 3, 2.54);
  CliResult r = runCliCaptured({"import-kicad", header, "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Header: 3 pins, 1 SMD pads skipped, largest rounding error 0.000 mm\n");
  ObjectData object;
  std::string error;
  ASSERT_TRUE(ReadObjectFile(out, object, error)) << error;
  EXPECT_EQ(object.pins.size(), 3u);

  const std::string metric = write(folder.path(), "Metric", 20, 2.5);
  r = runCliCaptured({"import-kicad", metric, "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("more than 0.2 mm; accept the rounding"), std::string::npos) << r.err;
  ASSERT_TRUE(ReadObjectFile(out, object, error));
  EXPECT_EQ(object.pins.size(), 3u);  // the earlier file is left as it was
  r = runCliCaptured({"import-kicad", metric, "--accept-rounding", "--output=" + out});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(ReadObjectFile(out, object, error));
  EXPECT_EQ(object.pins.size(), 20u);

  EXPECT_EQ(runCliCaptured({"import-kicad", header}).status, 2);
  EXPECT_EQ(runCliCaptured({"import-kicad", header, "-o", folder.path() + "/no/x.kvo"}).status, 1);
}

TEST_F(CliKicad, ALibraryFolderGivesOneFilePerFootprintAndASummary) {
  const std::string lib = folder.path() + "/Parts.pretty", out = folder.path() + "/objects";
  write(lib, "A_Header", 4, 2.54);
  write(lib, "B_Metric", 20, 2.5);
  write(lib, "C_Smd", 0, 1);
  write(lib, "D_Pitch5", 2, 5.0);
  CliResult r = runCliCaptured({"import-kicad", lib, "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("refused B_Metric: rounding"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("refused C_Smd: no through-hole pad (1 SMD pads skipped)"),
            std::string::npos);
  EXPECT_NE(r.out.find("imported 2, refused 2, SMD pads skipped 2, largest rounding error 0.04"),
            std::string::npos)
      << r.out;
  EXPECT_TRUE(std::filesystem::exists(out + "/A_Header.kvo"));
  EXPECT_TRUE(std::filesystem::exists(out + "/D_Pitch5.kvo"));
  EXPECT_FALSE(std::filesystem::exists(out + "/B_Metric.kvo"));

  r = runCliCaptured({"import-kicad", lib, "-o", out, "--accept-rounding"});
  EXPECT_NE(r.out.find("imported 3, refused 1"), std::string::npos) << r.out;
  std::filesystem::remove_all(lib);
  write(lib, "C_Smd", 0, 1);
  EXPECT_EQ(runCliCaptured({"import-kicad", lib, "-o", out}).status, 1);
}

}  // namespace
}  // namespace fw

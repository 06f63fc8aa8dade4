// File > Import KiCad Footprint...: the footprint is imported and placed as a loaded object is.
#include <filesystem>
#include <fstream>

#include "EditorScenario.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

class KicadImportTest : public EditorScenario {
 protected:
  std::string write(const std::string& name, const std::string& pads) {
    const std::string path = folder.path() + "/" + name;
    std::ofstream(path) << "(footprint \"" << name << "\" (descr \"two pads\")\n" << pads << ")\n";
    return path;
  }
  void import(const std::string& path) {
    host.openFileAnswers.push_back(path);
    ed.tools().objectPlacement.ImportKicadFootprint1Click();
    ed.FormPaint();
  }
  TestFolder folder;
};

TEST_F(KicadImportTest, ImportedFootprintIsPlacedCopyAfterCopyWithoutItsFile) {
  const std::string path = write("Two.kicad_mod",
                                 "(pad \"1\" thru_hole circle (at 0 0) (size 1.7 1.7))"
                                 "(pad \"2\" thru_hole oval (at 2.54 0) (size 1.7 2.5))");
  import(path);
  EXPECT_EQ(controls().tool, Tool::EditObject);
  EXPECT_TRUE(state().Placing);
  EXPECT_TRUE(host.errors.empty());
  std::filesystem::remove(path);  // every copy comes from the import, not from the file
  clickAt(300, 200);
  clickAt(340, 200);
  EXPECT_EQ(board().ObjectCount, 2);
  ASSERT_EQ(board().PinCount, 4);
  EXPECT_EQ(board().PinTable[2].x, 340);
  EXPECT_EQ(board().PinTable[3].x, 344);
  EXPECT_EQ(board().PinTable[3].style, 2);
  EXPECT_EQ(board().ObjectDescriptions[1].str(), "Two.kicad_mod: two pads");
  EXPECT_TRUE(state().Placing);
}

TEST_F(KicadImportTest, RoundingIsAskedAboutAndOtherRefusalsAreErrors) {
  std::string metric;
  for (int i = 0; i < 20; ++i)
    metric += "(pad \"" + std::to_string(i + 1) + "\" thru_hole circle (at 0 " +
              std::to_string(i * 2.5) + ") (size 1.7 1.7))";
  const std::string rounding = write("Metric.kicad_mod", metric);
  host.yesNoAnswers = {false, true};
  import(rounding);
  EXPECT_FALSE(state().Placing);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_NE(host.questions[0].find("Import it all the same?"), std::string::npos);
  ASSERT_EQ(host.errors.size(), 1u);
  import(rounding);
  EXPECT_TRUE(state().Placing);
  EXPECT_EQ(host.errors.size(), 1u);

  import(write("Smd.kicad_mod", "(pad \"1\" smd rect (at 0 0) (size 1 1))"));
  EXPECT_FALSE(state().Placing);
  ASSERT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(host.errors[1].rfind("KiCad footprint not imported.\nno through-hole pad", 0), 0u);
  EXPECT_EQ(host.questions.size(), 2u);
}

}  // namespace
}  // namespace fw

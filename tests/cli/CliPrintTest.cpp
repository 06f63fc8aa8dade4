// ferrowrit-cli print: the options, the page image and the vector PDF of the same artwork.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

int run(const std::vector<std::string>& args) {
  return runCliCaptured(args).status;
}

class CliPrint : public ::testing::Test {
 protected:
  CliPrint() {
    auto b = makeBoard();
    for (int i = 0; i < 8; ++i)
      b->addPin({static_cast<uint16_t>(100 + 8 * i), 100, 3, static_cast<uint8_t>(i % 3)});
    b->addWirePoint({100 + WireStartFlag, 100 + WireStartFlag, kWireStartAttr});
    b->addWirePoint({156, 130, 0x05});
    TextItem t;
    t.text.set("OUT");
    t.size = 30;
    t.x = 120;
    t.y = 140;
    b->addText(t);
    std::string error;
    EXPECT_TRUE(WriteProjectFile(path("board.kvd"), *b, error)) << error;
  }
  std::string path(const std::string& name) const { return folder.path() + "/" + name; }
  TestFolder folder;
};

TEST_F(CliPrint, OptionsAreCheckedAndEachOutcomeHasItsStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const std::string in = path("board.kvd");
  const Case cases[] = {
      {{"print", in, "-o", path("a.png")}, kExitOk},
      {{"print", in, "-o", path("a.png"), "--layer", "pins", "--dpi", "180", "--scale", "250",
        "--mirror", "--negative", "--ruler", "--page", "Letter"},
       kExitOk},
      {{"print", in, "-o", path("a.gif")}, kExitUsage},
      {{"print", in, "-o", path("a.png"), "--dpi", "200"}, kExitUsage},
      {{"print", in, "-o", path("a.png"), "--scale", "9"}, kExitUsage},
      {{"print", in, "-o", path("a.png"), "--layer", "3"}, kExitUsage},
      {{"print", path("missing.kvd"), "-o", path("a.png")}, kExitFailed},
      {{"print", in, "-o", path("no/such/folder/a.png")}, kExitFailed},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.args), c.status) << c.args.back();
  // The frame's right corners lie beyond an A4 page: the print is made as far as it fits, with
  // a warning that says how much the page cuts off.
  EXPECT_EQ(runCliCaptured({"print", in, "-o", path("f.png")}).err, "");
  const CliResult cut = runCliCaptured({"print", in, "-o", path("f.png"), "--frame-marks"});
  EXPECT_EQ(cut.status, kExitOk);
  EXPECT_NE(cut.err.find("mm past the right edge of the printable area"), std::string::npos)
      << cut.err;
  const QImage letter(QString::fromStdString(path("a.png")));
  EXPECT_EQ(letter.size(), QSize(1530, 1980));  // Letter at 180 dpi, one pixel a dot
}

// The page image carries its resolution, so that it prints at its true size; frame marks add
// ink at the frame's corners.
TEST_F(CliPrint, ThePageImageKeepsItsResolutionAndTakesFrameMarks) {
  for (const int dpi : {180, 300}) {
    const std::string out = path("p" + std::to_string(dpi) + ".png");
    ASSERT_EQ(run({"print", path("board.kvd"), "-o", out, "--dpi", std::to_string(dpi)}), kExitOk);
    const QImage img(QString::fromStdString(out));
    EXPECT_EQ(img.dotsPerMeterX(), qRound(dpi / 0.0254)) << dpi;
    EXPECT_EQ(img.dotsPerMeterY(), qRound(dpi / 0.0254)) << dpi;
  }
  ASSERT_EQ(run({"print", path("board.kvd"), "-o", path("m.png"), "--dpi", "300", "--frame-marks"}),
            kExitOk);
  auto ink = [](const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 128;
    return n;
  };
  // Strokes of about 3 by 0.2 mm, some 35 by 2 dots at 300 dpi: the four at the frame's left
  // corners; the frame's right edge lies beyond the page.
  const int marks = ink(QImage(QString::fromStdString(path("m.png")))) -
                    ink(QImage(QString::fromStdString(path("p300.png"))));
  EXPECT_GE(marks, 4 * 30 * 2);
  EXPECT_LT(marks, 8 * 40 * 4);
}

// The PDF holds vector shapes only; a PDF reader's raster of it matches the page image but for
// the edges that it smooths.
TEST_F(CliPrint, ThePdfIsVectorArtworkThatMatchesThePageImage) {
  ASSERT_EQ(run({"print", path("board.kvd"), "-o", path("a.png"), "--dpi", "360"}), kExitOk);
  ASSERT_EQ(run({"print", path("board.kvd"), "-o", path("a.pdf"), "--dpi", "360"}), kExitOk);
  std::ifstream pdf(path("a.pdf"), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(pdf), std::istreambuf_iterator<char>()};
  EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
  EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);

  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  const std::string cmd =
      "pdftoppm -r 360 -png -singlefile '" + path("a.pdf") + "' '" + path("fromPdf") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const QImage png(QString::fromStdString(path("a.png")));
  const QImage raster(QString::fromStdString(path("fromPdf.png")));
  ASSERT_FALSE(raster.isNull());
  int black = 0, differ = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 500; ++x) {
      const bool a = qGray(png.pixel(x, y)) < 128;
      const bool b = qGray(raster.pixel(x, y)) < 128;
      black += a;
      differ += a != b;
    }
  EXPECT_GT(black, 5000);
  EXPECT_LT(differ, black / 10);
}

}  // namespace
}  // namespace fw

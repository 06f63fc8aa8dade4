// The whole set as an export writes it: names, job file, zip, the refused holes and the
// warnings of copper outside the frame.
#include <gtest/gtest.h>
#include <zip.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "fab/FabSet.h"
#include "fab/Fabrication.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

std::string readFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

// Every file in the zip by name, read back with libzip; a file whose CRC is wrong is left out.
std::map<std::string, std::string> unzip(const std::string& path) {
  std::map<std::string, std::string> files;
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return files;
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t st;
    zip_file_t* f = zip_fopen_index(archive, zip_uint64_t(i), 0);
    if (f == nullptr || zip_stat_index(archive, zip_uint64_t(i), 0, &st) != 0) break;
    std::string bytes(std::size_t(st.size), '\0');
    // libzip checks the CRC when a read finds the end, so one more read must find it.
    char more = 0;
    if (zip_fread(f, bytes.data(), st.size) == zip_int64_t(st.size) && zip_fread(f, &more, 1) == 0)
      files[st.name] = bytes;
    zip_fclose(f);
  }
  zip_close(archive);
  return files;
}

// Whether `unzip -t` finds every file of the archive whole; true when unzip is not installed.
bool unzipTestPasses(const std::string& path) {
  if (std::system("command -v unzip >/dev/null 2>&1") != 0) return true;
  return std::system(("unzip -tqq '" + path + "' >/dev/null 2>&1").c_str()) == 0;
}

Pin pin(int x, int y, int sizeIndex, int style) {
  return {uint16_t(x), uint16_t(y), uint8_t(sizeIndex), uint8_t(style)};
}

TEST(FabSet, WritesTheSetUnderItsNamesWithTheJobFileAndTheZip) {
  auto b = makeBoard();
  b->addPin(pin(300, 350, 3, 0));
  struct Case {
    bool protel, zip;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {false,
       false,
       {"amp-layer1.gbr", "amp-layer2.gbr", "amp-graphic.gbr", "amp-mask-top.gbr",
        "amp-mask-bottom.gbr", "amp-outline.gbr", "amp.drl", "amp.gbrjob"}},
      {true,
       true,
       {"amp.GTL", "amp.GBL", "amp.GTO", "amp.GTS", "amp.GBS", "amp.GKO", "amp.XLN", "amp.gbrjob",
        "amp-gerber.zip"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names.front());
    TestFolder folder;
    FabOptions options;
    options.protel = c.protel;
    options.zip = c.zip;
    FabReport report;
    ASSERT_TRUE(writeFabSet(*b, folder.path(), "amp", options, report)) << report.error;
    EXPECT_EQ(report.files, c.names);
    EXPECT_TRUE(report.warnings.empty());
    for (std::size_t i = 0; i < std::size(kFabFiles); ++i)
      EXPECT_EQ(readFile(folder.path() + "/" + c.names[i]), fabFileText(*b, kFabFiles[i]))
          << c.names[i];

    // The job file lists every file by the name it was written under, with its function and
    // polarity, and the frame's size in millimetres (252 x 158 units of 0.635 mm).
    const std::string job = readFile(folder.path() + "/amp.gbrjob");
    QJsonParseError parsed;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(job), &parsed).object();
    ASSERT_EQ(parsed.error, QJsonParseError::NoError) << job;
    EXPECT_EQ(o["Header"]["GenerationSoftware"]["Application"].toString(), "Ferrowrit");
    EXPECT_FALSE(o["Header"]["CreationDate"].toString().isEmpty());
    EXPECT_DOUBLE_EQ(o["GeneralSpecs"]["Size"]["X"].toDouble(), 160.02);
    EXPECT_DOUBLE_EQ(o["GeneralSpecs"]["Size"]["Y"].toDouble(), 100.33);
    EXPECT_EQ(o["GeneralSpecs"]["LayerNumber"].toInt(), 2);
    const QJsonArray files = o["FilesAttributes"].toArray();
    ASSERT_EQ(files.size(), qsizetype(std::size(kFabFiles)));
    for (std::size_t i = 0; i < std::size(kFabFiles); ++i) {
      const QJsonObject f = files[qsizetype(i)].toObject();
      EXPECT_EQ(f["Path"].toString().toStdString(), c.names[i]);
      EXPECT_EQ(f["FileFunction"].toString().toStdString(), fabFileFunction(kFabFiles[i]));
      EXPECT_EQ(f["FilePolarity"].toString().toStdString(), fabFilePolarity(kFabFiles[i]));
    }
    EXPECT_EQ(o["FilesAttributes"][0]["FileFunction"].toString(), "Copper,L1,Top");

    // The zip holds every file of the set byte for byte, the job file too.
    if (!c.zip) continue;
    const auto zipped = unzip(folder.path() + "/amp-gerber.zip");
    EXPECT_TRUE(unzipTestPasses(folder.path() + "/amp-gerber.zip"));
    EXPECT_EQ(zipped.size(), c.names.size() - 1);
    for (std::size_t i = 0; i + 1 < c.names.size(); ++i) {
      const auto it = zipped.find(c.names[i]);
      ASSERT_NE(it, zipped.end()) << c.names[i];
      EXPECT_EQ(it->second, readFile(folder.path() + "/" + c.names[i])) << c.names[i];
    }
  }
  TestFolder folder;
  FabReport report;
  EXPECT_FALSE(writeFabSet(*b, folder.path() + "/missing", "amp", {}, report));
  EXPECT_NE(report.error.find("cannot write amp-layer1.gbr: "), std::string::npos) << report.error;
  EXPECT_EQ(fabBaseName(""), "board");
  EXPECT_EQ(fabBaseName("/work/projects/amp.kvd"), "amp");
}

// The zip's files come back byte for byte whatever their sizes and however their bytes were
// given: none, fewer than a deflated piece, a piece to the byte and one more, many pieces given
// in odd lengths, and bytes whose counts make codes deflate does not allow (Fibonacci counts
// with the end of the block counted once give a tree 21 deep).
TEST(FabSet, TheZipHoldsEveryFileWholeWhateverItsSize) {
  constexpr std::size_t kPiece = 1 << 20;
  std::string gerber;
  for (uint32_t r = 1; gerber.size() < 3 * kPiece + 12345;) {
    r = r * 1103515245u + 12345u;
    gerber +=
        'X' + std::to_string(r % 160000000) + 'Y' + std::to_string(r / 27 % 100000000) + "D01*\n";
  }
  std::string skewed;
  for (uint64_t a = 1, b = 2, c = 0; c < 22; ++c, b += a, a = b - a)
    skewed.append(std::size_t(a), char(0x80 + c));
  const std::vector<std::pair<std::string, std::string>> files = {
      {"empty.gbr", ""},
      {"one.gbr", "M"},
      {"piece.gbr", gerber.substr(0, kPiece)},
      {"more.gbr", gerber.substr(0, kPiece + 1)},
      {"many.gbr", gerber},
      {"skewed.bin", skewed},
      {"after.gbr", "G04 the last*\n"},
  };
  FabZipper zipper;
  for (const auto& [name, bytes] : files) {
    zipper.begin(name);
    for (std::size_t at = 0, step = 1; at < bytes.size(); at += step, step = step * 7 + 3)
      zipper.add(std::string_view(bytes).substr(at, step));
  }
  std::string zip, error;
  const auto keep = [&zip](std::string_view piece) {
    zip += piece;
    return true;
  };
  ASSERT_TRUE(zipper.finish(keep, error)) << error;
  TestFolder folder;
  const std::string path = folder.path() + "/set.zip";
  std::ofstream(path, std::ios::binary).write(zip.data(), std::streamsize(zip.size()));
  const auto zipped = unzip(path);
  ASSERT_EQ(zipped.size(), files.size());
  for (const auto& [name, bytes] : files) {
    const auto it = zipped.find(name);
    ASSERT_NE(it, zipped.end()) << name;
    EXPECT_TRUE(it->second == bytes) << name << ": " << it->second.size() << " bytes back";
  }
  EXPECT_TRUE(unzipTestPasses(path));
  // Deflated: Gerber text to little more than half its size.
  std::size_t total = 0;
  for (const auto& file : files) total += file.second.size();
  EXPECT_LT(zip.size(), total * 6 / 10);
}

// The holes and the mask expansion an export refuses, for the pad sizes the board uses only;
// a refused export writes nothing.
TEST(FabSet, RefusesAHoleThatLeavesTooThinARing) {
  struct Case {
    std::vector<Pin> pins;
    int row, holeUm, maskUm;
    std::string error;
  };
  const std::string need = "; at least 0.15 mm is needed";
  std::vector<Pin> everySize;
  for (int row = 0; row < kFabPadRows; ++row) everySize.push_back(pin(300 + 10 * row, 300, row, 1));
  const Case cases[] = {
      {everySize, 0, 700, 50, ""},  // the default table leaves enough ring on every size
      {{pin(300, 300, 0, 0)},
       0,
       1000,
       50,
       "the 1.0 mm hole leaves a 0.13 mm ring on 1.27 mm pads" + need},
      {{pin(300, 300, 0, 2)},
       0,
       980,
       50,
       "the 0.98 mm hole leaves a 0.14 mm ring on 1.27 mm pads" + need},
      {{pin(300, 300, 0, 0)}, 0, 970, 50, ""},                // exactly 0.15 mm
      {{pin(300, 300, 1, 0)}, 0, 1000, 50, ""},               // no 1.27 mm pad on the board
      {{pin(300, 300, 0, GraphicPinFlag)}, 0, 1000, 50, ""},  // a graphic pin has no hole
      {everySize, 1, 2000, 50, "the 2.0 mm hole leaves no ring on 1.70 mm pads" + need},
      {everySize, 11, 13300, 50, "the 13.3 mm hole leaves a 0.12 mm ring on 13.55 mm pads" + need},
      {everySize, 0, 700, 1001, "the mask expansion must be from 0 to 1 mm"},
      {everySize, 0, 700, 1000, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + ": " + std::to_string(c.holeUm));
    auto b = makeBoard();
    for (const Pin& p : c.pins) b->addPin(p);
    FabOptions options;
    options.holeUm[std::size_t(c.row)] = c.holeUm;
    options.maskExpansionUm = c.maskUm;
    EXPECT_EQ(fabOptionsProblem(*b, options), c.error);
    TestFolder folder;
    FabReport report;
    EXPECT_EQ(writeFabSet(*b, folder.path(), "amp", options, report), c.error.empty());
    EXPECT_EQ(report.error, c.error);
    EXPECT_EQ(std::filesystem::is_empty(folder.path()), !c.error.empty());
  }
}

// The pad sizes by row as the dialog and the command line name them, and "PAD=HOLE".
TEST(FabSet, PadSizesAndHolesAreReadAsTheUserWritesThem) {
  const std::vector<std::string> labels = {"1.27", "1.70", "1.90", "2.54", "2.90", "3.17",
                                           "3.96", "5.08", "6.35", "7.62", "9.81", "13.55"};
  for (int row = 0; row < kFabPadRows; ++row)
    EXPECT_EQ(fabPadSizeLabel(row), labels[std::size_t(row)]);
  struct Case {
    std::string text;
    int row, holeUm;  // row -1: refused
  };
  const Case cases[] = {
      {"1.70=0.8", 1, 800}, {"1.7=.85", 1, 850}, {"13.55=4", 11, 4000}, {"1.27=0.7", 0, 700},
      {"1.71=0.8", -1, 0},  {"1.70=", -1, 0},    {"1.70=abc", -1, 0},   {"1.70=-1", -1, 0},
      {"1.70=0", -1, 0},    {"=0.8", -1, 0},     {"1.70", -1, 0},       {"1.70=0.8mm", -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int row = -1, holeUm = 0;
    std::string error;
    EXPECT_EQ(parseFabHole(c.text, row, holeUm, error), c.row >= 0) << error;
    if (c.row < 0) {
      EXPECT_NE(error.find(c.text), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(holeUm, c.holeUm);
  }
}

// Copper beyond the frame, which a board house would cut off, is written but told: pads and
// tracks by their copper, copper texts by their centre, the graphic layer never. The frame
// spans 270..522 by 217..375.
TEST(FabSet, CopperOutsideTheFrameIsWrittenWithAWarning) {
  struct Case {
    std::vector<Pin> pins;
    std::vector<WirePoint> points;
    std::vector<std::pair<int, int>> texts;  // layer, y
    std::string warning;
  };
  const uint16_t s = WireStartFlag;
  const Case cases[] = {
      {{pin(272, 300, 0, 0), pin(520, 219, 0, 0)}, {}, {{0, 375}}, ""},
      {{pin(271, 300, 0, 1)}, {}, {}, "1 pad lies outside the frame"},
      {{pin(200, 300, 3, 0), pin(300, 376, 0, 2), pin(300, 300, 3, GraphicPinFlag)},
       {{uint16_t(300 + s), uint16_t(380 + s), kWireStartAttr},
        {300, 300, 0x13},
        {300, 216, 0x03},
        {uint16_t(530 + s), uint16_t(300 + s), kWireStartAttr},
        {540, 300, 0x23}},
       {{2, 100}},
       "2 pads and 2 track segments lie outside the frame"},
      {{pin(523, 300, 9, 0)},
       {},
       {{0, 380}, {1, 100}},
       "1 pad and 2 copper texts lie outside the frame"},
      {{},
       {{uint16_t(300 + s), uint16_t(374 + s), kWireStartAttr}, {300, 374, 0x06}},
       {{1, 376}},
       "1 track segment and 1 copper text lie outside the frame"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.warning);
    auto b = makeBoard();
    for (const Pin& p : c.pins) b->addPin(p);
    for (const WirePoint& w : c.points) b->addWirePoint(w);
    for (const auto& [layer, y] : c.texts) {
      TextItem t;
      t.text.set("T");
      t.size = 10;
      t.x = uint16_t(4096 * layer + 300);
      t.y = uint16_t(y);
      b->addText(t);
    }
    TestFolder folder;
    FabReport report;
    ASSERT_TRUE(writeFabSet(*b, folder.path(), "amp", {}, report)) << report.error;
    EXPECT_EQ(report.warnings,
              c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.warning});
  }
}

}  // namespace
}  // namespace fw

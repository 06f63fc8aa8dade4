#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <random>
#include <sstream>

#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "files/ObjectFile.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

using Result = CliResult;

Result run(const std::vector<std::string>& args) {
  return runCliCaptured(args);
}

// Texts stay below 32 characters, so that a project file holding the same rows keeps them whole.
ObjectData randomObject(uint32_t seed) {
  std::mt19937 rng(seed);
  auto u16 = [&] { return static_cast<uint16_t>(rng()); };
  ObjectData o;
  for (int i = 0; i < 6; ++i) o.pins.push_back({u16(), u16(), uint8_t(rng()), uint8_t(rng())});
  for (int i = 0; i < 9; ++i) o.points.push_back({u16(), u16(), uint8_t(rng())});
  for (int i = 0; i < 4; ++i) {
    TextItem t;
    std::string s(1 + rng() % 31, ' ');
    for (char& c : s) c = static_cast<char>(rng());
    t.text.set(s);
    t.size = uint8_t(rng());
    t.x = u16();
    t.y = u16();
    o.texts.push_back(t);
  }
  o.description.set("Random \xe9 \"object\"");
  return o;
}

QString latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

class CliObject : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return folder.path() + "/" + name; }
  TestFolder folder;
};

TEST_F(CliObject, InfoAndDumpReadObjectFilesByTheirExtension) {
  const ObjectData o = randomObject(3);
  std::string error;
  for (const char* name : {"a.kvo", "b.KVO"}) ASSERT_TRUE(WriteObjectFile(path(name), o, error));

  const std::string info =
      "Pins: 6\nWire Points: 9\nTextStrings: 4\nDescription: Random \xe9 \"object\"\n";
  EXPECT_EQ(run({"info", path("a.kvo")}).out, info);
  EXPECT_EQ(run({"info", path("b.KVO")}).out, info);

  // The tables come out exactly as the project dump, checked field by field elsewhere, shows
  // the same rows.
  auto dump = [](const std::string& file) {
    const Result r = run({"dump", file});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    QJsonParseError parseError{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &parseError);
    EXPECT_EQ(parseError.error, QJsonParseError::NoError) << r.out;
    return doc.object();
  };
  auto b = makeBoard();
  for (const Pin& p : o.pins) b->addPin(p);
  for (const WirePoint& p : o.points) b->addWirePoint(p);
  for (const TextItem& t : o.texts) b->addText(t);
  ASSERT_TRUE(WriteProjectFile(path("same.kvd"), *b, error));
  const QJsonObject json = dump(path("a.kvo")), project = dump(path("same.kvd"));
  EXPECT_EQ(json.keys(), (QStringList{"description", "pins", "texts", "wirePoints"}));
  EXPECT_EQ(json["description"].toString(), latin1(o.description.str()));
  EXPECT_EQ(json["pins"].toArray().size(), 6);
  for (const char* table : {"pins", "wirePoints", "texts"})
    EXPECT_EQ(json[table], project[table]) << table;
}

TEST_F(CliObject, DamagedObjectFilesExitOneWithOneLine) {
  std::vector<uint8_t> bytes = serializeObjectFile(randomObject(4));
  bytes.pop_back();
  FILE* f = fopen(path("cut.kvo").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
  for (const char* command : {"info", "dump"}) {
    const Result r = run({command, path("cut.kvo")});
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ferrowrit-cli: " + path("cut.kvo") +
                         ": the file ends inside the description (" + std::to_string(bytes.size()) +
                         " bytes)\n");
  }
}

// An object file is drawn as the same material would be drawn loose on an empty board.
TEST_F(CliObject, RenderDrawsAnObjectWhereItWasSaved) {
  auto b = makeBoard();
  b->addPin({380, 280, 3, 0});
  b->addPin({412, 280, 9, GraphicPinFlag});
  b->addWirePoint({380 + WireStartFlag, 300 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({420, 300, 0x25});
  TextItem t;
  t.text.set("U1");
  t.size = 20;
  t.x = 2 * 4096 + 396;
  t.y = 260;
  b->addText(t);
  std::string error;
  ASSERT_TRUE(WriteObjectFile(path("o.kvo"), *b, "drawn", error));
  ASSERT_TRUE(WriteProjectFile(path("p.kvd"), *b, error));
  for (const char* file : {"o.kvo", "p.kvd"})
    ASSERT_EQ(run({"render", path(file), "-o", path(file) + ".png"}).status, kExitOk);
  const QImage fromObject(QString::fromStdString(path("o.kvo.png")));
  EXPECT_FALSE(fromObject.isNull());
  EXPECT_TRUE(fromObject == QImage(QString::fromStdString(path("p.kvd.png"))));
}

TEST_F(CliObject, MakeLibraryUsageAndFaults) {
  EXPECT_EQ(run({"make-library", "--help"}).out.rfind("Usage: ferrowrit-cli make-library", 0), 0u);
  EXPECT_NE(run({"--help"}).out.find("make-library"), std::string::npos);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"make-library"},
           {"make-library", "a.txt"},
           {"make-library", "-o", path("out")},
           {"make-library", "a.txt", "b.txt", "-o", path("out")},
           {"make-library", "a.txt", "-o"},
           {"make-library", "a.txt", "-o", path("out"), "--force"}}) {
    const Result r = run(args);
    EXPECT_EQ(r.status, kExitUsage) << args.size();
    EXPECT_NE(r.err.find("Usage: ferrowrit-cli make-library"), std::string::npos);
  }

  FILE* f = fopen(path("bad.txt").c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("object a.kvo\ndescription A\npad 0 0 2 circle\nend\nobject b.kvo\npad 0 0 x circle\n", f);
  fclose(f);
  const Result r = run({"make-library", path("bad.txt"), "-o", path("out")});
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_EQ(r.err.rfind("ferrowrit-cli: " + path("bad.txt") + ":6: a pad size", 0), 0u) << r.err;
  EXPECT_FALSE(std::filesystem::exists(path("out"))) << "nothing is written from a fault";
  EXPECT_EQ(run({"make-library", path("absent.txt"), "-o", path("out")}).status, kExitFailed);
}

// The starter library as the build makes it: the footprints a hobbyist needs, each with its
// pads on the 2.54 mm grid where the object load puts its origin, and all of it on the board.
TEST_F(CliObject, StarterLibraryHoldsTheCommonFootprints) {
  // From the build, not from __FILE__, which a compiler cache may make relative.
  const Result made = run({"make-library", FW_STARTER_LIBRARY, "-o", path("objects")});
  ASSERT_EQ(made.status, kExitOk) << made.err;

  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(path("objects"))) {
    ++files;
    const std::string name = entry.path().filename().string();
    ObjectData o;
    std::string error;
    ASSERT_TRUE(ReadObjectFile(entry.path().string(), o, error)) << error;
    EXPECT_GT(o.description.length, 0) << name;
    ASSERT_FALSE(o.pins.empty()) << name;
    uint16_t ox = 30000, oy = 30000;
    for (const Pin& p : o.pins) ox = std::min(ox, p.x), oy = std::min(oy, p.y);
    auto onBoard = [](int x, int y) { return x <= 792 && y <= 592; };
    for (const Pin& p : o.pins) {
      EXPECT_TRUE(onBoard(p.x, p.y)) << name;
      EXPECT_TRUE(isGraphicPin(p) || ((p.x - ox) % 4 == 0 && (p.y - oy) % 4 == 0)) << name;
    }
    for (const WirePoint& p : o.points)
      EXPECT_TRUE(onBoard(p.x & kPositionMask, p.y & kPositionMask)) << name;
    EXPECT_TRUE(o.points.empty() || isWireStart(o.points[0])) << name;
    for (const TextItem& t : o.texts) EXPECT_TRUE(onBoard(textX(t), t.y) && t.x < 3 * 4096) << name;
  }
  EXPECT_GE(files, 30);

  // File, pads, description, and the box around the pads in board units (4 = 2.54 mm).
  const struct {
    const char* file;
    int pads;
    const char* description;
    int width, height;
  } needed[] = {
      {"dil8_300", 8, "DIL8 0.3in", 12, 12},
      {"dil14_300", 14, "DIL14 0.3in", 12, 24},
      {"dil16_300", 16, "DIL16 0.3in", 12, 28},
      {"dil18_300", 18, "DIL18 0.3in", 12, 32},
      {"dil20_300", 20, "DIL20 0.3in", 12, 36},
      {"dil24_300", 24, "DIL24 0.3in", 12, 44},
      {"dil28_300", 28, "DIL28 0.3in", 12, 52},
      {"dil24_600", 24, "DIL24 0.6in", 24, 44},
      {"dil28_600", 28, "DIL28 0.6in", 24, 52},
      {"header_2x5", 10, "Header 2x5 2.54mm", 16, 4},
      {"to92", 3, "TO-92 standing", 8, 0},
      {"to220_standing", 3, "TO-220 standing", 8, 0},
      {"resistor_762", 2, "Resistor axial 7.62mm", 12, 0},
      {"resistor_1016", 2, "Resistor axial 10.16mm", 16, 0},
      {"resistor_1270", 2, "Resistor axial 12.7mm", 20, 0},
      {"diode_762", 2, "Diode axial 7.62mm", 12, 0},
      {"diode_1016", 2, "Diode axial 10.16mm", 16, 0},
      {"diode_1270", 2, "Diode axial 12.7mm", 20, 0},
      {"cap_radial_254", 2, "Capacitor radial 2.54mm", 4, 0},
      {"cap_radial_508", 2, "Capacitor radial 5.08mm", 8, 0},
      {"led_3mm", 2, "LED 3mm", 4, 0},
      {"led_5mm", 2, "LED 5mm", 4, 0},
      {"crystal_hc49", 2, "Crystal HC-49", 8, 0},
      {"trimmer_rm5", 3, "Trimmer", 8, 4},
      {"screw_terminal_2", 2, "Screw terminal 2-pole 5.08mm", 8, 0},
      {"screw_terminal_3", 3, "Screw terminal 3-pole 5.08mm", 16, 0},
  };
  auto check = [&](const std::string& file, int pads, const std::string& description, int width,
                   int height) {
    ObjectData o;
    std::string error;
    ASSERT_TRUE(ReadObjectFile(path("objects/" + file + ".kvo"), o, error)) << error;
    EXPECT_EQ(o.description.str().rfind(description, 0), 0u) << o.description.str();
    int n = 0, x0 = 792, x1 = 0, y0 = 592, y1 = 0;
    for (const Pin& p : o.pins) {
      if (isGraphicPin(p)) continue;
      ++n;
      x0 = std::min<int>(x0, p.x), x1 = std::max<int>(x1, p.x);
      y0 = std::min<int>(y0, p.y), y1 = std::max<int>(y1, p.y);
    }
    EXPECT_EQ(n, pads) << file;
    EXPECT_EQ(x1 - x0, width) << file;
    EXPECT_EQ(y1 - y0, height) << file;
    EXPECT_LE(std::abs((x0 + x1) / 2 - 396) + std::abs((y0 + y1) / 2 - 296), 4) << file;
  };
  for (const auto& n : needed) check(n.file, n.pads, n.description, n.width, n.height);
  for (int n = 2; n <= 10; ++n)
    check("header_1x" + std::to_string(n), n, "Header 1x" + std::to_string(n) + " 2.54mm",
          4 * (n - 1), 0);
}

}  // namespace
}  // namespace fw

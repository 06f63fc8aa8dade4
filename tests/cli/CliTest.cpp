#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "files/PngWriter.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"
#include "render/Canvas.h"

namespace fw {
namespace {

using Result = CliResult;

Result run(const std::vector<std::string>& args) {
  return runCliCaptured(args);
}

int lineCount(const std::string& s) {
  return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

// A board around the middle of the workspace with material on every layer and one object.
std::unique_ptr<Board> sampleBoard() {
  auto b = makeBoard();
  b->addPin({380, 280, 3, 0});
  b->addPin({412, 280, 5, 1});
  b->addPin({396, 320, 4, 2});
  b->addPin({360, 300, 6, GraphicPinFlag});
  b->addWirePoint({380 + WireStartFlag, 280 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({412, 280, 0x05});
  b->addWirePoint({412, 300, 0x05});
  b->addWirePoint({400 + WireStartFlag, 260 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({440, 260, 0x18});
  b->addWirePoint({330 + WireStartFlag, 330 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({460, 330, 0x23});
  b->addWirePoint({100 + WireStartFlag, 100 + WireStartFlag, kWireStartAttr});  // one point
  for (int layer = 0; layer < 3; ++layer) {
    TextItem t;
    t.text.set("Layer " + std::to_string(layer + 1));
    t.size = 20;
    t.x = static_cast<uint16_t>(layer * 4096 + 396);
    t.y = static_cast<uint16_t>(250 + 30 * layer);
    b->addText(t);
  }
  b->addObject({0, 2, 0, 3, 0, 1}, "Two pads and a track");
  b->FrameWidth = 300;
  b->FrameHeight = 200;
  return b;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    board = sampleBoard();
    file = folder.path() + "/sample.kvd";
    std::string error;
    ASSERT_TRUE(WriteProjectFile(file, *board, error)) << error;
  }
  std::string path(const std::string& name) const { return folder.path() + "/" + name; }

  TestFolder folder;
  std::unique_ptr<Board> board;
  std::string file;
};

TEST_F(Cli, InfoPrintsTheSixCounts) {
  const Result r = run({"info", file});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out,
            "Pins: 4\nWires: 4\nWire Segments: 4\nTextStrings: 3\nObjects: 1\n"
            "Frame: 300 x 200\n");
  EXPECT_EQ(r.err, "");

  auto empty = makeBoard();
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path("empty.kvd"), *empty, error));
  EXPECT_EQ(run({"info", path("empty.kvd")}).out,
            "Pins: 0\nWires: 0\nWire Segments: 0\nTextStrings: 0\nObjects: 0\n"
            "Frame: 252 x 158\n");
}

QJsonObject parseJson(const std::string& text) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  return doc.object();
}

TEST_F(Cli, DumpHoldsEveryStoredValue) {
  // Random values, flags and packed layers included, must come out exactly as stored.
  std::mt19937 rng(42);
  auto u16 = [&] { return static_cast<uint16_t>(rng()); };
  auto b = makeBoard();
  for (int i = 0; i < 30; ++i) b->addPin({u16(), u16(), uint8_t(rng()), uint8_t(rng())});
  for (int i = 0; i < 41; ++i) b->addWirePoint({u16(), u16(), uint8_t(rng())});
  for (int i = 0; i < 17; ++i) {
    TextItem t;
    std::string s(rng() % 32, ' ');
    for (char& c : s) c = static_cast<char>(rng());
    t.text.set(s);
    t.size = uint8_t(rng());
    t.x = u16();
    t.y = u16();
    b->addText(t);
  }
  b->addObject({1, 2, 3, 4, 5, 6}, "first");
  b->addObject({0, 30, 0, 41, 0, 17}, "second");
  b->FrameWidth = 799;
  b->FrameHeight = 16;
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path("random.kvd"), *b, error)) << error;

  const Result r = run({"dump", path("random.kvd")});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const QJsonObject json = parseJson(r.out);

  const QJsonArray pins = json["pins"].toArray();
  ASSERT_EQ(pins.size(), b->PinCount);
  for (int i = 0; i < pins.size(); ++i) {
    const QJsonObject p = pins[i].toObject();
    const Pin& want = b->PinTable[std::size_t(i)];
    EXPECT_EQ(p["x"].toInt(), want.x);
    EXPECT_EQ(p["y"].toInt(), want.y);
    EXPECT_EQ(p["sizeIndex"].toInt(), want.sizeIndex);
    EXPECT_EQ(p["style"].toInt(), want.style);
  }
  const QJsonArray points = json["wirePoints"].toArray();
  ASSERT_EQ(points.size(), b->WirePointCount);
  for (int i = 0; i < points.size(); ++i) {
    const QJsonObject p = points[i].toObject();
    const WirePoint& want = b->WirePointTable[std::size_t(i)];
    EXPECT_EQ(p["x"].toInt(), want.x);
    EXPECT_EQ(p["y"].toInt(), want.y);
    EXPECT_EQ(p["attr"].toInt(), want.attr);
  }
  const QJsonArray texts = json["texts"].toArray();
  ASSERT_EQ(texts.size(), b->TextCount);
  for (int i = 0; i < texts.size(); ++i) {
    const QJsonObject t = texts[i].toObject();
    const TextItem& want = b->TextTable[std::size_t(i)];
    const std::string s = want.text.str();
    EXPECT_EQ(t["text"].toString(), QString::fromLatin1(s.data(), qsizetype(s.size()))) << i;
    EXPECT_EQ(t["size"].toInt(), want.size);
    EXPECT_EQ(t["x"].toInt(), want.x);
    EXPECT_EQ(t["y"].toInt(), want.y);
  }
  const QJsonArray objects = json["objects"].toArray();
  ASSERT_EQ(objects.size(), 2);
  const QJsonObject o = objects[0].toObject();
  EXPECT_EQ(o["firstPin"].toInt(), 1);
  EXPECT_EQ(o["pinCount"].toInt(), 2);
  EXPECT_EQ(o["firstPoint"].toInt(), 3);
  EXPECT_EQ(o["pointCount"].toInt(), 4);
  EXPECT_EQ(o["firstText"].toInt(), 5);
  EXPECT_EQ(o["textCount"].toInt(), 6);
  EXPECT_EQ(o["description"].toString(), "first");
  EXPECT_EQ(objects[1].toObject()["description"].toString(), "second");
  EXPECT_EQ(json["frameWidth"].toInt(), 799);
  EXPECT_EQ(json["frameHeight"].toInt(), 16);
}

TEST_F(Cli, DumpOfAnEmptyBoardIsValidJson) {
  auto empty = makeBoard();
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path("empty.kvd"), *empty, error));
  const Result r = run({"dump", path("empty.kvd")});
  ASSERT_EQ(r.status, kExitOk);
  const QJsonObject json = parseJson(r.out);
  for (const char* table : {"pins", "wirePoints", "texts", "objects"}) {
    EXPECT_TRUE(json[table].isArray()) << table;
    EXPECT_TRUE(json[table].toArray().isEmpty()) << table;
  }
  EXPECT_EQ(json["frameWidth"].toInt(), 252);
}

TEST(CliJson, StringsAreEscapedAsLatin1) {
  const std::string s{'"', '\\', '/', '\n', '\t', '\x01', '\x7f', 'A', '\xe9', '\xff', '\0'};
  const std::string quoted = jsonString(s);
  EXPECT_EQ(quoted, R"("\"\\/\n\t\u0001\u007fA\u00e9\u00ff\u0000")");
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString("[" + quoted + "]"));
  EXPECT_EQ(doc.array()[0].toString(), QString::fromLatin1(s.data(), qsizetype(s.size())));
}

TEST_F(Cli, HelpGoesToStandardOutput) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"info", "--help"}, {"dump", "--help"}, {"render", "--help"}}) {
    const Result r = run(args);
    EXPECT_EQ(r.status, kExitOk) << args[0];
    EXPECT_EQ(r.out.rfind("Usage: ferrowrit-cli", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
  }
  EXPECT_NE(run({"render", "--help"}).out.find("--hide-layer"), std::string::npos);
  EXPECT_EQ(run({"--version"}).out, "ferrowrit-cli " FERROWRIT_VERSION "\n");
}

TEST_F(Cli, UsageErrorsExitTwoWithUsageOnStandardError) {
  const std::vector<std::vector<std::string>> cases{
      {},
      {"frobnicate", file},
      {"info"},
      {"info", file, file},
      {"info", "--verbose", file},
      {"dump"},
      {"render", file},
      {"render", "-o", path("x.png")},
      {"render", file, "-o"},
      {"render", file, "-o", path("x.png"), "--zoom", "6"},
      {"render", file, "-o", path("x.png"), "--zoom", "2x"},
      {"render", file, "-o", path("x.png"), "--size", "0x600"},
      {"render", file, "-o", path("x.png"), "--size", "800"},
      {"render", file, "-o", path("x.png"), "--size", "9000x600"},
      {"render", file, "-o", path("x.png"), "--scroll", "201,75"},
      {"render", file, "-o", path("x.png"), "--scroll", "100;75"},
      {"render", file, "-o", path("x.png"), "--hide-layer", "4"},
      {"render", file, "-o", path("x.png"), "--select", "pin:0"},
      {"render", file, "-o", path("x.png"), "--select", "wire:1"},
      {"render", file, "-o", path("x.png"), "--no-grid=1"},
      {"render", file, "-o", path("x.png"), "--colour", "red"},
      {"render", file, "-o", path("x.png"), "--select", "pin:5"},  // the board has 4 pins
      {"render", file, "-o", path("x.png"), "--select", "object:2"},
  };
  for (const auto& args : cases) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    const Result r = run(args);
    EXPECT_EQ(r.status, kExitUsage) << line;
    EXPECT_EQ(r.out, "") << line;
    EXPECT_EQ(r.err.rfind("ferrowrit-cli: ", 0), 0u) << line << "\n" << r.err;
    EXPECT_NE(r.err.find("Usage: ferrowrit-cli"), std::string::npos) << line;
  }
  EXPECT_FALSE(std::filesystem::exists(path("x.png")));
}

TEST_F(Cli, RefusedOrMissingFilesExitOneWithOneLine) {
  std::vector<uint8_t> bytes = serializeProjectFile(*board);
  bytes.resize(bytes.size() - 1);
  {
    FILE* f = fopen(path("cut.kvd").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  for (const std::string& bad : {path("cut.kvd"), path("absent.kvd"), folder.path()}) {
    for (const std::string command : {"info", "dump", "render"}) {
      std::vector<std::string> args{command, bad};
      if (command == "render") args.insert(args.end(), {"-o", path("x.png")});
      const Result r = run(args);
      EXPECT_EQ(r.status, kExitFailed) << command << " " << bad;
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(lineCount(r.err), 1) << r.err;
      EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(path("x.png")));

  const Result r = run({"render", file, "-o", path("no/such/folder/x.png")});
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_EQ(lineCount(r.err), 1) << r.err;
}

TEST(CliRenderOptions, EveryOptionIsTaken) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(parseRenderOptions(
      {"--size",     "321x123",      "b.kvd",    "--zoom=4",          "--scroll",
       "7,140",      "--hide-layer", "2",        "--hide-layer=3",    "--no-grid",
       "--no-frame", "--select",     "pin:3",    "--select=point:17", "--select",
       "text:2",     "--select",     "object:1", "--complete-wire",   "--output=out.png"},
      o, error))
      << error;
  EXPECT_EQ(o.input, "b.kvd");
  EXPECT_EQ(o.output, "out.png");
  EXPECT_EQ(o.width, 321);
  EXPECT_EQ(o.height, 123);
  EXPECT_EQ(o.zoom, 4);
  EXPECT_EQ(o.scrollX, 7);
  EXPECT_EQ(o.scrollY, 140);
  EXPECT_EQ(o.visibility.layers, (std::array<bool, 3>{true, false, false}));
  EXPECT_FALSE(o.visibility.grid);
  EXPECT_FALSE(o.visibility.frame);
  EXPECT_TRUE(o.visibility.completeWire);
  EXPECT_EQ(o.selection.pin, 3);
  EXPECT_EQ(o.selection.point, 17);
  EXPECT_EQ(o.selection.text, 2);
  EXPECT_EQ(o.selection.object, 1);

  RenderOptions d;
  ASSERT_TRUE(parseRenderOptions({"b.kvd", "-o", "o.png"}, d, error)) << error;
  EXPECT_EQ(d.width, 800);
  EXPECT_EQ(d.height, 600);
  EXPECT_EQ(d.zoom, 2);
  EXPECT_EQ(d.scrollX, 100);
  EXPECT_EQ(d.scrollY, 75);
  EXPECT_TRUE(d.visibility.grid && d.visibility.frame && !d.visibility.completeWire);
  EXPECT_EQ(d.selection.pin + d.selection.point + d.selection.text + d.selection.object, 0);
}

// What the editor's drawing area would show for the same view.
QImage drawDirectly(const Board& b, int w, int h, int zoom, int sx, int sy, const Visibility& vis,
                    const Selection& sel) {
  Canvas canvas(w, h, 60);
  View view;
  view.setAreaSize(w, h);
  view.ZoomLevel = zoom;
  view.scrollX = sx;
  view.scrollY = sy;
  BoardRenderer renderer;
  renderer.drawBoard(canvas, b, view, vis, sel);
  return canvas.image().convertToFormat(QImage::Format_RGB32);
}

QImage loadPng(const std::string& file) {
  QImage image;
  EXPECT_TRUE(image.load(QString::fromStdString(file), "PNG")) << file;
  return image.convertToFormat(QImage::Format_RGB32);
}

// Differing pixels between two pictures of the same size (all of them when the sizes differ).
int differingPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height() + 1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

TEST_F(Cli, RenderWritesExactlyTheEditorsPixels) {
  const Result r = run({"render", file, "-o", path("default.png")});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const QImage byDefault = loadPng(path("default.png"));
  EXPECT_EQ(byDefault.size(), QSize(800, 600));
  EXPECT_EQ(differingPixels(byDefault, drawDirectly(*board, 800, 600, 2, 100, 75, {}, {})), 0);

  Visibility vis;
  vis.grid = false;
  vis.layers[1] = false;
  vis.completeWire = true;
  Selection sel;
  sel.point = 2;
  sel.pin = 3;
  const Result r2 = run({"render", file, "-o", path("options.png"), "--size", "333x222", "--zoom",
                         "3", "--scroll", "99,74", "--no-grid", "--hide-layer", "2", "--select",
                         "point:2", "--select", "pin:3", "--complete-wire"});
  ASSERT_EQ(r2.status, kExitOk) << r2.err;
  EXPECT_EQ(differingPixels(loadPng(path("options.png")),
                            drawDirectly(*board, 333, 222, 3, 99, 74, vis, sel)),
            0);
}

// The fast PNG encoding keeps every pixel, with few colours (a palette of 1, 2, 4 or 8 bits a
// pixel, on rows that end inside a byte) or many, and still compresses: the noise rows take
// 641 x 120 x 3 bytes whatever the level, the rest little. A picture this tall is compressed
// in two halves at once; its top 40 rows alone, in one.
TEST(CliPng, EveryPixelComesBackWithFewOrManyColours) {
  for (const int colours : {2, 3, 5, 16, 17, 250, 0}) {
    SCOPED_TRACE(colours);
    const bool noise = colours == 0;
    QImage image(641, 480, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    std::mt19937 rng(7);
    if (noise) {
      for (int y = 0; y < 120; ++y)
        for (int x = 0; x < image.width(); ++x)
          image.setPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFF));
    }
    // Black and the other colours scattered, each at least once, one at each end.
    for (int i = 0; i < 3000; ++i) {
      const int c = 1 + i % std::max(colours - 1, 1);
      image.setPixel(int(rng() % 641), 120 + int(rng() % 360), qRgb(c, 255 - c, 255 - c / 2));
    }
    image.setPixel(640, 479, qRgb(1, 254, 255));
    image.setPixel(0, 0, qRgb(1, 254, 255));
    // A picture shared with the caller, and one handed over, packed over its own pixels.
    QBuffer buffer, handedOver;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(handedOver.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writePng(image, buffer));
    ASSERT_TRUE(writePng(image.copy(), handedOver));
    EXPECT_EQ(handedOver.data(), buffer.data());
    QImage back;
    ASSERT_TRUE(back.loadFromData(buffer.data(), "PNG"));
    EXPECT_EQ(differingPixels(back.convertToFormat(QImage::Format_RGB32), image), 0);
    const QImage strip = image.copy(0, 0, 641, 40);
    QBuffer stripBuffer;
    ASSERT_TRUE(stripBuffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writePng(strip, stripBuffer));
    ASSERT_TRUE(back.loadFromData(stripBuffer.data(), "PNG"));
    EXPECT_EQ(differingPixels(back.convertToFormat(QImage::Format_RGB32), strip), 0);
    EXPECT_LT(buffer.size(), noise ? 641 * 120 * 3 + 641 * 360 * 3 / 10 : 30000);
    // A printed page is grey.
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    QBuffer greyBuffer;
    ASSERT_TRUE(greyBuffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writePng(grey, greyBuffer));
    ASSERT_TRUE(back.loadFromData(greyBuffer.data(), "PNG"));
    EXPECT_EQ(differingPixels(back.convertToFormat(QImage::Format_RGB32),
                              grey.convertToFormat(QImage::Format_RGB32)),
              0);
  }
}

// Pictures around the height from which the halves are compressed apart, and of a single row
// or column, in each palette size: every pixel comes back, and zlib's checksum over both
// halves holds, since the decoder checks it.
TEST(CliPng, PicturesAroundTheSplitComeBackWhole) {
  const QSize sizes[] = {{1, 1}, {641, 1}, {1, 64}, {3, 63}, {3, 64}, {3, 65}, {9, 129}};
  for (const QSize size : sizes)
    for (const int colours : {2, 4, 16, 256}) {
      SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()) + ", " +
                   std::to_string(colours));
      QImage image(size, QImage::Format_RGB32);
      for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
          image.setPixel(x, y, qRgb((x * 7 + y * 13) % colours, 0, 255 - y % colours));
      QBuffer buffer;
      ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
      ASSERT_TRUE(writePng(image, buffer));
      QImage back;
      ASSERT_TRUE(back.loadFromData(buffer.data(), "PNG"));
      EXPECT_EQ(differingPixels(back.convertToFormat(QImage::Format_RGB32), image), 0);
    }
}

// The options reach the drawing: each one changes the picture.
TEST_F(Cli, RenderOptionsChangeThePicture) {
  ASSERT_EQ(run({"render", file, "-o", path("base.png")}).status, kExitOk);
  const QImage base = loadPng(path("base.png"));
  const std::vector<std::vector<std::string>> variants{
      {"--no-grid"},          {"--no-frame"},          {"--hide-layer", "1"},
      {"--hide-layer", "2"},  {"--hide-layer", "3"},   {"--zoom", "3"},
      {"--scroll", "101,75"}, {"--select", "pin:1"},   {"--select", "object:1"},
      {"--select", "text:1"}, {"--select", "point:2"}, {"--size", "800x601"}};
  for (const auto& v : variants) {
    std::vector<std::string> args{"render", file, "-o", path("v.png")};
    args.insert(args.end(), v.begin(), v.end());
    const Result r = run(args);
    ASSERT_EQ(r.status, kExitOk) << v[0] << r.err;
    EXPECT_GT(differingPixels(base, loadPng(path("v.png"))), 0) << v[0] << " " << v.back();
  }
}

// The program itself, as a script would run it: no display, whatever QT_QPA_PLATFORM says.
TEST_F(Cli, ProgramNeedsNoDisplay) {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  const auto program = std::filesystem::path(self).parent_path() / "ferrowrit-cli";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << program << " is not built";

  const std::string env = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ";
  const std::string out = path("p.png");
  const std::string errFile = path("stderr.txt");
  const int status = std::system(
      (env + program.string() + " render '" + file + "' -o '" + out + "' 2>'" + errFile + "'")
          .c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(loadPng(out).size(), QSize(800, 600));
  EXPECT_EQ(std::filesystem::file_size(errFile), 0u) << "a successful run says nothing";

  const int refused =
      std::system((program.string() + " info '" + path("absent.kvd") + "' 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(refused), kExitFailed);
  const int usage = std::system((program.string() + " info 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(usage), kExitUsage);

  // The editor answers --version before it makes a window, so that needs no display either.
  const auto editor = program.parent_path() / "ferrowrit";
  if (!std::filesystem::exists(editor)) return;
  const std::string version = path("version.txt");
  const int shown =
      std::system((env + editor.string() + " --version >'" + version + "' 2>&1").c_str());
  EXPECT_EQ(WEXITSTATUS(shown), 0);
  std::ifstream in(version);
  const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(said, "ferrowrit " FERROWRIT_VERSION "\n");
}

}  // namespace
}  // namespace fw

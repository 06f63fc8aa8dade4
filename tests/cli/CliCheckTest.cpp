// ferrowrit-cli check: its exit statuses, the text lines and the JSON saying the same, and
// the positions in the Gerber frame.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <regex>
#include <sstream>

#include "check/CheckBoards.h"
#include "cli/CliRun.h"
#include "fab/Fabrication.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(CliCheck, FindingsAsTextAndJsonAndTheExitStatus) {
  TestFolder folder;
  // Two tracks 0.19 mm apart, the first one 0.14 mm wide, a third starting under a text, and a
  // pad, on a frame of odd sizes, whose edges fall between board positions.
  auto b = makeBoard();
  b->FrameWidth = 251;
  b->FrameHeight = 157;
  test::addTrack(*b, {{300, 300}, {308, 306}}, kLayer1, 0);
  test::addTrack(*b, {{300, 301}, {308, 307}}, kLayer1, 2);
  test::addTrack(*b, {{400, 300}, {410, 300}}, kLayer1, 2);
  test::addPad(*b, 350, 330, 3);
  TextItem t;
  t.text.set("GND");
  t.size = 5;
  t.x = uint16_t(kLayer1 * 4096 + 400);
  t.y = 300;
  b->addText(t);
  const std::string faulty = folder.path() + "/faulty.kvd";
  std::string error;
  ASSERT_TRUE(WriteProjectFile(faulty, *b, error)) << error;
  // A pad joined to another by a wide track: nothing to say.
  auto clean = makeBoard();
  test::addPad(*clean, 300, 300, 5);
  test::addPad(*clean, 330, 300, 5);
  test::addTrack(*clean, {{300, 300}, {330, 300}}, kLayer2, 4);
  const std::string good = folder.path() + "/good.kvd";
  ASSERT_TRUE(WriteProjectFile(good, *clean, error)) << error;

  const CliResult text = runCliCaptured({"check", faulty});
  EXPECT_EQ(text.status, kExitFailed) << text.err;
  const CliResult json = runCliCaptured({"check", "--json", faulty});
  EXPECT_EQ(json.status, kExitFailed);
  QJsonParseError parseError;
  const QJsonDocument doc =
      QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &parseError);
  ASSERT_EQ(parseError.error, QJsonParseError::NoError) << json.out;
  const QJsonArray findings = doc.array();
  const std::vector<std::string> rows = lines(text.out);
  ASSERT_EQ(rows.size(), std::size_t(findings.size()) + 1) << text.out;
  EXPECT_EQ(rows.back(), "2 errors, 5 warnings, 1 information");

  const std::regex row(
      R"((\S+) (\S+) (\S+) at (-?[0-9.]+) (-?[0-9.]+) mm(: (-?[0-9.]+) mm, needs ([0-9.]+) mm)?)");
  std::map<std::string, int> kinds;
  for (int i = 0; i < findings.size(); ++i) {
    SCOPED_TRACE(rows[std::size_t(i)]);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(rows[std::size_t(i)], m, row));
    const QJsonObject f = findings[i].toObject();
    EXPECT_EQ(m[1].str(), f["severity"].toString().toStdString());
    EXPECT_EQ(m[2].str(), f["kind"].toString().toStdString());
    EXPECT_EQ(m[3].str(), f["layer"].toString().toStdString());
    EXPECT_EQ(std::stod(m[4].str()), f["x"].toDouble());
    EXPECT_EQ(std::stod(m[5].str()), f["y"].toDouble());
    EXPECT_EQ(m[6].matched, f["measured"].isDouble());
    if (m[6].matched) {
      EXPECT_EQ(std::stod(m[7].str()), f["measured"].toDouble());
      EXPECT_EQ(std::stod(m[8].str()), f["required"].toDouble());
    }
    ++kinds[m[2].str()];
    // The pad is where the drill file puts its hole.
    if (m[2].str() == "unused-pad") {
      EXPECT_DOUBLE_EQ(f["x"].toDouble(), double(fabX(*b, 350)) / 1e6);
      EXPECT_DOUBLE_EQ(f["y"].toDouble(), double(fabY(*b, 330)) / 1e6);
      EXPECT_EQ(f["items"].toArray()[0].toObject()["type"].toString(), "pin");
    }
  }
  // The text covers the third track's start, so that end is not loose.
  EXPECT_EQ(kinds,
            (std::map<std::string, int>{
                {"clearance", 1}, {"track-width", 1}, {"dangling-end", 5}, {"unused-pad", 1}}));

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // part of the message on standard error
  };
  const Case cases[] = {
      {{"check", good}, kExitOk, ""},
      {{"check", faulty, "--clearance", "0.1", "--min-width", "0.1"}, kExitOk, ""},
      // The single rules win over the preset, whatever the order.
      {{"check", "--min-width", "0.1", "--preset", "fine", faulty, "--clearance", "0.1"},
       kExitOk,
       ""},
      {{"check", faulty, "--preset", "Board house, fine"}, kExitFailed, ""},
      {{"check"}, kExitUsage, "FILE is missing"},
      {{"check", faulty, "--strict"}, kExitUsage, "unknown option --strict"},
      {{"check", faulty, "--preset", "cheap"}, kExitUsage, "unknown preset cheap"},
      {{"check", faulty, "--clearance"}, kExitUsage, "--clearance needs a value"},
      {{"check", faulty, "--edge", "-1"}, kExitUsage, "--edge takes millimetres"},
      {{"check", faulty, "--min-ring", "0.2mm"}, kExitUsage, "--min-ring takes millimetres"},
      {{"check", folder.path() + "/missing.kvd"}, kExitUsage, "missing.kvd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const CliResult r = runCliCaptured(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(runCliCaptured({"check", good, "--json"}).out, "[]\n");
  EXPECT_EQ(runCliCaptured({"check", faulty, "--preset", "home"}).out,
            runCliCaptured({"check", faulty, "--preset", "Home etching"}).out);
  EXPECT_NE(runCliCaptured({"check", "--help"}).out.find("Board house, standard"),
            std::string::npos);
}

}  // namespace
}  // namespace fw

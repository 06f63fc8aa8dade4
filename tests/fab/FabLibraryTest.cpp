// Every footprint of the starter library as a board house would drill it: the Excellon tool
// table read back from the drill file, each hole checked against the pads it goes through.
#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>
#include <map>
#include <sstream>

#include "board/PrintTables.h"
#include "fab/Fabrication.h"
#include "files/ObjectLibrary.h"

namespace fw {
namespace {

constexpr double kMinRingMm = 0.15;
constexpr double kLeadHoleMm = 1.0;  // a header pin or a TO-220 lead needs this much

// The diameter in mm of every hole at "X..Y.." by the tool table's T..C lines.
std::map<std::string, double> drilledHoles(const std::string& drill) {
  std::map<std::string, double> tools, holes;
  std::istringstream in(drill);
  double current = 0;
  for (std::string line; std::getline(in, line);) {
    const std::size_t c = line.find('C');
    if (line.size() > 1 && line[0] == 'T' && c != std::string::npos)
      tools[line.substr(0, c)] = std::stod(line.substr(c + 1));
    else if (line.size() > 1 && line[0] == 'T')
      current = tools.at(line);
    else if (!line.empty() && line[0] == 'X')
      holes[line] = current;
  }
  return holes;
}

std::string hole(double x, double y) {
  char text[64];
  std::snprintf(text, sizeof text, "X%.3fY%.3f", x, y);
  return text;
}

// The library's description: beside this file's folder, where __FILE__ may be relative to the
// build folder, or above the test program, which ctest runs from another folder.
std::filesystem::path libraryDescription() {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (fs::path at : {fs::absolute(__FILE__, ec), fs::canonical("/proc/self/exe", ec)}) {
    for (; !at.empty() && at != at.root_path(); at = at.parent_path()) {
      const fs::path candidate = at / "library" / "footprints.txt";
      if (fs::exists(candidate, ec)) return candidate;
    }
  }
  return "library/footprints.txt";
}

TEST(FabLibrary, EveryStarterFootprintHasHolesLeadsFitWithRingAroundThem) {
  const auto source = libraryDescription();
  QFile file(QString::fromStdString(source.string()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << source;
  std::vector<LibraryObject> library;
  std::string error;
  ASSERT_TRUE(parseObjectLibrary(file.readAll().toStdString(), library, error)) << error;

  int leadFootprints = 0;
  for (const LibraryObject& object : library) {
    SCOPED_TRACE(object.fileName);
    auto b = makeBoard();
    for (const Pin& p : object.object.pins) b->addPin(p);
    EXPECT_EQ(fabOptionsProblem(*b, {}), "");
    const std::map<std::string, double> holes = drilledHoles(fabFileText(*b, FabFile::Drill));
    const bool lead =
        object.fileName.rfind("header", 0) == 0 || object.fileName.rfind("to220", 0) == 0;
    leadFootprints += lead;
    int pads = 0;
    for (const Pin& p : object.object.pins) {
      if (!fabHasPad(p)) continue;
      ++pads;
      const auto it = holes.find(hole(fabX(*b, p.x) / 1e6, fabY(*b, p.y) / 1e6));
      ASSERT_NE(it, holes.end()) << "no hole at pin " << p.x << "," << p.y;
      // The pad's smaller side is its size for every shape.
      const double pad = fabLength360(printPadSize(p.sizeIndex)) / 1e6;
      EXPECT_GE((pad - it->second) / 2, kMinRingMm - 1e-9)
          << it->first << " in a " << pad << " mm pad";
      if (lead) {
        EXPECT_GE(it->second, kLeadHoleMm) << it->first;
      }
    }
    EXPECT_EQ(int(holes.size()), pads) << "one hole per pad";
  }
  EXPECT_GE(library.size(), 30u);
  EXPECT_GE(leadFootprints, 12) << "the headers and the TO-220";
}

}  // namespace
}  // namespace fw

// Writes a seed corpus for fuzz_project_file into FOLDER: boards of different shapes, saved by
// the project's own writer.
#include <cstdio>
#include <random>
#include <string>

#include "board/Board.h"
#include "files/ProjectFile.h"

namespace {

std::unique_ptr<fw::Board> board(uint32_t seed, int pins, int points, int texts, int objects) {
  std::mt19937 rng(seed);
  auto b = fw::makeBoard();
  for (int i = 0; i < pins; ++i)
    b->addPin({uint16_t(rng() % 793), uint16_t(rng() % 593), uint8_t(rng() % 10),
               uint8_t(i % 4 == 3 ? fw::GraphicPinFlag : rng() % 3)});
  for (int i = 0; i < points; ++i) {
    const bool start = i % 4 == 0;
    const uint16_t flag = start ? fw::WireStartFlag : 0;
    b->addWirePoint({uint16_t(rng() % 793 + flag), uint16_t(rng() % 593 + flag),
                     start ? fw::kWireStartAttr : uint8_t((rng() % 3) * 16 + rng() % 12)});
  }
  for (int i = 0; i < texts; ++i) {
    fw::TextItem t;
    t.text.set(std::string("T") + std::to_string(i) + std::string(rng() % 32, 'x'));
    t.size = uint8_t(5 + rng() % 46);
    t.x = uint16_t((rng() % 3) * 4096 + rng() % 793);
    t.y = uint16_t(rng() % 593);
    b->addText(t);
  }
  for (int i = 0; i < objects; ++i) {
    const auto p = uint16_t(pins * i / objects), w = uint16_t(points * i / objects);
    const auto t = uint16_t(texts * i / objects);
    b->addObject(
        {p, uint16_t(pins * (i + 1) / objects - p), w, uint16_t(points * (i + 1) / objects - w), t,
         uint16_t(texts * (i + 1) / objects - t)},
        "Object " + std::to_string(i) + std::string(rng() % 50, '-'));
  }
  b->FrameWidth = int32_t(16 + rng() % 784);
  b->FrameHeight = int32_t(16 + rng() % 584);
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const int shapes[][4] = {{0, 0, 0, 0},   {1, 0, 0, 0},   {0, 1, 0, 0},  {0, 3, 0, 0},
                           {0, 0, 1, 0},   {0, 0, 0, 1},   {2, 4, 1, 1},  {3, 5, 3, 2},
                           {10, 21, 7, 3}, {40, 80, 0, 5}, {5, 8, 20, 0}, {60, 120, 30, 12}};
  uint32_t seed = 1;
  for (const auto& s : shapes) {
    const std::string path = std::string(argv[1]) + "/seed-" + std::to_string(seed) + ".kvd";
    std::string error;
    if (!fw::WriteProjectFile(path, *board(seed++, s[0], s[1], s[2], s[3]), error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}

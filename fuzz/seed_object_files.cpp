// Writes a seed corpus for fuzz_object_file into FOLDER: objects of different shapes, saved by
// the project's own writer.
#include <cstdio>
#include <random>
#include <string>

#include "board/Board.h"
#include "files/ObjectFile.h"

namespace {

fw::ObjectData object(uint32_t seed, int pins, int points, int texts) {
  std::mt19937 rng(seed);
  fw::ObjectData o;
  for (int i = 0; i < pins; ++i)
    o.pins.push_back({uint16_t(rng() % 793), uint16_t(rng() % 593), uint8_t(rng() % 10),
                      uint8_t(i % 4 == 3 ? fw::GraphicPinFlag : rng() % 3)});
  for (int i = 0; i < points; ++i) {
    const bool start = i % 4 == 0;
    const uint16_t flag = start ? fw::WireStartFlag : 0;
    o.points.push_back({uint16_t(rng() % 793 + flag), uint16_t(rng() % 593 + flag),
                        start ? fw::kWireStartAttr : uint8_t((rng() % 3) * 16 + rng() % 12)});
  }
  for (int i = 0; i < texts; ++i) {
    fw::TextItem t;
    t.text.set(std::string("T") + std::to_string(i) + std::string(rng() % 32, 'x'));
    t.size = uint8_t(5 + rng() % 46);
    t.x = uint16_t((rng() % 3) * 4096 + rng() % 793);
    t.y = uint16_t(rng() % 593);
    o.texts.push_back(t);
  }
  o.description.set("Object " + std::to_string(seed) + std::string(rng() % 50, '-'));
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const int shapes[][3] = {{0, 0, 0}, {1, 0, 0},   {0, 1, 0},  {0, 3, 0},
                           {0, 0, 1}, {2, 4, 1},   {3, 5, 3},  {14, 9, 1},
                           {8, 0, 2}, {40, 80, 0}, {5, 8, 20}, {60, 121, 30}};
  uint32_t seed = 1;
  for (const auto& s : shapes) {
    const std::string path = std::string(argv[1]) + "/seed-" + std::to_string(seed) + ".kvo";
    std::string error;
    if (!fw::WriteObjectFile(path, object(seed++, s[0], s[1], s[2]), error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}

// Importing a KiCad library folder as ferrowrit-cli import-kicad does: 100 DIP-like footprints
// (8 to 64 pads, a silkscreen outline with a notch arc, a fabrication outline, a courtyard and
// a reference), written by this benchmark into a temporary folder, read, converted and written
// as object files. The goal: a library of that size in well under 2 s.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Cli.h"

namespace fw {
namespace {

std::string dipFootprint(int pads, double width) {
  std::ostringstream s;
  const int rows = pads / 2;
  const double length = (rows - 1) * 2.54;
  s << "(footprint \"DIP-" << pads << "\" (version 20211014) (generator bench)\n"
    << "  (layer \"F.Cu\") (descr \"" << pads << "-lead dip package, row spacing " << width
    << " mm\") (tags \"THT DIP\") (attr through_hole)\n"
    << "  (fp_text reference \"REF**\" (at " << width / 2 << " -2.33) (layer \"F.SilkS\")\n"
    << "    (effects (font (size 1 1) (thickness 0.15))))\n";
  const char* layers[] = {"F.SilkS", "F.Fab", "F.CrtYd"};
  for (int k = 0; k < 3; ++k) {
    const double m = 1.33 + 0.2 * k;
    s << "  (fp_line (start " << -m << " " << -m << ") (end " << width / 2 - 1 << " " << -m
      << ") (stroke (width 0.12) (type solid)) (layer \"" << layers[k] << "\"))\n"
      << "  (fp_arc (start " << width / 2 - 1 << " " << -m << ") (mid " << width / 2 << " " << 1 - m
      << ") (end " << width / 2 + 1 << " " << -m << ") (stroke (width 0.12) (type solid)) (layer \""
      << layers[k] << "\"))\n"
      << "  (fp_rect (start " << -m << " " << -m << ") (end " << width + m << " " << length + m
      << ") (stroke (width 0.12) (type solid)) (fill none) (layer \"" << layers[k] << "\"))\n";
  }
  for (int i = 0; i < pads; ++i) {
    const bool left = i < rows;
    const double x = left ? 0 : width, y = (left ? i : pads - 1 - i) * 2.54;
    s << "  (pad \"" << i + 1 << "\" thru_hole " << (i == 0 ? "rect" : "oval") << " (at " << x
      << " " << y << ") (size 1.6 1.6) (drill 0.8) (layers *.Cu *.Mask))\n";
  }
  s << ")\n";
  return s.str();
}

void BM_ImportKicadLibraryOf100(benchmark::State& state) {
  const auto root = std::filesystem::temp_directory_path() / "ferrowrit-kicad-bench";
  const auto lib = root / "Bench_DIP.pretty";
  std::filesystem::create_directories(lib);
  for (int i = 0; i < 100; ++i) {
    const int pads = 8 + 2 * (i % 29);
    const double width = i % 3 == 0 ? 7.62 : i % 3 == 1 ? 10.16 : 15.24;
    std::ofstream(lib / ("DIP-" + std::to_string(i) + ".kicad_mod")) << dipFootprint(pads, width);
  }
  const std::vector<std::string> args = {"import-kicad", lib.string(), "-o",
                                         (root / "objects").string()};
  for (auto _ : state) {
    std::ostringstream out, err;
    if (runCli(args, out, err) != 0) state.SkipWithError(err.str().c_str());
  }
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_ImportKicadLibraryOf100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fw

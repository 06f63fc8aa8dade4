// The Library panel on a library of 2,000 object files: opening the panel (listing the folder,
// laying out and painting the rows in sight, which reads those rows' files) must stay under
// 300 ms; choosing one object reads it and draws its picture; the first filter text that no
// name holds reads every file for its description. A program of its own, since the
// panel's widgets need a QApplication where the other benchmarks run on a QGuiApplication.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <string>

#include "app/LibraryPanel.h"
#include "app/ObjectPreview.h"
#include "files/ObjectFile.h"

namespace fw {
namespace {

constexpr int kObjects = 2000;
constexpr int kFolders = 20;

// A DIL16 with its outline and a name, as the starter library draws one.
ObjectData dil16(int n) {
  ObjectData o;
  for (int i = 0; i < 8; ++i) {
    o.pins.push_back(Pin{uint16_t(380 + 4 * i), 288, 3, 1});
    o.pins.push_back(Pin{uint16_t(380 + 4 * i), 300, 3, 1});
  }
  const uint8_t graphic = 2 * 16 + 1;
  const int corners[][2] = {{376, 284}, {412, 284}, {412, 304}, {376, 304}, {376, 284}};
  for (const auto& c : corners) o.points.push_back({uint16_t(c[0]), uint16_t(c[1]), graphic});
  o.points.front() = {uint16_t(376 | WireStartFlag), uint16_t(284 | WireStartFlag), kWireStartAttr};
  TextItem name;
  name.text.set("U" + std::to_string(n));
  name.size = 10;
  name.x = uint16_t(2 * 4096 + 380);
  name.y = 278;
  o.texts.push_back(name);
  o.description.set("DIL16 0.3in number " + std::to_string(n));
  return o;
}

// The library, written once with the program's own writer.
const QTemporaryDir& library() {
  static QTemporaryDir dir;
  static bool written = [] {
    for (int i = 0; i < kObjects; ++i) {
      const QString folder = dir.filePath(QStringLiteral("family%1").arg(i % kFolders));
      QDir().mkpath(folder);
      std::string error;
      const std::string path = (folder + QStringLiteral("/dil16_%1.kvo").arg(i)).toStdString();
      if (!WriteObjectFile(path, dil16(i), error)) std::fprintf(stderr, "%s\n", error.c_str());
    }
    return true;
  }();
  (void)written;
  return dir;
}

void BM_LibraryPanelOpen(benchmark::State& state) {
  const std::string folder = library().path().toStdString();
  for (auto _ : state) {
    LibraryPanel panel([&] { return folder; }, [](const std::string&) {});
    panel.resize(300, 700);
    panel.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(panel.isVisible());
  }
}

void BM_LibraryFirstFilterByDescription(benchmark::State& state) {
  const std::string folder = library().path().toStdString();
  for (auto _ : state) {
    state.PauseTiming();
    LibraryPanel panel([&] { return folder; }, [](const std::string&) {});
    panel.resize(300, 700);
    panel.show();
    QApplication::processEvents();
    auto* filter = panel.findChild<QLineEdit*>(QStringLiteral("LibraryFilter"));
    state.ResumeTiming();
    filter->setText(QStringLiteral("number 1999"));
    QApplication::processEvents();
    const int rows = panel.findChild<QTreeView*>()->model()->rowCount();
    if (rows != 1) state.SkipWithError("the filter should keep one row");
  }
}

void BM_LibraryChooseObject(benchmark::State& state) {
  const QString path = library().path() + QStringLiteral("/family3/dil16_3.kvo");
  for (auto _ : state) {
    LibraryCache cache;
    benchmark::DoNotOptimize(cache.entry(path, true).preview.width());
  }
}

BENCHMARK(BM_LibraryPanelOpen)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_LibraryFirstFilterByDescription)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_LibraryChooseObject)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fw

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

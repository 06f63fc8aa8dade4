// The whole set an export writes: the Gerber and drill files, the job file that lists them and
// the zip that packs them, each through a FileReplacement so that all appear or none.
#include "fab/FabSet.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "board/PrintTables.h"
#include "fab/Fabrication.h"
#include "files/FileIo.h"

namespace fw {

namespace {

constexpr long long kUnitNm = 635000;  // one board unit
constexpr double kNmPerMm = 1e6;

// "3 pads" or "1 pad"; empty for none.
std::string count(int n, const char* one, const char* many) {
  return n == 0 ? "" : std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// One file of the set on its way into the folder.
struct Pending {
  std::string name;
  std::unique_ptr<FileReplacement> file;
};

}  // namespace

std::vector<std::string> fabWarnings(const Board& b) {
  const long long w = b.FrameWidth * kUnitNm, h = b.FrameHeight * kUnitNm;
  const auto outside = [&](long long x, long long y, long long rx, long long ry) {
    return x - rx < 0 || y - ry < 0 || x + rx > w || y + ry > h;
  };
  // Pads and tracks count by their copper, texts by their centre, where the user placed them.
  int pads = 0, segments = 0, texts = 0;
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[std::size_t(i)];
    if (!fabHasPad(p)) continue;
    const long long s = fabLength360(printPadSize(p.sizeIndex)) / 2;
    const long long o = fabLength360(printPadSize(p.sizeIndex) * 8) / 10;
    pads += outside(fabX(b, p.x), fabY(b, p.y), p.style == 1 ? o : s, p.style == 2 ? o : s);
  }
  for (int32_t i = 1; i < b.WirePointCount; ++i) {
    const WirePoint& end = b.WirePointTable[std::size_t(i)];
    if (isWireStart(end) || wireLayer(end.attr) == kGraphic) continue;
    const WirePoint& from = b.WirePointTable[std::size_t(i - 1)];
    const long long r = fabLength360(printWireWidth(wireWidthIndex(end.attr))) / 2;
    segments += outside(fabX(b, from.x & kPositionMask), fabY(b, from.y & kPositionMask), r, r) ||
                outside(fabX(b, end.x & kPositionMask), fabY(b, end.y & kPositionMask), r, r);
  }
  for (int32_t i = 0; i < b.TextCount; ++i) {
    const TextItem& t = b.TextTable[std::size_t(i)];
    texts += textLayer(t) != kGraphic && outside(fabX(b, textX(t)), fabY(b, t.y), 0, 0);
  }
  std::vector<std::string> parts;
  for (const std::string& part :
       {count(pads, "pad", "pads"), count(segments, "track segment", "track segments"),
        count(texts, "copper text", "copper texts")})
    if (!part.empty()) parts.push_back(part);
  if (parts.empty()) return {};
  std::string line = parts[0];
  for (std::size_t i = 1; i < parts.size(); ++i)
    line += (i + 1 == parts.size() ? " and " : ", ") + parts[i];
  const bool one = parts.size() == 1 && pads + segments + texts == 1;
  return {line + (one ? " lies" : " lie") + " outside the frame"};
}

std::string fabJobText(const Board& b, const std::string& name, const FabOptions& options) {
  QJsonObject software{{"Vendor", "Ferrowrit"}, {"Application", "Ferrowrit"}, {"Version", "5.0"}};
  QJsonObject header{{"GenerationSoftware", software},
                     {"CreationDate", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}};
  // The job file's lengths are millimetres, as are the files' own (%MOMM*%).
  QJsonObject size{{"X", double(b.FrameWidth * kUnitNm) / kNmPerMm},
                   {"Y", double(b.FrameHeight * kUnitNm) / kNmPerMm}};
  QJsonObject specs{{"Size", size}, {"LayerNumber", 2}};
  QJsonArray files;
  for (const FabFile f : kFabFiles)
    files.append(QJsonObject{{"Path", QString::fromStdString(fabFileName(name, f, options.protel))},
                             {"FileFunction", fabFileFunction(f)},
                             {"FilePolarity", fabFilePolarity(f)}});
  const QJsonObject job{{"Header", header}, {"GeneralSpecs", specs}, {"FilesAttributes", files}};
  return QJsonDocument(job).toJson(QJsonDocument::Indented).toStdString();
}

bool writeFabSet(const Board& board, const std::string& folder, const std::string& name,
                 const FabOptions& options, FabReport& report) {
  report = FabReport{};
  report.error = fabOptionsProblem(board, options);
  if (!report.error.empty()) return false;
  report.warnings = fabWarnings(board);

  // Each file is written beside its place, and only when all are whole are they renamed over
  // the old ones, so a failure leaves an old export as it was. The files can be made again from
  // the project at any time, so unlike a project file they are not forced to disk first: that
  // would take longer than writing them. They go through the same FileReplacement as the
  // project file, with the flush left out.
  const std::filesystem::path dir(folder);
  std::vector<Pending> pending;
  const auto failed = [&](const Pending& p, const std::string& alreadyReplaced) {
    const int e = p.file->errorNumber();
    report.error =
        "cannot write " + p.name + ": " + std::strerror(e != 0 ? e : EIO) + alreadyReplaced;
    return false;
  };
  // With the zip, each file's text goes into it as it is made.
  std::unique_ptr<FabZipper> zipper = options.zip ? std::make_unique<FabZipper>() : nullptr;
  using Text = std::function<bool(const FabSink&)>;  // gives a file's text to a sink
  const auto add = [&](const std::string& fileName, const Text& text, FabZipper* zip) {
    pending.push_back({fileName, std::make_unique<FileReplacement>((dir / fileName).string())});
    FileReplacement& file = *pending.back().file;
    if (zip) zip->begin(fileName);
    const FabSink sink = [&file, zip](std::string_view piece) {
      if (zip) zip->add(piece);
      return file.write(piece.data(), piece.size());
    };
    return file.open() && text(sink) && file.close(false);
  };
  for (const FabFile f : kFabFiles) {
    const auto text = [&](const FabSink& sink) {
      return writeFabFileText(board, f, options, sink);
    };
    if (!add(fabFileName(name, f, options.protel), text, zipper.get()))
      return failed(pending.back(), "");
  }
  const std::string job = fabJobText(board, name, options);
  const auto jobText = [&](const FabSink& sink) { return sink(job); };
  if (!add(fabJobFileName(name), jobText, zipper.get())) return failed(pending.back(), "");
  if (zipper) {
    std::string why;  // why the archive could not be made, rather than written
    const auto bytes = [&](const FabSink& sink) { return zipper->finish(sink, why); };
    if (!add(fabZipFileName(name), bytes, nullptr)) {
      if (why.empty()) return failed(pending.back(), "");
      report.error = "cannot write " + fabZipFileName(name) + ": " + why;
      return false;
    }
  }
  // A rename seldom fails once the files are written; when one does after others, the user is
  // told which files are new already.
  std::string replaced;
  for (const Pending& p : pending) {
    if (!p.file->replaceTarget(false))
      return failed(p, replaced.empty() ? "" : "; already replaced:" + replaced);
    replaced += " " + p.name;
    report.files.push_back(p.name);
  }
  return true;
}

bool writeFabFiles(const Board& board, const std::string& folder, const std::string& name,
                   std::string& error) {
  FabReport report;
  const bool ok = writeFabSet(board, folder, name, FabOptions{}, report);
  error = report.error;
  return ok;
}

}  // namespace fw

// ferrowrit-cli import-kicad: KiCad footprints into object files, one file or a whole library.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "cli/CommandLine.h"
#include "files/ObjectFile.h"
#include "kicad/KicadFootprint.h"

namespace fw {

namespace {

const char* const kImportKicadUsage =
    "Usage: ferrowrit-cli import-kicad FILE.kicad_mod -o OUT.kvo [--accept-rounding]\n"
    "       ferrowrit-cli import-kicad DIR.pretty -o FOLDER [--accept-rounding]\n"
    "\n"
    "Turns a KiCad footprint into an object file, or every footprint (*.kicad_mod) of a KiCad\n"
    "library folder into one object file each (NAME.kvo in FOLDER, which is made when it is\n"
    "missing). Through-hole pads become pins of the nearest pin size, the front silkscreen\n"
    "becomes graphic wires, the reference a graphic text; SMD pads and other layers are left\n"
    "out. Pads are rounded to the 0.635 mm board unit: a footprint whose pads move by more\n"
    "than 0.2 mm (metric pitches such as 5.0 mm) is refused unless the rounding is accepted.\n"
    "A folder import prints what it refused and why, and a summary.\n"
    "\n"
    "Options:\n"
    "  -o, --output PATH     the object file, or the folder for a library (required)\n"
    "  --accept-rounding     import footprints whose pads move by more than 0.2 mm\n"
    "\n"
    "Exit status: 0 success (for a folder: at least one footprint imported), 1 a footprint is\n"
    "refused or cannot be read or an object file cannot be written, 2 usage error.\n";

std::string millimetres(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f mm", mm);
  return text;
}

int importOne(const std::string& input, const std::string& output, bool accept, std::ostream& out,
              std::ostream& err) {
  ObjectData object;
  KicadImportReport report;
  if (!importKicadFootprintFile(input, accept, object, report)) {
    err << "ferrowrit-cli: " << input << ": " << report.reason << "\n";
    return kExitFailed;
  }
  std::string error;
  if (!outputFolderExists(output, err)) return kExitFailed;
  if (!WriteObjectFile(output, object, error)) {
    err << "ferrowrit-cli: " << error << "\n";
    return kExitFailed;
  }
  out << report.name << ": " << report.pins << " pins, " << report.smdPadsSkipped
      << " SMD pads skipped, largest rounding error " << millimetres(report.largestErrorMm) << "\n";
  return kExitOk;
}

int importFolder(const std::string& input, const std::string& folder, bool accept,
                 std::ostream& out, std::ostream& err) {
  std::error_code ec;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(input, ec))
    if (entry.path().extension() == ".kicad_mod") files.push_back(entry.path());
  if (ec) {
    err << "ferrowrit-cli: cannot read the folder " << input << ": " << ec.message() << "\n";
    return kExitFailed;
  }
  std::sort(files.begin(), files.end());
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    err << "ferrowrit-cli: cannot make the folder " << folder << ": " << ec.message() << "\n";
    return kExitFailed;
  }
  int imported = 0, refused = 0, smd = 0;
  double largest = 0;
  for (const auto& file : files) {
    ObjectData object;
    KicadImportReport report;
    std::string error;
    const std::string name = file.stem().string();
    if (!importKicadFootprintFile(file.string(), accept, object, report)) {
      ++refused;
      out << "refused " << name << ": " << report.reason << "\n";
      continue;
    }
    if (!WriteObjectFile((std::filesystem::path(folder) / (name + ".kvo")).string(), object,
                         error)) {
      err << "ferrowrit-cli: " << error << "\n";
      return kExitFailed;
    }
    ++imported;
    smd += report.smdPadsSkipped;
    largest = std::max(largest, report.largestErrorMm);
  }
  out << "imported " << imported << ", refused " << refused << ", SMD pads skipped " << smd
      << ", largest rounding error " << millimetres(largest) << "\n";
  if (imported == 0) {
    err << "ferrowrit-cli: no footprint of " << input << " was imported\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int runImportKicad(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string input, output;
  bool accept = false;
  CommandLine line;
  line.usage = kImportKicadUsage;
  line.inlineValues = true;
  line.options = {textOption({"-o", "--output"}, output),
                  flagOption({"--accept-rounding"}, accept)};
  line.finish = [&output](std::string& why) {
    if (output.empty()) why = "-o PATH is missing";
    return why.empty();
  };
  if (const auto status = line.read(args, input, out, err)) return *status;
  std::error_code ec;
  if (std::filesystem::is_directory(input, ec))
    return importFolder(input, output, accept, out, err);
  return importOne(input, output, accept, out, err);
}

}  // namespace fw

// ferrowrit-cli print: the print routine onto a PDF page or a PNG page image.
#include <QBuffer>
#include <QPageSize>
#include <charconv>
#include <utility>

#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "files/PngWriter.h"
#include "print/PrintRoutine.h"

namespace fw {

namespace {

const char* const kPrintUsage =
    "Usage: ferrowrit-cli print FILE -o OUT.pdf|OUT.png [OPTIONS]\n"
    "\n"
    "Prints one layer of FILE as black-on-white artwork, as the editor's Print command does:\n"
    "onto one PDF page (vector shapes), or into a PNG of the whole page at the resolution, one\n"
    "pixel per dot, with the page's corner as the printable area's.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT          a .pdf or .png file (required)\n"
    "  --layer 1|2|graphic|pins  the layer to print (default 1)\n"
    "  --dpi 180|300|360|600|720 the printer's resolution (default 300)\n"
    "  --scale 10..250           the scale in percent (default 100)\n"
    "  --mirror                  the page mirrored left to right, for toner transfer\n"
    "  --negative                black and white swapped around the artwork\n"
    "  --ruler                   a 50 mm bar below the artwork\n"
    "  --frame-marks             marks at the frame's corners, for register and cutting\n"
    "  --page A4|Letter          the paper (default A4)\n"
    "\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read or OUT cannot be written,\n"
    "2 usage error.\n";

struct PrintOptions {
  std::string input, output;
  PrintSettings settings;
  QPageSize page{QPageSize::A4};
};

bool endsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

bool parseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, value);
  return r.ec == std::errc() && r.ptr == end;
}

bool parseOptions(const std::vector<std::string>& args, PrintOptions& o, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool takesValue = a == "-o" || a == "--output" || a == "--layer" || a == "--dpi" ||
                            a == "--scale" || a == "--page";
    if (takesValue && i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    const std::string v = takesValue ? args[++i] : std::string();
    int n = 0;
    if (a == "-o" || a == "--output") {
      o.output = v;
    } else if (a == "--layer") {
      const char* names[] = {"1", "2", "graphic", "pins"};
      o.settings.layer = -1;
      for (int k = 0; k < 4; ++k)
        if (v == names[k]) o.settings.layer = k;
      if (o.settings.layer < 0) error = "--layer takes 1, 2, graphic or pins";
    } else if (a == "--dpi") {
      o.settings.dpiIndex = -1;
      for (int k = 0; k < 5; ++k)
        if (parseInt(v, n) && n == kPrintDpiTable[k]) o.settings.dpiIndex = k;
      if (o.settings.dpiIndex < 0) error = "--dpi takes 180, 300, 360, 600 or 720";
    } else if (a == "--scale") {
      if (!parseInt(v, n) || n < kMinPrintScale || n > kMaxPrintScale)
        error = "--scale takes 10 to 250";
      o.settings.scale = n;
    } else if (a == "--page") {
      if (v == "A4")
        o.page = QPageSize(QPageSize::A4);
      else if (v == "Letter")
        o.page = QPageSize(QPageSize::Letter);
      else
        error = "--page takes A4 or Letter";
    } else if (a == "--mirror") {
      o.settings.mirror = true;
    } else if (a == "--negative") {
      o.settings.negative = true;
    } else if (a == "--ruler") {
      o.settings.ruler = true;
    } else if (a == "--frame-marks") {
      o.settings.frameMarks = true;
    } else if (isOption(a)) {
      error = "unknown option " + a;
    } else if (!o.input.empty()) {
      error = "only one FILE is taken";
    } else {
      o.input = a;
    }
    if (!error.empty()) return false;
  }
  if (o.input.empty())
    error = "FILE is missing";
  else if (o.output.empty())
    error = "-o OUT.pdf or OUT.png is missing";
  else if (!endsWith(o.output, ".pdf") && !endsWith(o.output, ".png"))
    error = "OUT must end in .pdf or .png";
  return error.empty();
}

}  // namespace

int runPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (wantsHelp(args)) {
    out << kPrintUsage;
    return kExitOk;
  }
  PrintOptions o;
  std::string error;
  if (!parseOptions(args, o, error)) {
    err << "ferrowrit-cli: " << error << "\n" << kPrintUsage;
    return kExitUsage;
  }
  auto board = makeBoard();
  if (!loadBoard(o.input, *board, err)) return kExitFailed;
  const auto app = ensureGuiApplication();

  // Made in memory, then written as a project file is: whole or not at all.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  bool made = false;
  if (endsWith(o.output, ".png")) {
    QImage page =
        printToImage(*board, o.settings, o.page.sizePixels(kPrintDpiTable[o.settings.dpiIndex]),
                     kDefaultZoomLevel);
    // The image carries the resolution; the PNG keeps it, so the page prints at its true size.
    const int dotsPerMeter = page.dotsPerMeterX();
    made = writePng(std::move(page), buffer, dotsPerMeter);
  } else {
    // The whole page is printable: no margins.
    made = printToPdf(buffer, QPageLayout(o.page, QPageLayout::Portrait, QMarginsF()), *board,
                      o.settings, kDefaultZoomLevel);
  }
  if (!made) {
    err << "ferrowrit-cli: cannot make the page for " << o.output << "\n";
    return kExitFailed;
  }
  if (!writeOutput(o.output, buffer.data(), err)) return kExitFailed;
  return kExitOk;
}

}  // namespace fw

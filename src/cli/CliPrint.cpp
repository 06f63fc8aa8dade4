// ferrowrit-cli print: the print routine onto a PDF page or a PNG page image.
#include <QBuffer>
#include <QPageSize>
#include <climits>
#include <utility>

#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "cli/CommandLine.h"
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
    "A board larger than the page is printed as far as it fits, with a warning that says how\n"
    "much is cut off.\n"
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

// The print command's options, each writing into `o`.
CommandLine printCommandLine(PrintOptions& o) {
  CommandLine line;
  line.usage = kPrintUsage;
  line.options = {
      textOption({"-o", "--output"}, o.output),
      valueOption({"--layer"},
                  [&o](const std::string& v, std::string& error) {
                    const char* names[] = {"1", "2", "graphic", "pins"};
                    o.settings.layer = -1;
                    for (int k = 0; k < 4; ++k)
                      if (v == names[k]) o.settings.layer = k;
                    if (o.settings.layer < 0) error = "--layer takes 1, 2, graphic or pins";
                    return error.empty();
                  }),
      valueOption({"--dpi"},
                  [&o](const std::string& v, std::string& error) {
                    int n = 0;
                    o.settings.dpiIndex = -1;
                    for (int k = 0; k < 5; ++k)
                      if (parseInt(v, INT_MIN, INT_MAX, n) && n == kPrintDpiTable[k])
                        o.settings.dpiIndex = k;
                    if (o.settings.dpiIndex < 0) error = "--dpi takes 180, 300, 360, 600 or 720";
                    return error.empty();
                  }),
      valueOption({"--scale"},
                  [&o](const std::string& v, std::string& error) {
                    if (!parseInt(v, kMinPrintScale, kMaxPrintScale, o.settings.scale))
                      error = "--scale takes 10 to 250";
                    return error.empty();
                  }),
      valueOption({"--page"},
                  [&o](const std::string& v, std::string& error) {
                    if (v == "A4")
                      o.page = QPageSize(QPageSize::A4);
                    else if (v == "Letter")
                      o.page = QPageSize(QPageSize::Letter);
                    else
                      error = "--page takes A4 or Letter";
                    return error.empty();
                  }),
      flagOption({"--mirror"}, o.settings.mirror),
      flagOption({"--negative"}, o.settings.negative),
      flagOption({"--ruler"}, o.settings.ruler),
      flagOption({"--frame-marks"}, o.settings.frameMarks),
  };
  line.finish = [&o](std::string& error) {
    if (o.output.empty())
      error = "-o OUT.pdf or OUT.png is missing";
    else if (!endsWith(o.output, ".pdf") && !endsWith(o.output, ".png"))
      error = "OUT must end in .pdf or .png";
    return error.empty();
  };
  return line;
}

}  // namespace

int runPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  PrintOptions o;
  if (const auto status = printCommandLine(o).read(args, o.input, out, err)) return *status;
  if (!outputFolderExists(o.output, err)) return kExitFailed;
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
  const std::string cut =
      artworkCutOff(*board, o.settings, o.page.sizePixels(kPrintDpiTable[o.settings.dpiIndex]),
                    kDefaultZoomLevel);
  if (!cut.empty())
    err << "ferrowrit-cli: warning: " << cut
        << " A larger --page or a smaller --scale keeps it whole.\n";
  return kExitOk;
}

}  // namespace fw

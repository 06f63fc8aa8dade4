// ferrowrit-cli render: the board as the editor's drawing area shows it, as a PNG picture.
#include <QBuffer>
#include <QGuiApplication>
#include <memory>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "cli/CommandLine.h"
#include "files/PngWriter.h"
#include "render/Canvas.h"

namespace fw {

namespace {

const char* const kRenderUsage =
    "Usage: ferrowrit-cli render FILE -o OUT.png [OPTIONS]\n"
    "\n"
    "Draws the board as the editor's drawing area shows it and writes the pixels as PNG.\n"
    "An object file (.kvo) is drawn on an empty board, where it was saved.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.png      the picture to write (required)\n"
    "  --size WxH                drawing area in pixels, 1..8192 each (default 800x600)\n"
    "  --zoom 0..5               1x, 2x, 4x, 8x, 16x, 32x (default 2, that is 4x)\n"
    "  --scroll SX,SY            grid step at the middle, SX 0..200, SY 0..150 (default 100,75)\n"
    "  --hide-layer 1|2|3        hide Layer 1, Layer 2 or Graphic; may be repeated\n"
    "  --no-grid                 no grid dots\n"
    "  --no-frame                no frame and centre cross\n"
    "  --select KIND:N           highlight pin, point, text or object number N (1-based);\n"
    "                            may be repeated for different kinds\n"
    "  --complete-wire           a selected point highlights its whole wire\n"
    "\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read or OUT cannot be\n"
    "written, 2 usage error.\n";

constexpr int kMaxAreaSide = 8192;

// "AxB" or "A,B" into two numbers, each checked against its range.
bool parsePair(const std::string& s, char sep, int lo1, int hi1, int lo2, int hi2, int& a, int& b) {
  const std::size_t at = s.find(sep);
  return at != std::string::npos && parseInt(s.substr(0, at), lo1, hi1, a) &&
         parseInt(s.substr(at + 1), lo2, hi2, b);
}

bool parseSelection(const std::string& s, Selection& sel) {
  const std::size_t colon = s.find(':');
  if (colon == std::string::npos) return false;
  const std::string kind = s.substr(0, colon);
  int n = 0;
  if (!parseInt(s.substr(colon + 1), 1, 65535, n)) return false;
  if (kind == "pin")
    sel.pin = n;
  else if (kind == "point")
    sel.point = n;
  else if (kind == "text")
    sel.text = n;
  else if (kind == "object")
    sel.object = n;
  else
    return false;
  return true;
}

// A selection number past the board's rows is refused rather than drawn from free rows.
bool selectionFits(const Selection& sel, const Board& b, std::string& error) {
  const struct {
    const char* kind;
    int32_t n;
    int32_t count;
  } checks[] = {{"pin", sel.pin, b.PinCount},
                {"point", sel.point, b.WirePointCount},
                {"text", sel.text, b.TextCount},
                {"object", sel.object, b.ObjectCount}};
  for (const auto& c : checks) {
    if (c.n > c.count) {
      error = std::string("--select ") + c.kind + ":" + std::to_string(c.n) +
              " but the board has " + std::to_string(c.count) + " of them";
      return false;
    }
  }
  return true;
}

// The render command's options, each writing into `o`.
CommandLine renderCommandLine(RenderOptions& o) {
  CommandLine line;
  line.usage = kRenderUsage;
  line.inlineValues = true;
  line.options = {
      valueOption({"-o", "--output"},
                  [&o](const std::string& v, std::string&) {
                    o.output = v;
                    return !v.empty();
                  }),
      valueOption({"--size"},
                  [&o](const std::string& v, std::string&) {
                    return parsePair(v, 'x', 1, kMaxAreaSide, 1, kMaxAreaSide, o.width, o.height);
                  }),
      valueOption({"--zoom"},
                  [&o](const std::string& v, std::string&) {
                    return parseInt(v, 0, kZoomLevels - 1, o.zoom);
                  }),
      valueOption({"--scroll"},
                  [&o](const std::string& v, std::string&) {
                    return parsePair(v, ',', 0, kScrollMaxX, 0, kScrollMaxY, o.scrollX, o.scrollY);
                  }),
      valueOption({"--hide-layer"},
                  [&o](const std::string& v, std::string&) {
                    int layer = 0;
                    if (!parseInt(v, 1, kLayerCount, layer)) return false;
                    o.visibility.layers[static_cast<std::size_t>(layer - 1)] = false;
                    return true;
                  }),
      valueOption({"--select"}, [&o](const std::string& v,
                                     std::string&) { return parseSelection(v, o.selection); }),
      flagOption({"--no-grid"}, o.visibility.grid, false),
      flagOption({"--no-frame"}, o.visibility.frame, false),
      flagOption({"--complete-wire"}, o.visibility.completeWire),
  };
  line.finish = [&o](std::string& error) {
    if (o.output.empty()) error = "-o OUT.png is missing";
    return error.empty();
  };
  return line;
}

}  // namespace

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& o,
                        std::string& error) {
  return renderCommandLine(o).parse(args, o.input, error);
}

QImage renderBoard(const Board& board, const RenderOptions& o) {
  Canvas canvas(o.width, o.height, 60);
  View view;
  view.setAreaSize(o.width, o.height);
  view.ZoomLevel = o.zoom;
  view.scrollX = o.scrollX;
  view.scrollY = o.scrollY;
  BoardRenderer renderer(BoardRenderer::Use::Once);
  renderer.drawBoard(canvas, board, view, o.visibility, o.selection);
  // The canvas's painter has ended, so the picture can share its pixels without a copy.
  return canvas.image();
}

int runRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  RenderOptions options;
  if (const auto status = renderCommandLine(options).read(args, options.input, out, err))
    return *status;
  if (!outputFolderExists(options.output, err)) return kExitFailed;
  auto board = makeBoard();
  if (!loadBoard(options.input, *board, err)) return kExitFailed;
  std::string error;
  if (!selectionFits(options.selection, *board, error)) return usageError(error, kRenderUsage, err);

  const auto app = ensureGuiApplication();
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    err << "ferrowrit-cli: drawing needs a QGuiApplication\n";
    return kExitFailed;
  }
  QImage image = renderBoard(*board, options);

  // Encoded in memory, then written as a project file is: whole or not at all.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!writePng(std::move(image), buffer)) {
    err << "ferrowrit-cli: cannot encode the picture for " << options.output << "\n";
    return kExitFailed;
  }
  if (!writeOutput(options.output, buffer.data(), err)) return kExitFailed;
  return kExitOk;
}

}  // namespace fw

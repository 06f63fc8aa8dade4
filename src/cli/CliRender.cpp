// ferrowrit-cli render: the board as the editor's drawing area shows it, as a PNG picture.
#include <QBuffer>
#include <QGuiApplication>
#include <charconv>
#include <memory>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliCommon.h"
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

bool parseInt(const std::string& s, int lo, int hi, int& v) {
  int n = 0;
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, n);
  if (ec != std::errc() || ptr != end || n < lo || n > hi) return false;
  v = n;
  return true;
}

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

}  // namespace

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& o,
                        std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool hasValue = false;
    if (name.rfind("--", 0) == 0) {
      const std::size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
        hasValue = true;
      }
    }
    if (!isOption(name)) {
      if (!o.input.empty()) {
        error = "only one FILE is taken";
        return false;
      }
      o.input = name;
      continue;
    }

    if (name == "--no-grid" || name == "--no-frame" || name == "--complete-wire") {
      if (hasValue) {
        error = name + " takes no value";
        return false;
      }
      if (name == "--no-grid") o.visibility.grid = false;
      if (name == "--no-frame") o.visibility.frame = false;
      if (name == "--complete-wire") o.visibility.completeWire = true;
      continue;
    }

    if (!hasValue) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    bool ok = true;
    if (name == "-o" || name == "--output") {
      ok = !value.empty();
      o.output = value;
    } else if (name == "--size") {
      ok = parsePair(value, 'x', 1, kMaxAreaSide, 1, kMaxAreaSide, o.width, o.height);
    } else if (name == "--zoom") {
      ok = parseInt(value, 0, kZoomLevels - 1, o.zoom);
    } else if (name == "--scroll") {
      ok = parsePair(value, ',', 0, kScrollMaxX, 0, kScrollMaxY, o.scrollX, o.scrollY);
    } else if (name == "--hide-layer") {
      int layer = 0;
      ok = parseInt(value, 1, kLayerCount, layer);
      if (ok) o.visibility.layers[static_cast<std::size_t>(layer - 1)] = false;
    } else if (name == "--select") {
      ok = parseSelection(value, o.selection);
    } else {
      error = "unknown option " + name;
      return false;
    }
    if (!ok) {
      error = "bad value for " + name + ": '" + value + "'";
      return false;
    }
  }
  if (o.input.empty()) {
    error = "FILE is missing";
    return false;
  }
  if (o.output.empty()) {
    error = "-o OUT.png is missing";
    return false;
  }
  return true;
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
  if (wantsHelp(args)) {
    out << kRenderUsage;
    return kExitOk;
  }
  RenderOptions options;
  std::string error;
  if (!parseRenderOptions(args, options, error)) {
    err << "ferrowrit-cli: " << error << "\n" << kRenderUsage;
    return kExitUsage;
  }
  auto board = makeBoard();
  if (!loadBoard(options.input, *board, err)) return kExitFailed;
  if (!selectionFits(options.selection, *board, error)) {
    err << "ferrowrit-cli: " << error << "\n" << kRenderUsage;
    return kExitUsage;
  }

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

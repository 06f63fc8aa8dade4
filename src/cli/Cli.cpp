#include "cli/Cli.h"

#include <sstream>

#include "cli/CliCommon.h"
#include "cli/CommandLine.h"
#include "files/ObjectFile.h"

namespace fw {

namespace {

const char* const kMainUsage =
    "Usage: ferrowrit-cli COMMAND [OPTIONS] FILE\n"
    "\n"
    "Reads Ferrowrit project files (.kvd) and object files (.kvo) without opening a window.\n"
    "A FILE whose name ends in .kvo is read as an object file, any other as a project file.\n"
    "\n"
    "Commands:\n"
    "  info FILE                 counts of pins, wires, wire segments, texts and objects,\n"
    "                            and the frame size; for an object file the counts of pins,\n"
    "                            wire points and texts, and the description\n"
    "  dump FILE                 the whole board or object as JSON\n"
    "  render FILE -o OUT.png    the board as the editor draws it, as a PNG picture\n"
    "  print FILE -o OUT.pdf|OUT.png\n"
    "                            one layer as printed artwork, on a PDF page or a page image\n"
    "  gerber FILE -o DIR        Gerber files of both copper layers, the graphic layer and\n"
    "                            the frame, and an Excellon drill file\n"
    "  check FILE [--preset NAME] [--json]\n"
    "                            the design rule check of the copper: clearances, track\n"
    "                            widths, pad rings, the frame's edge, loose ends\n"
    "                            (exit status 1 when there are errors)\n"
    "  make-library DESCRIPTION -o FOLDER\n"
    "                            an object file for every footprint of a library description\n"
    "  import-kicad FILE.kicad_mod|DIR.pretty -o OUT [--accept-rounding]\n"
    "                            KiCad footprints as object files, one or a whole library\n"
    "\n"
    "Run 'ferrowrit-cli COMMAND --help' for the options of a command, and\n"
    "'ferrowrit-cli --version' for the version.\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read, 2 usage error.\n";

const char* const kInfoUsage =
    "Usage: ferrowrit-cli info FILE\n"
    "\n"
    "For a project file prints six lines: Pins, Wires, Wire Segments, TextStrings, Objects and\n"
    "Frame (W x H, board units). For an object file (.kvo) prints four: Pins, Wire Points,\n"
    "TextStrings and Description.\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read, 2 usage error.\n";

const char* const kDumpUsage =
    "Usage: ferrowrit-cli dump FILE\n"
    "\n"
    "Prints the whole board as JSON: pins (x, y, sizeIndex, style), wirePoints (x, y, attr),\n"
    "texts (text, size, x, y), objects (firstPin, pinCount, firstPoint, pointCount, firstText,\n"
    "textCount, description), frameWidth and frameHeight. For an object file (.kvo): pins,\n"
    "wirePoints, texts and description. Values are as stored, flags and packed layers\n"
    "included; 8-bit characters are Latin-1.\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read, 2 usage error.\n";

// A command that takes exactly one FILE and no options; an object file goes to `writeObject`,
// a project file to `writeBoard`.
int runFileCommand(const std::vector<std::string>& args, const char* usage,
                   void (*writeBoard)(const Board&, std::ostream&),
                   void (*writeObject)(const ObjectData&, std::ostream&), std::ostream& out,
                   std::ostream& err) {
  std::string file;
  CommandLine line;
  line.usage = usage;
  if (const auto status = line.read(args, file, out, err)) return *status;
  if (isObjectFilePath(file)) {
    ObjectData object;
    std::string error;
    if (!ReadObjectFile(file, object, error)) {
      err << "ferrowrit-cli: " << error << "\n";
      return kExitFailed;
    }
    writeObject(object, out);
    return kExitOk;
  }
  auto board = makeBoard();
  if (!loadBoard(file, *board, err)) return kExitFailed;
  writeBoard(*board, out);
  return kExitOk;
}

void appendPinJson(std::string& s, const Pin& p) {
  s += "{\"x\": " + std::to_string(p.x) + ", \"y\": " + std::to_string(p.y) +
       ", \"sizeIndex\": " + std::to_string(p.sizeIndex) +
       ", \"style\": " + std::to_string(p.style) + "}";
}

void appendPointJson(std::string& s, const WirePoint& p) {
  s += "{\"x\": " + std::to_string(p.x) + ", \"y\": " + std::to_string(p.y) +
       ", \"attr\": " + std::to_string(p.attr) + "}";
}

void appendTextJson(std::string& s, const TextItem& t) {
  s += "{\"text\": " + jsonString(t.text.str()) + ", \"size\": " + std::to_string(t.size) +
       ", \"x\": " + std::to_string(t.x) + ", \"y\": " + std::to_string(t.y) + "}";
}

void appendObjectJson(std::string& s, const BoardObject& o, const DescriptionString& d) {
  s += "{\"firstPin\": " + std::to_string(o.firstPin) +
       ", \"pinCount\": " + std::to_string(o.pinCount) +
       ", \"firstPoint\": " + std::to_string(o.firstPoint) +
       ", \"pointCount\": " + std::to_string(o.pointCount) +
       ", \"firstText\": " + std::to_string(o.firstText) +
       ", \"textCount\": " + std::to_string(o.textCount) +
       ", \"description\": " + jsonString(d.str()) + "}";
}

// Appends `"name": [` rows `]`, one row per line.
template <typename RowFn>
void appendArray(std::string& s, const char* name, int32_t count, RowFn row) {
  s += "  \"";
  s += name;
  s += "\": [";
  for (int32_t i = 0; i < count; ++i) {
    s += i == 0 ? "\n    " : ",\n    ";
    row(static_cast<std::size_t>(i));
  }
  s += count > 0 ? "\n  ],\n" : "],\n";
}

}  // namespace

std::string jsonString(std::string_view bytes) {
  static const char hex[] = "0123456789abcdef";
  std::string s;
  s.reserve(bytes.size() + 2);
  s += '"';
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        s += "\\\"";
        break;
      case '\\':
        s += "\\\\";
        break;
      case '\b':
        s += "\\b";
        break;
      case '\f':
        s += "\\f";
        break;
      case '\n':
        s += "\\n";
        break;
      case '\r':
        s += "\\r";
        break;
      case '\t':
        s += "\\t";
        break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          s += "\\u00";
          s += hex[c >> 4];
          s += hex[c & 15];
        } else {
          s += ch;
        }
    }
  }
  s += '"';
  return s;
}

void writeBoardInfo(const Board& b, std::ostream& out) {
  out << "Pins: " << b.PinCount << "\n"
      << "Wires: " << b.wireCount() << "\n"
      << "Wire Segments: " << b.wireSegmentCount() << "\n"
      << "TextStrings: " << b.TextCount << "\n"
      << "Objects: " << b.ObjectCount << "\n"
      << "Frame: " << b.FrameWidth << " x " << b.FrameHeight << "\n";
}

void writeBoardJson(const Board& b, std::ostream& out) {
  std::string s = "{\n";
  s.reserve(64 * static_cast<std::size_t>(b.PinCount + b.WirePointCount + b.TextCount) +
            200 * static_cast<std::size_t>(b.ObjectCount) + 100);
  appendArray(s, "pins", b.PinCount, [&](std::size_t i) { appendPinJson(s, b.PinTable[i]); });
  appendArray(s, "wirePoints", b.WirePointCount,
              [&](std::size_t i) { appendPointJson(s, b.WirePointTable[i]); });
  appendArray(s, "texts", b.TextCount, [&](std::size_t i) { appendTextJson(s, b.TextTable[i]); });
  appendArray(s, "objects", b.ObjectCount, [&](std::size_t i) {
    appendObjectJson(s, b.ObjectTable[i], b.ObjectDescriptions[i]);
  });
  s += "  \"frameWidth\": " + std::to_string(b.FrameWidth) + ",\n";
  s += "  \"frameHeight\": " + std::to_string(b.FrameHeight) + "\n}\n";
  out << s;
}

void writeObjectInfo(const ObjectData& o, std::ostream& out) {
  out << "Pins: " << o.pins.size() << "\n"
      << "Wire Points: " << o.points.size() << "\n"
      << "TextStrings: " << o.texts.size() << "\n"
      << "Description: " << o.description.str() << "\n";
}

void writeObjectJson(const ObjectData& o, std::ostream& out) {
  std::string s = "{\n";
  s.reserve(64 * (o.pins.size() + o.points.size() + o.texts.size()) + 100);
  auto count = [](std::size_t n) { return static_cast<int32_t>(n); };
  appendArray(s, "pins", count(o.pins.size()), [&](std::size_t i) { appendPinJson(s, o.pins[i]); });
  appendArray(s, "wirePoints", count(o.points.size()),
              [&](std::size_t i) { appendPointJson(s, o.points[i]); });
  appendArray(s, "texts", count(o.texts.size()),
              [&](std::size_t i) { appendTextJson(s, o.texts[i]); });
  s += "  \"description\": " + jsonString(o.description.str()) + "\n}\n";
  out << s;
}

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << "ferrowrit-cli: COMMAND is missing\n" << kMainUsage;
    return kExitUsage;
  }
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << kMainUsage;
    return kExitOk;
  }
  if (command == "--version") {
    out << "ferrowrit-cli " FERROWRIT_VERSION "\n";
    return kExitOk;
  }
  if (command == "info")
    return runFileCommand(rest, kInfoUsage, writeBoardInfo, writeObjectInfo, out, err);
  if (command == "dump")
    return runFileCommand(rest, kDumpUsage, writeBoardJson, writeObjectJson, out, err);
  if (command == "render") return runRender(rest, out, err);
  if (command == "make-library") return runMakeLibrary(rest, out, err);
  if (command == "import-kicad") return runImportKicad(rest, out, err);
  if (command == "print") return runPrint(rest, out, err);
  if (command == "gerber") return runGerber(rest, out, err);
  if (command == "check") return runCheck(rest, out, err);
  err << "ferrowrit-cli: unknown command " << command << "\n" << kMainUsage;
  return kExitUsage;
}

}  // namespace fw

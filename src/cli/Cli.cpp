#include "cli/Cli.h"

#include <sstream>

#include "cli/CliCommon.h"
#include "files/ProjectFile.h"

namespace fw {

namespace {

const char* const kMainUsage =
    "Usage: ferrowrit-cli COMMAND [OPTIONS] FILE\n"
    "\n"
    "Reads a Ferrowrit project file (.kvd) without opening a window.\n"
    "\n"
    "Commands:\n"
    "  info FILE                 counts of pins, wires, wire segments, texts and objects,\n"
    "                            and the frame size\n"
    "  dump FILE                 the whole board as JSON\n"
    "  render FILE -o OUT.png    the board as the editor draws it, as a PNG picture\n"
    "\n"
    "Run 'ferrowrit-cli COMMAND --help' for the options of a command.\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read, 2 usage error.\n";

const char* const kInfoUsage =
    "Usage: ferrowrit-cli info FILE\n"
    "\n"
    "Prints six lines: Pins, Wires, Wire Segments, TextStrings, Objects and Frame (W x H,\n"
    "board units).\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read, 2 usage error.\n";

const char* const kDumpUsage =
    "Usage: ferrowrit-cli dump FILE\n"
    "\n"
    "Prints the whole board as JSON: pins (x, y, sizeIndex, style), wirePoints (x, y, attr),\n"
    "texts (text, size, x, y), objects (firstPin, pinCount, firstPoint, pointCount, firstText,\n"
    "textCount, description), frameWidth and frameHeight. Values are as stored, flags and packed\n"
    "layers included; 8-bit characters are Latin-1.\n"
    "Exit status: 0 success, 1 the file is refused or cannot be read, 2 usage error.\n";

// A command that takes exactly one FILE and no options.
int runFileCommand(const std::vector<std::string>& args, const char* usage,
                   void (*write)(const Board&, std::ostream&), std::ostream& out,
                   std::ostream& err) {
  if (wantsHelp(args)) {
    out << usage;
    return kExitOk;
  }
  if (args.size() != 1 || isOption(args[0])) {
    err << "ferrowrit-cli: "
        << (args.empty()        ? std::string("FILE is missing")
            : isOption(args[0]) ? "unknown option " + args[0]
                                : std::string("only one FILE is taken"))
        << "\n"
        << usage;
    return kExitUsage;
  }
  auto board = makeBoard();
  if (!loadBoard(args[0], *board, err)) return kExitFailed;
  write(*board, out);
  return kExitOk;
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

bool wantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

bool isOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

bool loadBoard(const std::string& path, Board& board, std::ostream& err) {
  std::string error;
  if (ReadProjectFile(path, board, error)) return true;
  err << "ferrowrit-cli: " << error << "\n";
  return false;
}

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
  appendArray(s, "pins", b.PinCount, [&](std::size_t i) {
    const Pin& p = b.PinTable[i];
    s += "{\"x\": " + std::to_string(p.x) + ", \"y\": " + std::to_string(p.y) +
         ", \"sizeIndex\": " + std::to_string(p.sizeIndex) +
         ", \"style\": " + std::to_string(p.style) + "}";
  });
  appendArray(s, "wirePoints", b.WirePointCount, [&](std::size_t i) {
    const WirePoint& p = b.WirePointTable[i];
    s += "{\"x\": " + std::to_string(p.x) + ", \"y\": " + std::to_string(p.y) +
         ", \"attr\": " + std::to_string(p.attr) + "}";
  });
  appendArray(s, "texts", b.TextCount, [&](std::size_t i) {
    const TextItem& t = b.TextTable[i];
    s += "{\"text\": " + jsonString(t.text.str()) + ", \"size\": " + std::to_string(t.size) +
         ", \"x\": " + std::to_string(t.x) + ", \"y\": " + std::to_string(t.y) + "}";
  });
  appendArray(s, "objects", b.ObjectCount, [&](std::size_t i) {
    appendObjectJson(s, b.ObjectTable[i], b.ObjectDescriptions[i]);
  });
  s += "  \"frameWidth\": " + std::to_string(b.FrameWidth) + ",\n";
  s += "  \"frameHeight\": " + std::to_string(b.FrameHeight) + "\n}\n";
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
  if (command == "info") return runFileCommand(rest, kInfoUsage, writeBoardInfo, out, err);
  if (command == "dump") return runFileCommand(rest, kDumpUsage, writeBoardJson, out, err);
  if (command == "render") return runRender(rest, out, err);
  err << "ferrowrit-cli: unknown command " << command << "\n" << kMainUsage;
  return kExitUsage;
}

}  // namespace fw

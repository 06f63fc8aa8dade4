#pragma once

#include <QImage>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "board/Board.h"
#include "files/ObjectFile.h"
#include "render/BoardRenderer.h"

namespace fw {

// ferrowrit-cli: the board code without a window, for scripts and end-to-end tests.

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the file is refused or cannot be read, or OUT cannot be written
constexpr int kExitUsage = 2;

// Runs the program with `args`, the arguments after the program name. Results go to `out`,
// one-line reasons and usage errors to `err`. Returns the exit status.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The six lines of `info`: the counts of the Information dialog and the frame size.
void writeBoardInfo(const Board& board, std::ostream& out);

// The whole board as JSON, every field as stored.
void writeBoardJson(const Board& board, std::ostream& out);

// The four lines of `info` for an object file: the counts of pins, wire points and texts, and
// the description.
void writeObjectInfo(const ObjectData& object, std::ostream& out);

// The whole object as JSON, every field as stored.
void writeObjectJson(const ObjectData& object, std::ostream& out);

// `bytes` as a quoted JSON string; the 8-bit characters are Latin-1, so bytes from 0x80 up
// become \u0080..\u00ff.
std::string jsonString(std::string_view bytes);

// Everything `render` takes from its command line.
struct RenderOptions {
  std::string input;
  std::string output;
  int width = 800;  // drawing area in pixels
  int height = 600;
  int zoom = 2;
  int scrollX = kCenterScrollX;
  int scrollY = kCenterScrollY;
  Visibility visibility;
  Selection selection;
};

// Parses the arguments after "render". False with a one-line reason on a usage error.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// The pixels of the full repaint of a drawing area of options.width x options.height showing
// `board`. Needs a QGuiApplication.
QImage renderBoard(const Board& board, const RenderOptions& options);

}  // namespace fw

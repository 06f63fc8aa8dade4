#pragma once

#include <string>
#include <vector>

#include "board/Board.h"
#include "fab/FabOptions.h"

namespace fw {

// Fabrication output: the board as Gerber RS-274X files with X2 attributes in comment form and
// an Excellon drill file, in millimetres, seen from the top with y up. The origin is the frame's
// lower left corner; pads, holes, tracks and texts have the sizes of a 100% print.

enum class FabFile { Layer1, Layer2, Graphic, Outline, Drill };
constexpr FabFile kFabFiles[] = {FabFile::Layer1, FabFile::Layer2, FabFile::Graphic,
                                 FabFile::Outline, FabFile::Drill};

// "-layer1.gbr", "-layer2.gbr", "-graphic.gbr", "-outline.gbr" or ".drl": what follows NAME.
const char* fabFileSuffix(FabFile file);

// The text of one file. Texts need a QGuiApplication for their glyph outlines.
std::string fabFileText(const Board& board, FabFile file);

// NAME for a board saved under `currentFileName`: the file's stem, or "board" while unnamed.
std::string fabBaseName(const std::string& currentFileName);

// Writes the five files NAME<suffix> into `folder`, each whole or not at all. False with a
// one-line reason when one of them cannot be written.
bool writeFabFiles(const Board& board, const std::string& folder, const std::string& name,
                   std::string& error);

// What an export wrote, or why it could not.
struct FabReport {
  std::string error;                  // one line; empty when the whole set was written
  std::vector<std::string> warnings;  // what the user should know, though the set was written
  std::vector<std::string> files;     // the names written into the folder, in order
};

// Writes the whole set for `options` into `folder`, named after `name`, each file whole or not
// at all. False with report.error set when a file cannot be written or the options are refused.
bool writeFabSet(const Board& board, const std::string& folder, const std::string& name,
                 const FabOptions& options, FabReport& report);

// Board position to file coordinates in nanometres (the files' 6 decimals of a millimetre).
long long fabX(const Board& board, int x);
long long fabY(const Board& board, int y);

// A length in 1/360 inch in nanometres.
long long fabLength360(int q);

}  // namespace fw

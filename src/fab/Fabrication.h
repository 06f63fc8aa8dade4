#pragma once

#include <string>
#include <vector>

#include "board/Board.h"
#include "fab/FabCoordinates.h"
#include "fab/FabOptions.h"
#include "fab/GerberWriter.h"

namespace fw {

// Fabrication output: the board as Gerber RS-274X files with X2 attributes in comment form and
// an Excellon drill file, in millimetres, seen from the top with y up, and a Gerber job file
// that lists them. The origin is the frame's lower left corner; pads, tracks and texts have the
// sizes of a 100% print, holes the finished sizes of FabOptions. Layer 1 is the top copper.

enum class FabFile { Layer1, Layer2, Graphic, MaskTop, MaskBottom, Outline, Drill };
constexpr FabFile kFabFiles[] = {FabFile::Layer1,  FabFile::Layer2,     FabFile::Graphic,
                                 FabFile::MaskTop, FabFile::MaskBottom, FabFile::Outline,
                                 FabFile::Drill};

// "-layer1.gbr", "-layer2.gbr", "-graphic.gbr", "-mask-top.gbr", "-mask-bottom.gbr",
// "-outline.gbr" or ".drl": what follows NAME under the usual names.
const char* fabFileSuffix(FabFile file);

// The file's name for NAME: NAME<suffix>, or with `protel` NAME.GTL, .GBL, .GTO, .GTS, .GBS,
// .GKO or .XLN, the extensions board houses' CAM software recognises.
std::string fabFileName(const std::string& name, FabFile file, bool protel);
// NAME.gbrjob, and NAME-gerber.zip for the packed set.
std::string fabJobFileName(const std::string& name);
std::string fabZipFileName(const std::string& name);

// The X2 file function ("Copper,L1,Top", "Soldermask,Bot", "Plated,1,2,PTH" ...) and polarity
// ("Positive", or "Negative" for the masks, whose dark pads are the openings).
const char* fabFileFunction(FabFile file);
const char* fabFilePolarity(FabFile file);

// The text of one file. Texts need a QGuiApplication for their glyph outlines.
std::string fabFileText(const Board& board, FabFile file, const FabOptions& options = {});

// The Gerber job file (JSON) for the set written under `name` with `options`, made now.
std::string fabJobText(const Board& board, const std::string& name, const FabOptions& options);

// NAME for a board saved under `currentFileName`: the file's stem, or "board" while unnamed.
std::string fabBaseName(const std::string& currentFileName);

// What an export wrote, or why it could not.
struct FabReport {
  std::string error;                  // one line; empty when the whole set was written
  std::vector<std::string> warnings;  // what the user should know, though the set was written
  std::vector<std::string> files;     // the names written into the folder, in order
};

// Writes the whole set for `options` into `folder`, named after `name`: the seven files, the
// job file and with options.zip the zip of them all, each file whole or not at all. False with
// report.error set when a file cannot be written or the options are refused (fabOptionsProblem);
// nothing is written then.
bool writeFabSet(const Board& board, const std::string& folder, const std::string& name,
                 const FabOptions& options, FabReport& report);

// writeFabSet with the usual options, its warnings left out.
bool writeFabFiles(const Board& board, const std::string& folder, const std::string& name,
                   std::string& error);

// Gives the text of one file to `sink` piece by piece; false when the sink refused one.
bool writeFabFileText(const Board& board, FabFile file, const FabOptions& options,
                      const FabSink& sink);

// What the user should know of a board about to be exported, one line each: copper outside the
// frame, which a board house would cut off or refuse.
std::vector<std::string> fabWarnings(const Board& board);

}  // namespace fw

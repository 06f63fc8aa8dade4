#pragma once

#include <string>
#include <utility>
#include <vector>

#include "fab/Fabrication.h"
#include "fab/GerberWriter.h"

namespace fw {

// What the export's files share, not for use outside src/fab.

// Gives the text of one file to `sink` piece by piece; false when the sink refused one.
bool writeFabFileText(const Board& board, FabFile file, const FabOptions& options,
                      const FabSink& sink);

// The bytes of a zip archive holding each (name, bytes) pair, deflated at a fast level. False
// with libzip's reason, a few words, when the archive cannot be made.
bool zipFabFiles(const std::vector<std::pair<std::string, std::string>>& files, std::string& zip,
                 std::string& error);

}  // namespace fw

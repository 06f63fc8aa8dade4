#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "board/Board.h"

namespace fw {

// Pieces the commands of ferrowrit-cli share.

bool wantsHelp(const std::vector<std::string>& args);
bool isOption(const std::string& arg);
// Reads a project file; on failure writes the one-line reason to `err`.
bool loadBoard(const std::string& path, Board& board, std::ostream& err);
// The render command with the arguments after "render".
int runRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace fw

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/Board.h"

namespace fw {

// The project file (".kvd"): a bare sequence of little-endian blocks holding the whole board.

// The bytes of a board as a project file.
std::vector<uint8_t> serializeProjectFile(const Board& board);

// Parses a project file into `out`. Returns false with a reason in `error` when the file is
// plainly not a board (a count beyond its table's capacity: the reason starts with "not a
// Ferrowrit project file") or damaged (a file that ends before its last block, object records
// that point outside the tables); `out` is then in an unspecified state, so parse into a
// scratch board. Bytes after the last block are ignored.
bool parseProjectFile(const uint8_t* data, std::size_t size, Board& out, std::string& error);

// Reads the file at `path` into `board`. The board is replaced only when the whole file is good;
// on failure it is left untouched and `error` says why. On success SavedFlag is 1.
bool ReadProjectFile(const std::string& path, Board& board, std::string& error);

// Writes `board` to `path` without ever destroying the previous file: the bytes go to a
// temporary file beside the target, every write and the close are checked, then it is renamed
// over the target. Any failure returns false with a reason and removes the temporary file.
bool WriteProjectFile(const std::string& path, const Board& board, std::string& error);

// ".kvd" is appended when the path holds no "." anywhere, folder names included.
std::string withProjectExtension(const std::string& path);

}  // namespace fw

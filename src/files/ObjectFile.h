#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/Board.h"

namespace fw {

// The object file (".kvo"): a reusable group of pins, wire points and texts with one
// description, as a bare sequence of little-endian blocks. Unlike the project file it keeps all
// 32 characters of a text, and it has no object records and no frame.

// What an object file holds, apart from the board it will be loaded into. Positions are as they
// stood on the board when the object was saved.
struct ObjectData {
  std::vector<Pin> pins;
  std::vector<WirePoint> points;
  std::vector<TextItem> texts;
  DescriptionString description;
};

// The bytes of every pin, wire point and text of `board` (the rows in use, objects or not) as
// an object file. The description is cut to its first 50 characters, as it is held in memory.
std::vector<uint8_t> serializeObjectFile(const Board& board, std::string_view description);
// The bytes of `object`; tables longer than a board's capacities are cut to them.
std::vector<uint8_t> serializeObjectFile(const ObjectData& object);

// Parses an object file into `out`. Returns false with a one-line reason in `error` when the
// file ends before its last block or a count passes a board's capacity; `out` is then left
// empty. Bytes after the description are ignored.
bool parseObjectFile(const uint8_t* data, std::size_t size, ObjectData& out, std::string& error);

// Reads the object file at `path`. On failure `out` is left empty and `error` says why.
bool ReadObjectFile(const std::string& path, ObjectData& out, std::string& error);

// Writes the rows in use of `board` with `description` to `path` (Save as Object). The file
// appears whole or not at all: a failure returns false with a reason and leaves any previous
// file of that name as it was.
bool WriteObjectFile(const std::string& path, const Board& board, std::string_view description,
                     std::string& error);
bool WriteObjectFile(const std::string& path, const ObjectData& object, std::string& error);

// The object load: puts the object's pins, wire points and texts into the free rows directly
// past PinCount, WirePointCount and TextCount, and its description into the slot of row
// ObjectCount, where placing the object takes them over. No count changes; the caller keeps the
// three sizes as the floating counts. Refuses with a reason, writing nothing, when the rows
// would run past a table's capacity or the object table has no row left for the placement.
bool loadIntoFreeRows(Board& board, const ObjectData& object, std::string& error);

// The object as the loose material of an emptied board, where it was saved: what `render` and
// the library's pictures draw. Refuses as loadIntoFreeRows does.
bool loadAsBoard(Board& board, const ObjectData& object, std::string& error);

// ".kvo" is appended when the path holds no "." anywhere, folder names included.
std::string withObjectExtension(const std::string& path);

// The object library: the initial folder of both object file dialogs.
std::string objectLibraryFolder(const std::string& programDirectory);

}  // namespace fw

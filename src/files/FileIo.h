#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fw {

// Whole-file reading and writing for the binary formats, with reasons a user can act on.

// Reads at most `limit` bytes of the regular file at `path` into `bytes`; the rest of a longer
// file is never looked at. False with a one-line reason when the file cannot be opened or read,
// or is a folder or not a regular file.
bool readFileBytes(const std::string& path, std::size_t limit, std::vector<uint8_t>& bytes,
                   std::string& error);

// Replaces the file at `path` with `bytes` without ever destroying the previous file: the bytes
// go to a temporary file beside the target, every write and the close are checked, then it is
// renamed over the target. A symbolic link is followed, so the file it points to is replaced.
// Any failure returns false with a one-line reason and removes the temporary file.
bool replaceFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace fw

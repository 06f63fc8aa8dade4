#pragma once

#include <zip.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fab/GerberWriter.h"

namespace fw {

// What the export's files share, not for use outside src/fab.

// Deflate data for `bytes`, with Huffman codes fitted to them and no repeats looked for, as a
// block that is not the last and ends on a byte (as zlib's Z_SYNC_FLUSH ends one), so that such
// pieces follow each other in one stream.
void deflateHuffmanOnly(std::string_view bytes, std::string& out);

// A zip archive made while its files' texts are: each file's bytes are deflated piece by piece
// on worker threads as they come, so the archive costs little more than the texts' making.
class FabZipper {
 public:
  FabZipper();
  ~FabZipper();
  FabZipper(const FabZipper&) = delete;
  FabZipper& operator=(const FabZipper&) = delete;

  // Begins the next file, named `name`: what add() gives until the next begin() or finish() is
  // its bytes. Bytes before the first begin() are dropped.
  void begin(const std::string& name);
  void add(std::string_view bytes);
  // Gives the archive's bytes to `sink` piece by piece, once. False with the reason, a few
  // words, when the archive cannot be made, and with `error` left empty when the sink refused a
  // piece.
  bool finish(const FabSink& sink, std::string& error);

  struct Piece;   // of FabZip.cpp
  struct Member;  // of FabZip.cpp

 private:
  void queueOpenPiece();
  void serve();
  bool deflateAll(std::string& error);
  static zip_int64_t read(void* member, void* data, zip_uint64_t length, zip_source_cmd_t cmd);

  std::vector<std::unique_ptr<Member>> members_;
  Piece* queued_ = nullptr;  // the piece last handed to the workers
  std::mutex mutex_;         // guards what follows
  std::condition_variable wake_, done_;
  std::deque<Piece*> tasks_;
  std::vector<std::string> spare_;  // deflated pieces' buffers, for the next pieces
  std::size_t unfinished_ = 0;      // pieces handed over and not yet deflated
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace fw

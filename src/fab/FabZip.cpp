// The packed set. The files' texts are deflated in pieces on worker threads while the next
// pieces are being made, and libzip is handed the deflated members as they are, so it only
// copies them into the archive, which is made in memory so that it is written through the same
// FileReplacement as every other file.
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "fab/FabSet.h"

namespace fw {

namespace {

// A piece is deflated on its own once this much of a file has come: large enough that the
// pieces' seams cost next to nothing, small enough that a 23 MB file keeps both cores busy.
constexpr std::size_t kPieceBytes = 1 << 20;

// The deflate data after the last piece: an empty fixed-code block marked final. Every piece
// ends on a byte with an empty stored block, so the pieces follow each other as one stream;
// alone it is the deflate data of an empty file.
constexpr char kLastBlock[] = {'\x03', '\x00'};

struct SourceFree {
  void operator()(zip_source_t* s) const { zip_source_free(s); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

// libzip's words for `e`, which is then released.
std::string reason(zip_error_t* e) {
  const std::string text = zip_error_strerror(e);
  zip_error_fini(e);
  return text;
}

}  // namespace

// One piece of a file: its bytes until deflated, then the deflate data and the bytes' CRC.
struct FabZipper::Piece {
  std::string bytes, deflated;
  std::size_t size = 0;
  uLong crc = 0;
  bool ok = true;  // false when memory ran out
};

// A file of the archive, read by libzip through a source function as its deflated pieces one
// after the other and then kLastBlock.
struct FabZipper::Member {
  std::string name;
  std::vector<std::unique_ptr<Piece>> pieces;
  zip_uint64_t size = 0, compressed = 0;
  uLong crc = 0;
  time_t made = 0;
  std::size_t piece = 0, offset = 0;  // where libzip reads next
  zip_error_t error;
};

namespace {

void work(FabZipper::Piece& piece) {
  piece.size = piece.bytes.size();
  try {
    deflateHuffmanOnly(piece.bytes, piece.deflated);
  } catch (const std::bad_alloc&) {
    piece.ok = false;
  }
  piece.crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(piece.bytes.data()),
                    uInt(piece.bytes.size()));
  piece.bytes.clear();
}

}  // namespace

FabZipper::FabZipper() {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  // The thread that makes the texts is busy until finish(), which then deflates too.
  for (unsigned i = 0; i + 1 < std::max(2u, cores) && i < 7; ++i) {
    try {
      workers_.emplace_back([this] { serve(); });
    } catch (const std::system_error&) {
      break;  // fewer threads: finish() deflates what is left
    }
  }
}

FabZipper::~FabZipper() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : workers_) t.join();
  for (auto& m : members_) zip_error_fini(&m->error);
}

void FabZipper::begin(const std::string& name) {
  queueOpenPiece();
  auto& m = *members_.emplace_back(std::make_unique<Member>());
  m.name = name;
  m.made = time(nullptr);
  zip_error_init(&m.error);
}

void FabZipper::add(std::string_view bytes) {
  if (members_.empty()) return;
  auto& pieces = members_.back()->pieces;
  while (!bytes.empty()) {
    if (pieces.empty() || queued_ == pieces.back().get()) {
      pieces.push_back(std::make_unique<Piece>());
      // A buffer the workers are done with, its pages already in place, or a new one.
      std::lock_guard lock(mutex_);
      if (!spare_.empty()) {
        pieces.back()->bytes = std::move(spare_.back());
        spare_.pop_back();
      }
    }
    if (pieces.back()->bytes.capacity() < kPieceBytes) pieces.back()->bytes.reserve(kPieceBytes);
    std::string& open = pieces.back()->bytes;
    const std::size_t n = std::min(bytes.size(), kPieceBytes - open.size());
    open.append(bytes.substr(0, n));
    bytes.remove_prefix(n);
    if (open.size() == kPieceBytes) queueOpenPiece();
  }
}

void FabZipper::queueOpenPiece() {
  if (members_.empty() || members_.back()->pieces.empty()) return;
  Piece* open = members_.back()->pieces.back().get();
  if (open == queued_) return;
  queued_ = open;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(open);
    ++unfinished_;
  }
  wake_.notify_one();
}

void FabZipper::serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
    if (stopping_) return;
    Piece* piece = tasks_.front();
    tasks_.pop_front();
    lock.unlock();
    work(*piece);
    lock.lock();
    spare_.push_back(std::move(piece->bytes));
    if (--unfinished_ == 0) done_.notify_all();
  }
}

// What libzip asks of a member's source.
zip_int64_t FabZipper::read(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
  Member& m = *static_cast<Member*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      m.piece = m.offset = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      char* to = static_cast<char*>(data);
      zip_uint64_t given = 0;
      while (given < length && m.piece <= m.pieces.size()) {
        const std::string_view from = m.piece < m.pieces.size()
                                          ? std::string_view(m.pieces[m.piece]->deflated)
                                          : std::string_view(kLastBlock, sizeof kLastBlock);
        const std::size_t n = std::min<std::size_t>(length - given, from.size() - m.offset);
        std::copy_n(from.data() + m.offset, n, to + given);
        given += n;
        m.offset += n;
        if (m.offset == from.size()) {
          ++m.piece;
          m.offset = 0;
        }
      }
      return zip_int64_t(given);
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
      return 0;
    case ZIP_SOURCE_STAT: {
      zip_stat_t* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &m.error);
      if (st == nullptr) return -1;
      zip_stat_init(st);
      // Deflated with its CRC known: libzip copies the data as it is.
      st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                  ZIP_STAT_MTIME | ZIP_STAT_ENCRYPTION_METHOD;
      st->size = m.size;
      st->comp_size = m.compressed;
      st->comp_method = ZIP_CM_DEFLATE;
      st->encryption_method = ZIP_EM_NONE;
      st->crc = zip_uint32_t(m.crc);
      st->mtime = m.made;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&m.error, data, length);
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                            ZIP_SOURCE_SUPPORTS, -1);
    default:
      zip_error_set(&m.error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

bool FabZipper::deflateAll(std::string& error) {
  queueOpenPiece();
  // This thread deflates too, then waits for the pieces the workers have in hand.
  std::unique_lock lock(mutex_);
  while (!tasks_.empty()) {
    Piece* piece = tasks_.front();
    tasks_.pop_front();
    lock.unlock();
    work(*piece);
    lock.lock();
    --unfinished_;
  }
  spare_.clear();
  done_.wait(lock, [this] { return unfinished_ == 0; });
  lock.unlock();
  for (auto& m : members_) {
    m->size = m->compressed = 0;
    m->crc = crc32(0, nullptr, 0);
    for (const auto& p : m->pieces) {
      if (!p->ok) {
        error = "not enough memory to compress it";
        return false;
      }
      m->crc = crc32_combine(m->crc, p->crc, z_off_t(p->size));
      m->size += p->size;
      m->compressed += p->deflated.size();
    }
    m->compressed += sizeof kLastBlock;
  }
  return true;
}

bool FabZipper::finish(const FabSink& sink, std::string& error) {
  if (!deflateAll(error)) return false;
  zip_error_t ze;
  zip_error_init(&ze);
  Source buffer(zip_source_buffer_create(nullptr, 0, 0, &ze));
  if (!buffer) {
    error = reason(&ze);
    return false;
  }
  // Kept past zip_close, which would free it, so that the finished archive can be read back.
  zip_source_keep(buffer.get());
  zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &ze);
  if (archive == nullptr) {
    zip_source_free(buffer.get());  // the reference zip_open_from_source did not take
    error = reason(&ze);
    return false;
  }
  const auto failed = [&] {
    error = zip_strerror(archive);
    zip_discard(archive);
    return false;
  };
  for (auto& m : members_) {
    // The members outlive zip_close, where they are read.
    zip_source_t* s = zip_source_function(archive, &FabZipper::read, m.get());
    if (s == nullptr) return failed();
    if (zip_file_add(archive, m->name.c_str(), s, ZIP_FL_ENC_UTF_8) < 0) {
      zip_source_free(s);
      return failed();
    }
  }
  if (zip_close(archive) != 0) return failed();

  // The archive goes to the sink a piece at a time rather than as one copy of it.
  if (zip_source_open(buffer.get()) != 0) {
    error = zip_error_strerror(zip_source_error(buffer.get()));
    return false;
  }
  std::string piece(kPieceBytes, '\0');
  zip_int64_t n = 0;
  bool taken = true;
  while (taken && (n = zip_source_read(buffer.get(), piece.data(), piece.size())) > 0)
    taken = sink(std::string_view(piece.data(), std::size_t(n)));
  if (n < 0) error = zip_error_strerror(zip_source_error(buffer.get()));
  zip_source_close(buffer.get());
  return taken && n == 0;
}

}  // namespace fw

// The packed set, made in memory with libzip so that the archive is written through the same
// FileReplacement as every other file.
#include <zip.h>

#include <memory>

#include "fab/FabSet.h"

namespace fw {

namespace {

// Deflate's fastest level: the Gerber text is repetitive, so it still shrinks to a small
// part, and the export stays quick for a full board.
constexpr zip_uint32_t kDeflateLevel = 1;

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

bool zipFabFiles(const std::vector<std::pair<std::string, std::string>>& files, std::string& zip,
                 std::string& error) {
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
  for (const auto& [name, bytes] : files) {
    // The bytes are not copied: `files` outlives zip_close, where they are read.
    zip_source_t* s = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    if (s == nullptr) return failed();
    const zip_int64_t index = zip_file_add(archive, name.c_str(), s, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(s);
      return failed();
    }
    if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, kDeflateLevel) != 0)
      return failed();
  }
  if (zip_close(archive) != 0) return failed();

  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_source_stat(buffer.get(), &st) != 0 || (st.valid & ZIP_STAT_SIZE) == 0 ||
      zip_source_open(buffer.get()) != 0) {
    error = zip_error_strerror(zip_source_error(buffer.get()));
    return false;
  }
  zip.resize(std::size_t(st.size));
  const zip_int64_t read = zip_source_read(buffer.get(), zip.data(), st.size);
  zip_source_close(buffer.get());
  if (read < 0 || zip_uint64_t(read) != st.size) {
    error = "the archive could not be read back";
    return false;
  }
  return true;
}

}  // namespace fw

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

// The file-system calls that replacing a file makes. The base class makes the system's calls;
// tests put in one that fails a chosen call. Each returns and sets errno as its system call does.
class FileOps {
 public:
  virtual ~FileOps() = default;
  // Creates and opens a new file from `pattern`, whose last six characters are XXXXXX, as
  // mkstemp does, with the usual permissions (0666 less the umask) rather than private ones.
  virtual int openTemporary(std::string& pattern);
  virtual long write(int fd, const void* data, std::size_t size);
  virtual int sync(int fd);
  virtual int close(int fd);
  virtual int rename(const std::string& from, const std::string& to);
  virtual int remove(const std::string& path);
};

// The calls in use: the system's unless a ScopedFileOps has put others in their place.
FileOps& fileOps();

// Puts `ops` in place of the calls in use for its lifetime; for tests. Only while no other
// thread writes a file.
class ScopedFileOps {
 public:
  explicit ScopedFileOps(FileOps& ops);
  ~ScopedFileOps();
  ScopedFileOps(const ScopedFileOps&) = delete;
  ScopedFileOps& operator=(const ScopedFileOps&) = delete;

 private:
  FileOps* previous_;
};

// A new version of the file at `path`, written to a temporary file beside it and renamed over
// it only when complete, so the previous file stays whole whatever fails. A symbolic link is
// followed, so the file it points to is replaced. The first failure is kept as a one-line
// reason naming the target and turns the later steps into failures that do nothing; the
// temporary file is removed on a failure and when the object goes before it was renamed.
class FileReplacement {
 public:
  explicit FileReplacement(const std::string& path);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  bool open();
  bool write(const void* data, std::size_t size);
  // Forces the bytes to the disk first when `sync`, then closes the file.
  bool close(bool sync);
  // Renames the closed file over the target; with `sync` the rename is made durable too.
  bool replaceTarget(bool sync);

  const std::string& error() const { return error_; }
  // The errno of the failure, or 0.
  int errorNumber() const { return errno_; }

 private:
  bool fail(const std::string& what, const std::string& path);
  void discard();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool failed_ = false;
  std::string error_;
  int errno_ = 0;
};

// Replaces the file at `path` with `bytes` through a FileReplacement, forced to the disk before
// the rename. False with a one-line reason on any failure, the previous file untouched.
bool replaceFile(const std::string& path, const uint8_t* data, std::size_t size,
                 std::string& error);
bool replaceFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace fw

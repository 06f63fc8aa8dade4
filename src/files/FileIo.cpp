#include "files/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fw {

namespace {

std::string errnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Closes `fd` without letting the close change errno, which still names the first failure.
void closeKeepingErrno(int fd) {
  const int e = errno;
  ::close(fd);
  errno = e;
}

}  // namespace

bool readFileBytes(const std::string& path, std::size_t limit, std::vector<uint8_t>& bytes,
                   std::string& error) {
  // O_NONBLOCK keeps a FIFO from blocking the open; only regular files are read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errnoText("cannot open", path);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = errnoText("cannot read", path);
    closeKeepingErrno(fd);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = path + (S_ISDIR(st.st_mode) ? " is a folder" : " is not a regular file");
    ::close(fd);
    return false;
  }

  bytes.assign(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), limit), 0);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errnoText("cannot read", path);
      closeKeepingErrno(fd);
      return false;
    }
    if (n == 0) break;  // the file shrank meanwhile; the caller judges what is there
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
  return true;
}

namespace {
FileOps systemFileOps;
FileOps* currentFileOps = &systemFileOps;
}  // namespace

int FileOps::openTemporary(std::string& pattern) {
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return -1;
  // mkstemp makes the file private; the file gets the usual permissions instead.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) {
    closeKeepingErrno(fd);
    const int e = errno;
    ::unlink(pattern.c_str());
    errno = e;
    return -1;
  }
  return fd;
}

long FileOps::write(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}

int FileOps::sync(int fd) {
  return ::fsync(fd);
}

int FileOps::close(int fd) {
  return ::close(fd);
}

int FileOps::rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str());
}

int FileOps::remove(const std::string& path) {
  return ::unlink(path.c_str());
}

FileOps& fileOps() {
  return *currentFileOps;
}

ScopedFileOps::ScopedFileOps(FileOps& ops) : previous_(currentFileOps) {
  currentFileOps = &ops;
}

ScopedFileOps::~ScopedFileOps() {
  currentFileOps = previous_;
}

FileReplacement::FileReplacement(const std::string& path) : target_(path) {
  struct stat lst {};
  if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target_ = resolved;
      std::free(resolved);
    }
  }
}

FileReplacement::~FileReplacement() {
  discard();
}

bool FileReplacement::open() {
  if (failed_) return false;
  std::string pattern = target_ + ".XXXXXX";
  const int fd = fileOps().openTemporary(pattern);
  if (fd < 0) return fail("cannot create a file in", folderOf(target_));
  fd_ = fd;
  temporary_ = pattern;
  return true;
}

bool FileReplacement::write(const void* data, std::size_t size) {
  if (failed_) return false;
  const auto* at = static_cast<const uint8_t*>(data);
  // Interrupted and partial writes are carried on.
  while (size > 0) {
    const long n = fileOps().write(fd_, at, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("cannot write", target_);
    }
    if (n == 0) {
      errno = EIO;
      return fail("cannot write", target_);
    }
    at += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool FileReplacement::close(bool sync) {
  if (failed_) return false;
  if (sync && fileOps().sync(fd_) != 0) return fail("cannot flush", target_);
  const int fd = fd_;
  fd_ = -1;  // a failed close has released the descriptor all the same
  if (fileOps().close(fd) != 0) return fail("cannot close", target_);
  return true;
}

bool FileReplacement::replaceTarget(bool sync) {
  if (failed_) return false;
  if (fileOps().rename(temporary_, target_) != 0) return fail("cannot replace", target_);
  temporary_.clear();
  if (sync) {
    // Makes the rename itself durable; the file is complete either way, so a failure here is
    // not reported.
    const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }
  return true;
}

bool FileReplacement::fail(const std::string& what, const std::string& path) {
  errno_ = errno;
  error_ = errnoText(what, path);
  failed_ = true;
  discard();
  return false;
}

void FileReplacement::discard() {
  if (fd_ >= 0) fileOps().close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) fileOps().remove(temporary_);
  temporary_.clear();
}

bool replaceFile(const std::string& path, const uint8_t* data, std::size_t size,
                 std::string& error) {
  FileReplacement file(path);
  if (file.open() && file.write(data, size) && file.close(true) && file.replaceTarget(true))
    return true;
  error = file.error();
  return false;
}

bool replaceFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  return replaceFile(path, bytes.data(), bytes.size(), error);
}

}  // namespace fw

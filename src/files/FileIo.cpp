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

// Writes all of `data`, riding out interrupted and partial writes.
bool writeAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
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

bool replaceFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  std::string target = path;
  struct stat lst {};
  if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }

  std::string tmp = target + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    error = errnoText("cannot create a file in", folderOf(target));
    return false;
  }
  auto fail = [&](const std::string& what) {
    error = errnoText(what, tmp);
    ::unlink(tmp.c_str());
    return false;
  };

  // mkstemp makes the file private; the file gets the usual permissions instead.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) {
    closeKeepingErrno(fd);
    return fail("cannot set the permissions of");
  }
  if (!writeAll(fd, bytes.data(), bytes.size())) {
    closeKeepingErrno(fd);
    return fail("cannot write");
  }
  if (::fsync(fd) != 0) {
    closeKeepingErrno(fd);
    return fail("cannot flush");
  }
  if (::close(fd) != 0) return fail("cannot close");
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    const int e = errno;
    ::unlink(tmp.c_str());
    errno = e;
    error = errnoText("cannot replace", target);
    return false;
  }

  // Make the rename itself durable; the file is complete either way, so a failure here is not
  // reported.
  const int dir = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace fw

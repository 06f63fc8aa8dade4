#pragma once

// File-system calls for tests: each kind of call a file replacement makes is counted, and the
// nth call of one kind can fail with a chosen errno; every other call is the system's.

#include <array>
#include <cerrno>
#include <string>

#include "files/FileIo.h"

namespace fw {

class FailingFileOps : public FileOps {
 public:
  enum Call { Open, Write, Sync, Close, Rename, kCalls };

  // Without arguments it only counts.
  explicit FailingFileOps(Call call = kCalls, int nth = 0, int error = 0)
      : call_(call), nth_(nth), error_(error) {}

  int count(Call call) const { return counts_[call]; }
  bool failed() const { return failed_; }

  int openTemporary(std::string& pattern) override {
    return fails(Open) ? -1 : FileOps::openTemporary(pattern);
  }
  long write(int fd, const void* data, std::size_t size) override {
    return fails(Write) ? -1 : FileOps::write(fd, data, size);
  }
  int sync(int fd) override { return fails(Sync) ? -1 : FileOps::sync(fd); }
  // A failed close has still released the descriptor, as on Linux.
  int close(int fd) override {
    const int result = FileOps::close(fd);
    return fails(Close) ? -1 : result;
  }
  int rename(const std::string& from, const std::string& to) override {
    return fails(Rename) ? -1 : FileOps::rename(from, to);
  }

 private:
  bool fails(Call call) {
    if (++counts_[call] != nth_ || call != call_) return false;
    failed_ = true;
    errno = error_;
    return true;
  }

  Call call_;
  int nth_, error_;
  std::array<int, kCalls> counts_{};
  bool failed_ = false;
};

}  // namespace fw

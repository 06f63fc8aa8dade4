// Saving over an existing project on a file system that runs out of space part-way: the old
// file must survive byte for byte, no temporary file may be left behind and the user is told.
// The file system is a 64 KB tmpfs mounted for the test, so it needs root.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "edit/Editor.h"
#include "files/ProjectFile.h"
#include "support/SameBoard.h"
#include "support/ScriptedHost.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

std::vector<char> fileBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

long long freeBytes(const fs::path& dir) {
  struct statvfs s {};
  if (statvfs(dir.c_str(), &s) != 0) return -1;
  return static_cast<long long>(s.f_bavail) * static_cast<long long>(s.f_frsize);
}

// A small tmpfs on a fresh folder, unmounted and removed again however the test ends.
class SmallTmpfs {
 public:
  SmallTmpfs() {
    std::string pattern = (fs::temp_directory_path() / "fw-full-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    dir_ = pattern;
    const std::string command = "mount -t tmpfs -o size=64k tmpfs '" + dir_.string() + "'";
    mounted_ = std::system(command.c_str()) == 0;
  }
  ~SmallTmpfs() {
    if (mounted_) {
      const std::string command = "umount '" + dir_.string() + "'";
      if (std::system(command.c_str()) != 0) ADD_FAILURE() << "could not unmount " << dir_;
    }
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  bool mounted() const { return mounted_; }
  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
  bool mounted_ = false;
};

// Fills the file system with one file until only `leave` bytes are free.
bool fillUntil(const fs::path& file, const fs::path& dir, long long leave) {
  std::ofstream out(file, std::ios::binary);
  const std::string block(4096, 'x');
  long long toWrite = freeBytes(dir) - leave;
  while (toWrite > 0 && out) {
    const long long n = std::min<long long>(toWrite, static_cast<long long>(block.size()));
    out.write(block.data(), static_cast<std::streamsize>(n));
    toWrite -= n;
  }
  out.close();
  return static_cast<bool>(out) && freeBytes(dir) <= leave;
}

void addPins(Board& board, int count) {
  for (int i = 0; i < count; ++i)
    board.addPin({static_cast<uint16_t>(i % 700), static_cast<uint16_t>(i / 700 * 8), 1, 0});
}

TEST(DocumentSaveDiskFull, ASaveThatRunsOutOfSpaceKeepsTheOldFileAndTells) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
  SmallTmpfs tmpfs;
  if (!tmpfs.mounted()) GTEST_SKIP() << "tmpfs could not be mounted here";
  const fs::path dir = tmpfs.dir();

  ScriptedHost host;
  Editor editor(host, 640, 400);
  editor.ProgramDirectory = dir.string();
  Board& board = editor.board();

  // An existing project of ten pins.
  addPins(board, 10);
  board.SavedFlag = false;
  const fs::path project = dir / "board.kvd";
  host.saveFileAnswers = {project.string()};
  editor.commands().documents.SaveProject();
  ASSERT_TRUE(host.errors.empty());
  ASSERT_TRUE(board.SavedFlag);
  const std::vector<char> old = fileBytes(project);
  ASSERT_FALSE(old.empty());

  // Leave 8 KB; a board of 3000 pins needs 18 KB, so the write starts and then fails.
  ASSERT_TRUE(fillUntil(dir / "filler", dir, 8192)) << "could not fill the file system";
  addPins(board, 2990);
  board.SavedFlag = false;
  editor.controls().panel[2].clear();

  editor.commands().documents.SaveProject();

  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Error in file name. File not saved.\n", 0), 0u);
  std::cout << "[ message  ] " << host.errors[0] << "\n";
  EXPECT_EQ(fileBytes(project), old);
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"board.kvd", "filler"}));
  EXPECT_TRUE(board.CurrentFileName.empty());
  EXPECT_FALSE(board.SavedFlag);
  EXPECT_TRUE(editor.controls().panel[2].empty());

  // Save As onto the full disk under a new name: told again, the old name comes back.
  board.CurrentFileName = project.string();
  host.saveFileAnswers = {(dir / "copy.kvd").string()};
  editor.commands().documents.SaveAs1Click();
  ASSERT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(board.CurrentFileName, project.string());
  EXPECT_EQ(fileBytes(project), old);
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"board.kvd", "filler"}));

  // With the space back, the same Save writes the whole board.
  fs::remove(dir / "filler");
  editor.commands().documents.SaveProject();
  EXPECT_EQ(host.errors.size(), 2u);
  EXPECT_TRUE(board.SavedFlag);
  std::unique_ptr<Board> back = makeBoard();
  std::string error;
  ASSERT_TRUE(ReadProjectFile(project.string(), *back, error)) << error;
  EXPECT_EQ(back->PinCount, 3000);
  EXPECT_TRUE(sameContent(*back, board));
}

}  // namespace
}  // namespace fw

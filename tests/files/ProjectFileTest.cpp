#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>

#include "files/LayoutBoard.h"
#include "files/ProjectFile.h"
#include "files/TestFolder.h"
#include "support/SameBoard.h"

namespace fw {
namespace {

using Bytes = std::vector<uint8_t>;

// A board with every field filled from `seed`; strings up to 31 characters of any byte value,
// so that they survive a round trip unchanged (the 32nd character has its own test).
std::unique_ptr<Board> randomBoard(uint32_t seed, int pins, int points, int texts, int objects) {
  std::mt19937 rng(seed);
  auto u16 = [&] { return static_cast<uint16_t>(rng() & 0xFFFF); };
  auto u8 = [&] { return static_cast<uint8_t>(rng() & 0xFF); };
  auto b = makeBoard();
  for (int i = 0; i < pins; ++i) b->addPin({u16(), u16(), u8(), u8()});
  for (int i = 0; i < points; ++i) b->addWirePoint({u16(), u16(), u8()});
  for (int i = 0; i < texts; ++i) {
    TextItem t;
    std::string s(rng() % 32, ' ');
    for (char& c : s) c = static_cast<char>(u8());
    t.text.set(s);
    t.size = u8();
    t.x = u16();
    t.y = u16();
    b->addText(t);
  }
  for (int i = 0; i < objects; ++i) {
    BoardObject o;
    o.firstPin = static_cast<uint16_t>(pins ? rng() % pins : 0);
    o.pinCount = static_cast<uint16_t>(pins ? rng() % (pins - o.firstPin + 1) : 0);
    o.firstPoint = static_cast<uint16_t>(points ? rng() % points : 0);
    o.pointCount = static_cast<uint16_t>(points ? rng() % (points - o.firstPoint + 1) : 0);
    o.firstText = static_cast<uint16_t>(texts ? rng() % texts : 0);
    o.textCount = static_cast<uint16_t>(texts ? rng() % (texts - o.firstText + 1) : 0);
    std::string d(rng() % 50, ' ');
    for (char& c : d) c = static_cast<char>(u8());
    b->addObject(o, d);
  }
  b->FrameWidth = 16 + static_cast<int32_t>(rng() % 784);
  b->FrameHeight = 16 + static_cast<int32_t>(rng() % 584);
  return b;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes record(const std::string& s, std::size_t size, uint8_t length) {
  Bytes r(size, 0);
  r[0] = length;
  for (std::size_t i = 0; i < s.size() && i + 1 < size; ++i) r[i + 1] = static_cast<uint8_t>(s[i]);
  return r;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void putU16(Bytes& bytes, std::size_t at, uint16_t v) {
  bytes[at] = static_cast<uint8_t>(v & 0xFF);
  bytes[at + 1] = static_cast<uint8_t>(v >> 8);
}

// ---- the bytes on disk ------------------------------------------------------------------------

TEST(ProjectFileLayout, EmptyBoardIsTwelveBytesAndReadsBackEmpty) {
  auto board = makeBoard();
  const Bytes bytes = serializeProjectFile(*board);
  EXPECT_EQ(bytes, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0xFC, 0, 0x9E, 0}));

  auto back = randomBoard(1, 5, 5, 5, 2);
  std::string error;
  ASSERT_TRUE(parseProjectFile(bytes.data(), bytes.size(), *back, error)) << error;
  EXPECT_EQ(back->PinCount + back->WirePointCount + back->TextCount + back->ObjectCount, 0);
  EXPECT_EQ(back->FrameWidth, 252);
  EXPECT_EQ(back->FrameHeight, 158);
}

TEST(ProjectFileLayout, EveryBlockInOrderLittleEndian) {
  auto b = layoutBoard();
  b->addObject({1, 1, 0, 3, 0, 1}, "Res");
  b->FrameWidth = 0x10203;  // only the low 16 bits go to the file
  b->FrameHeight = 599;

  const Bytes expected = concat({
      {2, 0},                                      // pin count
      {0x34, 0x12, 0x02, 0x01, 0x2C, 0x01, 4, 0},  // pin positions
      {7, 128, 0, 2},                              // pin attributes
      {3, 0},                                      // wire point count
      {0x64, 0x40, 0xC8, 0x40, 104, 0, 200, 0, 104, 0, 0xFF, 0x3F},
      {0xFF, 0x13, 0x2B, 0},  // attributes and the filler byte
      {1, 0},                 // text count
      {0x2C, 0x21, 0x01, 0x02},
      {25, 0},  // size and filler
      record("AB", 32, 2),
      {1, 0},  // object count
      {1, 0, 1, 0, 0, 0, 3, 0, 0, 0, 1, 0},
      {0x03, 0x02, 0x57, 0x02},  // frame
      record("Res", 50, 3),
  });
  EXPECT_EQ(serializeProjectFile(*b), expected);
}

TEST(ProjectFileLayout, WireAttributesEndOnAnEvenByte) {
  for (int points : {3, 4}) {
    auto b = makeBoard();
    for (int i = 0; i < points; ++i) b->addWirePoint({uint16_t(i), uint16_t(i), uint8_t(0x10 + i)});
    const Bytes bytes = serializeProjectFile(*b);
    ASSERT_EQ(bytes.size(), 2u + 2 + 4u * points + 4 + 2 + 2 + 4) << points;
    const std::size_t attrs = 4 + 4u * points;
    EXPECT_EQ(bytes[attrs], 0x10);
    EXPECT_EQ(bytes[attrs + 2], 0x12);
    EXPECT_EQ(bytes[attrs + 3], points == 4 ? 0x13 : 0) << points;
    EXPECT_EQ(bytes[attrs + 4], 0) << "text count follows the block";
  }
}

TEST(ProjectFileLayout, NoTextsWritesOnlyTheTextCount) {
  auto b = makeBoard();
  b->addWirePoint({0x4000, 0x4000, 1});
  b->addWirePoint({4, 4, 2});
  b->addObject({0, 0, 0, 2, 0, 0}, "");
  const Bytes bytes = serializeProjectFile(*b);
  // pin count, wire count, 2 positions, 2 attrs, text count, object count, record, frame, record
  ASSERT_EQ(bytes.size(), 2u + 2 + 8 + 2 + 2 + 2 + 12 + 4 + 50);
  EXPECT_EQ(bytes[14], 0);
  EXPECT_EQ(bytes[15], 0);
  EXPECT_EQ(bytes[16], 1) << "the object count comes straight after";
}

TEST(ProjectFileLayout, TextsWithoutObjectsEndWithTheFrame) {
  auto b = makeBoard();
  TextItem t;
  t.text.set("X");
  b->addText(t);
  b->addText(t);
  const Bytes bytes = serializeProjectFile(*b);
  ASSERT_EQ(bytes.size(), 2u + 2 + 2 + 8 + 2 + 64 + 2 + 4);
  const Bytes tail(bytes.end() - 6, bytes.end());
  EXPECT_EQ(tail, (Bytes{0, 0, 0xFC, 0, 0x9E, 0}));
}

// The file holds 31 characters of a 32-character text: the reader keeps the length and puts a
// blank in the last place, so saving the loaded board gives the same bytes again.
TEST(ProjectFileLayout, FullLengthStringsLoseTheirLastCharacterStably) {
  auto b = makeBoard();
  TextItem t;
  const std::string text32 = "0123456789abcdefghijklmnopqrstuv";
  const std::string desc50 = "Resistor 0.25 W, 10 mm pitch, upright mounting -ZZ";
  ASSERT_EQ(text32.size(), 32u);
  ASSERT_EQ(desc50.size(), 50u);
  t.text.set(text32);
  b->addText(t);
  b->addObject({0, 0, 0, 0, 0, 1}, desc50);

  const Bytes bytes = serializeProjectFile(*b);
  const std::size_t textRecord = 2 + 2 + 2 + 4 + 2;
  EXPECT_EQ(Bytes(bytes.begin() + textRecord, bytes.begin() + textRecord + 32),
            record(text32.substr(0, 31), 32, 32));
  EXPECT_EQ(Bytes(bytes.end() - 50, bytes.end()), record(desc50.substr(0, 49), 50, 50));

  auto back = makeBoard();
  std::string error;
  ASSERT_TRUE(parseProjectFile(bytes.data(), bytes.size(), *back, error)) << error;
  EXPECT_EQ(back->TextTable[0].text.str(), text32.substr(0, 31) + " ");
  EXPECT_EQ(back->ObjectDescriptions[0].str(), desc50.substr(0, 49) + " ");
  EXPECT_EQ(serializeProjectFile(*back), bytes);
}

TEST(ProjectFileLayout, OverlongLengthBytesAreCappedAndCharactersPastTheLengthDropped) {
  auto b = makeBoard();
  TextItem t;
  t.text.set("abc");
  b->addText(t);
  Bytes bytes = serializeProjectFile(*b);
  const std::size_t rec = 2 + 2 + 2 + 4 + 2;
  bytes[rec] = 200;
  auto back = makeBoard();
  std::string error;
  ASSERT_TRUE(parseProjectFile(bytes.data(), bytes.size(), *back, error)) << error;
  EXPECT_EQ(back->TextTable[0].text.length, 32);

  bytes[rec] = 1;  // "abc" in the record but a length of 1
  ASSERT_TRUE(parseProjectFile(bytes.data(), bytes.size(), *back, error)) << error;
  EXPECT_EQ(back->TextTable[0].text.str(), "a");
  const Bytes again = serializeProjectFile(*back);
  EXPECT_EQ(Bytes(again.begin() + rec, again.begin() + rec + 4), (Bytes{1, 'a', 0, 0}));
}

// ---- reading and writing files ---------------------------------------------------------------

class ProjectFileDisk : public ::testing::Test {
 protected:
  TestFolder folder;
  std::string path(const std::string& name) const { return folder.path() + "/" + name; }
};

TEST_F(ProjectFileDisk, RandomBoardsSurviveARoundTrip) {
  const std::array<std::array<int, 4>, 6> shapes{{{0, 0, 0, 0},
                                                  {1, 1, 1, 1},
                                                  {37, 101, 13, 9},
                                                  {200, 1000, 301, 40},
                                                  {0, 3, 0, 2},
                                                  {5, 0, 4, 0}}};
  uint32_t seed = 100;
  for (const auto& s : shapes) {
    auto original = randomBoard(++seed, s[0], s[1], s[2], s[3]);
    std::string error;
    ASSERT_TRUE(WriteProjectFile(path("b.kvd"), *original, error)) << error;

    auto back = randomBoard(seed + 1000, 50, 50, 50, 5);
    back->SavedFlag = false;
    back->CurrentFileName = "kept";
    ASSERT_TRUE(ReadProjectFile(path("b.kvd"), *back, error)) << error;
    EXPECT_TRUE(sameContent(*back, *original)) << "seed " << seed;
    EXPECT_TRUE(back->SavedFlag);
    EXPECT_EQ(back->CurrentFileName, "kept");
  }
}

TEST_F(ProjectFileDisk, BoardAtFullCapacityRoundTrips) {
  auto original = randomBoard(3, kPinCapacity, kWirePointCapacity, kTextCapacity, kObjectCapacity);
  ASSERT_EQ(original->ObjectCount, kObjectCapacity);
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path("full.kvd"), *original, error)) << error;
  auto back = makeBoard();
  ASSERT_TRUE(ReadProjectFile(path("full.kvd"), *back, error)) << error;
  EXPECT_TRUE(sameContent(*back, *original));
}

TEST_F(ProjectFileDisk, RowsPastTheNewCountsAreLeftAlone) {
  auto small = randomBoard(5, 2, 2, 2, 1);
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path("s.kvd"), *small, error)) << error;
  auto board = randomBoard(6, 10, 10, 10, 3);
  const Pin row5 = board->PinTable[5];
  ASSERT_TRUE(ReadProjectFile(path("s.kvd"), *board, error)) << error;
  EXPECT_EQ(board->PinCount, 2);
  EXPECT_EQ(board->PinTable[5], row5);
}

TEST_F(ProjectFileDisk, TrailingBytesAreIgnored) {
  auto original = randomBoard(8, 3, 5, 2, 2);
  Bytes bytes = serializeProjectFile(*original);
  bytes.insert(bytes.end(), {0xFF, 0xFF, 0x12, 0x34, 0x56});
  writeBytes(path("t.kvd"), bytes);
  auto back = makeBoard();
  std::string error;
  ASSERT_TRUE(ReadProjectFile(path("t.kvd"), *back, error)) << error;
  EXPECT_TRUE(sameContent(*back, *original));
}

// Every refused file leaves the board exactly as it was and says why in one line.
class RefusedFile : public ProjectFileDisk {
 protected:
  void SetUp() override {
    board = randomBoard(11, 20, 30, 10, 4);
    board->SavedFlag = false;
    board->CurrentFileName = "before.kvd";
    snapshot = std::make_unique<Board>(*board);
  }
  void expectRefused(const Bytes& bytes, const std::string& what) {
    writeBytes(path("bad.kvd"), bytes);
    std::string error;
    EXPECT_FALSE(ReadProjectFile(path("bad.kvd"), *board, error)) << what;
    EXPECT_FALSE(error.empty()) << what;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_TRUE(sameContent(*board, *snapshot)) << what;
    EXPECT_FALSE(board->SavedFlag) << what;
    EXPECT_EQ(board->CurrentFileName, "before.kvd") << what;
    lastError = error;
  }
  std::unique_ptr<Board> board, snapshot;
  std::string lastError;
};

TEST_F(RefusedFile, CutAtEveryLength) {
  for (const auto& s : {std::array<int, 5>{12, 3, 5, 3, 2}, {13, 2, 4, 0, 1}, {14, 1, 3, 2, 0}}) {
    const Bytes bytes = serializeProjectFile(*randomBoard(uint32_t(s[0]), s[1], s[2], s[3], s[4]));
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      expectRefused(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)),
                    "cut at " + std::to_string(n) + " of " + std::to_string(bytes.size()));
      // A cut board is still told as a damaged board, never as some other kind of file.
      EXPECT_NE(lastError.find(": the file ends inside the "), std::string::npos) << lastError;
    }
  }
}

TEST_F(RefusedFile, CountsBeyondTheCapacities) {
  // One count at a time is raised past its capacity; the file is long enough for every block,
  // so only the count can be the reason.
  auto good = makeBoard();
  const Bytes empty = serializeProjectFile(*good);
  struct Count {
    std::size_t offset;
    int32_t capacity;
    std::string what;
  };
  for (const Count& c :
       {Count{0, kPinCapacity, "pins"}, Count{2, kWirePointCapacity, "wire points"},
        Count{4, kTextCapacity, "texts"}, Count{6, kObjectCapacity, "objects"}}) {
    for (uint32_t value : {static_cast<uint32_t>(c.capacity) + 1, 0xFFFFu}) {
      Bytes bytes(empty.begin(), empty.begin() + static_cast<long>(c.offset) + 2);
      bytes.resize(2'000'000, 0);
      putU16(bytes, c.offset, static_cast<uint16_t>(value));
      expectRefused(bytes, c.what + " = " + std::to_string(value));
      EXPECT_EQ(lastError, path("bad.kvd") + ": not a Ferrowrit project file (it holds " +
                               std::to_string(value) + " " + c.what + "; a board has at most " +
                               std::to_string(c.capacity) + ")");
    }
  }
}

// A project file has no signature; other kinds of file are told apart by their first count.
TEST_F(RefusedFile, OtherKindsOfFileAreNotProjectFiles) {
  const std::pair<std::string, uint32_t> files[] = {
      {"hello world\n", 0x6568},                              // a text: "he" read as the pin count
      {"\x89PNG\r\n\x1a\n" + std::string(40, '\0'), 0x5089},  // a picture
      {"PK\x03\x04" + std::string(40, '\0'), 0x4B50},         // an archive
  };
  for (const auto& [text, pins] : files) {
    expectRefused(Bytes(text.begin(), text.end()), text.substr(0, 4));
    EXPECT_EQ(lastError, path("bad.kvd") + ": not a Ferrowrit project file (it holds " +
                             std::to_string(pins) + " pins; a board has at most 4001)");
  }
}

TEST_F(RefusedFile, ObjectRecordsPointingOutsideTheTables) {
  auto good = randomBoard(15, 6, 8, 4, 1);
  good->ObjectTable[0] = {0, 6, 0, 8, 0, 4};  // exactly the whole tables: still inside
  Bytes bytes = serializeProjectFile(*good);
  const std::size_t rec = bytes.size() - 50 - 4 - 12;
  auto accepted = makeBoard();
  std::string error;
  ASSERT_TRUE(parseProjectFile(bytes.data(), bytes.size(), *accepted, error)) << error;

  // firstX + countX one past the table, and a first row far out with a count that would wrap
  // a 16-bit sum back inside.
  for (std::size_t field = 0; field < 3; ++field) {
    Bytes bad = bytes;
    const std::size_t at = rec + 4 * field;
    putU16(bad, at, 1);
    expectRefused(bad, "field " + std::to_string(field) + " one past");
    bad = bytes;
    putU16(bad, at, 0xFFFF);
    putU16(bad, at + 2, 2);
    expectRefused(bad, "field " + std::to_string(field) + " wrapping");
  }
}

TEST_F(RefusedFile, MissingFileAndFolder) {
  std::string error;
  EXPECT_FALSE(ReadProjectFile(path("absent.kvd"), *board, error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_FALSE(ReadProjectFile(folder.path(), *board, error));
  EXPECT_TRUE(sameContent(*board, *snapshot));
  EXPECT_FALSE(board->SavedFlag);
}

std::set<std::string> folderEntries(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") names.insert(n);
    }
    closedir(d);
  }
  return names;
}

TEST_F(ProjectFileDisk, WritingReplacesTheWholeOldFileAndLeavesNoTemporaryFile) {
  auto big = randomBoard(20, 100, 100, 100, 10);
  auto small = randomBoard(21, 1, 2, 0, 0);
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path("p.kvd"), *big, error)) << error;
  ASSERT_TRUE(WriteProjectFile(path("p.kvd"), *small, error)) << error;
  EXPECT_EQ(readBytes(path("p.kvd")), serializeProjectFile(*small));
  EXPECT_EQ(folderEntries(folder.path()), std::set<std::string>{"p.kvd"});

  const mode_t mask = umask(022);
  ASSERT_TRUE(WriteProjectFile(path("q.kvd"), *small, error)) << error;
  umask(mask);
  struct stat st {};
  ASSERT_EQ(stat(path("q.kvd").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

class FailedWrite : public ProjectFileDisk {
 protected:
  void SetUp() override {
    old = randomBoard(30, 5, 5, 5, 1);
    std::string error;
    ASSERT_TRUE(WriteProjectFile(path("keep.kvd"), *old, error)) << error;
    oldBytes = readBytes(path("keep.kvd"));
    fresh = randomBoard(31, 300, 3000, 300, 20);
  }
  void expectOldFileIntact() {
    EXPECT_EQ(readBytes(path("keep.kvd")), oldBytes);
    EXPECT_EQ(folderEntries(folder.path()), std::set<std::string>{"keep.kvd"});
  }
  std::unique_ptr<Board> old, fresh;
  Bytes oldBytes;
};

// Root is not stopped by permissions, so then the write runs in a child that has given up root.
TEST_F(FailedWrite, UnwritableFolder) {
  ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
  std::string error;
  bool written = false;
  if (geteuid() != 0) {
    written = WriteProjectFile(path("keep.kvd"), *fresh, error);
  } else {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(9);
      const bool ok = WriteProjectFile(path("keep.kvd"), *fresh, error);
      _exit(ok ? 0 : (error.find("Permission denied") != std::string::npos ? 3 : 4));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 9) << "could not give up root";
    written = WEXITSTATUS(status) == 0;
    if (WEXITSTATUS(status) == 3) error = "Permission denied";
  }
  chmod(folder.path().c_str(), 0755);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
  expectOldFileIntact();
}

TEST_F(FailedWrite, MissingFolder) {
  std::string error;
  EXPECT_FALSE(WriteProjectFile(path("no/such/folder/x.kvd"), *fresh, error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  expectOldFileIntact();
}

// A file size limit makes the write itself fail part-way, as a full disk would.
TEST_F(FailedWrite, WriteFailsPartWay) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool written = WriteProjectFile(path("keep.kvd"), *fresh, error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
  expectOldFileIntact();
}

// A folder in the way of the target: everything is written, the final rename fails.
TEST_F(FailedWrite, TargetIsAFolder) {
  ASSERT_EQ(mkdir(path("dir.kvd").c_str(), 0755), 0);
  std::string error;
  EXPECT_FALSE(WriteProjectFile(path("dir.kvd"), *fresh, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(folderEntries(folder.path()), (std::set<std::string>{"dir.kvd", "keep.kvd"}));
  EXPECT_TRUE(folderEntries(path("dir.kvd")).empty());
}

TEST(ProjectExtension, AddedOnlyWhenThePathHasNoDotAnywhere) {
  EXPECT_EQ(withProjectExtension("board"), "board.kvd");
  EXPECT_EQ(withProjectExtension("/home/me/projects/board"), "/home/me/projects/board.kvd");
  EXPECT_EQ(withProjectExtension("my.boards/board"), "my.boards/board");
  EXPECT_EQ(withProjectExtension("board.kvd"), "board.kvd");
  EXPECT_EQ(withProjectExtension("board.txt"), "board.txt");
  EXPECT_EQ(withProjectExtension("./board"), "./board");
}

}  // namespace
}  // namespace fw

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <tuple>

#include "files/LayoutBoard.h"
#include "files/ObjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

using Bytes = std::vector<uint8_t>;

// An object with every field drawn from `seed`; texts of any length up to 32 and any bytes.
ObjectData randomObject(uint32_t seed, int pins, int points, int texts) {
  std::mt19937 rng(seed);
  auto u16 = [&] { return static_cast<uint16_t>(rng()); };
  auto u8 = [&] { return static_cast<uint8_t>(rng()); };
  ObjectData o;
  for (int i = 0; i < pins; ++i) o.pins.push_back({u16(), u16(), u8(), u8()});
  for (int i = 0; i < points; ++i) o.points.push_back({u16(), u16(), u8()});
  for (int i = 0; i < texts; ++i) {
    TextItem t;
    std::string s(rng() % 33, ' ');
    for (char& c : s) c = static_cast<char>(u8());
    t.text.set(s);
    t.size = u8();
    t.x = u16();
    t.y = u16();
    o.texts.push_back(t);
  }
  std::string d(rng() % 50, ' ');
  for (char& c : d) c = static_cast<char>(u8());
  o.description.set(d);
  return o;
}

std::unique_ptr<Board> boardHolding(const ObjectData& o) {
  auto b = makeBoard();
  for (const Pin& p : o.pins) b->addPin(p);
  for (const WirePoint& p : o.points) b->addWirePoint(p);
  for (const TextItem& t : o.texts) b->addText(t);
  return b;
}

bool sameObject(const ObjectData& a, const ObjectData& b) {
  return a.pins == b.pins && a.points == b.points && a.texts == b.texts &&
         a.description == b.description;
}

Bytes record(const std::string& s, std::size_t size, uint8_t length) {
  Bytes r(size, 0);
  r[0] = length;
  std::copy(s.begin(), s.end(), r.begin() + 1);
  return r;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes readBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ObjectFileLayout, EveryBlockInOrderWithWholeTexts) {
  const std::string text32 = "0123456789abcdefghijklmnopqrstuv";
  auto b = layoutBoard();
  TextItem t = b->TextTable[0];
  t.text.set(text32);
  t.size = 10;
  t.x = 5;
  t.y = 6;
  b->addText(t);
  b->addObject({0, 2, 0, 3, 0, 2}, "not written");  // objects are saved as one flat group

  const Bytes expected = concat({
      {2, 0},
      {0x34, 0x12, 0x02, 0x01, 0x2C, 0x01, 4, 0},
      {7, 128, 0, 2},
      {3, 0},
      {0x64, 0x40, 0xC8, 0x40, 104, 0, 200, 0, 104, 0, 0xFF, 0x3F},
      {0xFF, 0x13, 0x2B, 0},  // three attributes and a filler byte
      {2, 0},
      {0x2C, 0x21, 0x01, 0x02, 5, 0, 6, 0},
      {25, 10, 0, 0},  // two sizes, then one filler byte per text
      record("AB", 66, 2),
      record(text32, 66, 32),  // all 32 characters
      record("DIL8", 100, 4),
  });
  ASSERT_EQ(expected.size(), 278u);
  EXPECT_EQ(serializeObjectFile(*b, "DIL8"), expected);

  ObjectData back;
  std::string error;
  ASSERT_TRUE(parseObjectFile(expected.data(), expected.size(), back, error)) << error;
  EXPECT_EQ(back.texts[1].text.str(), text32);
  EXPECT_EQ(back.description.str(), "DIL8");
}

TEST(ObjectFileLayout, SizeFollowsTheCounts) {
  for (const auto& [p, w, t] : std::vector<std::array<int, 3>>{
           {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 0, 1}, {3, 5, 7}, {40, 81, 12}}) {
    const Bytes bytes = serializeObjectFile(*boardHolding(randomObject(9, p, w, t)), "x");
    EXPECT_EQ(bytes.size(), std::size_t(106 + 6 * p + 4 * w + 2 * ((w + 1) / 2) + 72 * t))
        << p << " " << w << " " << t;
  }
  EXPECT_EQ(serializeObjectFile(*makeBoard(), ""), concat({Bytes(6, 0), Bytes(100, 0)}));
}

// 60 typed characters are held as 50 and written as 49; the reader keeps the length and puts
// a blank in the last place, so the bytes survive another save.
TEST(ObjectFileLayout, LongDescriptionKeepsFortyNineCharacters) {
  const std::string typed(60, 'd');
  const Bytes bytes = serializeObjectFile(*makeBoard(), typed);
  EXPECT_EQ(Bytes(bytes.end() - 100, bytes.end()), record(std::string(49, 'd'), 100, 50));
  ObjectData back;
  std::string error;
  ASSERT_TRUE(parseObjectFile(bytes.data(), bytes.size(), back, error)) << error;
  EXPECT_EQ(back.description.str(), std::string(49, 'd') + " ");
  EXPECT_EQ(serializeObjectFile(back), bytes);
}

TEST(ObjectFileLayout, FillerAndTrailingBytesAreIgnored) {
  const ObjectData o = randomObject(4, 2, 3, 2);
  Bytes bytes = serializeObjectFile(o);
  const std::size_t attrFiller = 2 + 12 + 2 + 12 + 3;
  const std::size_t sizeFiller = attrFiller + 1 + 2 + 8 + 2;
  const std::size_t records = sizeFiller + 2;
  for (std::size_t at : {attrFiller, sizeFiller, sizeFiller + 1, records + 33, records + 65,
                         records + 66 + 40, bytes.size() - 50, bytes.size() - 1})
    bytes[at] = 0xA5;
  bytes.insert(bytes.end(), {1, 2, 3});
  ObjectData back;
  std::string error;
  ASSERT_TRUE(parseObjectFile(bytes.data(), bytes.size(), back, error)) << error;
  EXPECT_TRUE(sameObject(back, o));
}

class ObjectFileDisk : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return folder.path() + "/" + name; }
  TestFolder folder;
};

TEST_F(ObjectFileDisk, RandomObjectsSurviveARoundTrip) {
  uint32_t seed = 50;
  for (const auto& [p, w, t] : std::vector<std::array<int, 3>>{
           {0, 0, 0}, {1, 1, 1}, {17, 33, 9}, {300, 999, 120}, {kPinCapacity, 0, kTextCapacity}}) {
    const ObjectData o = randomObject(++seed, p, w, t);
    std::string error;
    ASSERT_TRUE(WriteObjectFile(path("o.kvo"), *boardHolding(o), o.description.str(), error))
        << error;
    ObjectData back = randomObject(seed + 1, 3, 3, 3);
    ASSERT_TRUE(ReadObjectFile(path("o.kvo"), back, error)) << error;
    EXPECT_TRUE(sameObject(back, o)) << "seed " << seed;
    EXPECT_EQ(serializeObjectFile(back), readBytes(path("o.kvo")));
  }
}

TEST_F(ObjectFileDisk, DamagedFilesAreRefusedAndReadNothing) {
  const Bytes good = serializeObjectFile(randomObject(7, 3, 5, 2));
  auto expectRefused = [&](const Bytes& bytes, const std::string& what, const char* reason) {
    writeBytes(path("bad.kvo"), bytes);
    ObjectData out = randomObject(8, 2, 2, 2);
    std::string error;
    EXPECT_FALSE(ReadObjectFile(path("bad.kvo"), out, error)) << what;
    EXPECT_NE(error.find(reason), std::string::npos) << what << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_TRUE(out.pins.empty() && out.points.empty() && out.texts.empty()) << what;
  };
  for (std::size_t n = 0; n < good.size(); ++n)
    expectRefused(Bytes(good.begin(), good.begin() + long(n)), "cut at " + std::to_string(n),
                  "ends inside");

  // One count at a time past its capacity, in a file long enough for every block.
  const Bytes empty = serializeObjectFile(ObjectData{});
  for (const auto& [block, capacity] : std::vector<std::pair<int, int32_t>>{
           {0, kPinCapacity}, {1, kWirePointCapacity}, {2, kTextCapacity}}) {
    for (uint32_t count : {uint32_t(capacity) + 1, 0xFFFFu}) {
      Bytes bytes(empty.begin(), empty.begin() + 2 * block + 2);
      bytes.resize(2'000'000, 0);
      bytes[2 * block] = uint8_t(count);
      bytes[2 * block + 1] = uint8_t(count >> 8);
      expectRefused(bytes, "count " + std::to_string(count), std::to_string(capacity).c_str());
    }
  }

  std::string error;
  ObjectData out;
  EXPECT_FALSE(ReadObjectFile(path("absent.kvo"), out, error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_FALSE(ReadObjectFile(folder.path(), out, error));
}

// Every way a write can fail leaves the previous file as it was and no temporary file.
TEST_F(ObjectFileDisk, FailedWritesKeepTheOldFile) {
  const ObjectData old = randomObject(30, 4, 4, 4);
  std::string error;
  ASSERT_TRUE(WriteObjectFile(path("keep.kvo"), old, error)) << error;
  const Bytes oldBytes = readBytes(path("keep.kvo"));
  const ObjectData fresh = randomObject(31, 300, 3000, 300);

  // A file size limit makes the write fail part-way, as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteObjectFile(path("keep.kvo"), fresh, error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("cannot write"), std::string::npos) << error;

  EXPECT_FALSE(WriteObjectFile(path("no/such/folder/x.kvo"), fresh, error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;

  EXPECT_EQ(readBytes(path("keep.kvo")), oldBytes);
  const auto entries = std::distance(std::filesystem::directory_iterator(folder.path()), {});
  EXPECT_EQ(entries, 1) << "a temporary file was left behind";
}

// The object load puts the material past the counts and the description into the slot of the
// next object row, and changes no count.
TEST(ObjectLoad, FillsTheFreeRowsPastTheCounts) {
  auto b = boardHolding(randomObject(60, 5, 6, 7));
  b->addObject({0, 5, 0, 6, 0, 7}, "first");
  const auto before = std::make_unique<Board>(*b);
  const ObjectData o = randomObject(61, 3, 4, 2);
  std::string error;
  ASSERT_TRUE(loadIntoFreeRows(*b, o, error)) << error;
  EXPECT_EQ(std::make_tuple(b->PinCount, b->WirePointCount, b->TextCount, b->ObjectCount),
            std::make_tuple(5, 6, 7, 1));
  EXPECT_TRUE(std::equal(o.pins.begin(), o.pins.end(), b->PinTable.begin() + 5));
  EXPECT_TRUE(std::equal(o.points.begin(), o.points.end(), b->WirePointTable.begin() + 6));
  EXPECT_TRUE(std::equal(o.texts.begin(), o.texts.end(), b->TextTable.begin() + 7));
  EXPECT_EQ(b->ObjectDescriptions[1], o.description);
  EXPECT_TRUE(std::equal(b->PinTable.begin(), b->PinTable.begin() + 5, before->PinTable.begin()));
  EXPECT_EQ(b->PinTable[8], before->PinTable[8]) << "no row past the object is written";
  EXPECT_EQ(b->ObjectDescriptions[0], before->ObjectDescriptions[0]);
}

TEST(ObjectLoad, RefusesWhatWouldRunPastACapacity) {
  const ObjectData o = randomObject(70, 2, 3, 4);
  struct Case {
    int32_t pins, points, texts, objects;
    bool fits;
  };
  for (const Case& c : std::vector<Case>{
           {kPinCapacity - 2, kWirePointCapacity - 3, kTextCapacity - 4, kObjectCapacity - 1, true},
           {kPinCapacity - 1, 0, 0, 0, false},
           {0, kWirePointCapacity - 2, 0, 0, false},
           {0, 0, kTextCapacity - 3, 0, false},
           {0, 0, 0, kObjectCapacity, false}}) {
    auto b = makeBoard();
    b->PinCount = c.pins;
    b->WirePointCount = c.points;
    b->TextCount = c.texts;
    b->ObjectCount = c.objects;
    const auto before = std::make_unique<Board>(*b);
    std::string error;
    EXPECT_EQ(loadIntoFreeRows(*b, o, error), c.fits) << c.pins << " " << c.points;
    EXPECT_EQ(error.empty(), c.fits) << error;
    if (!c.fits) {
      EXPECT_TRUE(b->PinTable == before->PinTable);
      EXPECT_TRUE(b->WirePointTable == before->WirePointTable);
      EXPECT_TRUE(b->TextTable == before->TextTable);
      EXPECT_TRUE(b->ObjectDescriptions == before->ObjectDescriptions);
    }
  }
}

TEST(ObjectFileNames, ExtensionAndLibraryFolder) {
  EXPECT_EQ(withObjectExtension("dil8"), "dil8.kvo");
  EXPECT_EQ(withObjectExtension("/home/me/parts/dil8"), "/home/me/parts/dil8.kvo");
  EXPECT_EQ(withObjectExtension("my.parts/dil8"), "my.parts/dil8");
  EXPECT_EQ(withObjectExtension("dil8.kvo"), "dil8.kvo");
  EXPECT_EQ(objectLibraryFolder("/opt/ferrowrit"), "/opt/ferrowrit/objects");
}

}  // namespace
}  // namespace fw

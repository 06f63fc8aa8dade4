// Every input is either refused with a reason, or gives an object within a board's capacities
// that, written and read again, gives the same rows and the same bytes, and that the object
// load puts into the free rows of an empty board.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/Board.h"
#include "files/ObjectFile.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

bool same(const fw::ObjectData& a, const fw::ObjectData& b) {
  return a.pins == b.pins && a.points == b.points && a.texts == b.texts &&
         a.description == b.description;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const auto board = fw::makeBoard();

  fw::ObjectData object;
  std::string error;
  if (!fw::parseObjectFile(data, size, object, error)) {
    check(!error.empty() && error.find('\n') == std::string::npos);
    check(object.pins.empty() && object.points.empty() && object.texts.empty());
    return 0;
  }
  check(object.pins.size() <= std::size_t{fw::kPinCapacity});
  check(object.points.size() <= std::size_t{fw::kWirePointCapacity});
  check(object.texts.size() <= std::size_t{fw::kTextCapacity});

  const std::vector<uint8_t> bytes = fw::serializeObjectFile(object);
  check(bytes.size() <= size);  // the writer never needs more than the file it came from
  fw::ObjectData again;
  check(fw::parseObjectFile(bytes.data(), bytes.size(), again, error));
  check(same(again, object));
  check(fw::serializeObjectFile(again) == bytes);

  board->reset();
  check(fw::loadIntoFreeRows(*board, object, error));
  check(std::equal(object.pins.begin(), object.pins.end(), board->PinTable.begin()));
  check(std::equal(object.points.begin(), object.points.end(), board->WirePointTable.begin()));
  check(std::equal(object.texts.begin(), object.texts.end(), board->TextTable.begin()));
  check(board->ObjectDescriptions[0] == object.description);
  check(board->PinCount == 0 && board->WirePointCount == 0 && board->TextCount == 0);
  return 0;
}

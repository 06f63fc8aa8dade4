// Every input is either refused with a reason, or loads a board that lies within the tables
// and that, written and read again, gives the same tables and the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/Board.h"
#include "files/ProjectFile.h"
#include "support/SameBoard.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

bool rangeInside(uint32_t first, uint32_t count, int32_t tableCount) {
  return first + count <= static_cast<uint32_t>(tableCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // Parsing never reads rows past the counts, so two boards serve every input.
  static const auto loaded = fw::makeBoard();
  static const auto reloaded = fw::makeBoard();

  std::string error;
  if (!fw::parseProjectFile(data, size, *loaded, error)) {
    check(!error.empty() && error.find('\n') == std::string::npos);
    return 0;
  }
  const fw::Board& b = *loaded;
  check(b.PinCount >= 0 && b.PinCount <= fw::kPinCapacity);
  check(b.WirePointCount >= 0 && b.WirePointCount <= fw::kWirePointCapacity);
  check(b.TextCount >= 0 && b.TextCount <= fw::kTextCapacity);
  check(b.ObjectCount >= 0 && b.ObjectCount <= fw::kObjectCapacity);
  for (int32_t i = 0; i < b.ObjectCount; ++i) {
    const fw::BoardObject& o = b.ObjectTable[static_cast<std::size_t>(i)];
    check(rangeInside(o.firstPin, o.pinCount, b.PinCount));
    check(rangeInside(o.firstPoint, o.pointCount, b.WirePointCount));
    check(rangeInside(o.firstText, o.textCount, b.TextCount));
  }

  const std::vector<uint8_t> bytes = fw::serializeProjectFile(b);
  check(bytes.size() <= size);  // the writer never needs more than the file it came from
  check(fw::parseProjectFile(bytes.data(), bytes.size(), *reloaded, error));
  check(fw::sameContent(*reloaded, b));
  check(fw::serializeProjectFile(*reloaded) == bytes);
  return 0;
}

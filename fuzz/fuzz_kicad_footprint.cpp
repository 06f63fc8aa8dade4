// Every input is either refused with a one-line reason and nothing imported, or gives an object
// with at least one pin, every position on the board, that writes and reads back the same.
// The rounding is accepted on every second input, so that both ways are fuzzed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/View.h"
#include "files/ObjectFile.h"
#include "kicad/KicadFootprint.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

bool onBoard(int x, int y) {
  return x >= 0 && x <= fw::kMaxBoardX && y >= 0 && y <= fw::kMaxBoardY;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const bool accept = size % 2 == 1;
  fw::ObjectData object;
  fw::KicadImportReport report;
  if (!fw::importKicadFootprint(text, accept, object, report)) {
    check(report.refused && !report.reason.empty());
    check(report.reason.find('\n') == std::string::npos);
    check(object.pins.empty() && object.points.empty() && object.texts.empty());
    check(!report.refusedForRounding || !accept);
    return 0;
  }
  check(!report.refused && !object.pins.empty());
  check(accept || report.largestErrorMm <= fw::kKicadMaxRoundingMm);
  for (const fw::Pin& p : object.pins) check(onBoard(p.x, p.y) && p.sizeIndex < fw::kPinSizes);
  for (const fw::WirePoint& p : object.points)
    check(onBoard(p.x & fw::kPositionMask, p.y & fw::kPositionMask));
  for (const fw::TextItem& t : object.texts) check(onBoard(fw::textX(t), t.y));

  const std::vector<uint8_t> bytes = fw::serializeObjectFile(object);
  fw::ObjectData again;
  std::string error;
  check(fw::parseObjectFile(bytes.data(), bytes.size(), again, error));
  check(again.pins == object.pins && again.points == object.points && again.texts == object.texts &&
        again.description == object.description);
  return 0;
}

#include "edit/PointerReadout.h"

#include <cstdint>

namespace fw {

std::string millimetreText(int boardUnits) {
  const int64_t units = boardUnits < 0 ? -static_cast<int64_t>(boardUnits) : boardUnits;
  // 0.635 mm per unit: hundredths of a millimetre are units * 63.5, rounded half up.
  const int64_t hundredths = (units * 635 + 5) / 10;
  const int64_t cents = hundredths % 100;
  std::string text = boardUnits < 0 ? "-" : "";
  text += std::to_string(hundredths / 100);
  text += '.';
  text += static_cast<char>('0' + cents / 10);
  text += static_cast<char>('0' + cents % 10);
  if (text.size() > 10) text.resize(10);
  return text;
}

std::string pointerReadoutText(int x, int y) {
  const std::string xs = x < 0 ? "-" : millimetreText(x);
  const std::string ys = y < 0 ? "-" : millimetreText(y);
  return "X = " + xs + " mm    Y = " + ys + " mm";
}

std::string segmentReadoutText(int dx, int dy) {
  return "X = " + millimetreText(dx) + "    Y = " + millimetreText(dy);
}

}  // namespace fw

#include "fab/FabOptions.h"

#include <charconv>
#include <cmath>

#include "board/PrintTables.h"
#include "fab/FabCoordinates.h"

namespace fw {

namespace {

// The names of the pin size list; the print's own sizes differ from some by a hundredth.
constexpr const char* kListedPadSizes[] = {"1.27", "1.70", "1.90", "2.54", "2.90",
                                           "3.17", "3.96", "5.08", "6.35", "7.62"};

// Micrometres as "1.0", "0.8" or "1.25": the fewest decimals that say it, at least one.
std::string millimetres(int um) {
  std::string text = std::to_string(um / 1000) + '.';
  std::string rest = std::to_string(1000 + um % 1000).substr(1);
  while (rest.size() > 1 && rest.back() == '0') rest.pop_back();
  return text + rest;
}

}  // namespace

std::string fabPadSizeLabel(int row) {
  if (row >= 0 && row < int(std::size(kListedPadSizes))) return kListedPadSizes[row];
  // Hundredths of a millimetre, rounded.
  const long long hundredths = (fabLength360(printPadSize(row)) + 5000) / 10000;
  const std::string rest = std::to_string(100 + hundredths % 100).substr(1);
  return std::to_string(hundredths / 100) + '.' + rest;
}

long long fabPadSizeNm(int row) {
  return fabLength360(printPadSize(row));
}

long long fabRingNm(const FabOptions& options, int row) {
  return (fabPadSizeNm(row) -
          options.holeUm[std::size_t(std::clamp(row, 0, kFabPadRows - 1))] * 1000LL) /
         2;
}

bool parseFabMillimetres(std::string_view text, int& um) {
  // from_chars reads the same whatever the locale, so "0.8" is never read as 0 under a locale
  // with a decimal comma.
  double mm = 0;
  if (text.empty() || text.front() == '-' || text.front() == '+') return false;
  const auto r =
      std::from_chars(text.data(), text.data() + text.size(), mm, std::chars_format::fixed);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !(mm >= 0 && mm <= 100))
    return false;
  um = int(std::lround(mm * 1000));
  return true;
}

bool parseFabHole(std::string_view text, int& row, int& holeUm, std::string& error) {
  const std::size_t eq = text.find('=');
  int padUm = 0;
  row = -1;
  if (eq != std::string_view::npos && parseFabMillimetres(text.substr(0, eq), padUm)) {
    for (int r = 0; r < kFabPadRows && row < 0; ++r) {
      int labelUm = 0;
      if (parseFabMillimetres(fabPadSizeLabel(r), labelUm) && labelUm == padUm) row = r;
    }
  }
  if (row < 0) {
    std::string sizes;
    for (int r = 0; r < kFabPadRows; ++r) sizes += (r ? ", " : "") + fabPadSizeLabel(r);
    error = "unknown pad size in \"" + std::string(text) + "\"; the pad sizes are " + sizes;
    return false;
  }
  if (!parseFabMillimetres(text.substr(eq + 1), holeUm) || holeUm <= 0) {
    error = "the hole in \"" + std::string(text) + "\" is not a length in millimetres";
    return false;
  }
  return true;
}

std::string fabOptionsProblem(const Board& board, const FabOptions& options) {
  if (options.maskExpansionUm < 0 || options.maskExpansionUm > kMaxMaskExpansionUm)
    return "the mask expansion must be from 0 to 1 mm";
  // Only the pad sizes the board uses are checked: the table holds a hole for every size, and
  // one no pad has must not stop the export.
  std::array<bool, kFabPadRows> used{};
  for (int32_t i = 0; i < board.PinCount; ++i) {
    const Pin& p = board.PinTable[std::size_t(i)];
    if (fabHasPad(p)) used[std::size_t(std::clamp<int>(p.sizeIndex, 0, kFabPadRows - 1))] = true;
  }
  for (int row = 0; row < kFabPadRows; ++row) {
    if (!used[std::size_t(row)]) continue;
    const int holeUm = options.holeUm[std::size_t(row)];
    const long long ringNm = fabRingNm(options, row);
    if (holeUm > 0 && ringNm >= kMinRingUm * 1000LL) continue;
    const std::string pads = " on " + fabPadSizeLabel(row) + " mm pads";
    if (holeUm <= 0) return "no hole is given for the" + pads.substr(3);
    if (ringNm <= 0)
      return "the " + millimetres(holeUm) + " mm hole leaves no ring" + pads +
             "; at least 0.15 mm is needed";
    // Hundredths cut rather than rounded, so a ring just short of the least is never shown as
    // the least itself.
    const std::string ring = "0." + std::to_string(100 + ringNm / 10000).substr(1);
    return "the " + millimetres(holeUm) + " mm hole leaves a " + ring + " mm ring" + pads +
           "; at least 0.15 mm is needed";
  }
  return "";
}

}  // namespace fw

#pragma once

#include <map>
#include <string>
#include <tuple>

namespace fw {

// Builds one Gerber file: the header with its attributes, the aperture table gathered while the
// body is written, and the body. Coordinates are nanometres in the format 4.6 of millimetres.
class GerberWriter {
 public:
  // fileFunction as in "Copper,L1,Top"; polarity "Positive" or empty for none.
  GerberWriter(std::string fileFunction, std::string polarity);

  // Aperture selection, defined on first use; function is the aperture's AperFunction or "".
  void circle(long long diameter, const char* function, long long hole = 0);
  void obround(long long width, long long height, const char* function);

  void flash(long long x, long long y);
  void moveTo(long long x, long long y);
  void lineTo(long long x, long long y);

  // One region: contours of closed polygons, each begun with moveTo and drawn with lineTo.
  void beginRegion();
  void endRegion();

  std::string finish();

 private:
  void select(char shape, long long a, long long b, const char* function);
  void coordinates(long long x, long long y);

  using Key = std::tuple<char, long long, long long>;
  struct Aperture {
    int code;
    std::string function;
  };
  std::string fileFunction_, polarity_;
  std::map<Key, Aperture> apertures_;
  std::string body_;
  int current_ = -1;
};

// nanometres as millimetres with `decimals` decimals (3 or 6), with an explicit point.
void appendMillimetres(std::string& out, long long nm, int decimals = 6);

}  // namespace fw

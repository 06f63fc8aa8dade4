#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace fw {

// Where a file's text goes piece by piece; false when it could not be written. Without one the
// writer keeps the whole text.
using FabSink = std::function<bool(std::string_view)>;

// Builds one Gerber file in two passes over the same drawing calls: the first only declares the
// apertures, start() writes the header with the aperture table, and the second writes the body.
// Coordinates are nanometres in the format 4.6 of millimetres.
class GerberWriter {
 public:
  // fileFunction as in "Copper,L1,Top"; polarity "Positive" or empty for none.
  GerberWriter(std::string fileFunction, std::string polarity, FabSink sink = {});

  bool declaring() const { return declaring_; }
  void start();

  // Aperture selection; function is the aperture's AperFunction or "".
  void circle(long long diameter, const char* function, long long hole = 0);
  void obround(long long width, long long height, const char* function);

  void flash(long long x, long long y);
  void moveTo(long long x, long long y);
  void lineTo(long long x, long long y);

  // One region: closed contours, each begun with moveTo and drawn with lineTo.
  void beginRegion();
  void endRegion();

  // The end of the file. Returns the text not yet given to the sink (all of it without one);
  // ok() tells whether the sink took every piece.
  std::string finish();
  bool ok() const { return ok_; }

 private:
  void select(char shape, long long a, long long b, const char* function);
  void coordinates(long long x, long long y);
  void spill();

  using Key = std::tuple<char, long long, long long>;
  struct Aperture {
    int code;
    std::string function;
  };
  std::string fileFunction_, polarity_;
  FabSink sink_;
  std::map<Key, Aperture> apertures_;
  std::string out_;
  bool declaring_ = true;
  bool ok_ = true;
  int current_ = -1;
  long long x_ = 0, y_ = 0;  // the current point: an unchanged coordinate is left out
  bool known_ = false;
};

// nanometres as millimetres with `decimals` decimals (3 or 6), with an explicit point.
void appendMillimetres(std::string& out, long long nm, int decimals = 6);

}  // namespace fw

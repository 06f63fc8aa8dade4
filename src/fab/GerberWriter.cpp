#include "fab/GerberWriter.h"

#include <charconv>
#include <vector>

namespace fw {

namespace {

void appendInt(std::string& out, long long v) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  out.append(buffer, static_cast<std::size_t>(r.ptr - buffer));  // the length form appends in place
}

}  // namespace

void appendMillimetres(std::string& out, long long nm, int decimals) {
  if (nm < 0) {
    out += '-';
    nm = -nm;
  }
  long long unit = 1000000;
  long long rest = nm % unit;
  if (decimals == 3) rest = (rest + 500) / 1000;
  long long whole = nm / unit;
  if (decimals == 3 && rest == 1000) {
    ++whole;
    rest = 0;
  }
  appendInt(out, whole);
  out += '.';
  char digits[8];
  for (int i = decimals - 1; i >= 0; --i) {
    digits[i] = char('0' + rest % 10);
    rest /= 10;
  }
  out.append(digits, std::size_t(decimals));
}

constexpr std::size_t kPiece = 1 << 20;
constexpr long long kUnusedAperture = 100000;  // 0.1 mm

GerberWriter::GerberWriter(std::string fileFunction, std::string polarity, FabSink sink)
    : fileFunction_(std::move(fileFunction)),
      polarity_(std::move(polarity)),
      sink_(std::move(sink)) {
  out_.reserve(sink_ ? kPiece + 4096 : 1 << 16);
}

void GerberWriter::spill() {
  if (!sink_ || out_.size() < kPiece) return;
  ok_ = ok_ && sink_(out_);
  out_.clear();
}

void GerberWriter::select(char shape, long long a, long long b, const char* function) {
  const Key key{shape, a, b};
  auto it = apertures_.find(key);
  if (it == apertures_.end()) {
    if (!declaring_) return;  // every aperture is declared in the first pass
    it = apertures_.emplace(key, Aperture{10 + int(apertures_.size()), function}).first;
  }
  if (declaring_ || it->second.code == current_) return;
  current_ = it->second.code;
  out_ += 'D';
  appendInt(out_, current_);
  out_ += "*\n";
}

void GerberWriter::circle(long long diameter, const char* function, long long hole) {
  select('C', diameter, hole, function);
}

void GerberWriter::obround(long long width, long long height, const char* function) {
  select('O', width, height, function);
}

void GerberWriter::coordinates(long long x, long long y) {
  if (!known_ || x != x_) {
    out_ += 'X';
    appendInt(out_, x);
  }
  if (!known_ || y != y_) {
    out_ += 'Y';
    appendInt(out_, y);
  }
  x_ = x;
  y_ = y;
  known_ = true;
}

void GerberWriter::flash(long long x, long long y) {
  if (declaring_) return;
  coordinates(x, y);
  out_ += "D03*\n";
  spill();
}

void GerberWriter::moveTo(long long x, long long y) {
  if (declaring_) return;
  coordinates(x, y);
  out_ += "D02*\n";
}

void GerberWriter::lineTo(long long x, long long y) {
  if (declaring_) return;
  coordinates(x, y);
  out_ += "D01*\n";
}

void GerberWriter::beginRegion() {
  if (!declaring_) out_ += "G36*\n";
}

void GerberWriter::endRegion() {
  if (declaring_) return;
  out_ += "G37*\n";
  spill();
}

void GerberWriter::start() {
  declaring_ = false;
  out_ += "G04 Ferrowrit fabrication output*\n";
  out_ += "G04 #@! TF.GenerationSoftware,Ferrowrit,Ferrowrit,5.0*\n";
  out_ += "G04 #@! TF.FileFunction," + fileFunction_ + "*\n";
  if (!polarity_.empty()) out_ += "G04 #@! TF.FilePolarity," + polarity_ + "*\n";
  out_ += "%FSLAX46Y46*%\n%MOMM*%\n%LPD*%\n";
  // A file without an aperture definition reads to gerbv as the older RS-274D, whose apertures
  // come from elsewhere: an empty layer or one of regions only still declares one, never used.
  if (apertures_.empty()) apertures_.emplace(Key{'C', kUnusedAperture, 0}, Aperture{10, ""});
  std::vector<std::string> defs(apertures_.size());
  for (const auto& [key, aperture] : apertures_) {
    std::string& def = defs[std::size_t(aperture.code - 10)];
    if (!aperture.function.empty()) def += "G04 #@! TA.AperFunction," + aperture.function + "*\n";
    def += "%ADD";
    appendInt(def, aperture.code);
    def += std::get<0>(key);
    def += ',';
    appendMillimetres(def, std::get<1>(key));
    if (std::get<0>(key) == 'O' || std::get<2>(key) > 0) {
      def += 'X';
      appendMillimetres(def, std::get<2>(key));
    }
    def += "*%\n";
    if (!aperture.function.empty()) def += "G04 #@! TD*\n";
  }
  for (const std::string& def : defs) out_ += def;
  out_ += "G01*\n";
}

std::string GerberWriter::finish() {
  out_ += "M02*\n";
  if (!sink_) return std::move(out_);
  ok_ = ok_ && sink_(out_);
  out_.clear();
  return {};
}

}  // namespace fw

#include "fab/GerberWriter.h"

#include <charconv>
#include <vector>

namespace fw {

namespace {

void appendInt(std::string& out, long long v) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  out.append(buffer, r.ptr);
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

GerberWriter::GerberWriter(std::string fileFunction, std::string polarity)
    : fileFunction_(std::move(fileFunction)), polarity_(std::move(polarity)) {
  body_.reserve(1 << 16);
}

void GerberWriter::select(char shape, long long a, long long b, const char* function) {
  const Key key{shape, a, b};
  auto it = apertures_.find(key);
  if (it == apertures_.end())
    it = apertures_.emplace(key, Aperture{10 + int(apertures_.size()), function}).first;
  if (it->second.code == current_) return;
  current_ = it->second.code;
  body_ += 'D';
  appendInt(body_, current_);
  body_ += "*\n";
}

void GerberWriter::circle(long long diameter, const char* function, long long hole) {
  select('C', diameter, hole, function);
}

void GerberWriter::obround(long long width, long long height, const char* function) {
  select('O', width, height, function);
}

void GerberWriter::coordinates(long long x, long long y) {
  body_ += 'X';
  appendInt(body_, x);
  body_ += 'Y';
  appendInt(body_, y);
}

void GerberWriter::flash(long long x, long long y) {
  coordinates(x, y);
  body_ += "D03*\n";
}

void GerberWriter::moveTo(long long x, long long y) {
  coordinates(x, y);
  body_ += "D02*\n";
}

void GerberWriter::lineTo(long long x, long long y) {
  coordinates(x, y);
  body_ += "D01*\n";
}

void GerberWriter::beginRegion() {
  body_ += "G36*\n";
}

void GerberWriter::endRegion() {
  body_ += "G37*\n";
}

std::string GerberWriter::finish() {
  std::string out;
  out.reserve(body_.size() + 4096);
  out += "G04 Ferrowrit fabrication output*\n";
  out += "G04 #@! TF.GenerationSoftware,Ferrowrit,Ferrowrit,5.0*\n";
  out += "G04 #@! TF.FileFunction," + fileFunction_ + "*\n";
  if (!polarity_.empty()) out += "G04 #@! TF.FilePolarity," + polarity_ + "*\n";
  out += "%FSLAX46Y46*%\n%MOMM*%\n%LPD*%\n";
  std::vector<std::pair<int, std::string>> defs(apertures_.size());
  for (const auto& [key, aperture] : apertures_) {
    std::string def;
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
    defs[std::size_t(aperture.code - 10)] = {aperture.code, def};
  }
  for (const auto& d : defs) out += d.second;
  out += "G01*\n";
  out += body_;
  out += "M02*\n";
  return out;
}

}  // namespace fw

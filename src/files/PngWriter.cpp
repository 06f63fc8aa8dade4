// The PNG writer: a board drawing or a printed page as a palette PNG of few bits a pixel,
// compressed for speed on two threads; any other picture as QImageWriter writes it.
#include "files/PngWriter.h"

#include <zlib.h>

#include <QIODevice>
#include <QImage>
#include <QImageWriter>
#include <array>
#include <initializer_list>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

namespace fw {

namespace {

// QImageWriter's 0..100 scale, mapped to zlib level 2: for pictures of many colours.
constexpr int kPngCompression = 30;
constexpr int kMaxPaletteColours = 256;

// The colours of a picture and their palette indexes, looked up run by run of one colour. The
// last colour is asked for again most often, and the few colours a board drawing has are found
// in a small table before the map is asked.
class Palette {
 public:
  // The colour's index, added when new; -1 once there would be more than 256.
  int indexOf(QRgb c) {
    c |= 0xFF000000u;
    if (c == last_ && lastIndex_ >= 0) return lastIndex_;
    Recent& r = recent_[(c * 0x9E3779B1u) >> 26];
    if (r.index < 0 || r.colour != c) {
      auto it = index_.find(c);
      if (it == index_.end()) {
        if (table_.size() == kMaxPaletteColours) return -1;
        it = index_.emplace(c, int(table_.size())).first;
        table_.push_back(c);
      }
      r = Recent{c, it->second};
    }
    last_ = c;
    lastIndex_ = r.index;
    return r.index;
  }
  const QList<QRgb>& table() const { return table_; }

 private:
  struct Recent {
    QRgb colour = 0;
    int index = -1;
  };
  QList<QRgb> table_;
  std::unordered_map<QRgb, int> index_;
  std::array<Recent, 64> recent_{};
  QRgb last_ = 0;
  int lastIndex_ = -1;
};

void putBigEndian(QByteArray& out, uint32_t v) {
  const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  out.append(b, 4);
}

// The CRC a chunk ends with: over its type and its data, which may lie in pieces.
uint32_t chunkCrc(const char* type, std::initializer_list<const QByteArray*> data) {
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  for (const QByteArray* piece : data)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(piece->constData()), uInt(piece->size()));
  return uint32_t(crc);
}

void putChunk(QByteArray& out, const char* type, const QByteArray& data) {
  putBigEndian(out, uint32_t(data.size()));
  out.append(type, 4);
  out.append(data);
  putBigEndian(out, chunkCrc(type, {&data}));
}

// One row of pixels as palette indexes of `depth` bits, the first pixel in a byte's highest
// bits, behind a "no filter" byte; taken run by run of one colour, whole bytes of a run at once.
// Returns where the next row goes.
template <typename Pixel, typename IndexOf>
Bytef* packRow(const Pixel* from, int width, int depth, IndexOf indexOf, Bytef* to) {
  const int perByte = 8 / depth;
  *to++ = 0;
  unsigned byte = 0;
  int filled = 0;
  for (int x = 0; x < width;) {
    const Pixel c = from[x];
    const unsigned index = unsigned(indexOf(c));
    int run = 1;
    while (x + run < width && from[x + run] == c) ++run;
    x += run;
    for (; run > 0 && filled != 0; --run) {
      byte = byte << depth | index;
      if (++filled == perByte) {
        *to++ = Bytef(byte);
        byte = 0;
        filled = 0;
      }
    }
    if (run >= perByte) {
      unsigned whole = 0;
      for (int k = 0; k < perByte; ++k) whole = whole << depth | index;
      to = std::fill_n(to, run / perByte, Bytef(whole));
      run %= perByte;
    }
    for (; run > 0; --run, ++filled) byte = byte << depth | index;
  }
  if (filled != 0) *to++ = Bytef(byte << (depth * (perByte - filled)));
  return to;
}

// Pictures of this many rows or more are compressed in two halves at once.
constexpr int kSplitRows = 64;

// `n` bytes as raw deflate at zlib's fastest level, looking for runs only, appended to `out`;
// ended on a byte boundary, or as the stream's last block when `last`.
bool deflateRaw(const Bytef* in, std::size_t n, bool last, QByteArray& out) {
  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK) return false;
  const qsizetype start = out.size();
  out.resize(start + qsizetype(deflateBound(&z, uLong(n))) + 16);
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = uInt(n);
  z.next_out = reinterpret_cast<Bytef*>(out.data() + start);
  z.avail_out = uInt(out.size() - start);
  const int status = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
  const bool done =
      last ? status == Z_STREAM_END : status == Z_OK && z.avail_in == 0 && z.avail_out != 0;
  out.resize(start + qsizetype(z.total_out));
  deflateEnd(&z);
  return done;
}

// A picture of at most 256 colours as PNG with a palette of as few bits a pixel as the colours
// need: a board drawing has a dozen, so its rows shrink to half a byte a pixel before zlib sees
// them, and zlib looks for runs only, which the drawing's plain surfaces and long tracks are
// made of. The colours are found first, so that the rows are written once, already packed,
// over the picture's own pixels when nobody else shares them: fresh memory costs more than
// the packing. A grey picture (a printed page) is indexed by its bytes. Leaves `fits` false,
// and writes nothing, for a picture of more colours.
bool writePalettePng(QImage& image, QIODevice& device, int dotsPerMeter, bool& fits) {
  fits = false;
  const bool grey = image.format() == QImage::Format_Grayscale8;
  if ((image.format() != QImage::Format_RGB32 && !grey) || image.isNull()) return false;
  const int width = image.width();
  const int height = image.height();
  const auto rgbRow = [&](int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); };
  Palette palette;
  std::array<int, 256> greyIndex;
  greyIndex.fill(-1);
  QList<QRgb> greyTable;
  for (int y = 0; y < height; ++y) {
    if (grey) {
      const uchar* from = image.constScanLine(y);
      for (int x = 0; x < width; ++x) {
        if (greyIndex[from[x]] >= 0) continue;
        greyIndex[from[x]] = int(greyTable.size());
        greyTable.push_back(qRgb(from[x], from[x], from[x]));
      }
      continue;
    }
    const QRgb* from = rgbRow(y);
    for (int x = 0; x < width; ++x) {
      if (palette.indexOf(from[x]) < 0) return false;
      // The rest of a run of one colour needs no look-up.
      while (x + 1 < width && from[x + 1] == from[x]) ++x;
    }
  }
  fits = true;
  const QList<QRgb>& colourTable = grey ? greyTable : palette.table();
  const int count = int(colourTable.size());
  const int depth = count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8;
  const std::size_t rowBytes = (std::size_t(width) * std::size_t(depth) + 7) / 8;
  // A tall picture is packed and compressed in two halves at once, the lower one on a thread
  // of its own with a copy of the palette: zlib lets two raw streams, the first ended on a
  // byte, follow each other, with one checksum over both.
  const int split = height >= kSplitRows ? height / 2 : height;
  const std::size_t topBytes = (rowBytes + 1) * std::size_t(split);
  const std::size_t bottomBytes = (rowBytes + 1) * std::size_t(height - split);
  // A packed row with its filter byte is never longer than a row of RGB32 pixels, so from the
  // second row on each is written behind the pixels still to be read; the first row's filter
  // byte would land on its first pixel, so that row is read from a copy. The lower half is
  // packed apart, as its rows would land on the upper half's pixels.
  const bool inPlace = !grey && image.isDetached();
  std::vector<Bytef> own, lower(bottomBytes);
  std::vector<QRgb> firstRow;
  Bytef* const raw = inPlace ? image.bits() : (own.resize(topBytes), own.data());
  if (inPlace) firstRow.assign(rgbRow(0), rgbRow(0) + width);
  const auto pack = [&](int y0, int y1, Bytef* to, Palette& colours) {
    for (int y = y0; y < y1; ++y) {
      if (grey)
        to = packRow(
            image.constScanLine(y), width, depth, [&](uchar g) { return greyIndex[g]; }, to);
      else
        to = packRow(
            inPlace && y == 0 ? firstRow.data() : rgbRow(y), width, depth,
            [&](QRgb c) { return colours.indexOf(c); }, to);
    }
  };
  QByteArray lowerPacked;
  uLong lowerSum = adler32(0, nullptr, 0);
  bool lowerDone = true;
  auto lowerWork = [&, colours = palette]() mutable {
    pack(split, height, lower.data(), colours);
    lowerSum = adler32(lowerSum, lower.data(), uInt(bottomBytes));
    lowerDone = deflateRaw(lower.data(), bottomBytes, true, lowerPacked);
  };
  std::thread lowerHalf;
  if (split < height) {
    try {
      lowerHalf = std::thread(lowerWork);
    } catch (const std::system_error&) {
      lowerWork();  // no thread to be had: one half after the other
    }
  }
  pack(0, split, raw, palette);
  QByteArray packed("\x78\x01", 2);  // deflate with a 32 KiB window, fastest level
  const bool upperDone = deflateRaw(raw, topBytes, split == height, packed);
  const uLong upperSum = adler32(adler32(0, nullptr, 0), raw, uInt(topBytes));
  if (lowerHalf.joinable()) lowerHalf.join();
  if (!upperDone || !lowerDone) return false;
  QByteArray trailer;
  putBigEndian(trailer, uint32_t(adler32_combine(upperSum, lowerSum, z_off_t(bottomBytes))));

  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  QByteArray header;
  putBigEndian(header, uint32_t(width));
  putBigEndian(header, uint32_t(height));
  header.append(char(depth)).append(char(3)).append(3, char(0));  // palette, no interlace
  putChunk(png, "IHDR", header);
  QByteArray plte;
  for (const QRgb c : colourTable)
    plte.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
  putChunk(png, "PLTE", plte);
  if (dotsPerMeter > 0) {
    // The resolution, so that a viewer or a printer driver shows the page at its true size.
    QByteArray phys;
    putBigEndian(phys, uint32_t(dotsPerMeter));
    putBigEndian(phys, uint32_t(dotsPerMeter));
    phys.append(char(1));  // the unit is the metre
    putChunk(png, "pHYs", phys);
  }
  // The image data goes out in its three pieces as they lie, not copied into one chunk first.
  const std::initializer_list<const QByteArray*> pieces = {&packed, &lowerPacked, &trailer};
  putBigEndian(png, uint32_t(packed.size() + lowerPacked.size() + trailer.size()));
  png.append("IDAT", 4);
  QByteArray end;
  putBigEndian(end, chunkCrc("IDAT", pieces));
  putChunk(end, "IEND", QByteArray());
  bool written = device.write(png) == png.size();
  for (const QByteArray* piece : pieces) written = written && device.write(*piece) == piece->size();
  return written && device.write(end) == end.size();
}

}  // namespace

bool writePng(QImage image, QIODevice& device, int dotsPerMeter) {
  bool fits = false;
  const bool written = writePalettePng(image, device, dotsPerMeter, fits);
  if (fits) return written;
  if (dotsPerMeter > 0) {
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
  }
  QImageWriter writer(&device, "png");
  writer.setCompression(kPngCompression);
  return writer.write(image);
}

}  // namespace fw

#pragma once

// The PNG writer of rendered boards and printed pages. Callers hand over a QImage; the header
// only names the Qt types, so that the file formats beside it stay free of Qt headers.
class QImage;
class QIODevice;

namespace fw {

// Writes the picture as PNG: an RGB32 or grey one of at most 256 colours as a palette of as few
// bits a pixel as they need, compressed for speed; any other as QImageWriter does at a fast zlib
// level. Decoding gives back exactly the same pixels. An RGB32 picture handed over whole (moved)
// is packed over its own pixels. A dotsPerMeter above 0 is written as the picture's resolution
// (a pHYs chunk); 0 writes none, as the render command's pictures have.
bool writePng(QImage image, QIODevice& device, int dotsPerMeter = 0);

}  // namespace fw

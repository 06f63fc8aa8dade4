#pragma once

#include <QGuiApplication>
#include <QIODevice>
#include <QImage>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "board/Board.h"

namespace fw {

// Pieces the commands of ferrowrit-cli share.

bool wantsHelp(const std::vector<std::string>& args);
bool isOption(const std::string& arg);
// A FILE whose name ends in ".kvo", in any case, is an object file.
bool isObjectFilePath(const std::string& path);
// Reads a project file into `board`, or an object file into an empty board as loose material
// where it was saved; on failure writes the one-line reason to `err`.
bool loadBoard(const std::string& path, Board& board, std::ostream& err);
// The program draws through QtGui on the offscreen platform, so it never needs a display; this
// makes the application object when there is none yet (and returns null when there is).
std::unique_ptr<QGuiApplication> ensureGuiApplication();
// Writes the picture as PNG: an RGB32 or grey one of at most 256 colours as a palette of as few
// bits a pixel as they need, compressed for speed; any other as QImageWriter does at a fast zlib
// level. Decoding gives back exactly the same pixels. An RGB32 picture handed over whole (moved)
// is packed over its own pixels. A dotsPerMeter above 0 is written as the picture's resolution
// (a pHYs chunk); 0 writes none, as the render command's pictures have.
bool writePng(QImage image, QIODevice& device, int dotsPerMeter = 0);
// Replaces the file at `path` with `bytes` as a project file is replaced; on failure writes the
// reason to `err`.
bool writeOutput(const std::string& path, const QByteArray& bytes, std::ostream& err);
// The print command with the arguments after "print".
int runPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The render command with the arguments after "render".
int runRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The gerber command with the arguments after "gerber".
int runGerber(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The check command with the arguments after "check".
int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The make-library command with the arguments after "make-library".
int runMakeLibrary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace fw

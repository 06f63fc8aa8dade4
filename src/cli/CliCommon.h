#pragma once

#include <QByteArray>
#include <QGuiApplication>
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
// True when `folder` is there to write into ("" is the current folder); when it is missing, says
// so on `err`, naming it. Any other trouble with it is left to the writing to report.
bool folderExists(const std::string& folder, std::ostream& err);
// The same for the folder the file at `path` goes into.
bool outputFolderExists(const std::string& path, std::ostream& err);
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
// The import-kicad command with the arguments after "import-kicad".
int runImportKicad(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace fw

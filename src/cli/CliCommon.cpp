#include "cli/CliCommon.h"

#include <filesystem>

#include "files/FileIo.h"
#include "files/ObjectFile.h"
#include "files/ProjectFile.h"

namespace fw {

bool wantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

bool isOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

bool isObjectFilePath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".kvo";
}

bool loadBoard(const std::string& path, Board& board, std::ostream& err) {
  std::string error;
  if (!isObjectFilePath(path)) {
    if (ReadProjectFile(path, board, error)) return true;
  } else {
    // An object file becomes loose material of an empty board, where it was saved.
    ObjectData object;
    if (ReadObjectFile(path, object, error) && loadAsBoard(board, object, error)) return true;
  }
  err << "ferrowrit-cli: " << error << "\n";
  return false;
}

bool folderExists(const std::string& folder, std::ostream& err) {
  std::error_code ec;
  if (folder.empty() ||
      std::filesystem::status(folder, ec).type() != std::filesystem::file_type::not_found)
    return true;
  err << "ferrowrit-cli: the folder " << folder << " does not exist\n";
  return false;
}

bool outputFolderExists(const std::string& path, std::ostream& err) {
  return folderExists(std::filesystem::path(path).parent_path().string(), err);
}

bool writeOutput(const std::string& path, const QByteArray& bytes, std::ostream& err) {
  std::string error;
  if (replaceFile(path, reinterpret_cast<const uint8_t*>(bytes.constData()),
                  static_cast<std::size_t>(bytes.size()), error))
    return true;
  err << "ferrowrit-cli: " << error << "\n";
  return false;
}

std::unique_ptr<QGuiApplication> ensureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "ferrowrit-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace fw

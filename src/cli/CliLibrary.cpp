#include <filesystem>

#include "cli/Cli.h"
#include "cli/CliCommon.h"
#include "cli/CommandLine.h"
#include "files/FileIo.h"
#include "files/ObjectFile.h"
#include "files/ObjectLibrary.h"

namespace fw {

namespace {

const char* const kMakeLibraryUsage =
    "Usage: ferrowrit-cli make-library DESCRIPTION -o FOLDER\n"
    "\n"
    "Writes an object file (.kvo) into FOLDER for every footprint of the plain-text library\n"
    "DESCRIPTION (the format is explained at the head of library/footprints.txt). FOLDER is\n"
    "made when it is missing; other files in it are left alone. Every footprint is saved with\n"
    "its pads centred on the middle of the board.\n"
    "\n"
    "Options:\n"
    "  -o, --output FOLDER       the folder to write into (required)\n"
    "\n"
    "Exit status: 0 success, 1 the description is refused or cannot be read or a file cannot\n"
    "be written, 2 usage error.\n";

// A library description is a few hundred lines; anything near this size is not one.
constexpr std::size_t kMaxDescriptionSize = std::size_t{16} << 20;

}  // namespace

int runMakeLibrary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string input, folder, error;
  CommandLine line;
  line.usage = kMakeLibraryUsage;
  line.fileName = "DESCRIPTION";
  line.inlineValues = true;
  line.options = {textOption({"-o", "--output"}, folder)};
  line.finish = [&folder](std::string& why) {
    if (folder.empty()) why = "-o FOLDER is missing";
    return why.empty();
  };
  if (const auto status = line.read(args, input, out, err)) return *status;

  std::vector<uint8_t> bytes;
  if (!readFileBytes(input, kMaxDescriptionSize, bytes, error)) {
    err << "ferrowrit-cli: " << error << "\n";
    return kExitFailed;
  }
  std::vector<LibraryObject> library;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!parseObjectLibrary(text, library, error)) {
    err << "ferrowrit-cli: " << input << ":" << error << "\n";
    return kExitFailed;
  }

  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    err << "ferrowrit-cli: cannot make the folder " << folder << ": " << ec.message() << "\n";
    return kExitFailed;
  }
  for (const LibraryObject& entry : library) {
    if (!WriteObjectFile(folder + "/" + entry.fileName, entry.object, error)) {
      err << "ferrowrit-cli: " << error << "\n";
      return kExitFailed;
    }
  }
  out << library.size() << " object files written to " << folder << "\n";
  return kExitOk;
}

}  // namespace fw

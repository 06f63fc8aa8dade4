#include <filesystem>

#include "cli/Cli.h"
#include "cli/CliCommon.h"
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

bool parseArgs(const std::vector<std::string>& args, std::string& input, std::string& output,
               std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" || a == "--output") {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      output = args[++i];
    } else if (a.rfind("--output=", 0) == 0) {
      output = a.substr(9);
    } else if (isOption(a)) {
      error = "unknown option " + a;
      return false;
    } else if (!input.empty()) {
      error = "only one DESCRIPTION is taken";
      return false;
    } else {
      input = a;
    }
  }
  if (input.empty())
    error = "DESCRIPTION is missing";
  else if (output.empty())
    error = "-o FOLDER is missing";
  return error.empty();
}

}  // namespace

int runMakeLibrary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (wantsHelp(args)) {
    out << kMakeLibraryUsage;
    return kExitOk;
  }
  std::string input, folder, error;
  if (!parseArgs(args, input, folder, error)) {
    err << "ferrowrit-cli: " << error << "\n" << kMakeLibraryUsage;
    return kExitUsage;
  }

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

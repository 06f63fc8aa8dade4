#pragma once

// Runs ferrowrit-cli in-process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace fw {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

inline CliResult runCliCaptured(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runCli(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace fw

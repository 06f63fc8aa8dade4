// ferrowrit-cli: reads, dumps and draws project files without a window.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  // Drawing goes through QtGui; the offscreen platform needs no display, whatever the caller's
  // environment asks for.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = fw::runCli(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "ferrowrit-cli: cannot write the output\n";
    return fw::kExitFailed;
  }
  return status;
}

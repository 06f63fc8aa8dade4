// ferrowrit-cli: reads, dumps and draws project files without a window.
#include <QtGlobal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace {

// Scripts read stderr for our one-line reasons, so Qt's remarks about the environment (such as
// a missing XDG_RUNTIME_DIR) are dropped; only its critical and fatal messages get through.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::cerr << "ferrowrit-cli: " << message.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing goes through QtGui; the offscreen platform needs no display, whatever the caller's
  // environment asks for.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(quietQtMessages);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = fw::runCli(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "ferrowrit-cli: cannot write the output\n";
    return fw::kExitFailed;
  }
  return status;
}

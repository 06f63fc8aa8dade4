// The editor program: one main window and its dialogs, until the main window closes.
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <cstdio>
#include <cstring>

#include "app/MainWindow.h"

int main(int argc, char** argv) {
  // Answered before any window exists, so it needs no display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("ferrowrit " FERROWRIT_VERSION);
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ferrowrit 5.0"));

  fw::MainWindow window;
  // 640 by 400 centred on the screen, then maximised.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           screen->availableGeometry()));
  window.showMaximized();
  // A project file named on the command line (or handed over by a file manager) opens at once.
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) window.openAtStart(QFile::encodeName(args.at(1)).toStdString());
  return QApplication::exec();
}

#pragma once

// Where the program keeps what it remembers between runs (recent files, the Gerber export's
// choices, the check rules, Drag Connected Tracks, the Library panel's place).

#include <QSettings>

namespace fw {

inline QSettings programSettings() {
  return QSettings(QStringLiteral("Ferrowrit"), QStringLiteral("Ferrowrit"));
}

}  // namespace fw

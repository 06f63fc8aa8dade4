#include "app/GerberExportSettings.h"

#include <QStringList>

#include "app/Settings.h"

namespace fw {

namespace {

const QString kFolder = QStringLiteral("gerberExport/folder");
const QString kHoles = QStringLiteral("gerberExport/holesUm");
const QString kMask = QStringLiteral("gerberExport/maskExpansionUm");
const QString kProtel = QStringLiteral("gerberExport/protel");
const QString kZip = QStringLiteral("gerberExport/zip");

constexpr int kMaxHoleUm = 20000;  // larger than the largest pad
constexpr int kMaxMaskUm = 1000;   // the dialog's limit

}  // namespace

void GerberExportSettings::load(GerberExportChoice& choice) {
  const QSettings s = programSettings();
  const QString folder = s.value(kFolder).toString();
  if (!folder.isEmpty()) choice.folder = folder.toStdString();

  // The hole table is taken whole or not at all, so rows never mix two choices.
  const QStringList holes = s.value(kHoles).toStringList();
  if (holes.size() == int(choice.options.holeUm.size())) {
    auto table = choice.options.holeUm;
    bool ok = true;
    for (int row = 0; row < holes.size() && ok; ++row) {
      const int um = holes[row].toInt(&ok);
      ok = ok && um > 0 && um <= kMaxHoleUm;
      table[std::size_t(row)] = um;
    }
    if (ok) choice.options.holeUm = table;
  }

  bool ok = false;
  const int mask = s.value(kMask).toInt(&ok);
  if (ok && mask >= 0 && mask <= kMaxMaskUm) choice.options.maskExpansionUm = mask;
  if (s.contains(kProtel)) choice.options.protel = s.value(kProtel).toBool();
  if (s.contains(kZip)) choice.options.zip = s.value(kZip).toBool();
}

void GerberExportSettings::store(const GerberExportChoice& choice) {
  QSettings s = programSettings();
  s.setValue(kFolder, QString::fromStdString(choice.folder));
  QStringList holes;
  for (const int um : choice.options.holeUm) holes << QString::number(um);
  s.setValue(kHoles, holes);
  s.setValue(kMask, choice.options.maskExpansionUm);
  s.setValue(kProtel, choice.options.protel);
  s.setValue(kZip, choice.options.zip);
  s.sync();
}

}  // namespace fw

#pragma once

#include <QDialog>
#include <string>

#include "fab/FabOptions.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace fw {

// The caption of pad size row 0..11 of the hole table: the Pin Size list's items, then the two
// sizes beyond the list as they print.
QString padSizeCaption(int row);
// The diameter of pad size row 0..11 in micrometres, as the pad prints at 100%.
double padSizeUm(int row);
// The first row whose hole leaves less than kMinRingUm of copper around it, or -1.
int firstThinRingRow(const FabOptions& options);

// The Export Gerber dialog: the folder the set goes into (typed or chosen with Browse...), the
// finished hole of every pad size, the solder mask's growth around pads, Protel file names and
// packing into a zip. Export refuses a hole that leaves too thin a ring, naming the pad size.
class GerberExportDialog : public QDialog {
  Q_OBJECT
 public:
  explicit GerberExportDialog(QWidget* parent = nullptr);

  void setChoice(const std::string& folder, const FabOptions& options);
  std::string folder() const;
  // What the controls hold now; holes that cannot be read are left as `options` had them.
  FabOptions options() const;

 private:
  void browse();
  void exportClicked();
  // False with the reason when the controls hold a choice that cannot be exported.
  bool checkChoice(QString& reason) const;

  QLineEdit* folderEdit_;
  QPushButton* browseButton_;
  QTableWidget* holeTable_;
  QDoubleSpinBox* maskSpin_;
  QCheckBox* protelBox_;
  QCheckBox* zipBox_;
  QPushButton* exportButton_;
  QPushButton* cancelButton_;
  FabOptions shown_;
};

// Shows the dialog modally with `folder` and `options`; true with the user's choice on Export,
// false on Cancel (leaving both unchanged).
bool runGerberExportDialog(QWidget* parent, std::string& folder, FabOptions& options);

}  // namespace fw

#pragma once

#include <QDialog>

#include "edit/Host.h"

class QLabel;

namespace fw {

// The Information dialog (TBtnRightDlg1): how many pins, wires, wire segments, texts and
// objects the board holds, one row each, the number right-aligned beside its caption.
class InfoDialog : public QDialog {
  Q_OBJECT
 public:
  explicit InfoDialog(QWidget* parent = nullptr);

  // Writes the five numbers as plain decimal integers.
  void setCounts(const InfoCounts& counts);

 private:
  QLabel* Label5_;
  QLabel* Label10_;
  QLabel* Label7_;
  QLabel* Label11_;
  QLabel* Label12_;
};

// Shows the Information dialog modally with `counts` until the user closes it.
void runInfoDialog(QWidget* parent, const InfoCounts& counts);

}  // namespace fw

#pragma once

#include <QDialog>

#include "print/PrintSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace fw {

// The Print Board dialog (TBtnRightDlg): the layer to print, the printer resolution, the scale
// in percent, and four additions for making masters at home (mirror, negative, scale ruler,
// frame marks).
// Every time it is shown it starts on the first layer with the additions off, and takes the
// scale and the resolution from the settings it was last given or last confirmed with Print.
// Closing it through the title bar or with Escape counts as Cancel.
class PrintBoardDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PrintBoardDialog(QWidget* parent = nullptr);

  // The scale and resolution the dialog opens with, kept within kMinPrintScale..kMaxPrintScale
  // and the items of the resolution list. The layer and the additions given are not used.
  void setPrintSettings(const PrintSettings& settings);
  // What the controls hold now: the layer and resolution items, the scale and the additions.
  PrintSettings printSettings() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void ScrollBar1Change(int position);
  void OKBtnClick();
  void CancelBtnClick();

  int scale_ = 100;
  int dpiIndex_ = 1;

  QLabel* Label2_;
  QComboBox* ComboBox1_;
  QLabel* Label3_;
  QComboBox* ComboBox2_;
  QLabel* Label4_;
  QScrollBar* ScrollBar1_;
  QLabel* Label1_;
  QPushButton* Button1_;
  QPushButton* Button2_;
  QCheckBox* MirrorBox_;
  QCheckBox* NegativeBox_;
  QCheckBox* RulerBox_;
  QCheckBox* FrameMarksBox_;
};

// Shows the Print Board dialog modally with the scale and resolution of `settings`. On Print
// returns true and every field as chosen; on Cancel, Escape or the title bar's close returns
// false and leaves `settings` unchanged.
bool runPrintBoardDialog(QWidget* parent, PrintSettings& settings);

}  // namespace fw

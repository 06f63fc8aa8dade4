#include "dialogs/PrintBoardDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

namespace fw {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  return label;
}

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& items, QRect geometry) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setGeometry(geometry);
  list->setEditable(false);
  list->addItems(items);
  return list;
}

QCheckBox* makeAddition(QWidget* parent, const char* name, const QString& text, const QString& tip,
                        QRect geometry) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setGeometry(geometry);
  box->setToolTip(tip);
  return box;
}

}  // namespace

PrintBoardDialog::PrintBoardDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("TBtnRightDlg");
  setWindowTitle("Print Board");
  setFixedSize(279, 173);
  setFont(QFont("Arial", 8));

  // The left column: the two lists under their captions, then the scale on one row.
  Label2_ = makeLabel(this, "Label2", "Layer to Print", QRect(8, 8, 177, 13));
  ComboBox1_ = makeList(this, "ComboBox1",
                        {"Print Layer 1          [Green]", "Print Layer 2          [Red]",
                         "Print Graphics        [Purple]", "Print Pins Only  "},
                        QRect(8, 24, 177, 21));
  Label3_ = makeLabel(this, "Label3", "Printer Dpi", QRect(8, 52, 177, 13));
  ComboBox2_ = makeList(this, "ComboBox2", {"180 dpi", "300 dpi", "360 dpi", "600 dpi", "720 dpi"},
                        QRect(8, 68, 177, 21));

  Label4_ = makeLabel(this, "Label4", "Scale:", QRect(8, 100, 33, 17));
  ScrollBar1_ = new QScrollBar(Qt::Horizontal, this);
  ScrollBar1_->setObjectName("ScrollBar1");
  ScrollBar1_->setGeometry(44, 100, 105, 17);
  ScrollBar1_->setRange(kMinPrintScale, kMaxPrintScale);
  ScrollBar1_->setSingleStep(1);
  ScrollBar1_->setPageStep(10);
  ScrollBar1_->setFocusPolicy(Qt::StrongFocus);
  Label1_ = makeLabel(this, "Label1", QString(), QRect(152, 100, 33, 17));
  Label1_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  // The additions along the bottom.
  MirrorBox_ =
      makeAddition(this, "MirrorBox", "Mirror",
                   "The page mirrored left to right, for toner transfer of the solder side",
                   QRect(8, 128, 64, 17));
  NegativeBox_ =
      makeAddition(this, "NegativeBox", "Negative",
                   "Black and white swapped around the artwork, for negative photo-resist",
                   QRect(76, 128, 76, 17));
  RulerBox_ =
      makeAddition(this, "RulerBox", "Scale ruler",
                   "A 50 mm bar below the artwork, to check the printer's scaling with a ruler",
                   QRect(156, 128, 88, 17));
  FrameMarksBox_ = makeAddition(
      this, "FrameMarksBox", "Frame marks",
      "Short marks at the frame's corners on every layer, for laying films in register and "
      "cutting the board to size",
      QRect(8, 148, 96, 17));

  Button1_ = new QPushButton("&Print", this);
  Button1_->setObjectName("Button1");
  Button1_->setGeometry(196, 24, 75, 25);
  Button1_->setDefault(true);

  Button2_ = new QPushButton("&Cancel", this);
  Button2_->setObjectName("Button2");
  Button2_->setGeometry(196, 56, 75, 25);

  connect(ScrollBar1_, &QScrollBar::valueChanged, this, &PrintBoardDialog::ScrollBar1Change);
  connect(Button1_, &QPushButton::clicked, this, &PrintBoardDialog::OKBtnClick);
  connect(Button2_, &QPushButton::clicked, this, &PrintBoardDialog::CancelBtnClick);

  ScrollBar1_->setValue(scale_);
  ScrollBar1Change(ScrollBar1_->value());
  FormShow();
}

void PrintBoardDialog::setPrintSettings(const PrintSettings& settings) {
  scale_ = std::clamp(settings.scale, kMinPrintScale, kMaxPrintScale);
  dpiIndex_ = std::clamp(settings.dpiIndex, 0, ComboBox2_->count() - 1);
  FormShow();
}

PrintSettings PrintBoardDialog::printSettings() const {
  PrintSettings s;
  s.layer = ComboBox1_->currentIndex();
  s.dpiIndex = ComboBox2_->currentIndex();
  s.scale = ScrollBar1_->value();
  s.mirror = MirrorBox_->isChecked();
  s.negative = NegativeBox_->isChecked();
  s.ruler = RulerBox_->isChecked();
  s.frameMarks = FrameMarksBox_->isChecked();
  return s;
}

void PrintBoardDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void PrintBoardDialog::FormShow() {
  Button1_->setDefault(true);
  Button1_->setFocus(Qt::OtherFocusReason);
  // The layer and the additions are chosen afresh for every print.
  ComboBox1_->setCurrentIndex(0);
  ScrollBar1_->setValue(scale_);
  ComboBox2_->setCurrentIndex(dpiIndex_);
  MirrorBox_->setChecked(false);
  NegativeBox_->setChecked(false);
  RulerBox_->setChecked(false);
  FrameMarksBox_->setChecked(false);
}

void PrintBoardDialog::ScrollBar1Change(int position) {
  Label1_->setText(QString::number(position) + "%");
}

void PrintBoardDialog::OKBtnClick() {
  // Scale and resolution stay as confirmed for the next time the dialog is shown.
  scale_ = ScrollBar1_->value();
  dpiIndex_ = ComboBox2_->currentIndex();
  accept();
}

void PrintBoardDialog::CancelBtnClick() {
  reject();
}

bool runPrintBoardDialog(QWidget* parent, PrintSettings& settings) {
  PrintBoardDialog dialog(parent);
  dialog.setPrintSettings(settings);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.printSettings();
  return true;
}

}  // namespace fw

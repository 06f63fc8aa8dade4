#include "dialogs/InfoDialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace fw {

namespace {

constexpr int kRowTop = 20;
constexpr int kRowStep = 24;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  Qt::Alignment alignment) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setAlignment(alignment | Qt::AlignVCenter);
  return label;
}

// One row of the framed area: the caption on the left, the number right-aligned beside it.
QLabel* makeRow(QWidget* parent, int row, const char* captionName, const char* caption,
                const char* numberName) {
  const int top = kRowTop + row * kRowStep;
  makeLabel(parent, captionName, caption, QRect(24, top, 110, 16), Qt::AlignLeft);
  return makeLabel(parent, numberName, "0", QRect(136, top, 76, 16), Qt::AlignRight);
}

}  // namespace

InfoDialog::InfoDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("TBtnRightDlg1");
  setWindowTitle("Information");
  setFixedSize(377, 185);
  QFont font("MS Sans Serif", 8);
  font.setBold(true);
  setFont(font);

  auto* bevel1 = new QFrame(this);
  bevel1->setObjectName("Bevel1");
  bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel1->setGeometry(8, 8, 221, 137);

  Label5_ = makeRow(this, 0, "Label1", "Pins", "Label5");
  Label10_ = makeRow(this, 1, "Label9", "Wires", "Label10");
  Label7_ = makeRow(this, 2, "Label3", "Wire Segments", "Label7");
  Label11_ = makeRow(this, 3, "Label2", "TextStrings", "Label11");
  Label12_ = makeRow(this, 4, "Label6", "Objects", "Label12");

  // The picture area on the right stays empty.
  auto* bevel2 = new QFrame(this);
  bevel2->setObjectName("Bevel2");
  bevel2->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel2->setGeometry(240, 8, 129, 137);
  auto* image1 = new QLabel(bevel2);
  image1->setObjectName("Image1");
  image1->setGeometry(4, 4, 121, 129);

  auto* button1 = new QPushButton("&Close", this);
  button1->setObjectName("Button1");
  button1->setGeometry(151, 152, 75, 25);
  button1->setDefault(true);
  connect(button1, &QPushButton::clicked, this, &QDialog::accept);
}

void InfoDialog::setCounts(const InfoCounts& counts) {
  Label5_->setText(QString::number(counts.pins));
  Label10_->setText(QString::number(counts.wires));
  Label7_->setText(QString::number(counts.wireSegments));
  Label11_->setText(QString::number(counts.texts));
  Label12_->setText(QString::number(counts.objects));
}

void runInfoDialog(QWidget* parent, const InfoCounts& counts) {
  InfoDialog dialog(parent);
  dialog.setCounts(counts);
  dialog.exec();
}

}  // namespace fw

#include "dialogs/TextOptionsDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace fw {

TextOptionsDialog::TextOptionsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("Tctext");
  setWindowTitle("Text Options");
  setFixedSize(304, 154);
  setFont(QFont("Arial", 8));

  Edit1_ = new QLineEdit(this);
  Edit1_->setObjectName("Edit1");
  Edit1_->setGeometry(8, 8, 289, 21);
  Edit1_->setMaxLength(kMaxTextLength);

  GroupBox1_ = new QGroupBox("Size", this);
  GroupBox1_->setObjectName("GroupBox1");
  GroupBox1_->setGeometry(8, 32, 201, 113);

  // The size sample: a fixed box that clips the larger sizes rather than growing.
  Label1_ = new QLabel("ABC", GroupBox1_);
  Label1_->setObjectName("Label1");
  Label1_->setGeometry(32, 16, 161, 65);
  Label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1_->setAutoFillBackground(false);
  Label1_->setFont(QFont("Times New Roman", kMinTextSize));

  ScrollBar1_ = new QScrollBar(Qt::Horizontal, GroupBox1_);
  ScrollBar1_->setObjectName("ScrollBar1");
  ScrollBar1_->setGeometry(8, 88, 153, 17);
  ScrollBar1_->setRange(kMinTextSize, kMaxTextSize);
  ScrollBar1_->setSingleStep(1);
  ScrollBar1_->setPageStep(5);
  ScrollBar1_->setFocusPolicy(Qt::StrongFocus);

  Label2_ = new QLabel(GroupBox1_);
  Label2_->setObjectName("Label2");
  Label2_->move(168, 88);

  Button1_ = new QPushButton("&Ok", this);
  Button1_->setObjectName("Button1");
  Button1_->setGeometry(216, 40, 81, 25);
  Button1_->setDefault(true);

  Button2_ = new QPushButton("&Cancel", this);
  Button2_->setObjectName("Button2");
  Button2_->setGeometry(216, 72, 81, 25);

  // Tab runs Cancel, Ok, the size scroll bar, the edit box and back to Cancel.
  QWidget::setTabOrder(Button2_, Button1_);
  QWidget::setTabOrder(Button1_, ScrollBar1_);
  QWidget::setTabOrder(ScrollBar1_, Edit1_);

  connect(ScrollBar1_, &QScrollBar::valueChanged, this, &TextOptionsDialog::ScrollBar1Change);
  connect(Button1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2_, &QPushButton::clicked, this, &QDialog::reject);

  ScrollBar1Change(ScrollBar1_->value());
}

void TextOptionsDialog::setTextOptions(const QString& text, int size) {
  Edit1_->setText(text);
  {
    // The sample is redrawn below even when the position does not move.
    const QSignalBlocker blocker(ScrollBar1_);
    ScrollBar1_->setValue(size);
  }
  ScrollBar1Change(ScrollBar1_->value());
}

QString TextOptionsDialog::text() const {
  return Edit1_->text();
}

int TextOptionsDialog::textSize() const {
  return ScrollBar1_->value();
}

void TextOptionsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Button1_->setDefault(true);
  Edit1_->setFocus(Qt::OtherFocusReason);
}

void TextOptionsDialog::ScrollBar1Change(int position) {
  QFont sample = Label1_->font();
  sample.setPointSize(position);
  Label1_->setFont(sample);
  Label2_->setText(QString::number(2 * position) + "%");
  Label2_->adjustSize();
}

bool runTextOptionsDialog(QWidget* parent, std::string& text, int& size) {
  TextOptionsDialog dialog(parent);
  dialog.setTextOptions(QString::fromLatin1(text.data(), qsizetype(text.size())), size);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QByteArray entered = dialog.text().toLatin1();
  text.assign(entered.constData(), std::size_t(entered.size()));
  size = dialog.textSize();
  return true;
}

}  // namespace fw

#include "dialogs/FrameSizeDialog.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

namespace fw {

FramePreviewRect framePreviewRect(int width, int height) {
  FramePreviewRect r;
  r.left = 92 - width / 12;
  r.width = width / 6;
  r.top = 68 - height / 12;
  r.height = height / 6;
  return r;
}

namespace {

// Board units to millimetres with one decimal: one unit is 0.635 mm, so the tenths are
// units * 635 / 100, rounded half up in decimal (no binary floating point in the way).
std::string millimetres(int units) {
  const long long tenths = (static_cast<long long>(units) * 635 + 50) / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

std::string frameSizeReadout(int width, int height) {
  return millimetres(width) + " x " + millimetres(height) + "  (mm)";
}

// A filled shape: the white preview area (a rectangle) or the yellow frame (a rounded rectangle).
class ShapeWidget : public QWidget {
 public:
  ShapeWidget(QWidget* parent, bool rounded, QColor fill)
      : QWidget(parent), rounded_(rounded), fill_(fill) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(fill_);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (rounded_) {
      const int radius = std::min(r.width(), r.height()) / 4;
      p.drawRoundedRect(r, radius, radius);
    } else {
      p.drawRect(r);
    }
  }

 private:
  bool rounded_;
  QColor fill_;
};

FrameSizeDialog::FrameSizeDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("Tboardsize");
  setWindowTitle("Frame Size");
  setFixedSize(291, 174);

  shape1_ = new ShapeWidget(this, false, Qt::white);
  shape1_->setObjectName("Shape1");
  shape1_->setGeometry(8, 8, 169, 121);

  shape2_ = new ShapeWidget(this, true, Qt::yellow);
  shape2_->setObjectName("Shape2");

  scrollBar1_ = new QScrollBar(Qt::Horizontal, this);
  scrollBar1_->setObjectName("ScrollBar1");
  scrollBar1_->setGeometry(8, 133, 169, 16);
  scrollBar1_->setRange(kMinFrameWidth, kMaxFrameWidth);
  scrollBar1_->setPageStep(10);

  scrollBar2_ = new QScrollBar(Qt::Vertical, this);
  scrollBar2_->setObjectName("ScrollBar2");
  scrollBar2_->setGeometry(181, 8, 16, 121);
  scrollBar2_->setRange(kMinFrameHeight, kMaxFrameHeight);
  scrollBar2_->setPageStep(10);

  label1_ = new QLabel(this);
  label1_->setObjectName("Label1");
  label1_->setGeometry(8, 152, 169, 16);
  label1_->setAlignment(Qt::AlignCenter);

  button1_ = new QPushButton("Ok", this);
  button1_->setObjectName("Button1");
  button1_->setGeometry(206, 8, 75, 25);
  button1_->setDefault(true);

  button2_ = new QPushButton("Cancel", this);
  button2_->setObjectName("Button2");
  button2_->setGeometry(206, 40, 75, 25);

  connect(scrollBar1_, &QScrollBar::valueChanged, this, &FrameSizeDialog::ScrollBar1Change);
  connect(scrollBar2_, &QScrollBar::valueChanged, this, &FrameSizeDialog::ScrollBar2Change);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);

  setFrameSize(width_, height_);
}

void FrameSizeDialog::setFrameSize(int width, int height) {
  width_ = clampFrameWidth(width);
  height_ = clampFrameHeight(height);
  {
    // The scroll bars only mirror the size here; their change handlers would write it back.
    const QSignalBlocker b1(scrollBar1_);
    const QSignalBlocker b2(scrollBar2_);
    scrollBar1_->setValue(width_);
    scrollBar2_->setValue(height_);
  }
  layoutPreview();
  writeReadout();
}

void FrameSizeDialog::ScrollBar1Change(int position) {
  width_ = clampFrameWidth(position);
  layoutPreview();
  writeReadout();
}

void FrameSizeDialog::ScrollBar2Change(int position) {
  height_ = clampFrameHeight(position);
  layoutPreview();
  writeReadout();
}

void FrameSizeDialog::layoutPreview() {
  const FramePreviewRect r = framePreviewRect(width_, height_);
  shape2_->setGeometry(r.left, r.top, r.width, r.height);
}

void FrameSizeDialog::writeReadout() {
  label1_->setText(QString::fromStdString(frameSizeReadout(width_, height_)));
}

bool runFrameSizeDialog(QWidget* parent, int& width, int& height) {
  FrameSizeDialog dialog(parent);
  dialog.setFrameSize(width, height);
  if (dialog.exec() != QDialog::Accepted) return false;
  width = dialog.frameWidth();
  height = dialog.frameHeight();
  return true;
}

}  // namespace fw

#pragma once

#include <QDialog>
#include <string>

#include "board/Board.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace fw {

// Where the yellow frame preview (Shape2) sits in the dialog: centred on the preview area at
// one sixth of the frame's size in board units.
struct FramePreviewRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const FramePreviewRect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};
FramePreviewRect framePreviewRect(int width, int height);

// "160.0 x 100.3  (mm)" for a 252 x 158 frame: each side times 0.635 mm with one decimal.
std::string frameSizeReadout(int width, int height);

class ShapeWidget;

// The Frame Size dialog (Tboardsize): two scroll bars set the frame's width and height, with a
// scaled preview and a read-out in millimetres. It works on its own copy of the size; closing it
// through the title bar counts as Cancel.
class FrameSizeDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FrameSizeDialog(QWidget* parent = nullptr);

  // Sets the size the dialog starts from, clamped into the scroll bars' ranges.
  void setFrameSize(int width, int height);
  int frameWidth() const { return width_; }
  int frameHeight() const { return height_; }

 private:
  void ScrollBar1Change(int position);
  void ScrollBar2Change(int position);
  void layoutPreview();
  void writeReadout();

  int width_ = 252;
  int height_ = 158;
  ShapeWidget* shape1_;
  ShapeWidget* shape2_;
  QScrollBar* scrollBar1_;
  QScrollBar* scrollBar2_;
  QLabel* label1_;
  QPushButton* button1_;
  QPushButton* button2_;
};

// Shows the Frame Size dialog modally for `width` x `height`. On Ok returns true and the chosen
// size; on Cancel (or the title bar's close) returns false and leaves both values unchanged.
bool runFrameSizeDialog(QWidget* parent, int& width, int& height);

}  // namespace fw

#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "board/Board.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace fw {

// A text holds at most this many characters.
constexpr int kMaxTextLength = 32;

// The Text Options dialog (Tctext): an edit box for a text's string and a scroll bar for its
// size, with an "ABC" sample at that size and the size as a percentage. The dialog only shows
// and returns the values; whoever opens it stores them. Closing it through the title bar counts
// as Cancel.
class TextOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TextOptionsDialog(QWidget* parent = nullptr);

  // Puts `text` in the edit box and `size` in the scroll bar, which keeps it within
  // kMinTextSize..kMaxTextSize, and redraws the sample and the percentage.
  void setTextOptions(const QString& text, int size);
  // The edit box's string as entered and the scroll bar's position.
  QString text() const;
  int textSize() const;

 protected:
  // Each time the dialog opens the edit box has the focus and Ok is the default button.
  void showEvent(QShowEvent* event) override;

 private:
  void ScrollBar1Change(int position);

  QLineEdit* Edit1_;
  QGroupBox* GroupBox1_;
  QLabel* Label1_;
  QScrollBar* ScrollBar1_;
  QLabel* Label2_;
  QPushButton* Button1_;
  QPushButton* Button2_;
};

// Shows the Text Options dialog modally for `text` (8-bit characters, as a board holds them)
// and `size`. On Ok returns true with the string as entered and the scroll bar's size; on
// Cancel (or the title bar's close) returns false and leaves both unchanged.
bool runTextOptionsDialog(QWidget* parent, std::string& text, int& size);

}  // namespace fw

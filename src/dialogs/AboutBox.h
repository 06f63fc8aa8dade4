#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace fw {

// A label that looks and acts like a link: blue, underlined, pointing-hand cursor, and a click
// asks the system to open its target.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  LinkLabel(const QString& text, const QString& target, QWidget* parent = nullptr);
  QString target() const { return target_; }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString target_;
};

// The About box: product name and version, a picture, the authors and two links.
class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);

  static const char* const kEmail;
  static const char* const kWebAddress;
};

}  // namespace fw

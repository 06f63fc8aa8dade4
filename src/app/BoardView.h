#pragma once

#include <QWidget>

namespace fw {

class Editor;

// The drawing area below the toolbar. The editor draws on its canvas; this widget only shows
// the canvas image and turns Qt's pointer events into the editor's pointer handlers.
class BoardView : public QWidget {
  Q_OBJECT
 public:
  explicit BoardView(Editor& editor, QWidget* parent = nullptr);

  QSize sizeHint() const override;

 signals:
  // A pointer handler of the editor has run; the window mirrors the controls.
  void handled();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  Editor& editor_;
  // Touchpads send fractions of a notch; they add up here until whole notches are reached.
  QPoint wheelRest_;
};

}  // namespace fw

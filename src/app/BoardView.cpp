#include "app/BoardView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWheelEvent>
#include <optional>

#include "edit/Editor.h"

namespace fw {

namespace {

std::optional<MouseButton> editorButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return MouseButton::Left;
    case Qt::RightButton:
      return MouseButton::Right;
    case Qt::MiddleButton:
      return MouseButton::Middle;
    default:
      return std::nullopt;
  }
}

}  // namespace

BoardView::BoardView(Editor& editor, QWidget* parent) : QWidget(parent), editor_(editor) {
  setObjectName(QStringLiteral("BoardView"));
  setAccessibleName(QStringLiteral("Board"));
  setAccessibleDescription(QStringLiteral("Drawing area"));
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  // The canvas covers every pixel, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(16, 16);
}

QSize BoardView::sizeHint() const {
  return {600, 300};
}

void BoardView::paintEvent(QPaintEvent* event) {
  // Qt keeps our backing image between exposes, so a paint only copies it to the screen; the
  // editor redraws the board itself whenever something changes. Inverted previews drawn on the
  // image therefore survive an expose and erase exactly when drawn a second time.
  editor_.FormPaint();
  QPainter painter(this);
  const QImage& image = editor_.canvas().image();
  painter.drawImage(event->rect().topLeft(), image, event->rect());
  // Outside the image (only while a resize is under way) the area stays black like the board.
  for (const QRect& r : QRegion(event->rect()).subtracted(QRegion(image.rect())))
    painter.fillRect(r, Qt::black);
}

void BoardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  editor_.resizeArea(width(), height());
  update();
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  editor_.mouseMove(pos.x(), pos.y());
  emit handled();
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const auto button = editorButton(event->button());
  if (!button) return;
  editor_.mouseDown(*button);
  emit handled();
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
  const auto button = editorButton(event->button());
  if (!button) return;
  // The editor speaks of window rows: the drawing area starts below the toolbar, so a release
  // dragged up over the toolbar arrives here above the board area's top row.
  editor_.mouseUp(*button, event->position().toPoint().y() + kBoardAreaTop);
  emit handled();
}

void BoardView::wheelEvent(QWheelEvent* event) {
  constexpr int kNotch = 120;  // eighths of a degree in one notch of a common wheel
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  // Shift+wheel often arrives as a horizontal delta; either direction counts.
  const QPoint delta = event->angleDelta();
  wheelRest_ += QPoint(0, delta.y() != 0 ? delta.y() : delta.x());
  const int notches = wheelRest_.y() / kNotch;
  wheelRest_.setY(wheelRest_.y() - notches * kNotch);
  event->accept();
  if (notches == 0) return;
  const QPoint at = event->position().toPoint();
  editor_.mouseMove(at.x(), at.y());
  editor_.run([&] { editor_.commands().viewCommands.wheel(notches, ctrl, shift); });
  emit handled();
}

}  // namespace fw

#include "dialogs/AboutBox.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace fw {

const char* const AboutBox::kEmail = "ferrowrit@example.org";
const char* const AboutBox::kWebAddress = "https://ferrowrit.example.org";

LinkLabel::LinkLabel(const QString& text, const QString& target, QWidget* parent)
    : QLabel(text, parent), target_(target) {
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, Qt::blue);
  setPalette(pal);
  setCursor(Qt::PointingHandCursor);
  setAccessibleDescription(target);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    QDesktopServices::openUrl(QUrl(target_));
}

namespace {

// The About box picture: a small board with a chip, two pads and a track between them.
QPixmap drawAboutPicture() {
  QPixmap pixmap(64, 64);
  pixmap.fill(QColor(0, 90, 40));
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor copper(210, 170, 70);
  p.setPen(QPen(copper, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygon({QPoint(10, 52), QPoint(10, 40), QPoint(20, 30)}));
  p.drawPolyline(QPolygon({QPoint(54, 52), QPoint(54, 40), QPoint(44, 30)}));
  p.setPen(QPen(QColor(180, 180, 180), 2));
  for (int y = 16; y <= 40; y += 8) {
    p.drawLine(18, y, 22, y);
    p.drawLine(42, y, 46, y);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  p.drawRect(22, 10, 20, 36);
  for (QPoint c : {QPoint(10, 52), QPoint(54, 52)}) {
    p.setBrush(copper);
    p.drawEllipse(c, 6, 6);
    p.setBrush(QColor(0, 40, 20));
    p.drawEllipse(c, 2, 2);
  }
  return pixmap;
}

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAccessibleDescription(text);
  return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TAboutBox"));
  setWindowTitle(QStringLiteral("About Ferrowrit"));
  setAccessibleDescription(windowTitle());
  setModal(true);

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  auto* picture = new QLabel(panel);
  picture->setObjectName(QStringLiteral("ProgramIcon"));
  picture->setPixmap(drawAboutPicture());
  picture->setFrameStyle(QFrame::Box | QFrame::Plain);
  picture->setAccessibleDescription(QStringLiteral("Ferrowrit"));

  QLabel* product =
      namedLabel(QStringLiteral("ProductName"), QStringLiteral("Ferrowrit  v5.0"), panel);
  QFont bold = product->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  product->setFont(bold);
  QLabel* author =
      namedLabel(QStringLiteral("Copyright"), QStringLiteral("Ferrowrit developers"), panel);

  auto* email =
      new LinkLabel(QString::fromLatin1(kEmail), QStringLiteral("mailto:") + kEmail, panel);
  email->setObjectName(QStringLiteral("EmailLabel"));
  auto* web =
      new LinkLabel(QString::fromLatin1(kWebAddress), QString::fromLatin1(kWebAddress), panel);
  web->setObjectName(QStringLiteral("WebLabel"));

  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setHorizontalSpacing(16);
  grid->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);
  grid->addWidget(product, 0, 1);
  grid->addWidget(author, 1, 1);
  grid->addWidget(email, 2, 1);
  grid->addWidget(web, 3, 1);

  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("OKButton"));
  close->setAccessibleDescription(QStringLiteral("Close"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace fw

#include "app/Icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace fw {

namespace {

const QColor kOutline(40, 40, 40);
const QColor kCopper(0, 160, 0);
const QColor kPadFill(225, 175, 60);
const QColor kSelect(230, 200, 0);

// Every glyph is designed on a 20 by 20 grid; the painter scales it to the pixmap.
void drawNewFile(QPainter& p) {
  QPolygonF page({{4, 1.5}, {12.5, 1.5}, {16.5, 5.5}, {16.5, 18.5}, {4, 18.5}});
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  p.setBrush(QColor(210, 210, 210));
  p.drawPolygon(QPolygonF({{12.5, 1.5}, {12.5, 5.5}, {16.5, 5.5}}));
  p.setPen(QPen(QColor(150, 150, 150), 1));
  for (int y = 9; y <= 15; y += 3) p.drawLine(QPointF(6.5, y), QPointF(14.5, y));
}

void drawOpenFolder(QPainter& p) {
  p.setPen(QPen(QColor(120, 90, 0), 1));
  p.setBrush(QColor(230, 180, 40));
  p.drawPolygon(
      QPolygonF({{1.5, 4.5}, {7, 4.5}, {8.5, 6.5}, {15.5, 6.5}, {15.5, 16.5}, {1.5, 16.5}}));
  p.setBrush(QColor(255, 220, 100));
  p.drawPolygon(QPolygonF({{4.5, 9.5}, {19, 9.5}, {15.5, 16.5}, {1.5, 16.5}}));
}

void drawFloppy(QPainter& p) {
  p.setPen(QPen(QColor(10, 30, 90), 1));
  p.setBrush(QColor(40, 80, 170));
  p.drawPolygon(QPolygonF({{2.5, 2.5}, {16, 2.5}, {17.5, 4}, {17.5, 17.5}, {2.5, 17.5}}));
  p.setBrush(QColor(200, 200, 210));
  p.drawRect(QRectF(5.5, 2.5, 8, 5));
  p.setBrush(QColor(40, 80, 170));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(10.5, 3.5, 2, 3));
  p.setPen(QPen(QColor(10, 30, 90), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 10.5, 11, 7));
}

void drawPrinter(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 1.5, 9, 7));
  p.setBrush(QColor(170, 170, 170));
  p.drawRoundedRect(QRectF(1.5, 7.5, 17, 7), 1.5, 1.5);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 12.5, 9, 6));
  p.setPen(QPen(QColor(120, 120, 120), 1));
  p.drawLine(QPointF(7, 15), QPointF(13, 15));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 170, 0));
  p.drawEllipse(QPointF(15.5, 10), 1, 1);
}

void drawDelete(QPainter& p) {
  QPen pen(QColor(200, 20, 20), 3.2, Qt::SolidLine, Qt::RoundCap);
  p.setPen(pen);
  p.drawLine(QPointF(4.5, 4.5), QPointF(15.5, 15.5));
  p.drawLine(QPointF(15.5, 4.5), QPointF(4.5, 15.5));
}

void arrowHead(QPainter& p, QPointF tip, QPointF dir) {
  const QPointF side(-dir.y(), dir.x());
  p.drawPolygon(QPolygonF({tip, tip - dir * 3.5 + side * 2.5, tip - dir * 3.5 - side * 2.5}));
}

void drawCenterArrows(QPainter& p) {
  p.setPen(QPen(QColor(0, 0, 160), 1.6));
  p.setBrush(QColor(0, 0, 160));
  const QPointF c(10, 10);
  const QPointF dirs[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (const QPointF& d : dirs) {
    const QPointF tip = c - d * 3;
    p.drawLine(c - d * 9, tip - d * 2);
    arrowHead(p, tip, d);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 0, 0));
  p.drawEllipse(c, 1.6, 1.6);
}

void drawRefresh(QPainter& p) {
  p.setPen(QPen(QColor(0, 130, 0), 2.4, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(3.5, 3.5, 13, 13), 100 * 16, 290 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 130, 0));
  p.drawPolygon(QPolygonF({{8.5, 0.5}, {13.5, 3.8}, {8.5, 7.3}}));
}

void drawPadAt(QPainter& p, QPointF c, qreal r) {
  p.setPen(QPen(QColor(110, 80, 20), 0.8));
  p.setBrush(kPadFill);
  p.drawEllipse(c, r, r);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawEllipse(c, r / 3, r / 3);
}

void drawTrack(QPainter& p, const QPolygonF& line, const QColor& colour, qreal width) {
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(line);
}

void drawWire(QPainter& p) {
  drawTrack(p, QPolygonF({{3.5, 15.5}, {9, 15.5}, {15.5, 5}}), kCopper, 2.6);
  drawPadAt(p, {3.5, 15.5}, 2.6);
  drawPadAt(p, {15.5, 5}, 2.6);
}

// The arrow pointer used by the edit glyphs, its tip at (x, y).
void drawPointer(QPainter& p, qreal x, qreal y) {
  QPolygonF arrow({{0, 0}, {0, 9}, {2.2, 7}, {3.8, 10.5}, {5.3, 9.8}, {3.8, 6.5}, {6.5, 6.5}});
  arrow.translate(x, y);
  p.setPen(QPen(Qt::black, 0.9));
  p.setBrush(Qt::white);
  p.drawPolygon(arrow);
}

void drawWireEdit(QPainter& p) {
  drawTrack(p, QPolygonF({{2, 14}, {8, 5}, {15, 5}}), kCopper, 2.4);
  p.setPen(Qt::NoPen);
  p.setBrush(kSelect);
  p.drawEllipse(QPointF(8, 5), 2.6, 2.6);
  drawPointer(p, 10, 8.5);
}

void drawHand(QPainter& p) {
  QPainterPath hand;
  hand.moveTo(5, 11);
  hand.lineTo(5, 6.5);
  hand.quadTo(6.2, 5.3, 7.4, 6.5);
  hand.lineTo(7.4, 3.2);
  hand.quadTo(8.6, 2, 9.8, 3.2);
  hand.lineTo(9.8, 2.5);
  hand.quadTo(11, 1.3, 12.2, 2.5);
  hand.lineTo(12.2, 3.5);
  hand.quadTo(13.4, 2.3, 14.6, 3.5);
  hand.lineTo(14.6, 12);
  hand.quadTo(14.6, 18.5, 9.5, 18.5);
  hand.quadTo(6.5, 18.5, 4.5, 15);
  hand.lineTo(2.2, 11);
  hand.quadTo(2.6, 9.3, 5, 11);
  hand.closeSubpath();
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(255, 225, 190));
  p.drawPath(hand);
  p.setPen(QPen(QColor(150, 110, 80), 0.8));
  p.drawLine(QPointF(7.4, 6.5), QPointF(7.4, 10));
  p.drawLine(QPointF(9.8, 3.2), QPointF(9.8, 10));
  p.drawLine(QPointF(12.2, 3.5), QPointF(12.2, 10));
}

void drawPad(QPainter& p) {
  drawPadAt(p, {10, 10}, 7);
}

void drawPadEdit(QPainter& p) {
  drawPadAt(p, {8, 8}, 6);
  drawPointer(p, 10, 8.5);
}

void drawLetterT(QPainter& p, QRectF box, const QColor& colour) {
  QFont font("Times New Roman");
  font.setPixelSize(static_cast<int>(box.height()));
  font.setBold(true);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, QStringLiteral("T"));
}

void drawText(QPainter& p) {
  drawLetterT(p, QRectF(1, 0, 18, 20), QColor(0, 0, 140));
}

void drawTextEdit(QPainter& p) {
  drawLetterT(p, QRectF(0, 0, 13, 16), QColor(0, 0, 140));
  drawPointer(p, 10, 8.5);
}

void drawChip(QPainter& p, QRectF body) {
  p.setPen(QPen(QColor(170, 170, 170), 1.4));
  const int legs = 3;
  for (int i = 0; i < legs; ++i) {
    const qreal y = body.top() + body.height() * (i + 0.5) / legs;
    p.drawLine(QPointF(body.left() - 2.5, y), QPointF(body.left(), y));
    p.drawLine(QPointF(body.right(), y), QPointF(body.right() + 2.5, y));
  }
  p.setPen(QPen(Qt::black, 0.8));
  p.setBrush(QColor(50, 50, 50));
  p.drawRect(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(160, 160, 160));
  p.drawEllipse(QPointF(body.center().x(), body.top() + 1.8), 1, 1);
}

void drawObject(QPainter& p) {
  drawChip(p, QRectF(6, 3, 8, 14));
}

// Two pads and the track between them in the highlight's cyan: Highlight Connection.
void drawConnection(QPainter& p) {
  p.setPen(QPen(QColor(0, 160, 160), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(5, 15), QPointF(15, 5));
  p.setPen(QPen(QColor(0, 90, 90), 1));
  p.setBrush(QColor(0, 230, 230));
  p.drawEllipse(QPointF(5, 15), 3.5, 3.5);
  p.drawEllipse(QPointF(15, 5), 3.5, 3.5);
}

void drawDownArrow(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPolygon(QPolygonF({{5, 8}, {15, 8}, {10, 13.5}}));
}

void drawLoadObject(QPainter& p) {
  p.setPen(QPen(QColor(120, 90, 0), 1));
  p.setBrush(QColor(230, 180, 40));
  p.drawPolygon(
      QPolygonF({{1.5, 9.5}, {5, 9.5}, {6.5, 11}, {12.5, 11}, {12.5, 18.5}, {1.5, 18.5}}));
  drawChip(p, QRectF(11.5, 1.5, 5.5, 9));
  p.setPen(QPen(QColor(0, 0, 160), 1.4));
  p.setBrush(QColor(0, 0, 160));
  p.drawLine(QPointF(7, 8.5), QPointF(7, 3.5));
  arrowHead(p, {7, 1.5}, {0, -1});
}

void paintGlyph(QPainter& p, Glyph glyph) {
  switch (glyph) {
    case Glyph::NewFile:
      drawNewFile(p);
      break;
    case Glyph::OpenFolder:
      drawOpenFolder(p);
      break;
    case Glyph::Floppy:
      drawFloppy(p);
      break;
    case Glyph::Printer:
      drawPrinter(p);
      break;
    case Glyph::Delete:
      drawDelete(p);
      break;
    case Glyph::CenterArrows:
      drawCenterArrows(p);
      break;
    case Glyph::Refresh:
      drawRefresh(p);
      break;
    case Glyph::Wire:
      drawWire(p);
      break;
    case Glyph::WireEdit:
      drawWireEdit(p);
      break;
    case Glyph::Hand:
      drawHand(p);
      break;
    case Glyph::Pad:
      drawPad(p);
      break;
    case Glyph::PadEdit:
      drawPadEdit(p);
      break;
    case Glyph::Text:
      drawText(p);
      break;
    case Glyph::TextEdit:
      drawTextEdit(p);
      break;
    case Glyph::Object:
      drawObject(p);
      break;
    case Glyph::DownArrow:
      drawDownArrow(p);
      break;
    case Glyph::LoadObject:
      drawLoadObject(p);
      break;
    case Glyph::Connection:
      drawConnection(p);
      break;
  }
}

}  // namespace

QPixmap drawGlyph(Glyph glyph, int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  // Narrow glyphs keep their proportions: the 20-unit design is centred horizontally.
  const qreal scale = height / 20.0;
  p.translate((width - 20.0 * scale) / 2, 0);
  p.scale(scale, scale);
  paintGlyph(p, glyph);
  return pixmap;
}

QIcon glyphIcon(Glyph glyph, int width, int height) {
  return QIcon(drawGlyph(glyph, width, height));
}

QPixmap drawToolbarPicture(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(QColor(0, 90, 40));
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(width / 40.0, height / 40.0);
  drawTrack(p, QPolygonF({{8, 8}, {20, 8}, {32, 20}, {32, 32}}), QColor(200, 160, 60), 2.4);
  drawTrack(p, QPolygonF({{8, 32}, {18, 22}, {18, 14}}), QColor(200, 160, 60), 2.4);
  for (QPointF c : {QPointF(8, 8), QPointF(32, 32), QPointF(8, 32), QPointF(18, 14)}) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 200, 120));
    p.drawEllipse(c, 3.2, 3.2);
    p.setBrush(QColor(0, 40, 20));
    p.drawEllipse(c, 1.1, 1.1);
  }
  return pixmap;
}

}  // namespace fw

#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tessaly::app {

namespace {

QPixmap Draw(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  // Rounded dark tile.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(38, 42, 48));
  p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
  // Orange arc of a knob's travel, open at the bottom.
  QPen arc(QColor(255, 128, 0), s * 0.08, Qt::SolidLine, Qt::RoundCap);
  p.setPen(arc);
  const QRectF ring(s * 0.14, s * 0.14, s * 0.72, s * 0.72);
  p.drawArc(ring, -60 * 16, 300 * 16);
  // Cone and dust cap.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 204, 210));
  p.drawEllipse(QPointF(s / 2, s / 2), s * 0.22, s * 0.22);
  p.setBrush(QColor(70, 76, 84));
  p.drawEllipse(QPointF(s / 2, s / 2), s * 0.09, s * 0.09);
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(Draw(size));
  return icon;
}

}  // namespace tessaly::app

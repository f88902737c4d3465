#include "editor/StatusFlag.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace tessaly::editor {
namespace {

const QColor kOnColour(255, 0, 0);
const QColor kOffColour(192, 192, 192);

QPixmap Draw(StatusFlag::Icon icon, int side, const QColor& colour, qreal dpr) {
  QPixmap pixmap(QSize(side, side) * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = side;
  const qreal pen = std::max(1.0, s / 9.0);
  painter.setPen(QPen(colour, pen, Qt::SolidLine, Qt::RoundCap));
  if (icon == StatusFlag::Icon::kPadlock) {
    // Shackle over a solid body.
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(s * 0.28, s * 0.1, s * 0.44, s * 0.5), 0, 180 * 16);
    painter.drawLine(QPointF(s * 0.28, s * 0.35), QPointF(s * 0.28, s * 0.5));
    painter.drawLine(QPointF(s * 0.72, s * 0.35), QPointF(s * 0.72, s * 0.5));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(s * 0.18, s * 0.45, s * 0.64, s * 0.45), pen, pen);
  } else {
    // A bow, a shaft and two bits.
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(s * 0.08, s * 0.3, s * 0.36, s * 0.36));
    painter.drawLine(QPointF(s * 0.44, s * 0.48), QPointF(s * 0.92, s * 0.48));
    painter.drawLine(QPointF(s * 0.78, s * 0.48), QPointF(s * 0.78, s * 0.68));
    painter.drawLine(QPointF(s * 0.9, s * 0.48), QPointF(s * 0.9, s * 0.64));
  }
  return pixmap;
}

}  // namespace

StatusFlag::StatusFlag(Icon icon, const QString& name, QWidget* parent)
    : QWidget(parent), icon_(icon) {
  picture_ = new QLabel(this);
  word_ = new QLabel(this);
  word_->setObjectName(name);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 0, 4, 0);
  row->setSpacing(3);
  row->addWidget(picture_);
  row->addWidget(word_);
  Show(QString(), false, QString());
}

void StatusFlag::Show(const QString& text, bool on, const QString& tooltip) {
  on_ = on;
  const QColor colour = on ? kOnColour : kOffColour;
  word_->setText(text);
  QPalette look = word_->palette();
  look.setColor(QPalette::WindowText, colour);
  word_->setPalette(look);
  const int side = fontMetrics().height();
  picture_->setPixmap(Draw(icon_, side, colour, devicePixelRatioF()));
  setToolTip(tooltip);
  word_->setToolTip(tooltip);
  picture_->setToolTip(tooltip);
}

}  // namespace tessaly::editor

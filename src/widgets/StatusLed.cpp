#include "widgets/StatusLed.h"

#include <QPainter>
#include <cmath>

#include "widgets/UiScale.h"

namespace tessaly::widgets {
namespace {
constexpr double kDiameter = 11.0;
}  // namespace

StatusLed::StatusLed(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool StatusLed::setColour(const QColor& colour) {
  if (colour == colour_) return false;
  colour_ = colour;
  update();
  return true;
}

QSize StatusLed::sizeHint() const {
  const int side = static_cast<int>(std::lround(kDiameter * UiScale())) + 2;
  return {side, side};
}

void StatusLed::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 2;
  const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  painter.setPen(QPen(palette().color(QPalette::Mid), 1));
  painter.setBrush(colour_.isValid() ? colour_ : QColor(40, 40, 40));
  painter.drawEllipse(lamp);
}

}  // namespace tessaly::widgets

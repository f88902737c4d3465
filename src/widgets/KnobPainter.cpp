#include "widgets/KnobPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>

namespace tessaly::widgets {
namespace {
constexpr double kStartAngle = 225.0;
constexpr double kSweep = 270.0;

QPointF OnCircle(const QPointF& centre, double radius, double degrees) {
  const double radians = qDegreesToRadians(degrees);
  return {centre.x() + radius * std::cos(radians), centre.y() - radius * std::sin(radians)};
}

void PaintReadout(QPainter& painter, const QRectF& square, const QPalette& palette,
                  QPalette::ColorGroup group, const QString& text, double scale) {
  QFont font = painter.font();
  font.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.85));
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double margin = 4.0 * scale;
  // A long text keeps to the knob rather than being cut at the widget's edge.
  const double width = std::min(metrics.horizontalAdvance(text) + 2.0 * margin, square.width());
  const QString shown = metrics.elidedText(text, Qt::ElideRight, width - margin);
  const double height = metrics.height() + 2.0 * scale;
  const QRectF box(square.center().x() - width / 2.0, square.bottom() - height, width, height);
  QColor fill = palette.color(group, QPalette::ToolTipBase);
  fill.setAlpha(235);
  painter.setPen(QPen(palette.color(group, QPalette::Shadow), 1.0));
  painter.setBrush(fill);
  painter.drawRoundedRect(box, 3.0 * scale, 3.0 * scale);
  painter.setPen(palette.color(group, QPalette::ToolTipText));
  painter.drawText(box, Qt::AlignCenter, shown);
}
}  // namespace

double KnobAngle(double fraction) { return kStartAngle - kSweep * std::clamp(fraction, 0.0, 1.0); }

void PaintKnob(QPainter& painter, const QRectF& area, const QPalette& palette,
               QPalette::ColorGroup group, const KnobLook& look, double scale) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const double side = std::min(area.width(), area.height());
  const QRectF square(area.center().x() - side / 2.0, area.center().y() - side / 2.0, side, side);
  const double arc_width = 3.5 * scale;
  const QRectF arc_rect = square.adjusted(arc_width, arc_width, -arc_width, -arc_width);
  const QPointF centre = square.center();

  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(palette.color(group, QPalette::Dark), arc_width, Qt::SolidLine, Qt::FlatCap));
  painter.drawArc(arc_rect, qRound(kStartAngle * 16), qRound(-kSweep * 16));
  const double from = KnobAngle(look.default_fraction);
  const double to = KnobAngle(look.fraction);
  painter.setPen(
      QPen(palette.color(group, QPalette::Highlight), arc_width, Qt::SolidLine, Qt::FlatCap));
  painter.drawArc(arc_rect, qRound(from * 16), qRound((to - from) * 16));

  const double radius = arc_rect.width() / 2.0 - arc_width - 2.0 * scale;
  QColor body = palette.color(group, QPalette::Button);
  if (look.grabbed) {
    body = body.lighter(135);
  } else if (look.hovered) {
    body = body.lighter(118);
  }
  QRadialGradient shading(centre - QPointF(radius / 3.0, radius / 3.0), radius * 1.4);
  shading.setColorAt(0.0, body.lighter(125));
  shading.setColorAt(1.0, body.darker(125));
  painter.setBrush(shading);
  painter.setPen(QPen(look.focused ? palette.color(group, QPalette::Highlight)
                                   : palette.color(group, QPalette::Shadow),
                      look.focused ? 1.5 * scale : 1.0));
  painter.drawEllipse(centre, radius, radius);

  painter.setPen(
      QPen(palette.color(group, QPalette::ButtonText), 2.0 * scale, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(OnCircle(centre, radius * 0.3, to), OnCircle(centre, radius * 0.85, to));

  if (!look.readout.isEmpty()) PaintReadout(painter, square, palette, group, look.readout, scale);
  if (!look.enabled) {
    QColor veil = palette.color(group, QPalette::Window);
    veil.setAlpha(110);
    painter.setPen(Qt::NoPen);
    painter.setBrush(veil);
    painter.drawEllipse(square);
  }
  painter.restore();
}

}  // namespace tessaly::widgets

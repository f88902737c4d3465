#include "editor/SettingLook.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>
#include <array>

#include "graph/GraphScale.h"
#include "protocol/ValueLists.h"
#include "widgets/Theme.h"

namespace tessaly::editor {

namespace {
constexpr std::array<const char*, 7> kTabCaptionsB = {"1", "2", "3", "4", "L", "R", "S"};
constexpr int kIconPixels = 48;
}  // namespace

QString TabCaption(bool family_b, int channel) {
  if (!family_b) return protocol::ChannelName(0, channel);
  if (channel < 0 || channel >= static_cast<int>(kTabCaptionsB.size())) return {};
  return QString::fromLatin1(kTabCaptionsB[static_cast<size_t>(channel)]);
}

QColor ChannelTextColour(bool family_b, int channel, const QPalette& palette) {
  const graph::Rgb rgb = graph::ChannelColour(family_b, channel);
  return widgets::ReadableOn(QColor(rgb.r, rgb.g, rgb.b), palette.color(QPalette::Window));
}

void ColourByChannel(QWidget* widget, bool family_b, int channel) {
  QPalette palette = widget->palette();
  const QColor colour = ChannelTextColour(family_b, channel, palette);
  palette.setColor(QPalette::Active, QPalette::WindowText, colour);
  palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
  widget->setPalette(palette);
}

QIcon StandbyIcon(bool standby, const QPalette& palette) {
  QPixmap pixmap(kIconPixels, kIconPixels);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = standby ? QColor(255, 160, 0) : QColor(60, 200, 90);
  painter.setBrush(palette.color(QPalette::Base));
  painter.setPen(QPen(palette.color(QPalette::Mid), 2));
  painter.drawEllipse(QRectF(2, 2, kIconPixels - 4, kIconPixels - 4));
  QPen pen(colour, 5, Qt::SolidLine, Qt::RoundCap);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const QRectF ring(12, 12, kIconPixels - 24, kIconPixels - 24);
  painter.drawArc(ring, 120 * 16, 300 * 16);
  painter.drawLine(QPointF(kIconPixels / 2.0, 8), QPointF(kIconPixels / 2.0, kIconPixels / 2.0));
  painter.end();
  return QIcon(pixmap);
}

}  // namespace tessaly::editor

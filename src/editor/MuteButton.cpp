#include "editor/MuteButton.h"

#include <QPainter>
#include <QStyle>

namespace tessaly::editor {
namespace {
const QColor kMutedRed(214, 48, 49);
}  // namespace

MuteButton::MuteButton(QWidget* parent) : QAbstractButton(parent) {
  setCheckable(true);
  setFocusPolicy(Qt::StrongFocus);
  setText(QStringLiteral("MUTE"));
  setToolTip(tr("Mute the channel"));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize MuteButton::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(text()) + metrics.height() * 3 / 2, metrics.height() * 2};
}

void MuteButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  const QPalette& colours = palette();
  QColor fill = isChecked() ? kMutedRed : colours.color(QPalette::Button);
  if (isDown() || underMouse()) fill = fill.lighter(115);
  if (!isEnabled()) fill.setAlphaF(0.4);
  painter.setPen(
      QPen(hasFocus() ? colours.color(QPalette::Highlight) : colours.color(QPalette::Mid),
           hasFocus() ? 2.0 : 1.0));
  painter.setBrush(fill);
  painter.drawRoundedRect(box, 4, 4);
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(isChecked() ? QColor(Qt::white) : colours.color(QPalette::ButtonText));
  painter.drawText(box, Qt::AlignCenter, text());
}

}  // namespace tessaly::editor

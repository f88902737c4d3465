#include "widgets/ClickLabel.h"

#include <QMouseEvent>

namespace tessaly::widgets {

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  // A press that is dragged off the label before release is no click.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace tessaly::widgets

#include "app/SetClientSize.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace tessaly::app {

bool SetClientSize(QWidget* window, int width, int height) {
  if (window == nullptr || width < 1 || height < 1) return false;
  const QSize wanted(width, height);
  auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
  if (frame == nullptr || frame->widget() != window) {
    // A top-level widget's size already is its client area; the frame is drawn around it.
    window->resize(wanted);
    return true;
  }
  // resize() does not raise or activate the sub-window, and its position stays.
  frame->resize(frame->size() + (wanted - window->size()));
  return true;
}

}  // namespace tessaly::app

#include "widgets/ParameterSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

namespace tessaly::widgets {
namespace {
constexpr int kWheelNotch = 120;

bool Fine(Qt::KeyboardModifiers modifiers) { return modifiers & Qt::ShiftModifier; }
}  // namespace

ParameterSlider::ParameterSlider(QWidget* parent) : QSlider(Qt::Vertical, parent) {
  setFocusPolicy(Qt::StrongFocus);
  setPageStep(1);
  connect(this, &QSlider::valueChanged, this, &ParameterSlider::OnValueChanged);
}

void ParameterSlider::setPositionCount(int count) {
  program_write_ = true;
  setRange(0, std::max(1, count) - 1);
  program_write_ = false;
  default_index_ = std::clamp(default_index_, minimum(), maximum());
}

void ParameterSlider::setDefaultIndex(int index) {
  default_index_ = std::clamp(index, minimum(), maximum());
}

void ParameterSlider::setIndex(int index) {
  // The hand wins while it holds the slider; the gesture's end reports its own value.
  if (gesture_ != Gesture::kNone) return;
  program_write_ = true;
  setValue(index);
  program_write_ = false;
}

void ParameterSlider::OnValueChanged(int index) {
  if (program_write_) return;
  // A change from elsewhere (accessibility, a style action) is a gesture of its own.
  const bool own_gesture = gesture_ == Gesture::kNone;
  if (own_gesture) BeginGesture(Gesture::kOneShot);
  gesture_moved_ = true;
  emit valueChanging(index);
  if (own_gesture) EndGesture();
}

void ParameterSlider::BeginGesture(Gesture gesture) {
  gesture_ = gesture;
  gesture_start_ = value();
  gesture_moved_ = false;
  emit gestureStarted();
}

void ParameterSlider::EndGesture() {
  const bool moved = gesture_moved_;
  gesture_ = Gesture::kNone;
  if (moved) emit valueCommitted(value());
  emit gestureEnded();
}

void ParameterSlider::MoveTo(int index) {
  const Gesture outer = gesture_;
  if (outer == Gesture::kNone) BeginGesture(Gesture::kOneShot);
  setValue(index);
  if (outer == Gesture::kNone) EndGesture();
}

void ParameterSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || gesture_ == Gesture::kDrag) {
    QSlider::mousePressEvent(event);
    return;
  }
  if (gesture_ != Gesture::kNone) EndGesture();
  setFocus(Qt::MouseFocusReason);
  if (event->modifiers() & Qt::ControlModifier) {
    MoveTo(default_index_);
    return;
  }
  drag_cancelled_ = false;
  BeginGesture(Gesture::kDrag);
  QSlider::mousePressEvent(event);
}

void ParameterSlider::mouseMoveEvent(QMouseEvent* event) {
  if (drag_cancelled_) return;
  QSlider::mouseMoveEvent(event);
}

void ParameterSlider::mouseReleaseEvent(QMouseEvent* event) {
  QSlider::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  drag_cancelled_ = false;
  if (gesture_ == Gesture::kDrag) EndGesture();
}

void ParameterSlider::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The second press of a double-click has begun a drag of its own.
  if (gesture_ != Gesture::kNone) EndGesture();
  drag_cancelled_ = true;
  MoveTo(default_index_);
}

void ParameterSlider::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (gesture_ != Gesture::kNone) return;
  const QPoint delta = event->angleDelta();
  wheel_remainder_ += delta.y() != 0 ? delta.y() : delta.x();
  const int notches = wheel_remainder_ / kWheelNotch;
  wheel_remainder_ -= notches * kWheelNotch;
  if (notches != 0) MoveTo(value() + notches * (Fine(event->modifiers()) ? 1 : singleStep()));
}

int ParameterSlider::KeyTarget(const QKeyEvent& event) const {
  const int step = Fine(event.modifiers()) ? 1 : singleStep();
  switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
      return value() + step;
    case Qt::Key_Down:
    case Qt::Key_Left:
      return value() - step;
    case Qt::Key_Home:
      return maximum();
    case Qt::Key_End:
      return minimum();
    case Qt::Key_Delete:
      return default_index_;
    default:
      return -1;
  }
}

void ParameterSlider::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && gesture_ != Gesture::kNone) {
    drag_cancelled_ = gesture_ == Gesture::kDrag;
    setValue(gesture_start_);
    EndGesture();
    return;
  }
  const int target = KeyTarget(*event);
  if (target < 0 || gesture_ == Gesture::kDrag) {
    event->ignore();
    return;
  }
  if (gesture_ == Gesture::kNone) BeginGesture(Gesture::kKeys);
  setValue(target);
}

void ParameterSlider::keyReleaseEvent(QKeyEvent* event) {
  // Held keys repeat as press-release pairs; only the real release ends the run.
  if (event->isAutoRepeat() || gesture_ != Gesture::kKeys || KeyTarget(*event) < 0) {
    event->ignore();
    return;
  }
  EndGesture();
}

void ParameterSlider::focusOutEvent(QFocusEvent* event) {
  if (gesture_ != Gesture::kNone) EndGesture();
  QSlider::focusOutEvent(event);
}

}  // namespace tessaly::widgets

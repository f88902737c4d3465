#include "widgets/Knob.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

#include "widgets/KnobPainter.h"
#include "widgets/UiScale.h"

namespace tessaly::widgets {
namespace {
// One pointer drives one knob: a second press elsewhere while a drag runs is ignored.
Knob* dragged_knob = nullptr;

constexpr double kFineFactor = 0.1;
constexpr int kWheelNotch = 120;
constexpr int kReadoutLingerMs = 900;
constexpr int kSide = 52;

bool Fine(Qt::KeyboardModifiers modifiers) { return modifiers & Qt::ShiftModifier; }
}  // namespace

Knob::Knob(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_Hover);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  readout_timer_.setSingleShot(true);
  readout_timer_.setInterval(kReadoutLingerMs);
  connect(&readout_timer_, &QTimer::timeout, this, qOverload<>(&Knob::update));
  setMaximum(maximum_);
}

Knob::~Knob() {
  if (dragged_knob == this) dragged_knob = nullptr;
}

const Knob* Knob::Dragged() { return dragged_knob; }

void Knob::setMaximum(int maximum) {
  maximum_ = std::max(1, maximum);
  if (!coarse_step_set_) coarse_step_ = std::max(1, (maximum_ + 36) / 72);
  default_index_ = std::clamp(default_index_, 0, maximum_);
  index_ = std::clamp(index_, 0, maximum_);
  shown_ = std::clamp(shown_, 0, maximum_);
  update();
}

void Knob::setDefaultIndex(int index) {
  default_index_ = std::clamp(index, 0, maximum_);
  update();
}

void Knob::setArcOrigin(int index) {
  arc_origin_ = index;
  update();
}

void Knob::setTextFunction(std::function<QString(int)> text) {
  text_ = std::move(text);
  update();
}

QString Knob::text(int index) const { return text_ ? text_(index) : QString::number(index); }

void Knob::setTrackLength(double pixels) { track_length_ = std::max(1.0, pixels); }

void Knob::setDetentTravel(double pixels) { detent_travel_ = std::max(0.0, pixels); }

void Knob::setCoarseStep(int step) {
  coarse_step_ = std::max(1, step);
  coarse_step_set_ = true;
}

void Knob::setIndex(int index) {
  index_ = std::clamp(index, 0, maximum_);
  // The hand wins while it holds the knob; the gesture's end reports its own value.
  if (gesture_ != Gesture::kNone) return;
  shown_ = index_;
  update();
}

bool Knob::readoutVisible() const {
  return hovered_ || gesture_ != Gesture::kNone || readout_timer_.isActive();
}

QSize Knob::sizeHint() const {
  const int side = qRound(kSide * UiScale());
  return {side, side};
}

QSize Knob::minimumSizeHint() const { return sizeHint(); }

KnobTrack Knob::Track() const { return KnobTrack(maximum_, track_length_ * UiScale()); }

void Knob::BeginGesture(Gesture gesture) {
  gesture_ = gesture;
  gesture_start_ = shown_;
  gesture_moved_ = false;
  update();
  emit gestureStarted();
}

void Knob::Show(int index) {
  index = std::clamp(index, 0, maximum_);
  if (index == shown_) return;
  shown_ = index;
  gesture_moved_ = true;
  update();
  emit valueChanging(shown_);
}

void Knob::EndGesture() {
  const bool moved = gesture_moved_;
  gesture_ = Gesture::kNone;
  drag_.reset();
  if (dragged_knob == this) dragged_knob = nullptr;
  readout_timer_.start();
  update();
  if (moved) {
    index_ = shown_;
    emit valueCommitted(index_);
  }
  emit gestureEnded();
}

void Knob::Reset() {
  BeginGesture(Gesture::kOneShot);
  Show(default_index_);
  EndGesture();
}

void Knob::StepBy(int steps) {
  BeginGesture(Gesture::kOneShot);
  Show(shown_ + steps);
  EndGesture();
}

void Knob::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || gesture_ == Gesture::kDrag ||
      (dragged_knob != nullptr && dragged_knob != this)) {
    event->ignore();
    return;
  }
  if (gesture_ != Gesture::kNone) EndGesture();
  setFocus(Qt::MouseFocusReason);
  if (event->modifiers() & Qt::ControlModifier) {
    Reset();
    return;
  }
  dragged_knob = this;
  BeginGesture(Gesture::kDrag);
  drag_.emplace(Track(), shown_, default_index_, detent_travel_ * UiScale());
  last_y_ = event->position().y();
}

void Knob::mouseMoveEvent(QMouseEvent* event) {
  if (gesture_ != Gesture::kDrag || !drag_) return;
  const double y = event->position().y();
  // Travel is counted from the last move, so pressing or letting go of Shift never jumps.
  Show(drag_->Move(y - last_y_, Fine(event->modifiers()) ? kFineFactor : 1.0));
  last_y_ = y;
}

void Knob::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (gesture_ == Gesture::kDrag) EndGesture();
  if (dragged_knob == this) dragged_knob = nullptr;
}

void Knob::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The second press of a double-click has begun a drag of its own.
  if (gesture_ != Gesture::kNone) EndGesture();
  Reset();
}

void Knob::wheelEvent(QWheelEvent* event) {
  if (gesture_ != Gesture::kNone) return;
  const QPoint delta = event->angleDelta();
  wheel_remainder_ += delta.y() != 0 ? delta.y() : delta.x();
  const int notches = wheel_remainder_ / kWheelNotch;
  wheel_remainder_ -= notches * kWheelNotch;
  if (notches != 0) StepBy(notches * (Fine(event->modifiers()) ? 1 : coarse_step_));
}

int Knob::KeyTarget(const QKeyEvent& event) const {
  const int step = Fine(event.modifiers()) ? 1 : coarse_step_;
  switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
      return shown_ + step;
    case Qt::Key_Down:
    case Qt::Key_Left:
      return shown_ - step;
    case Qt::Key_Home:
      return maximum_;
    case Qt::Key_End:
      return 0;
    case Qt::Key_Delete:
      return default_index_;
    default:
      return -1;
  }
}

void Knob::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && gesture_ != Gesture::kNone) {
    Show(gesture_start_);
    EndGesture();
    return;
  }
  const int target = KeyTarget(*event);
  if (target < 0 || gesture_ == Gesture::kDrag) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (gesture_ == Gesture::kNone) BeginGesture(Gesture::kKeys);
  Show(target);
}

void Knob::keyReleaseEvent(QKeyEvent* event) {
  // Held keys repeat as press-release pairs; only the real release ends the run.
  if (event->isAutoRepeat() || gesture_ != Gesture::kKeys || KeyTarget(*event) < 0) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  EndGesture();
}

void Knob::focusOutEvent(QFocusEvent* event) {
  if (gesture_ != Gesture::kNone) EndGesture();
  QWidget::focusOutEvent(event);
}

void Knob::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QWidget::enterEvent(event);
}

void Knob::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QWidget::leaveEvent(event);
}

void Knob::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                     : isActiveWindow() ? QPalette::Active
                                                        : QPalette::Inactive;
  KnobLook look;
  look.fraction = static_cast<double>(shown_) / maximum_;
  look.default_fraction =
      static_cast<double>(std::clamp(arc_origin_.value_or(default_index_), 0, maximum_)) / maximum_;
  look.readout = readoutVisible() ? text(shown_) : QString();
  look.hovered = hovered_;
  look.grabbed = gesture_ == Gesture::kDrag;
  look.focused = hasFocus();
  look.enabled = isEnabled();
  PaintKnob(painter, rect(), palette(), group, look, UiScale());
}

}  // namespace tessaly::widgets

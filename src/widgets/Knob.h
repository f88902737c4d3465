#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "widgets/KnobTrack.h"

namespace tessaly::widgets {

// A rotary control over an integer index 0..maximum. Its owner supplies the default index and the
// text of each index; the knob only moves the index. Every user gesture (a drag, a reset, one
// wheel notch, a run of key presses) is reported as gestureStarted, any number of valueChanging
// for what the knob shows, at most one valueCommitted with the final index when the shown index
// moved at all, and gestureEnded. Values set by the program are never reported back.
class Knob : public QWidget {
  Q_OBJECT

 public:
  explicit Knob(QWidget* parent = nullptr);
  ~Knob() override;

  void setMaximum(int maximum);
  int maximum() const { return maximum_; }
  void setDefaultIndex(int index);
  int defaultIndex() const { return default_index_; }
  // Where the value arc starts; until set, at the default. A level whose default is its loudest
  // point sets its quiet end here, so a low level draws a short arc.
  void setArcOrigin(int index);
  void setTextFunction(std::function<QString(int)> text);
  QString text(int index) const;

  // Pointer travel for the whole range and the stretch the knob sticks at its default, in pixels
  // before the UI scale.
  void setTrackLength(double pixels);
  void setDetentTravel(double pixels);
  // Index steps per wheel notch or arrow key; Shift always steps by one.
  void setCoarseStep(int step);
  int coarseStep() const { return coarse_step_; }

  void setIndex(int index);
  int index() const { return index_; }
  int shownIndex() const { return shown_; }
  bool inGesture() const { return gesture_ != Gesture::kNone; }
  bool readoutVisible() const;

  // The one knob being dragged in the whole application, if any.
  static const Knob* Dragged();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void gestureStarted();
  void valueChanging(int index);
  void valueCommitted(int index);
  void gestureEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  enum class Gesture { kNone, kDrag, kKeys, kOneShot };

  void BeginGesture(Gesture gesture);
  void Show(int index);
  void EndGesture();
  void Reset();
  void StepBy(int steps);
  KnobTrack Track() const;
  int KeyTarget(const QKeyEvent& event) const;

  int maximum_ = 100;
  int default_index_ = 0;
  std::optional<int> arc_origin_;
  int index_ = 0;
  int shown_ = 0;
  std::function<QString(int)> text_;
  double track_length_ = 160.0;
  double detent_travel_ = 36.0;
  int coarse_step_ = 1;
  bool coarse_step_set_ = false;

  Gesture gesture_ = Gesture::kNone;
  int gesture_start_ = 0;
  bool gesture_moved_ = false;
  std::optional<KnobDrag> drag_;
  double last_y_ = 0.0;
  bool hovered_ = false;
  int wheel_remainder_ = 0;
  QTimer readout_timer_;
};

}  // namespace tessaly::widgets

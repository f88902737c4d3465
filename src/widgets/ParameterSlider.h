#pragma once

#include <QSlider>

namespace tessaly::widgets {

// A vertical slider over positions 1..count counted from the top, whose stored index is
// count - position: the top holds the largest index. Gestures are reported like a Knob's:
// gestureStarted, valueChanging while it moves, one valueCommitted at the release (mouse, key or
// wheel notch) when it moved, gestureEnded. Values set by the program are never reported back.
class ParameterSlider : public QSlider {
  Q_OBJECT

 public:
  explicit ParameterSlider(QWidget* parent = nullptr);

  static int IndexOfPosition(int count, int position) { return count - position; }
  static int PositionOfIndex(int count, int index) { return count - index; }

  void setPositionCount(int count);
  int positionCount() const { return maximum() + 1; }
  void setDefaultIndex(int index);
  int defaultIndex() const { return default_index_; }
  // Index steps per wheel notch or arrow key; Shift always steps by one.
  void setCoarseStep(int step) { setSingleStep(step); }

  void setIndex(int index);
  int index() const { return value(); }
  void setPosition(int position) { setIndex(IndexOfPosition(positionCount(), position)); }
  int position() const { return PositionOfIndex(positionCount(), value()); }

 signals:
  void gestureStarted();
  void valueChanging(int index);
  void valueCommitted(int index);
  void gestureEnded();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  enum class Gesture { kNone, kDrag, kKeys, kOneShot };

  void OnValueChanged(int index);
  void BeginGesture(Gesture gesture);
  void EndGesture();
  void MoveTo(int index);
  int KeyTarget(const QKeyEvent& event) const;

  int default_index_ = 0;
  bool program_write_ = false;
  Gesture gesture_ = Gesture::kNone;
  int gesture_start_ = 0;
  bool gesture_moved_ = false;
  bool drag_cancelled_ = false;
  int wheel_remainder_ = 0;
};

}  // namespace tessaly::widgets

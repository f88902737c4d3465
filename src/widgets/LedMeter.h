#pragma once

#include <QWidget>

namespace tessaly::widgets {

// A bar of nine LEDs, bottom first: six green, two amber, one red. Optionally with its dBV scale
// on the left. Repaints only when the number of lit LEDs changes.
class LedMeter : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kLeds = 9;

  explicit LedMeter(QWidget* parent = nullptr);

  void setScaleShown(bool shown);
  // Returns whether the bar changed (and so will repaint).
  bool setLit(int lit);
  int lit() const { return lit_; }
  // How many times the bar asked to be repainted; for the repaint budget of the meters.
  int updates() const { return updates_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int ScaleWidth() const;

  int lit_ = 0;
  int updates_ = 0;
  bool scale_shown_ = false;
};

}  // namespace tessaly::widgets

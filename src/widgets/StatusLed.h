#pragma once

#include <QColor>
#include <QWidget>

namespace tessaly::widgets {

// A round indicator lamp: dark when off, else in its colour. Repaints only on a change.
class StatusLed : public QWidget {
  Q_OBJECT

 public:
  explicit StatusLed(QWidget* parent = nullptr);

  // An invalid colour turns the lamp off. Returns whether it changed.
  bool setColour(const QColor& colour);
  QColor colour() const { return colour_; }
  bool isLit() const { return colour_.isValid(); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};

}  // namespace tessaly::widgets

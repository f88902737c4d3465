#pragma once

#include <QLabel>

namespace tessaly::widgets {

// A label or picture that acts as a button: it reports a left click released over it.
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tessaly::widgets

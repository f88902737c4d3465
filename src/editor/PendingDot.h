#pragma once

#include <QWidget>

namespace tessaly::editor {

// A small orange dot in a control's top-right corner: the value is the PC's and the device has not
// confirmed it. Drawn beside the control rather than by restyling it, so a button keeps showing
// whether it is on.
class PendingDot : public QWidget {
  Q_OBJECT

 public:
  // Shows or hides the dot of `control`, making it on first use.
  static void Show(QWidget& control, bool pending);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  explicit PendingDot(QWidget& control);
  void Place();
};

}  // namespace tessaly::editor

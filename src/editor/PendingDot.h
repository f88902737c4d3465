#pragma once

#include <QWidget>

#include "model/EditTypes.h"

namespace tessaly::model {
class EditPath;
}

namespace tessaly::editor {

// A small orange dot in a control's top-right corner: the value is the PC's and the device has not
// confirmed it. Drawn beside the control rather than by restyling it, so a button keeps showing
// whether it is on.
class PendingDot : public QWidget {
  Q_OBJECT

 public:
  // Shows or hides the dot of `control`, making it on first use.
  static void Show(QWidget& control, bool pending);
  // Keeps the dot of `control` in step with the pending mark of `target`.
  static void Follow(QWidget& control, model::EditPath& edits, const model::EditTarget& target);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  explicit PendingDot(QWidget& control);
  void Place();
};

}  // namespace tessaly::editor

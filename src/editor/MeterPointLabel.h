#pragma once

#include "widgets/ClickLabel.h"

class QMenu;

namespace tessaly::editor {

class MeterPoints;

// Shows a channel's meter point as its short code; a click (or Space) offers the channel's
// three points in a menu.
class MeterPointLabel : public widgets::ClickLabel {
  Q_OBJECT

 public:
  MeterPointLabel(MeterPoints& points, int channel, QWidget* parent = nullptr);

  QMenu* menu() const { return menu_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowChoice();
  void PopUp();

  MeterPoints& points_;
  int channel_;
  QMenu* menu_;
};

}  // namespace tessaly::editor

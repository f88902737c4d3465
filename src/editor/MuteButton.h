#pragma once

#include <QAbstractButton>

namespace tessaly::editor {

// The channel's mute as a desk-style button: lit red with "MUTE" while the channel is muted.
class MuteButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit MuteButton(QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessaly::editor

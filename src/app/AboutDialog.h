#pragma once

#include <QDialog>

namespace tessaly::app {

class AppState;

// The about window: the program's version and, while it is on-line, the current device's; where
// the program keeps init.cfg, presets and projects, and backups.
// OK (Enter or Escape) closes it.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(const AppState& state, QWidget* parent = nullptr);
};

}  // namespace tessaly::app

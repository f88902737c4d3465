#pragma once

class QMenu;

namespace tessaly::app {

class MainWindow;

// File -> Open preset: a preset file opened in an off-line editor of its device type.
void AddOpenPresetAction(MainWindow& window, QMenu& file_menu);

}  // namespace tessaly::app

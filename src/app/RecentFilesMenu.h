#pragma once

#include <QString>

class QMenu;

namespace tessaly::app {

class MainWindow;

inline constexpr const char* kRecentFilesTitle = "Recent files";

// File → Recent files: the presets and projects last used, newest first, rebuilt as it opens.
void AddRecentFilesMenu(MainWindow& window, QMenu& file_menu);

// Opens a file of the list. A preset goes into the device of the active editor when the user
// says so, otherwise into an editor without a device; a project needs the device. A file that is
// gone is said so and leaves the list.
void OpenRecentFile(MainWindow& window, const QString& path);

}  // namespace tessaly::app

#pragma once

#include <QString>

namespace tessaly::programs {

// Where each kind of file the program keeps goes. A build run from its folder keeps everything
// below the folder it started in; an installed build keeps them where the user's desktop expects.
struct FileLocations {
  QString config;     // init.cfg and the settings file
  QString documents;  // the preset and project folders, where every file dialog opens
  QString backups;    // the programs kept before a device was overwritten

  // Everything below `folder`: init.cfg in it, presets and projects in its subfolders, backups in
  // its backups/.
  static FileLocations InFolder(const QString& folder);
  // The user's configuration folder, "Tessaly" under the user's documents, and the user's data
  // folder.
  static FileLocations PerUser();
  // The layout this build was made for (the package's build keeps files per user).
  static FileLocations OfThisBuild(const QString& start_folder);
};

}  // namespace tessaly::programs

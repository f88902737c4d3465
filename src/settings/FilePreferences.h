#pragma once

#include <QString>

namespace tessaly::settings {

class Settings;

// The folders the user chose in place of the build's own; empty keeps the build's.
struct FilePreferences {
  QString documents;  // presets and projects, where their file dialogs open
  QString backups;    // programs kept before a device is overwritten

  static FilePreferences Read(const Settings& settings);
  void Write(Settings& settings) const;
};

}  // namespace tessaly::settings

#pragma once

#include <QString>
#include <QStringList>

namespace tessaly::settings {

class Settings;

inline constexpr int kRecentFilesKept = 8;

// The presets and projects last opened, loaded or saved, newest first.
QStringList RecentFiles(const Settings& settings);
// Puts `path` first; the oldest beyond kRecentFilesKept drops off.
void AddRecentFile(Settings& settings, const QString& path);
void DropRecentFile(Settings& settings, const QString& path);

}  // namespace tessaly::settings

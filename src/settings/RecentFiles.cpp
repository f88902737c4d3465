#include "settings/RecentFiles.h"

#include <QFileInfo>

#include "settings/Settings.h"

namespace tessaly::settings {

namespace {
const QString kRecentKey = QStringLiteral("files/recent");
}  // namespace

QStringList RecentFiles(const Settings& settings) {
  return settings.Value(kRecentKey).toStringList();
}

void AddRecentFile(Settings& settings, const QString& path) {
  // One file named two ways ("./a.540", "a.540") is still one entry.
  const QString full = QFileInfo(path).absoluteFilePath();
  QStringList list = RecentFiles(settings);
  list.removeAll(full);
  list.prepend(full);
  while (list.size() > kRecentFilesKept) list.removeLast();
  settings.SetValue(kRecentKey, list);
}

void DropRecentFile(Settings& settings, const QString& path) {
  QStringList list = RecentFiles(settings);
  list.removeAll(path);
  settings.SetValue(kRecentKey, list);
}

}  // namespace tessaly::settings

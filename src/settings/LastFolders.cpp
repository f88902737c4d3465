#include "settings/LastFolders.h"

#include <QFileInfo>

#include "settings/Settings.h"

namespace tessaly::settings {

namespace {

QString KeyOf(FileKind kind) {
  switch (kind) {
    case FileKind::kPreset:
      return QStringLiteral("folders/preset");
    case FileKind::kProject:
      return QStringLiteral("folders/project");
  }
  return {};
}

}  // namespace

QString LastFolder(const Settings& settings, FileKind kind, const QString& fallback) {
  const QString folder = settings.Value(KeyOf(kind)).toString();
  // A removed folder or an unplugged drive would open the dialog nowhere useful.
  return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fallback;
}

void RememberFolder(Settings& settings, FileKind kind, const QString& chosen_file) {
  if (!chosen_file.isEmpty()) {
    settings.SetValue(KeyOf(kind), QFileInfo(chosen_file).absolutePath());
  }
}

}  // namespace tessaly::settings

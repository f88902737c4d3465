#include "settings/FilePreferences.h"

#include "settings/Settings.h"

namespace tessaly::settings {

namespace {
const QString kDocumentsKey = QStringLiteral("files/documents");
const QString kBackupsKey = QStringLiteral("files/backups");
}  // namespace

FilePreferences FilePreferences::Read(const Settings& settings) {
  return {settings.Value(kDocumentsKey).toString(), settings.Value(kBackupsKey).toString()};
}

void FilePreferences::Write(Settings& settings) const {
  // An emptied box goes back to the build's folder, so no stale path lingers in the file.
  const auto put = [&settings](const QString& key, const QString& folder) {
    if (folder.isEmpty()) {
      settings.Remove(key);
    } else {
      settings.SetValue(key, folder);
    }
  };
  put(kDocumentsKey, documents);
  put(kBackupsKey, backups);
}

}  // namespace tessaly::settings

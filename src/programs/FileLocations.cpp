#include "programs/FileLocations.h"

#include <QDir>
#include <QStandardPaths>

namespace tessaly::programs {

FileLocations FileLocations::InFolder(const QString& folder) {
  return {folder, folder, QDir(folder).filePath(QStringLiteral("backups"))};
}

FileLocations FileLocations::PerUser() {
  const auto where = [](QStandardPaths::StandardLocation kind, const QString& name) {
    return QDir(QStandardPaths::writableLocation(kind)).filePath(name);
  };
  return {where(QStandardPaths::GenericConfigLocation, QStringLiteral("tessaly")),
          where(QStandardPaths::DocumentsLocation, QStringLiteral("Tessaly")),
          where(QStandardPaths::GenericDataLocation, QStringLiteral("tessaly/backups"))};
}

FileLocations FileLocations::OfThisBuild(const QString& start_folder) {
#ifdef TESSALY_USER_FILES
  (void)start_folder;
  return PerUser();
#else
  return InFolder(start_folder);
#endif
}

}  // namespace tessaly::programs

#include "programs/ProgramFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <array>

#include "device/DeviceTypes.h"
#include "protocol/Offsets.h"

namespace tessaly::programs {
namespace {

constexpr int kProjectRecordA = protocol::kImageSizeA + 1;
constexpr int kProjectRecordB = protocol::kImageSizeB + 1;

// Some project filters say "preset": that is how the dialogs have always read.
constexpr std::array<FileType, 4> kFileTypes{{
    {protocol::kRecordSizeA, kProjectRecordA, 64, '=', "preset_540", "Project_540", "540", "pj5",
     "file preset (*.540)", "file project (*.Pj5 *.pj5)", "file project (*.Pj5 *.pj5)"},
    {protocol::kRecordSizeA, kProjectRecordA, 56, '<', "preset_360", "Project_360", "360", "pj3",
     "file preset (*.360)", "file preset (*.Pj3 *.pj3)", "file preset (*.Pj3 *.pj3)"},
    {protocol::kRecordSizeA, kProjectRecordA, 16, ';', "preset_4800", "Project_4800", "480", "pj4",
     "file preset (*.480)", "file preset (*.Pj4 *.pj4)", "file preset (*.Pj4 *.pj4)"},
    {protocol::kRecordSizeB, kProjectRecordB, 56, '>', "preset_540S", "Project_540S", "54s", "pjs",
     "file preset (*.54s)", "file project (*.PjS *.pjs)", "file preset (*.PjS *.pjs)"},
}};

QString Under(const QString& documents, const char* folder) {
  return QDir(documents).filePath(QString::fromLatin1(folder));
}

}  // namespace

const FileType* FileTypeOf(int device_type) {
  if (!device::IsValidType(device_type)) return nullptr;
  return &kFileTypes[static_cast<size_t>(device_type)];
}

std::optional<int> TypeOfExtension(const QString& path, bool* project) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  for (size_t type = 0; type < kFileTypes.size(); ++type) {
    const bool is_project = suffix == QLatin1String(kFileTypes[type].project_extension);
    if (suffix == QLatin1String(kFileTypes[type].preset_extension) || is_project) {
      if (project != nullptr) *project = is_project;
      return static_cast<int>(type);
    }
  }
  return std::nullopt;
}

int ProjectFileSize(const FileType& type) {
  return 1 + type.program_count * type.project_record_size;
}

QString PresetFolder(const QString& documents, const FileType& type) {
  return Under(documents, type.preset_folder);
}

QString ProjectFolder(const QString& documents, const FileType& type) {
  return Under(documents, type.project_folder);
}

QString WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  // Unbuffered: a buffered write can lose a short write on a full disk and still commit.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return QStringLiteral("The file %1 could not be written: %2")
        .arg(QDir::toNativeSeparators(path), file.errorString());
  }
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return QStringLiteral("The file %1 could not be written: %2. Any former file is unchanged.")
        .arg(QDir::toNativeSeparators(path), reason);
  }
  return {};
}

QString NewBackupPath(const QString& folder, const QString& what, const QString& extension) {
  QDir().mkpath(folder);
  const QString stamp =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
  QString path = QDir(folder).filePath(QStringLiteral("%1-%2.%3").arg(what, stamp, extension));
  // Two backups within a millisecond must not overwrite each other.
  for (int n = 2; QFileInfo::exists(path); ++n) {
    path =
        QDir(folder).filePath(QStringLiteral("%1-%2-%3.%4").arg(what, stamp).arg(n).arg(extension));
  }
  return path;
}

QString LastBackupPath(const QString& folder, const QString& what, const QString& extension) {
  const QDir backups(folder);
  const QStringList names =
      backups.entryList({QStringLiteral("%1-*.%2").arg(what, extension)}, QDir::Files, QDir::Name);
  return names.isEmpty() ? QString() : backups.filePath(names.last());
}

}  // namespace tessaly::programs

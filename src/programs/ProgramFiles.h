#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tessaly::programs {

// Preset and project files of one device type: sizes, markers, folders and dialog filters.
struct FileType {
  int record_size = 0;          // a preset file: image, spare byte and the PC-side tail
  int project_record_size = 0;  // one program slot in a project file: image and spare byte
  int program_count = 0;
  char project_marker = 0;
  const char* preset_folder = "";
  const char* project_folder = "";
  const char* preset_extension = "";
  const char* project_extension = "";
  const char* preset_filter = "";
  const char* project_load_filter = "";
  const char* project_save_filter = "";
};

// nullptr for an unknown type.
const FileType* FileTypeOf(int device_type);
// The type whose preset or project extension the file has (case ignored); `project` says which.
std::optional<int> TypeOfExtension(const QString& path, bool* project);

// 1 + programs x project record size.
int ProjectFileSize(const FileType& type);

// The folders the file dialogs open in, under the folder that holds the user's files.
QString PresetFolder(const QString& documents, const FileType& type);
QString ProjectFolder(const QString& documents, const FileType& type);

// Writes the whole file or nothing: the bytes go to a temporary file that replaces the target
// only once complete, so a failed or cancelled save leaves any former file as it was. Returns an
// empty text on success, else a sentence naming the file and the reason.
QString WriteFileAtomically(const QString& path, const QByteArray& bytes);

// A fresh name in the backup folder: "<what>-yyyyMMdd-HHmmss-zzz.<extension>".
QString NewBackupPath(const QString& folder, const QString& what, const QString& extension);
// The newest backup of that kind, empty when there is none.
QString LastBackupPath(const QString& folder, const QString& what, const QString& extension);

}  // namespace tessaly::programs

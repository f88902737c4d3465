#include "programs/ProjectFile.h"

#include "programs/ProgramFiles.h"
#include "protocol/DefaultImage.h"

namespace tessaly::programs {

inline constexpr char kEmptyProgramByte = static_cast<char>(0xFF);

QByteArray EncodeProject(int device_type, const ProjectBuffer& buffer) {
  const FileType* type = FileTypeOf(device_type);
  if (type == nullptr) return {};
  QByteArray file(1, type->project_marker);
  for (int p = 0; p < type->program_count; ++p) {
    QByteArray record = p < static_cast<int>(buffer.size()) ? buffer[static_cast<size_t>(p)]
                                                            : EmptyProjectRecord(device_type);
    record.resize(type->project_record_size, '\0');
    file.append(record);
  }
  return file;
}

bool DecodeProject(const QByteArray& file, int device_type, ProjectBuffer& buffer) {
  const FileType* type = FileTypeOf(device_type);
  if (type == nullptr || file.isEmpty() || file[0] != type->project_marker ||
      file.size() < ProjectFileSize(*type)) {
    return false;
  }
  ProjectBuffer read;
  for (int p = 0; p < type->program_count; ++p) {
    read.push_back(file.mid(1 + p * type->project_record_size, type->project_record_size));
  }
  buffer = std::move(read);
  return true;
}

QByteArray EmptyProjectRecord(int device_type) {
  QByteArray record = protocol::DefaultImage(device_type);
  const int image_size = static_cast<int>(record.size());
  record.append('\0');
  if (image_size > 0) record[image_size - 1] = kEmptyProgramByte;
  return record;
}

}  // namespace tessaly::programs

#include "programs/PresetFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "programs/ProgramFiles.h"
#include "protocol/ProgramData.h"

namespace tessaly::programs {

PresetRead ReadPreset(const QString& path, int device_type) {
  PresetRead read;
  const FileType* type = FileTypeOf(device_type);
  if (type == nullptr) return read;
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
    read.status = PresetStatus::kNotFound;
    read.message = QString::fromLatin1(kFileNotFoundText);
    return read;
  }
  const qint64 size = file.size();
  read.bytes = file.read(type->record_size);
  if (read.bytes.size() < kPresetMinimumBytes) {
    read.bytes.clear();
    return read;
  }
  // The other family's record would land in the wrong layout, every byte in the wrong place.
  const bool family_b = type->record_size == protocol::kRecordSizeB;
  const int other = family_b ? protocol::kRecordSizeA : protocol::kRecordSizeB;
  if (size == other) {
    read.status = PresetStatus::kOtherFamily;
    read.message = QStringLiteral(
                       "This preset is %1 bytes long: it was saved from %2, not from this device. "
                       "Nothing was sent.")
                       .arg(other)
                       .arg(family_b ? QStringLiteral("an RK-540, RK-360 or RL-4800")
                                     : QStringLiteral("a 540S"));
    read.bytes.clear();
    return read;
  }
  read.status = PresetStatus::kOk;
  return read;
}

void ApplyPreset(const QByteArray& preset, protocol::ProgramData& data) {
  const auto put = [&](int from, int to) {
    for (int at = from; at < std::min<int>(to, static_cast<int>(preset.size())); ++at) {
      const auto value = static_cast<uint8_t>(preset[at]);
      if (at < data.tail_start()) {
        data.Set(at, value);
      } else {
        data.SetTail(at - data.tail_start(), value);
      }
    }
  };
  put(0, data.image_size());
  put(data.record_size() - kPresetAppliedTail, data.record_size());
}

}  // namespace tessaly::programs

#include "programs/ProgramRecords.h"

#include <algorithm>

#include "programs/ProgramNames.h"

namespace tessaly::programs {

int ProgramNumberOffset(int device_type) {
  return protocol::LayoutOfType(device_type).image_size - 1;
}

protocol::ProgramData WithFileBytes(const protocol::ProgramData& data, const QByteArray& bytes) {
  protocol::ProgramData out = data;
  QByteArray record(reinterpret_cast<const char*>(data.Record().data()), data.record_size());
  record.replace(0, std::min<qsizetype>(bytes.size(), record.size()),
                 bytes.first(std::min<qsizetype>(bytes.size(), record.size())));
  out.SetRecord(std::span(reinterpret_cast<const uint8_t*>(record.constData()),
                          static_cast<size_t>(record.size())));
  return out;
}

std::optional<protocol::ProgramData> ProjectProgram(int device_type, const QByteArray& record) {
  const int number = ProgramNumberOffset(device_type);
  if (record.size() <= number ||
      !ProgramNameList::IsStored(static_cast<uint8_t>(record.at(number)))) {
    return std::nullopt;
  }
  protocol::ProgramData data(protocol::FamilyOf(device_type));
  data.Write(
      0,
      std::span(reinterpret_cast<const uint8_t*>(record.constData()),
                static_cast<size_t>(std::min<qsizetype>(record.size(), data.addressable_size()))));
  return data;
}

}  // namespace tessaly::programs

#include "protocol/ProgramData.h"

#include <algorithm>

namespace tessaly::protocol {

ProgramData::ProgramData(Family family)
    : layout_(&LayoutOf(family)), bytes_(static_cast<size_t>(layout_->record_size), 0) {
  LoadDefaultImage();
}

std::optional<uint8_t> ProgramData::Get(int offset) const {
  if (offset < 0 || offset >= addressable_size()) return std::nullopt;
  return bytes_[static_cast<size_t>(offset)];
}

bool ProgramData::Set(int offset, uint8_t value) {
  if (offset < 0 || offset >= addressable_size()) return false;
  bytes_[static_cast<size_t>(offset)] = value;
  return true;
}

std::optional<uint16_t> ProgramData::Get16(int offset) const {
  const auto high = Get(offset);
  const auto low = Get(offset + 1);
  if (!high || !low) return std::nullopt;
  return static_cast<uint16_t>(*high << 8 | *low);
}

bool ProgramData::Set16(int offset, uint16_t value) {
  const uint8_t bytes[] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
  return Write(offset, bytes);
}

bool ProgramData::Write(int offset, std::span<const uint8_t> bytes) {
  const auto count = static_cast<int>(bytes.size());
  if (offset < 0 || count > addressable_size() - offset) return false;
  std::copy(bytes.begin(), bytes.end(), bytes_.begin() + offset);
  return true;
}

std::vector<uint8_t> ProgramData::Read(int offset, int count) const {
  if (offset < 0 || count < 0 || count > addressable_size() - offset) return {};
  return {bytes_.begin() + offset, bytes_.begin() + offset + count};
}

std::optional<uint8_t> ProgramData::Tail(int index) const {
  if (index < 0 || index >= kTailSize) return std::nullopt;
  return bytes_[static_cast<size_t>(tail_start() + index)];
}

bool ProgramData::SetTail(int index, uint8_t value) {
  if (index < 0 || index >= kTailSize) return false;
  bytes_[static_cast<size_t>(tail_start() + index)] = value;
  return true;
}

std::span<const uint8_t> ProgramData::Image() const {
  return std::span<const uint8_t>(bytes_).first(static_cast<size_t>(image_size()));
}

bool ProgramData::SetRecord(std::span<const uint8_t> record) {
  if (static_cast<int>(record.size()) != record_size()) return false;
  std::copy(record.begin(), record.end(), bytes_.begin());
  return true;
}

void ProgramData::LoadDefaultImage() {
  const QByteArray& image = DefaultImage(family() == Family::kB ? 3 : 0);
  const auto count = std::min<qsizetype>(image.size(), image_size());
  std::copy(image.begin(), image.begin() + count, bytes_.begin());
}

QString ProgramData::Name() const {
  const auto offset = static_cast<size_t>(layout_->name);
  return QString::fromLatin1(reinterpret_cast<const char*>(bytes_.data() + offset), kNameLength);
}

void ProgramData::SetName(const QString& name) {
  const QByteArray latin = name.left(kNameLength).leftJustified(kNameLength, ' ').toLatin1();
  std::copy(latin.begin(), latin.end(), bytes_.begin() + layout_->name);
}

}  // namespace tessaly::protocol

#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/Offsets.h"

namespace tessaly::protocol {

// One slot's program record: the device's program image, one spare byte that is never sent, and
// an 850-byte tail that mirrors the device's settings memory (tail index n = settings address n).
// Every access is bounds-checked: an image offset past the image and its spare byte, or a tail
// index past the tail, is refused and nothing is written.
class ProgramData {
 public:
  // Holds the family's default image and an all-zero tail.
  explicit ProgramData(Family family = Family::kA);

  Family family() const { return layout_->family; }
  const Layout& layout() const { return *layout_; }
  int image_size() const { return layout_->image_size; }
  // Image and spare byte: offsets 0 .. image_size().
  int addressable_size() const { return layout_->image_size + 1; }
  int tail_start() const { return addressable_size(); }
  int record_size() const { return layout_->record_size; }

  // Image bytes (offset 0 .. image_size(), the last being the spare byte).
  std::optional<uint8_t> Get(int offset) const;
  bool Set(int offset, uint8_t value);
  // Big-endian 16-bit value at offset, offset + 1.
  std::optional<uint16_t> Get16(int offset) const;
  bool Set16(int offset, uint16_t value);
  // Copies bytes into the image starting at offset; refused as a whole when any would land past
  // the image and its spare byte.
  bool Write(int offset, std::span<const uint8_t> bytes);
  // `count` bytes from offset; empty when out of range.
  std::vector<uint8_t> Read(int offset, int count) const;

  // PC-side tail, index 0 .. kTailSize - 1.
  std::optional<uint8_t> Tail(int index) const;
  bool SetTail(int index, uint8_t value);

  // The device image alone (without the spare byte), as sent in data blocks.
  std::span<const uint8_t> Image() const;
  // The whole record, as stored in preset files.
  std::span<const uint8_t> Record() const { return bytes_; }
  // Replaces the whole record; refused unless the size is exactly record_size().
  bool SetRecord(std::span<const uint8_t> record);
  // Replaces the image with the family's default; the spare byte and the tail stay.
  void LoadDefaultImage();

  // Program name held in the image, 16 characters as stored.
  QString Name() const;
  // Writes the name padded with blanks (or cut) to 16 characters; non-Latin-1 characters
  // become '?'.
  void SetName(const QString& name);

 private:
  const Layout* layout_;
  std::vector<uint8_t> bytes_;
};

}  // namespace tessaly::protocol

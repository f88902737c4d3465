#include "sim/SimFramer.h"

#include "device/PacketFormat.h"

namespace tessaly::sim {
namespace {

// A data block with no data is 8 bytes; the longest carries 65 data bytes.
constexpr int kShortestPacket = device::kDataBlockOverhead;
constexpr int kLongestPacket = device::kMaxDataBytes + device::kDataBlockOverhead;

uint8_t At(const QByteArray& bytes, int index) { return static_cast<uint8_t>(bytes[index]); }

}  // namespace

SimFramer::Shape SimFramer::Inspect(int* length) const {
  const int first = At(buffer_, 0);
  const int total = first - device::kLengthBase;
  if (first < device::kLengthBase || total < kShortestPacket || total > kLongestPacket) {
    return Shape::kNoise;
  }
  if (buffer_.size() < 2) return Shape::kIncomplete;
  if (At(buffer_, 1) != device::kPacketTag) return Shape::kNoise;
  // A block write announces its data count in P3, so its length must agree with it; every other
  // command is exactly 13 bytes.
  if (buffer_.size() >= 4) {
    const bool block = device::IsDataBlockCommand(At(buffer_, 3));
    if (!block && total != device::kPlainPacketLength) return Shape::kNoise;
    if (block && buffer_.size() >= 7 && At(buffer_, 6) + device::kDataBlockOverhead != total) {
      return Shape::kNoise;
    }
  }
  if (buffer_.size() < total) return Shape::kIncomplete;
  if (At(buffer_, total - 1) != device::kEndMarker) return Shape::kNoise;
  *length = total;
  return Shape::kPacket;
}

QList<QByteArray> SimFramer::Feed(const QByteArray& bytes) {
  buffer_.append(bytes);
  QList<QByteArray> packets;
  while (!buffer_.isEmpty()) {
    int length = 0;
    const Shape shape = Inspect(&length);
    if (shape == Shape::kIncomplete) break;
    if (shape == Shape::kNoise) {
      buffer_.remove(0, 1);
      ++skipped_;
      continue;
    }
    packets.append(buffer_.left(length));
    buffer_.remove(0, length);
  }
  return packets;
}

}  // namespace tessaly::sim

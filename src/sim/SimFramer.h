#pragma once

#include <QByteArray>
#include <QList>

namespace tessaly::sim {

// Cuts the byte stream a device hears into request packets. A packet starts with 0x80 + its
// length and the 0x1F tag and ends with 0xF7; anything that does not fit that shape is skipped
// one byte at a time, so line noise or the tail of an abandoned packet cannot wedge the device.
class SimFramer {
 public:
  // Adds bytes and returns the packets completed by them, in order.
  QList<QByteArray> Feed(const QByteArray& bytes);

  // Bytes skipped as noise since construction.
  qsizetype skipped() const { return skipped_; }
  qsizetype pending() const { return buffer_.size(); }
  void Clear() { buffer_.clear(); }

 private:
  enum class Shape { kPacket, kIncomplete, kNoise };
  Shape Inspect(int* length) const;

  QByteArray buffer_;
  qsizetype skipped_ = 0;
};

}  // namespace tessaly::sim

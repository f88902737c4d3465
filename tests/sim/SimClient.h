#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QIODevice>
#include <cstdint>
#include <vector>

#include "comm/Packet.h"
#include "support/SimHarness.h"

namespace tessaly::sim::testing {

// A plain client for the emulator's tests: bytes in, bytes out, no Comm in between.

inline QByteArray Request(uint8_t command, const comm::Params& params = {}) {
  return comm::FramePacket(0, command, params, {}, 0);
}

inline QByteArray BlockRequest(uint8_t command, int address, const std::vector<uint8_t>& data) {
  return comm::FramePacket(
      0, command, {uint8_t(address >> 8), uint8_t(address & 0xFF), uint8_t(data.size())}, data, 0);
}

inline QByteArray ReadRequest(uint8_t command, int address, int length) {
  return Request(command, {uint8_t(address >> 8), uint8_t(address & 0xFF), uint8_t(length)});
}

// Collects bytes until `awaited` have come or the time is up; returns what came.
inline QByteArray ReadUpTo(QIODevice& io, int awaited, int limit_ms) {
  QDeadlineTimer deadline(limit_ms);
  QByteArray bytes = io.read(awaited);
  while (bytes.size() < awaited && deadline.remainingTime() > 0) {
    io.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    bytes.append(io.read(awaited - bytes.size()));
  }
  return bytes;
}

inline bool SendAll(QIODevice& io, const QByteArray& bytes) {
  if (io.write(bytes) != bytes.size()) return false;
  while (io.bytesToWrite() > 0) {
    if (!io.waitForBytesWritten(2000)) return false;
  }
  return true;
}

inline QByteArray Exchange(QIODevice& io, const QByteArray& request, int awaited,
                           int limit_ms = 3000) {
  return SendAll(io, request) ? ReadUpTo(io, awaited, limit_ms) : QByteArray();
}

// Whatever arrives within the window; an idle line returns an empty array.
inline QByteArray Drain(QIODevice& io, int window_ms) { return ReadUpTo(io, 1 << 20, window_ms); }

inline uint8_t At(const QByteArray& bytes, int index) {
  return index < bytes.size() ? static_cast<uint8_t>(bytes[index]) : 0;
}

}  // namespace tessaly::sim::testing

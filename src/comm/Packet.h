#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <span>

#include "comm/Commands.h"

namespace tessaly::comm {

inline constexpr uint8_t kLengthBase = 0x80;  // byte 0 = 0x80 + total packet length
inline constexpr uint8_t kPacketTag = 0x1F;
inline constexpr uint8_t kEndMarker = 0xF7;
inline constexpr int kPlainPacketLength = 13;
inline constexpr int kMaxDataBytes = 65;
inline constexpr int kDataBlockOverhead = 8;

using Params = std::array<uint8_t, 8>;  // P1..P8

bool IsDataBlockCommand(uint8_t command);

// Frames one request. `data` is used only by the data-block commands 92 and 94, whose P3 is the
// number of data bytes (at most 65); for command 0 byte 11 carries the connection mode whatever P8
// says. Returns an empty array when a data block is longer than the device accepts.
QByteArray FramePacket(uint8_t address, uint8_t command, const Params& params,
                       std::span<const uint8_t> data, int16_t connection_mode);

struct ReplyClass {
  int awaited_bytes = 0;  // 0: the command has no reply
  int wait_limit_ms = 0;  // the real limit; the exchange scales it by TimeScale()
};

// How many reply bytes a command brings and how long to wait for them. Depends on the command
// byte only, except the meter poll (size by device type) and memory reads (size by P3).
ReplyClass ClassifyReply(uint8_t command, uint8_t p3, int device_type);

// Rounds to the nearest integer and writes it big-endian as four bytes at `start`. Refuses a
// start that would write past the end of `out`.
bool SplitToBytes(double value, int start, std::span<uint8_t> out);

}  // namespace tessaly::comm

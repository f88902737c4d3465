#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tessaly::device {

// The frame both ends build and check: byte 0 = 0x80 + total length, byte 1 = tag, byte 2 =
// address, byte 3 = command, then P1..P8 (or P1..P3 and the data of a data block), then the end
// marker.
inline constexpr uint8_t kLengthBase = 0x80;
inline constexpr uint8_t kPacketTag = 0x1F;
inline constexpr uint8_t kEndMarker = 0xF7;
inline constexpr int kPlainPacketLength = 13;
inline constexpr int kMaxDataBytes = 65;
inline constexpr int kDataBlockOverhead = 8;

using Params = std::array<uint8_t, 8>;  // P1..P8

// Commands 92 and 94 carry P3 data bytes instead of P4..P8.
bool IsDataBlockCommand(uint8_t command);

// Rounds to the nearest integer and writes it big-endian as four bytes at `start`. Refuses a
// start that would write past the end of `out`.
bool SplitToBytes(double value, int start, std::span<uint8_t> out);

}  // namespace tessaly::device

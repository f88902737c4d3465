#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <span>

#include "device/Commands.h"
#include "device/PacketFormat.h"

namespace tessaly::comm {

// The frame layout is shared with the emulator; the exchange code keeps its short names.
using device::IsDataBlockCommand;
using device::kDataBlockOverhead;
using device::kEndMarker;
using device::kLengthBase;
using device::kMaxDataBytes;
using device::kPacketTag;
using device::kPlainPacketLength;
using device::Params;
using device::SplitToBytes;

// Frames one request. `data` is used only by the data-block commands 92 and 94, whose P3 is the
// number of data bytes (at most 65); for command 0 byte 11 carries the connection mode whatever P8
// says. Returns an empty array when a data block is longer than the device accepts.
QByteArray FramePacket(uint8_t address, uint8_t command, const Params& params,
                       std::span<const uint8_t> data, int16_t connection_mode);

// P1 and P2 carry a 16-bit memory address (high byte first), P3 the length or count.
Params AddressParams(int address, int p3);

struct ReplyClass {
  int awaited_bytes = 0;  // 0: the command has no reply
  int wait_limit_ms = 0;  // the real limit; the exchange scales it by TimeScale()
};

// How many reply bytes a command brings and how long to wait for them. Depends on the command
// byte only, except the meter poll (size by device type) and memory reads (size by P3).
ReplyClass ClassifyReply(uint8_t command, uint8_t p3, int device_type);

}  // namespace tessaly::comm

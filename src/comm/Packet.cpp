#include "comm/Packet.h"

#include <algorithm>

#include "comm/ReplyWaits.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::comm {

QByteArray FramePacket(uint8_t address, uint8_t command, const Params& params,
                       std::span<const uint8_t> data, int16_t connection_mode) {
  QByteArray packet;
  if (IsDataBlockCommand(command)) {
    const int count = params[2];
    if (count > kMaxDataBytes || static_cast<size_t>(count) > data.size()) return {};
    const int length = count + kDataBlockOverhead;
    packet.reserve(length);
    packet.append(static_cast<char>(kLengthBase + length));
    packet.append(static_cast<char>(kPacketTag));
    packet.append(static_cast<char>(address));
    packet.append(static_cast<char>(command));
    for (int i = 0; i < 3; ++i) packet.append(static_cast<char>(params[i]));
    for (int i = 0; i < count; ++i) packet.append(static_cast<char>(data[i]));
    packet.append(static_cast<char>(kEndMarker));
    return packet;
  }
  packet.reserve(kPlainPacketLength);
  packet.append(static_cast<char>(kLengthBase + kPlainPacketLength));
  packet.append(static_cast<char>(kPacketTag));
  packet.append(static_cast<char>(address));
  packet.append(static_cast<char>(command));
  for (uint8_t p : params) packet.append(static_cast<char>(p));
  if (command == device::kCmdIdentify)
    packet[device::kModeByte] = static_cast<char>(connection_mode);
  packet.append(static_cast<char>(kEndMarker));
  return packet;
}

Params AddressParams(int address, int p3) {
  Params p{};
  p[0] = static_cast<uint8_t>((address >> 8) & 0xFF);
  p[1] = static_cast<uint8_t>(address & 0xFF);
  p[2] = static_cast<uint8_t>(p3);
  return p;
}

ReplyClass ClassifyReply(uint8_t command, uint8_t p3, int device_type) {
  switch (command) {
    case device::kCmdReadParams:
    case device::kCmdReadSettings:
      return {p3 + device::kMemoryReadOverhead, kLongWaitMs};
    case device::kCmdMeters:
      return {
          device::IsFamilyB(device_type) ? device::kMeterReplyFamilyB : device::kMeterReplyFamilyA,
          kPollWaitMs};
    case device::kCmdNoReply:
      return {0, 0};
    default:
      break;
  }
  if (std::ranges::find(kLongWaitCommands, command) != kLongWaitCommands.end()) {
    return {kPlainPacketLength, kLongWaitMs};
  }
  if (std::ranges::find(kShortWaitCommands, command) != kShortWaitCommands.end()) {
    return {kPlainPacketLength, kShortWaitMs};
  }
  return {kPlainPacketLength, kDefaultWaitMs};
}

}  // namespace tessaly::comm

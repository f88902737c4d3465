#include "comm/Packet.h"

#include "comm/Commands.h"
#include "comm/DeviceTypes.h"

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
  if (command == kCmdIdentify) packet[11] = static_cast<char>(connection_mode);
  packet.append(static_cast<char>(kEndMarker));
  return packet;
}

ReplyClass ClassifyReply(uint8_t command, uint8_t p3, int device_type) {
  constexpr int kLong = 20000;
  constexpr int kShort = 2000;
  constexpr int kDefault = 5000;
  switch (command) {
    case kCmdReadParams:
    case kCmdReadSettings:
      return {p3 + 5, kLong};
    case kCmdMeters:
      return {IsFamilyB(device_type) ? 42 : 33, kPollWaitMs};
    case 6:
    case 15:
    case 24:
    case 27:
    case 30:
    case 31:
    case 33:
    case 34:
    case 36:
    case 37:
    case 41:
    case 42:
    case 49:
    case 54:
    case 55:
    case kCmdWriteBlock:
    case kCmdDataBlock:
      return {kPlainPacketLength, kLong};
    case 18:
    case 19:
    case 20:
    case 23:
    case 39:
      return {kPlainPacketLength, kShort};
    case kCmdNoReply:
      return {0, 0};
    default:
      return {kPlainPacketLength, kDefault};
  }
}

}  // namespace tessaly::comm

#pragma once

#include <cstdint>

namespace tessaly::device {

// Command bytes of the device protocol that the exchange layer and the emulator share.
// Parameter commands live with the family modules.
inline constexpr uint8_t kCmdIdentify = 0;        // reply byte 8 = device type code
inline constexpr uint8_t kCmdRelease = 15;        // sent just before the PC closes its link
inline constexpr uint8_t kCmdRecallProgram = 27;  // P1 = program slot into the edit buffer
inline constexpr uint8_t kCmdProgramStatus = 31;  // which program slots hold data
inline constexpr uint8_t kCmdVersions = 34;       // reply bytes 4..9 = firmware and second version
inline constexpr uint8_t kCmdStoreProgram = 42;   // P1 = program slot the edit buffer goes to
inline constexpr uint8_t kCmdEndOfBlocks = 49;    // ends a whole-image write
inline constexpr uint8_t kCmdChannelCopy = 55;    // P7 = source, P8 = destination channel
inline constexpr uint8_t kCmdMeters = 57;         // meter poll, 33 or 42 reply bytes
inline constexpr uint8_t kCmdKeepAlive = 58;      // keep-alive from the main window's timer
inline constexpr uint8_t kCmdWriteBlock = 92;     // write P3 data bytes of the parameter memory
inline constexpr uint8_t kCmdReadParams = 93;     // read P3 bytes of the parameter memory
inline constexpr uint8_t kCmdDataBlock = 94;      // data-block command framed like 92
inline constexpr uint8_t kCmdReadSettings = 95;   // read P3 bytes of the settings area
inline constexpr uint8_t kCmdProbeA = 119;        // probe of types 0 and 3
inline constexpr uint8_t kCmdSetIp = 120;         // P1..P4 = new IP address
inline constexpr uint8_t kCmdProbeB = 127;        // probe of types 1 and 2
inline constexpr uint8_t kCmdNoReply = 143;       // the device does not answer this one

// Places in a request and in a reply.
inline constexpr int kCommandByte = 3;         // request and reply: the command byte (echoed)
inline constexpr int kModeByte = 11;           // request 0: the connection mode, whatever P8 says
inline constexpr int kReplyDataStart = 4;      // first data byte of a memory read or version read
inline constexpr int kMemoryReadOverhead = 5;  // a memory read of P3 bytes brings P3 + 5
inline constexpr int kReplyTypeByte = 8;       // reply to 0 (and to a probe): device type code
inline constexpr int kReplyProbeAckByte = 11;  // reply to a probe: kProbeAck when the kind is right
inline constexpr int kMeterReplyFamilyA = 33;
inline constexpr int kMeterReplyFamilyB = 42;

// Reply byte 11 of a probe carries this value when a device of the expected kind answered.
inline constexpr uint8_t kProbeAck = 31;

}  // namespace tessaly::device

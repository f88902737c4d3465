#pragma once

#include <array>
#include <cstdint>

namespace tessaly::comm {

// Command bytes of the device protocol that the communication core itself knows about.
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

// Reply classes by command byte. Commands the device may work on for a long time (memory,
// program and transfer work, and a few settings) get the long wait; a few quick ones the short
// wait; every other command the default one.
inline constexpr int kLongWaitMs = 20000;
inline constexpr int kShortWaitMs = 2000;
inline constexpr int kDefaultWaitMs = 5000;
inline constexpr int kPollWaitMs = 3000;  // keep-alive and meter poll
inline constexpr int kProbeWaitMs = 400;
inline constexpr std::array<uint8_t, 17> kLongWaitCommands = {6,
                                                              kCmdRelease,
                                                              24,
                                                              kCmdRecallProgram,
                                                              30,
                                                              kCmdProgramStatus,
                                                              33,
                                                              kCmdVersions,
                                                              36,
                                                              37,
                                                              41,
                                                              kCmdStoreProgram,
                                                              kCmdEndOfBlocks,
                                                              54,
                                                              kCmdChannelCopy,
                                                              kCmdWriteBlock,
                                                              kCmdDataBlock};
inline constexpr std::array<uint8_t, 5> kShortWaitCommands = {18, 19, 20, 23, 39};

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

}  // namespace tessaly::comm

#pragma once

#include <array>
#include <cstdint>

// The command bytes and reply places are shared with the emulator; the exchange code keeps its
// short names.
#include "device/Commands.h"

namespace tessaly::comm {

using device::kCmdChannelCopy;
using device::kCmdDataBlock;
using device::kCmdEndOfBlocks;
using device::kCmdIdentify;
using device::kCmdKeepAlive;
using device::kCmdMeters;
using device::kCmdNoReply;
using device::kCmdProbeA;
using device::kCmdProbeB;
using device::kCmdProgramStatus;
using device::kCmdReadParams;
using device::kCmdReadSettings;
using device::kCmdRecallProgram;
using device::kCmdRelease;
using device::kCmdSetIp;
using device::kCmdStoreProgram;
using device::kCmdVersions;
using device::kCmdWriteBlock;
using device::kCommandByte;
using device::kMemoryReadOverhead;
using device::kMeterReplyFamilyA;
using device::kMeterReplyFamilyB;
using device::kModeByte;
using device::kProbeAck;
using device::kReplyDataStart;
using device::kReplyProbeAckByte;
using device::kReplyTypeByte;

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

}  // namespace tessaly::comm

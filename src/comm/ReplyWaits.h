#pragma once

#include <array>
#include <cstdint>

#include "device/Commands.h"

namespace tessaly::comm {

// Reply classes by command byte. Commands the device may work on for a long time (memory,
// program and transfer work, and a few settings) get the long wait; a few quick ones the short
// wait; every other command the default one. The unnamed bytes are never sent by this program
// but keep their class.
inline constexpr int kLongWaitMs = 20000;
inline constexpr int kShortWaitMs = 2000;
inline constexpr int kDefaultWaitMs = 5000;
inline constexpr int kPollWaitMs = 3000;  // keep-alive and meter poll
inline constexpr int kProbeWaitMs = 400;
inline constexpr std::array<uint8_t, 17> kLongWaitCommands = {device::kCmdEqSwitch,
                                                              device::kCmdRelease,
                                                              24,
                                                              device::kCmdRecallProgram,
                                                              30,
                                                              device::kCmdProgramStatus,
                                                              33,
                                                              device::kCmdVersions,
                                                              device::kCmdDigitalMode,
                                                              37,
                                                              41,
                                                              device::kCmdStoreProgram,
                                                              device::kCmdEndOfBlocks,
                                                              device::kCmdLink,
                                                              device::kCmdChannelCopy,
                                                              device::kCmdWriteBlock,
                                                              device::kCmdDataBlock};
inline constexpr std::array<uint8_t, 5> kShortWaitCommands = {18, 19, 20, 23, 39};

}  // namespace tessaly::comm

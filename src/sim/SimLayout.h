#pragma once

#include <cstdint>

namespace tessaly::sim {

// Where an emulated device keeps things in the memory that commands 95, 94 and 17 address.
// Below the program base the address is a settings byte; from the base on it falls into the
// program slots, one image per slot.
inline constexpr int kSettingsSize = 850;

inline constexpr int kNameAddress = 0;
inline constexpr int kNameLength = 16;
inline constexpr int kStandbyAddress = 16;
inline constexpr int kSleepModeAddress = 17;
inline constexpr int kDelayUnitAddress = 18;
inline constexpr int kTriggerAddress = 21;
inline constexpr int kLockAddress = 22;
inline constexpr int kPasswordAddress = 23;
inline constexpr int kNoiseTypeAddress = 32;
inline constexpr int kNoiseLevelAddress = 33;
inline constexpr int kIpAddress = 40;  // four bytes, most significant first
inline constexpr int kMeterModeAddress = 45;
inline constexpr int kStandbyMirrorAddress = 47;
inline constexpr int kSleepTableAddress = 480;  // five groups of three bytes
inline constexpr int kSleepTableLength = 15;
inline constexpr int kRoutingAddress = 608;  // family B: 4 inputs x 4 sources
inline constexpr int kRoutingLength = 16;
inline constexpr uint8_t kRoutingOn = 158;  // source enabled at 0 dB
inline constexpr uint8_t kRoutingOff = 30;

// The name of the program last stored or recalled.
inline constexpr int kCurrentNameAddressA = 384;
inline constexpr int kCurrentNameAddressB = 528;

inline constexpr int kProgramBaseA = 512;
inline constexpr int kProgramBaseB = 768;

// Inside a program image: its name and the byte that says which slot it was stored to.
inline constexpr int kProgramNameOffsetA = 320;
inline constexpr int kProgramNameOffsetB = 464;
inline constexpr int kLineOutOffsetA = 349;
inline constexpr int kLineOutOffsetB = 509;
// A program-number byte above this marks an empty slot.
inline constexpr uint8_t kLastOccupiedStatus = 63;
inline constexpr uint8_t kEmptyStatus = 0xFF;

// Meter reply sizes and where their sections start.
inline constexpr int kMeterReplyA = 33;
inline constexpr int kMeterReplyB = 42;
inline constexpr int kMeterLevelsA = 15;
inline constexpr int kMeterLevelsB = 21;

}  // namespace tessaly::sim

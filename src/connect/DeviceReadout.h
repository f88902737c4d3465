#pragma once

#include <QString>
#include <cstdint>

#include "connect/ConnectSession.h"

namespace tessaly::connect {

inline constexpr int kReadoutProgressMax = 90;
inline constexpr int kReadBlock = 32;
inline constexpr int kSettingsBlock = 16;
inline constexpr int kSettingsReadEnd = 48;  // settings addresses 0..47 go into the tail
inline constexpr int kSettingsIpAddress = 40;
inline constexpr int kSettingsRouting = 608;
inline constexpr int kSettingsSleepTable = 480;
inline constexpr int kCurrentNameAddressA = 384;
inline constexpr int kCurrentNameAddressB = 528;
// Name field of program slot p in device memory: slot base + name offset in the image.
inline constexpr int kProgramNameBaseA = 512 + 320;
inline constexpr int kProgramNameBaseB = 768 + 464;
inline constexpr int kProgramStride8 = 8;  // command 31 reports eight programs at a time
inline constexpr const char* kPresetFirmwareVersion = "1.1.5-B";
inline constexpr const char* kPresetSecondVersion = "1.0.4";

// The read-out steps in the order they run; kDone when every step completed.
enum class ReadoutStep {
  kImage,
  kVersions,
  kSettings,
  kIpAddress,
  kRouting,
  kProgramStatus,
  kProgramNames,
  kCurrentName,
  kSleepTable,
  kDone,
};

struct ReadoutResult {
  ReadoutStep stopped_at = ReadoutStep::kImage;
  int exchanges = 0;  // reads that got their reply
  bool complete() const { return stopped_at == ReadoutStep::kDone; }
};

// "b4.b5.b6", with "-B" from firmware 1.1.4 on.
QString FirmwareVersionText(uint8_t major, uint8_t minor, uint8_t patch);
QString SecondVersionText(uint8_t major, uint8_t minor, uint8_t patch);

// Reads a device out into its slot: image, versions, settings into the record tail and the slot
// state, IP address, routing (540S), program status and names, current program name and sleep
// table. The first read that fails ends it; what was read so far stays. Progress advances by one
// per exchange, out of kReadoutProgressMax.
ReadoutResult ReadDevice(ConnectContext& context, int slot, const ConnectHooks& hooks);

}  // namespace tessaly::connect

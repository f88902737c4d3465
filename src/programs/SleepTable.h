#pragma once

#include <array>
#include <cstdint>

#include "device/Slots.h"

namespace tessaly::programs {

inline constexpr int kSleepTableSize = 15;
inline constexpr int kSleepGroupCount = 5;

// The device's sleep-mode timing: five groups of three bytes, each group one 23-bit count
// (most significant byte first; the device keeps the first byte within 0..127).
struct SleepTable {
  std::array<uint8_t, kSleepTableSize> bytes{};

  // The count of group k (0..4); -1 for any other k.
  int32_t GroupCount(int group) const;
};

// Every slot's sleep table: each device keeps its own, read with the rest of its settings.
class SleepTables {
 public:
  // nullptr for a slot outside 0..32.
  SleepTable* At(int slot);
  const SleepTable* At(int slot) const;

 private:
  std::array<SleepTable, device::kSlotCount> slots_{};
};

}  // namespace tessaly::programs

#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "protocol/Dispatch.h"

namespace tessaly::protocol {
class ProgramStore;
}

namespace tessaly::programs {

struct SleepTable;

inline constexpr uint8_t kTriggerInputLow = 1;
inline constexpr uint8_t kTriggerOutputLow = 2;
inline constexpr uint8_t kTriggerEnabled = 4;
inline constexpr const char* kTriggerEnabledText = "Input Trigger Enabled: Button Disabled";

// The trigger window's four controls as the record's tail holds them.
struct TriggerSettings {
  bool input_low = false;
  bool output_low = false;
  bool enabled = false;
  bool mirroring = false;

  uint8_t TriggerByte() const;
};

TriggerSettings ReadTrigger(const protocol::ProgramStore& store, int slot);
// Writes both tail bytes; the 540S and the RK-540 also get command 46 with the line-out byte and
// command 17 with the trigger byte. The RK-360 and RL-4800 keep them on the PC only.
protocol::EditResult ConfirmTrigger(protocol::ProgramStore& store, int slot,
                                    const TriggerSettings& settings);

// Group k's three bytes from its three sliders, which run the other way.
std::array<uint8_t, 3> SleepGroupFromSliders(const std::array<int, 3>& sliders);
std::array<int, 3> SleepSlidersOf(const SleepTable& table, int group);
// "Time:" and the group's count x 0.00937 ms, cut to two decimals: "Time:78601.24 ms".
QString SleepTimeText(int32_t count);
// Stores the group in the table and sends it (command 52).
protocol::EditResult SendSleepGroup(protocol::ProgramStore& store, SleepTable& table, int slot,
                                    int group, const std::array<uint8_t, 3>& bytes);

}  // namespace tessaly::programs

#pragma once

#include <array>
#include <cstdint>

#include "protocol/Offsets.h"

namespace tessaly::protocol {

struct CrossoverState {
  int frequency = 0;  // Hz
  int slope = 0;      // index into the slope list, 0 "Bypass"
  bool operator==(const CrossoverState&) const = default;
};

inline constexpr uint8_t kDelayUnitTime = 0;
inline constexpr uint8_t kDelayUnitMeter = 1;

inline constexpr std::array<uint8_t, 4> kDefaultSlotIp{192, 168, 0, 100};

// Editor-side state of one slot: the switches that commands send but that are not single image
// bytes, and the values the response graph reads. Channel arrays are indexed by channel number,
// band arrays by global band number, crossovers like the crossover offset table. The image masks
// are rebuilt from these flags before a mask command is sent.
struct SlotState {
  std::array<bool, kMaxChannels> mute{};
  std::array<bool, kMaxChannels> polarity{};  // true = inverted ("180'")
  std::array<bool, kMaxChannels> dynamics_bypass{};
  std::array<bool, kMaxChannels> eq_bypass{};
  std::array<bool, kMaxBands> band_bypass{};
  std::array<uint8_t, kMaxBands> band_type{};
  std::array<CrossoverState, kCrossoverCount> crossover{};
  // Per output: 0 "16 Ohm - 100V", 1 "4-8 Ohm - 70V".
  std::array<uint8_t, kOutputCount> speaker_drive{1, 1, 1};

  // Channel linking: family A links its two inputs with one flag; outputs (and every family B
  // channel) take part through link_member.
  uint8_t input_link_on = 0;
  std::array<uint8_t, kMaxChannels> link_member{};

  uint8_t noise_type = 0;    // 0 "White Noise", 1 "Pink Noise"
  uint8_t noise_level = 0;   // 0..40, shown as level - 40 dB
  uint8_t noise_enable = 0;  // family B
  uint8_t meter_mode = 2;
  uint8_t standby = 1;
  uint8_t sleep_mode = 0;
  uint8_t delay_unit = kDelayUnitMeter;
  // Read from the device when it is opened; the editor shows lock and password, keeps the rest.
  uint8_t lock = 0;
  uint8_t password = 0;
  std::array<uint8_t, kTailKeptCount> kept_settings{};

  std::array<uint8_t, 4> ip = kDefaultSlotIp;
  bool operator==(const SlotState&) const = default;
};

}  // namespace tessaly::protocol

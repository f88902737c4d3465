#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tessaly::protocol {

inline constexpr int kMeterPoints = 3;
inline constexpr int kMeterLeds = 9;
inline constexpr int kMeterChannelsMax = 7;
inline constexpr double kSilentDb = -60.0;

// One channel of a meter reply: its three meter points, in the order the device sends them.
struct MeterChannel {
  std::array<double, kMeterPoints> level_db{kSilentDb, kSilentDb, kSilentDb};
  std::array<int, kMeterPoints> leds{};
  bool clip = false;  // the reply flags the first five channels only
  bool limit = false;
  std::optional<double> gain_reduction_db;  // none when the reply holds no word for the channel
};

// A decoded meter reply; channels in editor order (inputs first).
struct MeterReading {
  std::array<MeterChannel, kMeterChannelsMax> channels{};
  int channel_count = 0;
  bool standby = false;
  bool sleep = false;
  uint8_t extra_flags = 0;  // the third status byte: the device's diagnostics

  std::span<const MeterChannel> Channels() const {
    return std::span<const MeterChannel>(channels).first(static_cast<size_t>(channel_count));
  }
};

// The reply length of the meter poll for a device type: 33 bytes, 42 on family B.
int MeterReplySize(int device_type);
int MeterChannelCount(int device_type);

// 20 log10(b / 127) plus the type's offset; 0 means no signal.
double MeterLevelDb(uint8_t level_byte, int device_type);
// How many of the bar's nine LEDs a level lights.
int LitLeds(double level_db);
// 20 log10(w / 32767); a word of 0 counts as 1.
double GainReductionDb(uint16_t word);

// Nothing when the reply is too short or its echoed command or end byte is wrong: a stray answer
// must not move the meters.
std::optional<MeterReading> DecodeMeterReply(std::span<const uint8_t> reply, int device_type);

// What a device without a link shows: silence, nothing flagged, no gain reduction.
std::vector<uint8_t> DemoMeterReply(int device_type);

}  // namespace tessaly::protocol

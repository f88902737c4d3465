#include "protocol/MeterReading.h"

#include <cmath>

#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "device/PacketFormat.h"

namespace tessaly::protocol {
namespace {

constexpr int kLevelStart = 4;
constexpr double kOffsetRk360 = 11.1;
constexpr double kOffsetOthers = 10.6;
constexpr double kFullScaleByte = 127.0;
constexpr double kFullScaleWord = 32767.0;
constexpr uint16_t kDemoWord = 32767;
constexpr int kStandbyBit = 5;
constexpr int kSleepBit = 6;
// The status bytes carry clip and limiter bits for the first five channels only.
constexpr int kFlaggedChannels = 5;

// Lit when the level reaches them, bottom LED first.
constexpr std::array<double, kMeterLeds> kLedThresholds = {-15.93, -13.2, -9.3, -6.5, -3.3,
                                                           -0.3,   2.7,   5.7,  8.7};

struct Layout {
  int channels;
  int status;  // the three status bytes follow the levels
  int words;   // the gain-reduction words follow the status bytes
};

Layout LayoutOf(int device_type) {
  const int channels = MeterChannelCount(device_type);
  const int status = kLevelStart + kMeterPoints * channels;
  return {channels, status, status + 3};
}

bool Bit(uint8_t byte, int bit) { return ((byte >> bit) & 1) != 0; }

}  // namespace

int MeterReplySize(int device_type) {
  return device::IsFamilyB(device_type) ? device::kMeterReplyFamilyB : device::kMeterReplyFamilyA;
}

int MeterChannelCount(int device_type) { return device::IsFamilyB(device_type) ? 7 : 5; }

double MeterLevelDb(uint8_t level_byte, int device_type) {
  if (level_byte == 0) return kSilentDb;
  const double offset = device_type == device::kTypeRk360 ? kOffsetRk360 : kOffsetOthers;
  return 20.0 * std::log10(level_byte / kFullScaleByte) + offset;
}

int LitLeds(double level_db) {
  int lit = 0;
  for (const double threshold : kLedThresholds) lit += level_db >= threshold ? 1 : 0;
  return lit;
}

double GainReductionDb(uint16_t word) {
  return 20.0 * std::log10((word == 0 ? 1 : word) / kFullScaleWord);
}

std::optional<MeterReading> DecodeMeterReply(std::span<const uint8_t> reply, int device_type) {
  const int size = MeterReplySize(device_type);
  if (static_cast<int>(reply.size()) < size || reply[device::kCommandByte] != device::kCmdMeters ||
      reply[static_cast<size_t>(size - 1)] != device::kEndMarker) {
    return std::nullopt;
  }
  const Layout layout = LayoutOf(device_type);
  const auto at = [&](int index) { return reply[static_cast<size_t>(index)]; };
  MeterReading reading;
  reading.channel_count = layout.channels;
  for (int k = 0; k < kMeterPoints * layout.channels; ++k) {
    MeterChannel& channel = reading.channels[static_cast<size_t>(k % layout.channels)];
    const auto point = static_cast<size_t>(k / layout.channels);
    channel.level_db[point] = MeterLevelDb(at(kLevelStart + k), device_type);
    channel.leds[point] = LitLeds(channel.level_db[point]);
  }
  // Both families: clip bits 0 to 4, standby bit 5 and sleep bit 6 in the first status byte,
  // limiter bits 0 to 4 in the second; the third is the device's diagnostics.
  const uint8_t first = at(layout.status);
  const uint8_t limits = at(layout.status + 1);
  reading.extra_flags = at(layout.status + 2);
  reading.standby = Bit(first, kStandbyBit);
  reading.sleep = Bit(first, kSleepBit);
  // Only whole words before the end byte count: five on family A, six on family B, so the last
  // family B output has none.
  const int words = (size - 1 - layout.words) / 2;
  for (int c = 0; c < layout.channels; ++c) {
    MeterChannel& channel = reading.channels[static_cast<size_t>(c)];
    channel.clip = c < kFlaggedChannels && Bit(first, c);
    channel.limit = c < kFlaggedChannels && Bit(limits, c);
    if (c < words) {
      const int first = layout.words + 2 * c;
      channel.gain_reduction_db =
          GainReductionDb(static_cast<uint16_t>(at(first) << 8 | at(first + 1)));
    }
  }
  return reading;
}

std::vector<uint8_t> DemoMeterReply(int device_type) {
  const int size = MeterReplySize(device_type);
  std::vector<uint8_t> reply(static_cast<size_t>(size), 0);
  reply[0] = static_cast<uint8_t>(device::kLengthBase + size);
  reply[1] = device::kPacketTag;
  reply[device::kCommandByte] = device::kCmdMeters;
  reply[static_cast<size_t>(size - 1)] = device::kEndMarker;
  for (int at = LayoutOf(device_type).words; at + 1 < size - 1; at += 2) {
    reply[static_cast<size_t>(at)] = kDemoWord >> 8;
    reply[static_cast<size_t>(at + 1)] = kDemoWord & 0xFF;
  }
  return reply;
}

}  // namespace tessaly::protocol

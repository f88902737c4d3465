// Any bytes as a meter reply for any device type: decoded or refused, never read past the reply,
// and a decoded reading stays within what the meters can show.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/MeterReading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaly::protocol;
  if (size < 1) return 0;
  const int device_type = data[0] % 5;
  const auto reading = DecodeMeterReply(std::span<const uint8_t>(data + 1, size - 1), device_type);
  if (!reading) return 0;
  if (reading->channel_count != MeterChannelCount(device_type)) __builtin_trap();
  for (const MeterChannel& channel : reading->Channels()) {
    for (int p = 0; p < kMeterPoints; ++p) {
      if (!std::isfinite(channel.level_db[p]) || channel.leds[p] < 0 ||
          channel.leds[p] > kMeterLeds) {
        __builtin_trap();
      }
    }
    if (channel.gain_reduction_db && !std::isfinite(*channel.gain_reduction_db)) __builtin_trap();
  }
  return 0;
}

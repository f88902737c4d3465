#pragma once

#include <QString>

namespace tessaly::protocol {

// A channel delay is whole milliseconds (16 bits) plus samples of 0.0208 ms (one byte, 0 to
// kMaxDelaySamples).
inline constexpr double kSampleMs = 0.0208;
inline constexpr double kMetresPerMs = 0.34;  // speed of sound
// What a delay may exceed its whole-millisecond limit by when typed.
inline constexpr double kDelayFractionMs = 0.9981;

// Delay shown in milliseconds, cut (not rounded) to three decimals.
double DelayMilliseconds(int milliseconds, int samples);
// The same delay as the distance sound travels in it.
double DelayMetres(int milliseconds, int samples);
// Text of the delay in the slot's display unit (kDelayUnitTime or kDelayUnitMeter, SlotState.h).
QString DelayText(int milliseconds, int samples, int unit, bool decimal_comma);

struct DelaySetting {
  int milliseconds = 0;
  int samples = 0;
  bool operator==(const DelaySetting&) const = default;
};

// Splits a typed delay (in the unit shown: ms, or metres with kDelayUnitMeter) into whole
// milliseconds and samples, clamping it to the channel's limit (DelayLimitMs in CommonOperations.h)
// plus kDelayFractionMs first.
DelaySetting DelayFromTyped(double value, int unit, int limit_ms);

}  // namespace tessaly::protocol

#include "protocol/ScaleDelay.h"

#include <algorithm>
#include <cmath>

#include "protocol/CommonOperations.h"
#include "protocol/ScaleText.h"
#include "protocol/SlotState.h"

namespace tessaly::protocol {

namespace {

// samples × 0.0208 is not exact in binary; without this margin 25 samples would show as
// 0.519 instead of 0.52 after the cut to three decimals.
constexpr double kCutMargin = 1e-7;

}  // namespace

double DelayMilliseconds(int milliseconds, int samples) {
  const double exact = samples * kSampleMs + milliseconds;
  return std::floor(exact * 1000.0 + kCutMargin) / 1000.0;
}

double DelayMetres(int milliseconds, int samples) {
  return DelayMilliseconds(milliseconds, samples) * kMetresPerMs;
}

QString DelayText(int milliseconds, int samples, int unit, bool decimal_comma) {
  const double shown = unit == kDelayUnitMeter ? DelayMetres(milliseconds, samples)
                                               : DelayMilliseconds(milliseconds, samples);
  return NumberText(shown, decimal_comma);
}

DelaySetting DelayFromTyped(double value, int unit, int limit_ms) {
  const double top_ms = limit_ms + kDelayFractionMs;
  if (unit == kDelayUnitMeter) {
    value = std::min(value, top_ms * kMetresPerMs) / kMetresPerMs;
  }
  value = std::min(value, top_ms);
  // 34 m / 0.34 comes out a hair below 100 in binary; it must still be 100 ms, not 99 ms and
  // 48 samples.
  const double whole = std::floor(value + kCutMargin);
  DelaySetting setting;
  setting.milliseconds = static_cast<int>(std::clamp(whole, 0.0, static_cast<double>(limit_ms)));
  const long samples = std::lround((value - whole) / kSampleMs);
  setting.samples = static_cast<int>(std::clamp(samples, 0L, static_cast<long>(kMaxDelaySamples)));
  return setting;
}

}  // namespace tessaly::protocol

#include "protocol/ScaleDelay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "protocol/CommonOperations.h"
#include "protocol/SlotState.h"

namespace tessaly::protocol {
namespace {

TEST(ScaleDelay, MillisecondsAreCutToThreeDecimals) {
  struct Case {
    int ms;
    int samples;
    double shown;
  };
  const std::vector<Case> cases = {
      {0, 0, 0},        {0, 1, 0.020},    {0, 3, 0.062},  // 0.0624 cut, not rounded
      {12, 24, 12.499}, {80, 48, 80.998}, {960, 48, 960.998}, {1, 0, 1}, {65535, 0, 65535},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(DelayMilliseconds(c.ms, c.samples), c.shown) << c.ms << "+" << c.samples;
  }
}

// Where samples × 20.8 µs is a whole number of µs the cut must not lose one to binary noise.
TEST(ScaleDelay, WholeMicrosecondDelaysKeepTheirLastDigit) {
  for (int samples = 0; samples <= kMaxDelaySamples; samples += 5) {
    for (int ms : {0, 7, 540, 960}) {
      const double expected = ms + samples * 208 / 10 / 1000.0;
      EXPECT_DOUBLE_EQ(DelayMilliseconds(ms, samples), expected) << ms << "+" << samples;
    }
  }
}

TEST(ScaleDelay, MetresAndTexts) {
  EXPECT_DOUBLE_EQ(DelayMetres(100, 0), 34);
  EXPECT_DOUBLE_EQ(DelayMetres(12, 24), 12.499 * 0.34);
  EXPECT_EQ(DelayText(12, 24, kDelayUnitTime, false), "12.499");
  EXPECT_EQ(DelayText(12, 24, kDelayUnitTime, true), "12,499");
  EXPECT_EQ(DelayText(12, 24, kDelayUnitMeter, false), "4.24966");
  EXPECT_EQ(DelayText(960, 48, kDelayUnitMeter, false), "326.73932");
  EXPECT_EQ(DelayText(0, 25, kDelayUnitTime, false), "0.52");
  EXPECT_EQ(DelayText(0, 0, kDelayUnitMeter, false), "0");
}

TEST(ScaleDelay, TypedDelaySplitsIntoMillisecondsAndSamples) {
  struct Case {
    double value;
    int unit;
    int limit;
    DelaySetting expected;
  };
  const std::vector<Case> cases = {
      {100, kDelayUnitTime, 80, {80, 48}},  // 80.9981: 0.9981 / 0.0208 = 47.99
      {12.5, kDelayUnitTime, 960, {12, 24}},      {0, kDelayUnitTime, 960, {0, 0}},
      {0.011, kDelayUnitTime, 960, {0, 1}},       {0.0103, kDelayUnitTime, 960, {0, 0}},
      {960.9981, kDelayUnitTime, 960, {960, 48}}, {5000, kDelayUnitTime, 540, {540, 48}},
      {50.5, kDelayUnitTime, 50, {50, 24}},       {34, kDelayUnitMeter, 960, {100, 0}},
      {3.4, kDelayUnitMeter, 960, {10, 0}},       {6.8, kDelayUnitMeter, 960, {20, 0}},
      {1000, kDelayUnitMeter, 960, {960, 48}},  // above 326.73932 m
      {1000, kDelayUnitMeter, 50, {50, 48}},    // above 17.33932 m
      {17.33932, kDelayUnitMeter, 50, {50, 48}},  {-3, kDelayUnitTime, 960, {0, 0}},
  };
  for (const Case& c : cases) {
    const DelaySetting setting = DelayFromTyped(c.value, c.unit, c.limit);
    EXPECT_EQ(setting.milliseconds, c.expected.milliseconds) << c.value << " unit " << c.unit;
    EXPECT_EQ(setting.samples, c.expected.samples) << c.value << " unit " << c.unit;
  }
}

// What the editor shows for a setting, typed back in, gives the same setting.
TEST(ScaleDelay, ShownDelayTypedBackGivesTheSameSetting) {
  for (int ms : {0, 1, 49, 50, 79, 80, 539, 850, 960}) {
    for (int samples = 0; samples <= kMaxDelaySamples; ++samples) {
      const DelaySetting expected{ms, samples};
      EXPECT_EQ(DelayFromTyped(DelayMilliseconds(ms, samples), kDelayUnitTime, 960), expected)
          << ms << "+" << samples << " ms";
      EXPECT_EQ(DelayFromTyped(DelayMetres(ms, samples), kDelayUnitMeter, 960), expected)
          << ms << "+" << samples << " m";
    }
  }
}

}  // namespace
}  // namespace tessaly::protocol

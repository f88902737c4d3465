#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "protocol/CommonOperations.h"
#include "protocol/ScaleDelay.h"
#include "protocol/ScaleGrids.h"
#include "protocol/ScaleSnap.h"
#include "protocol/ScaleText.h"
#include "protocol/ScaleWord.h"
#include "protocol/SlotState.h"
#include "protocol/ValueLists.h"
#include "protocol/ValueScale.h"

namespace tessaly::protocol {
namespace {

struct ScaleRange {
  ScaleKind kind;
  int count;
  double first;
  double last;
  const char* unit;
  double (*shown)(int b);  // the arithmetic scales' formula; list scales have none
};

// Byte range, shown ends and formula of every parameter.
const std::vector<ScaleRange> kRanges = {
    {ScaleKind::kGain, 145, -60, 12, "dB", [](int b) { return b / 2.0 - 60; }},
    {ScaleKind::kEqGain, 61, -15, 15, "dB", [](int b) { return b / 2.0 - 15; }},
    {ScaleKind::kGateThreshold, 7, -90, -60, "dB", [](int b) { return -90 + 5.0 * b; }},
    {ScaleKind::kGateRelease, 13, 10, 1000, "ms", nullptr},
    {ScaleKind::kGateAttack, 29, 1, 1000, "ms", nullptr},
    {ScaleKind::kThreshold, 151, -18, 12, "dB", [](int b) { return b / 5.0 - 18; }},
    {ScaleKind::kRatio, 31, 2, 32, "", [](int b) { return b + 2.0; }},
    {ScaleKind::kKnee, 101, 0, 100, "%", [](int b) { return b + 0.0; }},
    {ScaleKind::kCompRelease, 30, 0.1, 3.0, "s", nullptr},
    {ScaleKind::kCompAttack, 30, 5, 200, "ms", nullptr},
    {ScaleKind::kMakeup, 25, 0, 12, "dB", [](int b) { return b / 2.0; }},
    {ScaleKind::kLimRelease, 50, 0.1, 5.0, "s", nullptr},
    {ScaleKind::kLimAttack, 41, 1, 900, "ms", nullptr},
    {ScaleKind::kNoiseLevel, 41, -40, 0, "dB", [](int b) { return b - 40.0; }},
    {ScaleKind::kSendLevel, 31, -30, 0, "dB", [](int b) { return b - 30.0; }},
    {ScaleKind::kBellQ, 101, 0.4, 128, "", nullptr},
    {ScaleKind::kNotchQ, 101, 4, 104, "", [](int b) { return b + 4.0; }},
    {ScaleKind::kOtherQ, 101, 0.1, 5.1, "", [](int b) { return 0.1 + 0.05 * b; }},
};

// Every byte: its value, the round trip through value and shown text, and the upside-down slider.
TEST(ValueScale, EveryKindHasItsRangeFormulaAndSlider) {
  ASSERT_EQ(static_cast<int>(kRanges.size()), kScaleKindCount);
  for (const ScaleRange& r : kRanges) {
    SCOPED_TRACE(static_cast<int>(r.kind));
    const ValueScale& scale = ScaleOf(r.kind);
    EXPECT_EQ(scale.kind(), r.kind);
    ASSERT_EQ(scale.Count(), r.count);
    EXPECT_EQ(scale.TopByte(), r.count - 1);
    EXPECT_DOUBLE_EQ(scale.Minimum(), r.first);
    EXPECT_DOUBLE_EQ(scale.Maximum(), r.last);
    EXPECT_EQ(scale.Unit(), QString(r.unit));
    for (int b = 0; b < r.count; ++b) {
      if (r.shown) {
        EXPECT_NEAR(scale.ValueOf(b), r.shown(b), 1e-12) << "byte " << b;
      }
      EXPECT_EQ(scale.ByteOf(scale.ValueOf(b)), b) << "byte " << b;
      EXPECT_EQ(scale.ByteAtSlider(r.count - b), b);
      EXPECT_EQ(scale.SliderPosition(b), r.count - b);
      if (r.kind == ScaleKind::kRatio) continue;  // "4:1" is read up to the ":" by the editor
      // The text the editor shows, typed back, lands on the same byte.
      EXPECT_EQ(scale.ByteOf(scale.Text(b, false).toDouble()), b)
          << scale.Text(b, false).toStdString();
    }
    EXPECT_DOUBLE_EQ(scale.ValueOf(r.count - 1), r.last);
    // Past the ends the slider stops at its ends.
    EXPECT_EQ(scale.ByteAtSlider(0), r.count - 1);
    EXPECT_EQ(scale.ByteAtSlider(r.count + 5), 0);
    EXPECT_EQ(scale.SliderPosition(r.count + 5), 1);
    EXPECT_EQ(scale.SliderPosition(-1), r.count);
  }
}

TEST(ValueScale, TextsAndValuesPastTheEnds) {
  struct Case {
    ScaleKind kind;
    int byte;
    const char* point;
    const char* comma;
  };
  const std::vector<Case> cases = {
      {ScaleKind::kGain, 127, "3.5", "3,5"},
      {ScaleKind::kGain, 119, "-0.5", "-0,5"},
      {ScaleKind::kThreshold, 1, "-17.8", "-17,8"},
      {ScaleKind::kThreshold, 89, "-0.2", "-0,2"},
      {ScaleKind::kRatio, 20, "22:1", "22:1"},
      {ScaleKind::kOtherQ, 3, "0.25", "0,25"},
      {ScaleKind::kBellQ, 9, "0.67", "0,67"},
      {ScaleKind::kLimRelease, 20, "2.1", "2,1"},
      {ScaleKind::kCompRelease, 10, "1.1", "1,1"},
      {ScaleKind::kGateThreshold, 2, "-80", "-80"},
      // A byte beyond the scale (a damaged preset or project file) shows as the nearest end.
      {ScaleKind::kGain, 255, "12", "12"},
      {ScaleKind::kLimRelease, 50, "5.0", "5,0"},
      {ScaleKind::kRatio, 31, "32:1", "32:1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleOf(c.kind).Text(c.byte, false), QString(c.point)) << c.point;
    EXPECT_EQ(ScaleOf(c.kind).Text(c.byte, true), QString(c.comma)) << c.comma;
  }
  const ValueScale& gain = ScaleOf(ScaleKind::kGain);
  EXPECT_FALSE(gain.Contains(145));
  EXPECT_FALSE(gain.Contains(-1));
  EXPECT_TRUE(gain.Contains(144));
  EXPECT_DOUBLE_EQ(gain.ValueOf(-1), -60);
  // Typed values past the ends land on the ends.
  EXPECT_EQ(gain.SliderPosition(gain.ByteOf(13)), 1);
  EXPECT_EQ(gain.SliderPosition(gain.ByteOf(-70)), 145);
  EXPECT_EQ(gain.ByteOf(3.3), 127);
  const ValueScale& threshold = ScaleOf(ScaleKind::kThreshold);
  EXPECT_EQ(threshold.Text(threshold.ByteOf(20), false), "12");
  EXPECT_EQ(threshold.Text(threshold.ByteOf(-25), false), "-18");
  EXPECT_EQ(EqQScale(0).kind(), ScaleKind::kBellQ);
  for (int type = 1; type <= 4; ++type) EXPECT_EQ(EqQScale(type).kind(), ScaleKind::kOtherQ);
  EXPECT_EQ(EqQScale(5).kind(), ScaleKind::kNotchQ);
}

// Every snapping operation, the grid it snaps onto, and what it gives above the top step.
struct SnapOp {
  const char* name;
  std::span<const double> grid;
  bool returns_index;
  std::function<double(double)> snap;
  double above_top;
};

TEST(ScaleSnap, MidpointsGoDownAnythingPastThemGoesUpAndEndsHold) {
  const std::vector<SnapOp> ops = {
      {"SnapGateThreshold", kGateThresholdGrid, false, SnapGateThreshold, -60},
      {"SnapGateRelease", GateReleaseList, true, SnapGateRelease, 12},
      {"SnapGateAttack", GateAttackList, true, SnapGateAttack, 28},
      {"SnapMakeup", kMakeupGrid, false, SnapMakeup, 12},
      {"SnapThreshold", kThresholdGrid, false, SnapThreshold, 12},
      {"SnapRatio", kRatioGrid, false, SnapRatio, 32},
      {"SnapCompRelease", CompReleaseList, true, SnapCompRelease, 29},
      {"SnapCompAttack", CompAttackList, true, SnapCompAttack, 29},
      {"SnapLimRelease", LimReleaseList, true, SnapLimRelease, 49},
      {"SnapLimAttack", LimAttackList, true, SnapLimAttack, 40},
      {"SnapEqGain", kEqGainGrid, false, SnapEqGain, 15},
      {"SnapNoiseLevel", kNoiseLevelGrid, false, SnapNoiseLevel, 0},
      {"SnapGain", kGainGrid, false, SnapGain, 12},
      {"SnapSendLevel", kSendLevelGrid, false, SnapSendLevel, 0},
      {"SnapEqQ bell", BellQTable, true, [](double q) { return SnapEqQ(q, kQClassBell); }, 100},
      {"SnapEqQ other", kOtherQGrid, true, [](double q) { return SnapEqQ(q, kQClassOther); }, 100},
      {"SnapEqQ notch", kNotchQGrid, true, [](double q) { return SnapEqQ(q, kQClassNotch); }, 100},
  };
  for (const SnapOp& op : ops) {
    SCOPED_TRACE(op.name);
    const auto expected = [&](size_t k) { return op.returns_index ? k : op.grid[k]; };
    for (size_t k = 0; k + 1 < op.grid.size(); ++k) {
      const double mid = (op.grid[k] + op.grid[k + 1]) / 2;
      const double nudge = (op.grid[k + 1] - op.grid[k]) / 100;
      EXPECT_DOUBLE_EQ(op.snap(mid), expected(k)) << "midpoint above step " << k;
      EXPECT_DOUBLE_EQ(op.snap(mid - nudge), expected(k)) << "below midpoint " << k;
      EXPECT_DOUBLE_EQ(op.snap(mid + nudge), expected(k + 1)) << "above midpoint " << k;
    }
    EXPECT_DOUBLE_EQ(op.snap(op.grid.front() - 0.001), expected(0));
    EXPECT_DOUBLE_EQ(op.snap(op.grid.front() - 1e6), expected(0));
    EXPECT_DOUBLE_EQ(op.snap(op.grid.back() + 0.001), op.above_top);
    EXPECT_DOUBLE_EQ(op.snap(op.grid.back() + 1e6), op.above_top);
  }
  EXPECT_EQ(SnapIndex({}, 1.0), -1);
}

// Typed decimals are not exact in binary; a typed midpoint must still go down and a typed step
// must still hit that step.
TEST(ScaleSnap, TypedDecimalsFollowTheRuleDespiteBinaryNoise) {
  EXPECT_DOUBLE_EQ(SnapGain(3.25), 3.0);
  EXPECT_DOUBLE_EQ(SnapThreshold(-17.9), -18);
  EXPECT_DOUBLE_EQ(SnapThreshold(-17.7), -17.8);
  EXPECT_DOUBLE_EQ(SnapThreshold(0.3), 0.2);
  EXPECT_DOUBLE_EQ(SnapThreshold(11.9), 11.8);
  EXPECT_DOUBLE_EQ(SnapThreshold(-17.8), -17.8);
  EXPECT_EQ(SnapCompRelease(0.15), 0);
  EXPECT_EQ(SnapCompRelease(2.95), 28);
  EXPECT_EQ(SnapLimRelease(0.35), 2);
  EXPECT_EQ(SnapLimRelease(0.3), 2);
  EXPECT_EQ(SnapEqQ(0.125, kQClassOther), 0);
  EXPECT_EQ(SnapEqQ(0.15, kQClassOther), 1);
  EXPECT_EQ(SnapEqQ(0.41, kQClassBell), 0);  // midpoint of 0.4 and 0.42
  EXPECT_EQ(SnapEqQ(0.7, kQClassBell), 10);  // 0.71 is nearer than 0.67
  // Any class but Bell and Notch means the other types.
  EXPECT_EQ(SnapEqQ(1.0, 7), 18);
  EXPECT_EQ(SnapEqQ(1.0, -1), 18);
}

TEST(ScaleText, NumberTextIsTheShortestForm) {
  struct Case {
    double value;
    const char* point;
    const char* comma;
  };
  const std::vector<Case> cases = {{0, "0", "0"},
                                   {-0.0, "0", "0"},
                                   {3.5, "3.5", "3,5"},
                                   {-60, "-60", "-60"},
                                   {(1 - 90) / 5.0, "-17.8", "-17,8"},
                                   {20000, "20000", "20000"},
                                   {0.1 + 0.05 * 3, "0.25", "0,25"},  // binary noise rounded away
                                   {0.0001, "0.0001", "0,0001"},
                                   {960.998 * 0.34, "326.73932", "326,73932"}};
  for (const Case& c : cases) {
    EXPECT_EQ(NumberText(c.value, false), QString(c.point)) << c.value;
    EXPECT_EQ(NumberText(c.value, true), QString(c.comma)) << c.value;
  }
  EXPECT_EQ(OneDecimalText(-0.01, false), "0.0");
  EXPECT_EQ(FormatTwoDigits(7), "07");
  EXPECT_EQ(FormatTwoDigits(123), "123");
  EXPECT_EQ(NoiseLevelText(27), "-13");
}

TEST(ScaleText, ParseNumberText) {
  const std::vector<std::pair<const char*, double>> good = {
      {"3.3", 3.3}, {"3,3", 3.3}, {"-60", -60}, {"+12", 12},     {"  12.5 ", 12.5},
      {".5", 0.5},  {"5.", 5},    {"0", 0},     {"-0,25", -0.25}};
  for (const auto& [text, value] : good) {
    const std::optional<double> parsed = ParseNumberText(QString::fromLatin1(text));
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_DOUBLE_EQ(*parsed, value) << text;
  }
  for (const char* bad :
       {"", "   ", "-", ".", "abc", "1?", "1.2.3", "1,2.3", "1e5", "inf", "5-", "+-5", "1 2"}) {
    EXPECT_FALSE(ParseNumberText(QString::fromLatin1(bad)).has_value()) << '"' << bad << '"';
  }
}

TEST(ScaleWord, SplitJoinAndTypedFrequency) {
  EXPECT_EQ(SplitWord(19999.6), (WordBytes{78, 32}));
  EXPECT_EQ(SplitWord(65536), (WordBytes{0, 0}));  // only the low 16 bits travel
  for (int value = 0; value <= 0xFFFF; ++value) {
    const WordBytes word = SplitWord(value);
    ASSERT_EQ(JoinWord(word.high, word.low), value);
    if (value == 2049) {
      EXPECT_EQ(word, (WordBytes{8, 1}));
    }
  }
  const std::vector<std::pair<double, int>> typed = {{25000, 20000}, {5, 20},    {1000.4, 1000},
                                                     {1000.5, 1001}, {-100, 20}, {19.6, 20}};
  for (const auto& [value, hz] : typed) EXPECT_EQ(FrequencyFromTyped(value), hz) << value;
}

TEST(ScaleDelay, ShownDelayIsCutAndTypedBackGivesTheSameSetting) {
  EXPECT_DOUBLE_EQ(DelayMilliseconds(0, 1), 0.020);  // 0.0208 cut, not rounded
  EXPECT_DOUBLE_EQ(DelayMilliseconds(12, 24), 12.499);
  EXPECT_DOUBLE_EQ(DelayMilliseconds(65535, 0), 65535);
  EXPECT_DOUBLE_EQ(DelayMetres(12, 24), 12.499 * 0.34);
  EXPECT_EQ(DelayText(12, 24, kDelayUnitTime, true), "12,499");
  EXPECT_EQ(DelayText(12, 24, kDelayUnitMeter, false), "4.24966");
  EXPECT_EQ(DelayText(0, 25, kDelayUnitTime, false), "0.52");
  for (int ms : {0, 1, 7, 49, 50, 79, 80, 539, 540, 850, 960}) {
    for (int samples = 0; samples <= kMaxDelaySamples; ++samples) {
      // Where samples x 20.8 us is a whole number of us the cut must not lose one to noise.
      if (samples % 5 == 0) {
        EXPECT_DOUBLE_EQ(DelayMilliseconds(ms, samples), ms + samples * 208 / 10 / 1000.0);
      }
      const DelaySetting expected{ms, samples};
      EXPECT_EQ(DelayFromTyped(DelayMilliseconds(ms, samples), kDelayUnitTime, 960), expected)
          << ms << "+" << samples << " ms";
      EXPECT_EQ(DelayFromTyped(DelayMetres(ms, samples), kDelayUnitMeter, 960), expected)
          << ms << "+" << samples << " m";
    }
  }
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
      {0.011, kDelayUnitTime, 960, {0, 1}},   {0.0103, kDelayUnitTime, 960, {0, 0}},
      {5000, kDelayUnitTime, 540, {540, 48}}, {50.5, kDelayUnitTime, 50, {50, 24}},
      {3.4, kDelayUnitMeter, 960, {10, 0}},   {1000, kDelayUnitMeter, 960, {960, 48}},
      {1000, kDelayUnitMeter, 50, {50, 48}},  {-3, kDelayUnitTime, 960, {0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DelayFromTyped(c.value, c.unit, c.limit), c.expected) << c.value << " " << c.unit;
  }
}

}  // namespace
}  // namespace tessaly::protocol

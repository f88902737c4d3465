#include "protocol/ValueScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "protocol/ValueLists.h"

namespace tessaly::protocol {
namespace {

struct ScaleRange {
  ScaleKind kind;
  const char* name;
  int count;
  double first;
  double last;
  const char* unit;
};

// Byte range and shown ends of every parameter.
const std::vector<ScaleRange> kRanges = {
    {ScaleKind::kGain, "gain", 145, -60, 12, "dB"},
    {ScaleKind::kEqGain, "EQ gain", 61, -15, 15, "dB"},
    {ScaleKind::kGateThreshold, "gate threshold", 7, -90, -60, "dB"},
    {ScaleKind::kGateRelease, "gate release", 13, 10, 1000, "ms"},
    {ScaleKind::kGateAttack, "gate attack", 29, 1, 1000, "ms"},
    {ScaleKind::kThreshold, "threshold", 151, -18, 12, "dB"},
    {ScaleKind::kRatio, "ratio", 31, 2, 32, ""},
    {ScaleKind::kKnee, "knee", 101, 0, 100, "%"},
    {ScaleKind::kCompRelease, "compressor release", 30, 0.1, 3.0, "s"},
    {ScaleKind::kCompAttack, "compressor attack", 30, 5, 200, "ms"},
    {ScaleKind::kMakeup, "makeup", 25, 0, 12, "dB"},
    {ScaleKind::kLimRelease, "limiter release", 50, 0.1, 5.0, "s"},
    {ScaleKind::kLimAttack, "limiter attack", 41, 1, 900, "ms"},
    {ScaleKind::kNoiseLevel, "noise level", 41, -40, 0, "dB"},
    {ScaleKind::kSendLevel, "send level", 31, -30, 0, "dB"},
    {ScaleKind::kBellQ, "Bell Q", 101, 0.4, 128, ""},
    {ScaleKind::kNotchQ, "Notch Q", 101, 4, 104, ""},
    {ScaleKind::kOtherQ, "other Q", 101, 0.1, 5.1, ""},
};

TEST(ValueScale, EveryKindHasItsRange) {
  ASSERT_EQ(static_cast<int>(kRanges.size()), kScaleKindCount);
  for (const ScaleRange& r : kRanges) {
    SCOPED_TRACE(r.name);
    const ValueScale& scale = ScaleOf(r.kind);
    EXPECT_EQ(scale.kind(), r.kind);
    EXPECT_EQ(scale.Count(), r.count);
    EXPECT_EQ(scale.TopByte(), r.count - 1);
    EXPECT_DOUBLE_EQ(scale.Minimum(), r.first);
    EXPECT_DOUBLE_EQ(scale.Maximum(), r.last);
    EXPECT_DOUBLE_EQ(scale.ValueOf(0), r.first);
    EXPECT_DOUBLE_EQ(scale.ValueOf(r.count - 1), r.last);
    EXPECT_EQ(scale.Unit(), QString(r.unit));
  }
}

TEST(ValueScale, ArithmeticScalesFollowTheirFormula) {
  struct Formula {
    ScaleKind kind;
    const char* name;
    double (*shown)(int b);
  };
  const std::vector<Formula> formulas = {
      {ScaleKind::kGain, "gain", [](int b) { return b / 2.0 - 60; }},
      {ScaleKind::kEqGain, "EQ gain", [](int b) { return b / 2.0 - 15; }},
      {ScaleKind::kGateThreshold, "gate threshold", [](int b) { return -90 + 5.0 * b; }},
      {ScaleKind::kThreshold, "threshold", [](int b) { return b / 5.0 - 18; }},
      {ScaleKind::kRatio, "ratio", [](int b) { return b + 2.0; }},
      {ScaleKind::kKnee, "knee", [](int b) { return b + 0.0; }},
      {ScaleKind::kMakeup, "makeup", [](int b) { return b / 2.0; }},
      {ScaleKind::kNoiseLevel, "noise level", [](int b) { return b - 40.0; }},
      {ScaleKind::kSendLevel, "send level", [](int b) { return b - 30.0; }},
      {ScaleKind::kNotchQ, "Notch Q", [](int b) { return b + 4.0; }},
      {ScaleKind::kOtherQ, "other Q", [](int b) { return 0.1 + 0.05 * b; }},
  };
  for (const Formula& f : formulas) {
    SCOPED_TRACE(f.name);
    const ValueScale& scale = ScaleOf(f.kind);
    for (int b = 0; b < scale.Count(); ++b) {
      EXPECT_NEAR(scale.ValueOf(b), f.shown(b), 1e-12) << "byte " << b;
    }
  }
}

TEST(ValueScale, EveryByteRoundTripsThroughItsValueAndItsText) {
  for (const ScaleRange& r : kRanges) {
    SCOPED_TRACE(r.name);
    const ValueScale& scale = ScaleOf(r.kind);
    for (int b = 0; b < scale.Count(); ++b) {
      EXPECT_EQ(scale.ByteOf(scale.ValueOf(b)), b) << "byte " << b;
      // The text the editor shows, typed back, lands on the same byte.
      if (r.kind == ScaleKind::kRatio) continue;  // "4:1" is read up to the ":" by the editor
      bool ok = false;
      const double typed = scale.Text(b, false).toDouble(&ok);
      ASSERT_TRUE(ok) << scale.Text(b, false).toStdString();
      EXPECT_EQ(scale.ByteOf(typed), b) << "text " << scale.Text(b, false).toStdString();
    }
  }
}

TEST(ValueScale, SlidersAreUpsideDown) {
  for (const ScaleRange& r : kRanges) {
    SCOPED_TRACE(r.name);
    const ValueScale& scale = ScaleOf(r.kind);
    const int n = scale.Count();
    for (int position = 1; position <= n; ++position) {
      EXPECT_EQ(scale.ByteAtSlider(position), n - position);
      EXPECT_EQ(scale.SliderPosition(scale.ByteAtSlider(position)), position);
    }
    // Past the ends the slider stops at its ends.
    EXPECT_EQ(scale.ByteAtSlider(0), n - 1);
    EXPECT_EQ(scale.ByteAtSlider(n + 5), 0);
    EXPECT_EQ(scale.SliderPosition(n + 5), 1);
    EXPECT_EQ(scale.SliderPosition(-1), n);
  }
}

// The editors compute the slider index of a typed value with their own formulas; the scale
// must agree with every one of them over the whole typed range.
TEST(ValueScale, SliderPositionOfTypedValuesMatchesTheEditorFormulas) {
  struct EditorFormula {
    ScaleKind kind;
    const char* name;
    double typed_low;
    double typed_high;
    double typed_step;
    int (*index)(double snapped);
  };
  const std::vector<EditorFormula> formulas = {
      {ScaleKind::kGain, "gain", -60, 12, 0.1,
       [](double v) { return static_cast<int>(std::floor(24 - 2 * v)) + 1; }},
      {ScaleKind::kEqGain, "EQ gain", -15, 15, 0.1,
       [](double v) { return static_cast<int>(std::floor(30 - 2 * v)) + 1; }},
      {ScaleKind::kGateThreshold, "gate threshold", -90, -60, 1,
       [](double v) { return static_cast<int>(std::lround(-11 - v / 5)); }},
      {ScaleKind::kThreshold, "threshold", -18, 12, 0.05,
       [](double v) { return static_cast<int>(std::lround(60 - 5 * v)) + 1; }},
      {ScaleKind::kKnee, "knee", 0, 100, 1, [](double v) { return static_cast<int>(101 - v); }},
      {ScaleKind::kMakeup, "makeup", 0, 12, 0.1,
       [](double v) { return static_cast<int>(std::lround(24 - 2 * v)) + 1; }},
      {ScaleKind::kNoiseLevel, "noise level", -40, 0, 0.25,
       [](double v) { return static_cast<int>(std::lround(-v)) + 1; }},
      {ScaleKind::kRatio, "ratio", 2, 32, 0.25,
       [](double v) { return 31 - static_cast<int>(std::lround(v - 2)); }},
  };
  for (const EditorFormula& f : formulas) {
    SCOPED_TRACE(f.name);
    const ValueScale& scale = ScaleOf(f.kind);
    const int steps = static_cast<int>(std::lround((f.typed_high - f.typed_low) / f.typed_step));
    for (int i = 0; i <= steps; ++i) {
      const double typed = f.typed_low + i * f.typed_step;
      const int position = scale.SliderPosition(scale.ByteOf(typed));
      EXPECT_EQ(position, f.index(scale.Snap(typed))) << "typed " << typed;
    }
  }
}

// Typed values past the ends land on the ends, and the text shown for them is the end's.
TEST(ValueScale, TypedValuesPastTheEnds) {
  const ValueScale& gain = ScaleOf(ScaleKind::kGain);
  EXPECT_EQ(gain.SliderPosition(gain.ByteOf(13)), 1);
  EXPECT_EQ(gain.SliderPosition(gain.ByteOf(-70)), 145);
  EXPECT_EQ(gain.ByteOf(3.3), 127);
  const ValueScale& threshold = ScaleOf(ScaleKind::kThreshold);
  EXPECT_EQ(threshold.Text(threshold.ByteOf(20), false), "12");
  EXPECT_EQ(threshold.Text(threshold.ByteOf(-25), false), "-18");
  const ValueScale& gate = ScaleOf(ScaleKind::kGateThreshold);
  EXPECT_EQ(gate.Text(gate.ByteOf(-62), false), "-60");
}

TEST(ValueScale, TextsOfTheArithmeticScales) {
  struct Case {
    ScaleKind kind;
    int byte;
    const char* point;
    const char* comma;
  };
  const std::vector<Case> cases = {
      {ScaleKind::kGain, 127, "3.5", "3,5"},        {ScaleKind::kGain, 120, "0", "0"},
      {ScaleKind::kGain, 0, "-60", "-60"},          {ScaleKind::kGain, 144, "12", "12"},
      {ScaleKind::kGain, 119, "-0.5", "-0,5"},      {ScaleKind::kThreshold, 1, "-17.8", "-17,8"},
      {ScaleKind::kThreshold, 89, "-0.2", "-0,2"},  {ScaleKind::kThreshold, 150, "12", "12"},
      {ScaleKind::kRatio, 0, "2:1", "2:1"},         {ScaleKind::kRatio, 20, "22:1", "22:1"},
      {ScaleKind::kRatio, 30, "32:1", "32:1"},      {ScaleKind::kMakeup, 1, "0.5", "0,5"},
      {ScaleKind::kNoiseLevel, 0, "-40", "-40"},    {ScaleKind::kNoiseLevel, 40, "0", "0"},
      {ScaleKind::kSendLevel, 24, "-6", "-6"},      {ScaleKind::kEqGain, 31, "0.5", "0,5"},
      {ScaleKind::kOtherQ, 3, "0.25", "0,25"},      {ScaleKind::kOtherQ, 100, "5.1", "5,1"},
      {ScaleKind::kNotchQ, 100, "104", "104"},      {ScaleKind::kBellQ, 9, "0.67", "0,67"},
      {ScaleKind::kLimRelease, 20, "2.1", "2,1"},   {ScaleKind::kCompRelease, 10, "1.1", "1,1"},
      {ScaleKind::kGateThreshold, 2, "-80", "-80"},
  };
  for (const Case& c : cases) {
    const ValueScale& scale = ScaleOf(c.kind);
    EXPECT_EQ(scale.Text(c.byte, false), QString(c.point)) << c.point;
    EXPECT_EQ(scale.Text(c.byte, true), QString(c.comma)) << c.comma;
  }
}

// A byte beyond the scale (a damaged preset or project file) shows as the nearest end.
TEST(ValueScale, BytesOutsideTheScaleReadAsItsEnds) {
  const ValueScale& gain = ScaleOf(ScaleKind::kGain);
  EXPECT_FALSE(gain.Contains(145));
  EXPECT_FALSE(gain.Contains(-1));
  EXPECT_TRUE(gain.Contains(144));
  EXPECT_DOUBLE_EQ(gain.ValueOf(200), 12);
  EXPECT_DOUBLE_EQ(gain.ValueOf(-1), -60);
  EXPECT_EQ(gain.Text(255, false), "12");
  const ValueScale& lim_release = ScaleOf(ScaleKind::kLimRelease);
  EXPECT_EQ(lim_release.Text(50, false), "5.0");
  EXPECT_EQ(ScaleOf(ScaleKind::kRatio).Text(31, false), "32:1");
}

TEST(ValueScale, EqQScaleFollowsTheBandType) {
  EXPECT_EQ(EqQScale(0).kind(), ScaleKind::kBellQ);
  for (int type = 1; type <= 4; ++type) EXPECT_EQ(EqQScale(type).kind(), ScaleKind::kOtherQ);
  EXPECT_EQ(EqQScale(5).kind(), ScaleKind::kNotchQ);
  // The Q byte 9 of a default band reads 0.67 on a Bell band.
  EXPECT_EQ(EqQScale(0).Text(9, false), "0.67");
}

}  // namespace
}  // namespace tessaly::protocol

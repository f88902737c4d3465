#include <gtest/gtest.h>

#include "model/ParameterDescriptor.h"

namespace tessaly::model {
namespace {

struct TextCase {
  const char* id;
  const char* typed;
  int index;
  const char* shown;
  bool unit_suffix = false;
  int device_type = 0;
  int channel = 0;
};

class TypedText : public testing::TestWithParam<TextCase> {};

TEST_P(TypedText, SnapsToTheIndexAndShowsIt) {
  const TextCase& c = GetParam();
  const ParameterDescriptor* p = FindParameter(QString::fromLatin1(c.id));
  ASSERT_NE(p, nullptr);
  ParseOptions options;
  options.unit_suffix = c.unit_suffix;
  options.device_type = c.device_type;
  options.channel = c.channel;
  options.delay_unit = 0;
  const ParseResult r = p->Parse(QString::fromLatin1(c.typed), options);
  ASSERT_TRUE(r.ok()) << c.id << " " << c.typed << ": " << r.refusal.toStdString();
  EXPECT_EQ(*r.index, c.index);
  EXPECT_EQ(p->Show(*r.index, options).toStdString(), c.shown);
}

const TextCase kTexts[] = {
    {"gain", "-6", 108, "-6 dB"},
    {"gain", "3,3", 127, "3.5 dB"},  // decimal comma, nearest step
    {"gain", "3.25", 126, "3 dB"},   // midpoint goes down... to 3.0 (byte 126)
    {"gain", "13", 144, "12 dB"},    // clamped at the top
    {"gain", "-70", 0, "-60 dB"},    // and at the bottom
    {"gain", "-6dB", 108, "-6 dB", true},
    {"comp.threshold", "-17.9", 0, "-18 dB"},  // binary doubles would go up to -17.8
    {"comp.threshold", "-17,7", 1, "-17.8 dB"},
    {"lim.threshold", "11.9", 149, "11.8 dB"},
    {"gate.threshold", "-62", 6, "-60 dB"},
    {"gate.threshold", "-87.5", 0, "-90 dB"},
    {"gate.release", "650", 8, "600 ms"},
    {"comp.ratio", "4:1", 2, "4:1"},
    {"comp.ratio", "40", 30, "32:1"},
    {"comp.release", "0.15", 0, "0.1 s"},
    {"lim.release", "1", 9, "1.0 s"},
    {"eq.N.gain", "-0.25", 29, "-0.5 dB"},
    {"eq.N.q", "1.0", 16, "1"},
    {"eq.N.freq", "999.5", 1000, "1000 Hz"},
    {"eq.N.freq", "5", 20, "20 Hz"},
    {"noise.level", "-40.5", 0, "-40 dB"},
    {"mix.IN.level", "-6", 24, "-6 dB", false, 3},
    {"delay", "12.5", 12 * kDelaySamplesPerMs + 24, "12.499 ms", false, 0, 0},
    {"delay", "12,5ms", 12 * kDelaySamplesPerMs + 24, "12.499 ms", true, 0, 0},
    {"delay", "100", 80 * kDelaySamplesPerMs + 48, "80.998 ms", false, 1, 0},
    {"mute", "on", 1, "on"},
    {"polarity", "180", 1, "inverted"},
    {"hp.slope", "-12dB/oct lr", 3, "-12dB/oct LR"},
    {"drive", "70V", 1, "4-8 Ohm - 70V"},
    {"meter", "1", 1, "Only In 2 L/R", false, 3},
    {"eq.flat", "yes", 1, "yes"},
};
INSTANTIATE_TEST_SUITE_P(Kinds, TypedText, testing::ValuesIn(kTexts));

struct RefusedCase {
  const char* id;
  const char* typed;
  const char* range_words;  // the refusal names the accepted range
};

class RefusedText : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedText, NamesTheAcceptedRange) {
  const RefusedCase& c = GetParam();
  const ParameterDescriptor* p = FindParameter(QString::fromLatin1(c.id));
  ASSERT_NE(p, nullptr);
  const ParseResult r = p->Parse(QString::fromLatin1(c.typed));
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.refusal.contains(QString::fromLatin1(c.range_words))) << r.refusal.toStdString();
}

const RefusedCase kRefused[] = {
    {"gain", "", "-60 to +12 in 0.5 dB steps"},
    {"gain", "abc", "-60 to +12"},
    {"gain", "-6dB", "dB"},  // no unit without the option
    {"gain", "1.2.3", "dB"},
    {"mute", "maybe", "on, off"},
    {"hp.slope", "9", "Bypass"},
    {"eq.flat", "no", "yes"},
};
INSTANTIATE_TEST_SUITE_P(Kinds, RefusedText, testing::ValuesIn(kRefused));

struct PositionCase {
  const char* id;
  int index;
  int slider;
  int knob_top;
};

class Positions : public testing::TestWithParam<PositionCase> {};

TEST_P(Positions, SliderAndKnobAgreeBothWays) {
  const PositionCase& c = GetParam();
  const ParameterDescriptor* p = FindParameter(QString::fromLatin1(c.id));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->SliderPosition(c.index), c.slider);
  EXPECT_EQ(p->IndexFromSlider(c.slider), c.index);
  EXPECT_EQ(p->KnobTop(c.index), c.knob_top);
  EXPECT_EQ(p->IndexFromKnob(c.knob_top), c.index);
}

const PositionCase kPositions[] = {
    {"gain", 144, 1, 360},   // +12 dB at the top
    {"gain", 120, 25, 564},  // 0 dB
    {"gain", 0, 145, 1580},     {"comp.threshold", 0, 151, 2500},
    {"comp.knee", 100, 1, 480}, {"eq.N.gain", 30, 31, 1320},
};
INSTANTIATE_TEST_SUITE_P(Kinds, Positions, testing::ValuesIn(kPositions));

TEST(KnobTrack, DraggedPastItsEndsStops) {
  const ParameterDescriptor* gain = FindParameter(u"gain");
  EXPECT_EQ(gain->IndexFromKnob(0), 144);
  EXPECT_EQ(gain->IndexFromKnob(99999), 0);
}

}  // namespace
}  // namespace tessaly::model

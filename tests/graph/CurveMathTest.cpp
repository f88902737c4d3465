#include "graph/CurveMath.h"
#include "graph/GraphScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tessaly::graph {
namespace {

constexpr double kHalfPowerDb = -3.0103;  // 10 lg(1/2)
constexpr double kOctaveDb = 6.0206;      // 20 lg 2

TEST(GraphFreqTest, SegmentsStartAndEndWhereTheyShouldAndRise) {
  const GraphFreqTable& f = GraphFreq();
  struct Point {
    int index;
    int hz;
  };
  const std::vector<Point> points{{0, 20},      {479, 499},    {480, 500},    {481, 502},
                                  {780, 1000},  {781, 1000},   {782, 1007},   {1081, 3000},
                                  {1082, 3000}, {1382, 10000}, {1383, 10000}, {1384, 10050},
                                  {1583, 20000}};
  for (const Point& p : points) EXPECT_EQ(f[p.index], p.hz) << "index " << p.index;
  // It rises and repeats only the three joins.
  std::vector<int> repeats;
  for (int i = 1; i < kGraphPoints; ++i) {
    ASSERT_GE(f[i], f[i - 1]) << "index " << i;
    if (f[i] == f[i - 1]) repeats.push_back(i);
  }
  EXPECT_EQ(repeats, (std::vector<int>{781, 1082, 1383}));
}

TEST(EffectiveQTest, PerType) {
  struct Case {
    int16_t type;
    double gain;
    double q;
    double expected;
  };
  const std::vector<Case> cases{{kBandBell, 6.0, 2.0, 2.0},
                                {kBandBell, -6.0, 2.0, 2.0},
                                {kBandBell, 12.0, 1.0, 1.0 / (1.0 + 6.0 * 1.1 / 9.0)},
                                {kBandBell, -15.0, 3.0, 3.0 / 2.1},
                                {kBandHiShelf, 10.0, 0.8, 0.4},
                                {kBandLoShelf, -3.0, 1.5, 0.75},
                                {kBandHighPass, 9.0, 0.7071, 0.7071},
                                {kBandLowPass, 9.0, 2.0, 2.0},
                                {kBandNotch, 0.0, 0.0, 11.0},
                                {kBandNotch, 0.0, 20.0, 31.0}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(EffectiveQ(c.type, c.gain, c.q), c.expected)
        << "type " << c.type << " gain " << c.gain;
  }
}

TEST(BandResponseTest, BellPeaksAtGainAndHalvesAtTheQEdges) {
  const double qe = EffectiveQ(kBandBell, 12.0, 1.0);
  EXPECT_DOUBLE_EQ(BandResponseDb(kBandBell, 12.0, 1000.0, qe, 1000.0), 12.0);
  // Where Qe * (f0/f - f/f0) = 1 the drawn bell is at half its gain.
  const double f_upper = 1000.0 * (1.0 / (2.0 * qe) + std::sqrt(1.0 / (4.0 * qe * qe) + 1.0));
  EXPECT_NEAR(BandResponseDb(kBandBell, 12.0, 1000.0, qe, f_upper), 6.0, 1e-9);
  EXPECT_NEAR(BandResponseDb(kBandBell, -12.0, 1000.0, qe, 1000.0 * 1000.0 / f_upper), -6.0, 1e-9);
}

TEST(BandResponseTest, NotchIsMinus45AtCentreWhateverQ) {
  for (double q : {0.0, 0.5, 4.0, 50.0, 104.0}) {
    const double qe = EffectiveQ(kBandNotch, 0.0, q);
    EXPECT_DOUBLE_EQ(BandResponseDb(kBandNotch, 0.0, 2500.0, qe, 2500.0), -45.0) << "Q " << q;
    EXPECT_GT(BandResponseDb(kBandNotch, 0.0, 2500.0, qe, 250.0), -1.0) << "Q " << q;
  }
}

TEST(BandResponseTest, SecondOrderPassFiltersHalfPowerAtCornerPassAndStop) {
  for (int16_t type : {kBandHighPass, kBandLowPass}) {
    for (double f0 : {20.0, 1000.0, 20000.0}) {
      EXPECT_NEAR(BandResponseDb(type, 0.0, f0, EffectiveQ(type, 0.0, 0.7071), f0), kHalfPowerDb,
                  1e-3);
    }
  }
  const double qe = 0.7071;
  EXPECT_NEAR(BandResponseDb(kBandHighPass, 0.0, 100.0, qe, 20000.0), 0.0, 1e-3);
  EXPECT_NEAR(BandResponseDb(kBandLowPass, 0.0, 10000.0, qe, 20.0), 0.0, 1e-3);
  // 12 dB per octave in the stop band.
  const double hp_slope = BandResponseDb(kBandHighPass, 0.0, 10000.0, qe, 100.0) -
                          BandResponseDb(kBandHighPass, 0.0, 10000.0, qe, 50.0);
  EXPECT_NEAR(hp_slope, 2 * kOctaveDb, 1e-3);
}

TEST(ShelfResponseTest, PlateausAndMidpoint) {
  struct Case {
    int16_t type;
    double gain;
  };
  for (const Case c : std::vector<Case>{{kBandHiShelf, 12.0},
                                        {kBandHiShelf, -9.0},
                                        {kBandLoShelf, 15.0},
                                        {kBandLoShelf, -6.0}}) {
    const double qs = EffectiveQ(c.type, c.gain, 1.0);
    const double low = ShelfResponseDb(c.type, c.gain, 1000.0, qs, 1.0);
    const double high = ShelfResponseDb(c.type, c.gain, 1000.0, qs, 1.0e6);
    EXPECT_NEAR(c.type == kBandHiShelf ? high : low, c.gain, 1e-3) << "type " << c.type;
    EXPECT_NEAR(c.type == kBandHiShelf ? low : high, 0.0, 1e-3) << "type " << c.type;
    EXPECT_NEAR(ShelfResponseDb(c.type, c.gain, 1000.0, qs, 1000.0), c.gain / 2.0, 1e-9);
    EXPECT_NEAR(BandResponseDb(c.type, c.gain, 1000.0, qs, c.type == kBandHiShelf ? 1.0e6 : 1.0),
                c.gain, 1e-3);
  }
}

TEST(XoverResponseTest, ButterworthFamilyAtCorner) {
  const double h = kHalfPowerDb;
  const std::vector<std::pair<int16_t, double>> cases{{0, 0.0},    {1, h},  {2, h},     {3, 2 * h},
                                                      {5, h},      {6, h},  {7, 2 * h}, {9, h},
                                                      {10, 2 * h}, {11, h}, {12, 2 * h}};
  for (const auto& [code, db] : cases) {
    for (bool low_pass : {false, true}) {
      EXPECT_NEAR(XoverResponseDb(code, low_pass, 1200.0, 1200.0), db, 1e-3)
          << "code " << code << (low_pass ? " LP" : " HP");
    }
  }
}

TEST(XoverResponseTest, SlopeFarFromCornerIsSixDbPerOrderPerOctave) {
  struct Case {
    int16_t code;
    int order;
  };
  const std::vector<Case> cases{{1, 1}, {2, 2}, {3, 2}, {4, 2},  {5, 3},  {6, 4},
                                {7, 4}, {8, 4}, {9, 6}, {10, 6}, {11, 8}, {12, 8}};
  for (const Case& c : cases) {
    const double lp = XoverResponseDb(c.code, true, 100.0, 20000.0) -
                      XoverResponseDb(c.code, true, 100.0, 10000.0);
    const double hp = XoverResponseDb(c.code, false, 10000.0, 25.0) -
                      XoverResponseDb(c.code, false, 10000.0, 50.0);
    EXPECT_NEAR(lp, -c.order * kOctaveDb, 0.01) << "code " << c.code;
    EXPECT_NEAR(hp, -c.order * kOctaveDb, 0.01) << "code " << c.code;
    EXPECT_NEAR(XoverResponseDb(c.code, true, 10000.0, 20.0), 0.0, 0.01) << "code " << c.code;
    EXPECT_NEAR(XoverResponseDb(c.code, false, 20.0, 20000.0), 0.0, 0.01) << "code " << c.code;
  }
}

TEST(XoverResponseTest, BesselCornersAreShifted) {
  // The second-order Bessel prototype 3 / (s^2 + 3s + 3) is half power at 1.36165 rad/s; the
  // shifted corner puts that point at 0.52 fc for code 4.
  const double fc = 1000.0;
  EXPECT_NEAR(XoverResponseDb(4, true, fc, fc * 0.52 * 1.36165), kHalfPowerDb, 1e-3);
  EXPECT_NEAR(XoverResponseDb(4, false, fc, fc / (0.52 * 1.36165)), kHalfPowerDb, 1e-3);
  EXPECT_NEAR(XoverResponseDb(8, true, fc, fc * 0.649 * 1.36165), 2 * kHalfPowerDb, 1e-3);
}

TEST(CurveMath, UnknownTypesAndCodesHaveNoCurve) {
  EXPECT_FALSE(IsKnownBandType(6));
  EXPECT_FALSE(IsKnownBandType(-1));
  EXPECT_TRUE(IsKnownBandType(kBandNotch));
  EXPECT_EQ(ShelfResponseDb(kBandBell, 12.0, 1000.0, 0.4, 1000.0), 0.0);
  for (int16_t code : {int16_t{0}, int16_t{13}, int16_t{-1}}) {
    EXPECT_EQ(XoverResponseDb(code, true, 1000.0, 19000.0), 0.0) << code;
  }
  // A slope byte becomes the rounded code.
  EXPECT_EQ(XoverCode(2.4), 2);
  EXPECT_EQ(XoverCode(2.6), 3);
  EXPECT_EQ(XoverCode(std::nan("")), -1);
}

TEST(GraphScaleTest, FrequencyAxisIsLogarithmicAcrossTheWidth) {
  EXPECT_DOUBLE_EQ(FreqToX(20.0, 600.0), 0.0);
  EXPECT_NEAR(FreqToX(20000.0, 600.0), 600.0, 1e-9);
  EXPECT_NEAR(FreqToX(200.0, 600.0), 200.0, 1e-9);
  EXPECT_NEAR(FreqToX(2000.0, 900.0), 600.0, 1e-9);
  EXPECT_DOUBLE_EQ(GraphXScale(900.0), 300.0);
  EXPECT_DOUBLE_EQ(ScaleDesignPosition(3160.0, 12600.0, 630.0), 158.0);
  EXPECT_DOUBLE_EQ(ScaleDesignPosition(100.0, 0.0, 630.0), 0.0);
}

TEST(GraphScaleTest, GainAxisRunsFromPlus30AtTopToMinus30AtBottom) {
  EXPECT_EQ(DbToY(30.0, 300.0), 0);
  EXPECT_EQ(DbToY(-30.0, 300.0), 300);
  EXPECT_EQ(DbToY(0.0, 300.0), 150);
  EXPECT_EQ(DbToY(-3.01, 300.0), 165);
  EXPECT_EQ(DbToY(45.0, 300.0), -75);  // outside, clipped by the picture
  EXPECT_DOUBLE_EQ(GraphY0(240.0), 120.0);
  EXPECT_DOUBLE_EQ(GainGridDb(0), -30.0);
  EXPECT_DOUBLE_EQ(GainGridDb(7), 5.0);
}

TEST(GraphScaleTest, ChannelColours) {
  EXPECT_EQ(ChannelColour(false, 2), (Rgb{255, 0, 255}));
  EXPECT_EQ(ChannelColour(true, 2), (Rgb{255, 128, 0}));
  EXPECT_EQ(ChannelColour(true, 4), ChannelColour(false, 2));
  EXPECT_EQ(ChannelColour(true, 6), ChannelColour(false, 4));
  EXPECT_EQ(ChannelColour(false, 5), (Rgb{}));
}

TEST(GraphScaleTest, CursorReadOut) {
  struct Case {
    double x;
    double y;
    const char* text;
  };
  const Case cases[] = {
      {600.0, 150.0, "0dB; 20000Hz"},    {0.0, 150.0, "0dB; 20Hz"},
      {200.0, 0.0, "30dB; 200Hz"},       {400.0, 300.0, "-30dB; 2000Hz"},
      {-50.0, -20.0, "30dB; 20Hz"},      {900.0, 999.0, "-30dB; 20000Hz"},
      {300.0, 151.0, "-0.2dB; 632.5Hz"}, {300.0, 149.9, "0dB; 632.5Hz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CursorText(ReadCursor(c.x, c.y, 600.0, 300.0)), QString::fromLatin1(c.text))
        << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace tessaly::graph

#include "graph/CurveMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tessaly::graph {
namespace {

constexpr double kHalfPowerDb = -3.0103;  // 10 lg(1/2)
constexpr double kOctaveDb = 6.0206;      // 20 lg 2

TEST(GraphFreqTest, SegmentsStartAndEndWhereTheyShould) {
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
}

TEST(GraphFreqTest, RisesMonotonicallyAndRepeatsOnlyTheThreeJoins) {
  const GraphFreqTable& f = GraphFreq();
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
  const std::vector<Case> cases{
      {kBandBell, 6.0, 2.0, 2.0},
      {kBandBell, -6.0, 2.0, 2.0},
      {kBandBell, 12.0, 1.0, 1.0 / (1.0 + 6.0 * 1.1 / 9.0)},
      {kBandBell, -15.0, 3.0, 3.0 / 2.1},
      {kBandHiShelf, 10.0, 0.8, 0.4},
      {kBandLoShelf, -3.0, 1.5, 0.75},
      {kBandHighPass, 9.0, 0.7071, 0.7071},
      {kBandLowPass, 9.0, 2.0, 2.0},
      {kBandNotch, 0.0, 0.0, 11.0},
      {kBandNotch, 0.0, 20.0, 31.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(EffectiveQ(c.type, c.gain, c.q), c.expected)
        << "type " << c.type << " gain " << c.gain;
  }
}

TEST(BandResponseTest, BellAtZeroGainIsFlat) {
  for (int16_t hz : GraphFreq()) {
    ASSERT_EQ(BandResponseDb(kBandBell, 0.0, 1000.0, EffectiveQ(kBandBell, 0.0, 0.67), hz), 0.0);
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

TEST(BandResponseTest, SecondOrderPassFiltersAreHalfPowerAtCorner) {
  for (int16_t type : {kBandHighPass, kBandLowPass}) {
    for (double f0 : {20.0, 1000.0, 20000.0}) {
      EXPECT_NEAR(BandResponseDb(type, 0.0, f0, EffectiveQ(type, 0.0, 0.7071), f0), kHalfPowerDb,
                  1e-3);
    }
  }
}

TEST(BandResponseTest, SecondOrderPassFiltersPassAndStop) {
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

TEST(ShelfResponseTest, CutMirrorsBoostAndShelvesComplementEachOther) {
  for (int16_t hz : {20, 150, 700, 1000, 4000, 20000}) {
    const double hi = ShelfResponseDb(kBandHiShelf, 12.0, 1000.0, 0.4, hz);
    const double lo = ShelfResponseDb(kBandLoShelf, 12.0, 1000.0, 0.4, hz);
    EXPECT_NEAR(ShelfResponseDb(kBandHiShelf, -12.0, 1000.0, 0.4, hz), -hi, 1e-9) << hz;
    EXPECT_NEAR(hi + lo, 12.0, 1e-9) << hz;
  }
  EXPECT_EQ(ShelfResponseDb(kBandBell, 12.0, 1000.0, 0.4, 1000.0), 0.0);
}

TEST(BandResponseTest, UnknownTypeHasNoCurve) {
  EXPECT_FALSE(IsKnownBandType(6));
  EXPECT_FALSE(IsKnownBandType(-1));
  EXPECT_TRUE(IsKnownBandType(kBandNotch));
}

struct XoverAtCorner {
  int16_t code;
  double db;
};

TEST(XoverResponseTest, ButterworthFamilyAtCorner) {
  const std::vector<XoverAtCorner> cases{{0, 0.0},
                                         {1, kHalfPowerDb},
                                         {2, kHalfPowerDb},
                                         {3, 2 * kHalfPowerDb},
                                         {5, kHalfPowerDb},
                                         {6, kHalfPowerDb},
                                         {7, 2 * kHalfPowerDb},
                                         {9, kHalfPowerDb},
                                         {10, 2 * kHalfPowerDb},
                                         {11, kHalfPowerDb},
                                         {12, 2 * kHalfPowerDb}};
  for (const XoverAtCorner& c : cases) {
    for (bool low_pass : {false, true}) {
      EXPECT_NEAR(XoverResponseDb(c.code, low_pass, 1200.0, 1200.0), c.db, 1e-3)
          << "code " << c.code << (low_pass ? " LP" : " HP");
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

TEST(XoverResponseTest, HighPassMirrorsLowPassAroundTheCorner) {
  for (int16_t code = 0; code <= kXoverLastCode; ++code) {
    for (double ratio : {0.1, 0.5, 0.9, 1.0, 1.7, 8.0}) {
      EXPECT_NEAR(XoverResponseDb(code, false, 800.0, 800.0 * ratio),
                  XoverResponseDb(code, true, 800.0, 800.0 / ratio), 1e-9)
          << "code " << code << " ratio " << ratio;
    }
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

TEST(XoverResponseTest, UnknownCodesAndBypassAreFlat) {
  for (int16_t code : {int16_t{0}, int16_t{13}, int16_t{-1}}) {
    EXPECT_EQ(XoverResponseDb(code, true, 1000.0, 19000.0), 0.0) << code;
  }
}

TEST(XoverResponseTest, CodeIsTheRoundedSlope) {
  EXPECT_EQ(XoverCode(2.4), 2);
  EXPECT_EQ(XoverCode(2.6), 3);
  EXPECT_EQ(XoverCode(7.0), 7);
  EXPECT_EQ(XoverCode(std::nan("")), -1);
}

}  // namespace
}  // namespace tessaly::graph

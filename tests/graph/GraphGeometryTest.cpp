#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "graph/GraphMarkers.h"
#include "graph/GraphScale.h"

namespace tessaly::graph {
namespace {

TEST(GraphGeometryTest, GridLinesAndTheirInverses) {
  const GridLines grid = GraphGrid(600.0, 300.0);
  EXPECT_EQ(grid.x.front(), 0);
  EXPECT_EQ(grid.x[5], 200);      // 200 Hz, one decade in
  EXPECT_EQ(grid.x[14], 400);     // 2000 Hz
  EXPECT_EQ(grid.x.back(), 599);  // 19900 Hz stands just inside the right edge
  EXPECT_TRUE(std::is_sorted(grid.x.begin(), grid.x.end()));
  EXPECT_EQ(grid.y.front(), 300);
  EXPECT_EQ(grid.y[6], 150);
  EXPECT_EQ(grid.y.back(), 0);
  EXPECT_NEAR(XToFreq(FreqToX(1234.0, 777.0), 777.0), 1234.0, 1e-9);
  EXPECT_NEAR(YToDb(DbToY(-12.0, 300.0), 300.0), -12.0, 1e-9);
}

// Curve points sit on whole pixels like the grid; the right and bottom edges are the last pixel
// inside the plot, where the grid draws them, and values past the range stay outside.
TEST(GraphGeometryTest, CurvePointsOnThePlotsPixels) {
  const GridLines grid = GraphGrid(600.0, 300.0);
  struct Case {
    double hz;
    double db;
    int x;
    int y;
  };
  for (const Case c : {Case{20.0, 30.0, 0, 0}, Case{20000.0, -30.0, 599, 299},
                       Case{2000.0, 0.0, grid.x[14], grid.y[6]}, Case{19999.0, -29.95, 599, 299},
                       Case{1000.0, -31.0, 340, 305}, Case{1000.0, 30.4, 340, -2}}) {
    EXPECT_EQ(CurveX(c.hz, 600.0), c.x) << c.hz;
    EXPECT_EQ(CurveY(c.db, 300.0), c.y) << c.db;
  }
  EXPECT_EQ(CurveY(-30.0, 300.0), std::min(grid.y.front(), 299));
}

TEST(GraphGeometryTest, LabelsMoveInProportionWithTheSize) {
  struct Case {
    double width;
    double height;
    double first_x;
    double last_x;
    double first_y;
    double last_y;
  };
  for (const Case& c : {Case{600.0, 300.0, 139.794, 600.0, 0.0, 300.0},
                        Case{1200.0, 150.0, 279.588, 1200.0, 0.0, 150.0}}) {
    const auto freq = FrequencyLabels(c.width);
    const auto gain = GainLabels(c.height);
    EXPECT_NEAR(freq.front().position, c.first_x, 1e-3);
    EXPECT_NEAR(freq.back().position, c.last_x, 1e-9);
    EXPECT_NEAR(freq[1].position, c.width * 0.566, 0.001 * c.width);  // 1 kHz
    EXPECT_DOUBLE_EQ(gain.front().position, c.first_y);
    EXPECT_DOUBLE_EQ(gain.back().position, c.last_y);
    EXPECT_DOUBLE_EQ(gain[3].position, c.height / 2);  // 0 dB
  }
  EXPECT_EQ(FrequencyLabels(1.0)[1].text, QStringLiteral("1kHz"));
  EXPECT_EQ(GainLabels(1.0)[0].text, QStringLiteral("+30"));
  EXPECT_EQ(GainLabels(1.0)[3].text, QStringLiteral("0"));
  EXPECT_EQ(GainLabels(1.0)[6].text, QStringLiteral("-30"));
}

TEST(GraphGeometryTest, MarkerDragReadsFrequencyAndGainInsideTheEqRange) {
  struct Case {
    double x;
    double y;
    MarkerValue value;
    int position;
    const char* text;
  };
  // A 600 x 300 picture: 200 px per decade, 5 px per dB, 0 dB at y = 150.
  const Case cases[] = {
      {400.0, 150.0, {2000, -0.1}, 31, "Freq=2000Hz; Gain=-0.1dB"},
      {400.0, 135.0, {2000, 2.9}, 25, "Freq=2000Hz; Gain=2.9dB"},
      {200.0, 133.5, {200, 3.2}, 24, "Freq=200Hz; Gain=3.2dB"},
      {300.0, -40.0, {632, 15.0}, 1, "Freq=632Hz; Gain=15dB"},  // above +15 dB stays at +15
      {300.0, 74.0, {632, 15.0}, 1, "Freq=632Hz; Gain=15dB"},
      {-20.0, 400.0, {20, -15.0}, 61, "Freq=20Hz; Gain=-15dB"},  // dropped outside: clamped
      {650.0, 226.0, {20000, -15.0}, 61, "Freq=20000Hz; Gain=-15dB"},
  };
  for (const Case& c : cases) {
    const MarkerValue v = MarkerAt(c.x, c.y, 600.0, 300.0);
    EXPECT_EQ(v, c.value) << c.x << "," << c.y << ": " << v.hz << " " << v.gain_db;
    EXPECT_EQ(EqGainSliderPosition(v.gain_db), c.position) << c.text;
    EXPECT_EQ(MarkerText(v.hz, v.gain_db), QString::fromLatin1(c.text));
  }
  EXPECT_DOUBLE_EQ(EqGainOfSliderPosition(31), 0.0);
  EXPECT_DOUBLE_EQ(EqGainOfSliderPosition(24), 3.5);
  EXPECT_DOUBLE_EQ(EqGainOfSliderPosition(61), -15.0);
  EXPECT_EQ(EqGainSliderPosition(-3.5), 38);
}

TEST(GraphGeometryTest, HitTestingPicksTheNearestMarkerInReach) {
  const MarkerPoint markers[] = {{100.0, 100.0}, {106.0, 100.0}, {300.0, 50.0}};
  struct Case {
    MarkerPoint at;
    int hit;
  };
  for (const Case& c : {Case{{104.0, 100.0}, 1}, Case{{102.0, 100.0}, 0}, Case{{300.0, 59.0}, 2},
                        Case{{300.0, 60.0}, -1}, Case{{200.0, 100.0}, -1}}) {
    EXPECT_EQ(HitMarker(markers, c.at, 9.0), c.hit) << c.at.x << "," << c.at.y;
  }
  const MarkerPoint p = MarkerPosition(2000.0, 6.0, 600.0, 300.0);
  EXPECT_NEAR(p.x, 400.0, 1e-9);
  EXPECT_NEAR(p.y, 120.0, 1e-9);
}

TEST(GraphGeometryTest, ChangedSpanCoversOnlyTheMovedPoints) {
  Curve a{};
  Curve b{};
  EXPECT_FALSE(ChangedSpan(a, b));
  b[7] = 0.5;
  b[900] = -1.0;
  const auto span = ChangedSpan(a, b);
  ASSERT_TRUE(span);
  EXPECT_EQ(span->first, 7);
  EXPECT_EQ(span->last, 900);
  b[7] = 0.0;
  b[900] = 0.0;
  b[kGraphPoints - 1] = 1.0;
  EXPECT_EQ(ChangedSpan(a, b)->first, kGraphPoints - 1);
  EXPECT_EQ(ChangedSpan(a, b)->last, kGraphPoints - 1);
}

}  // namespace
}  // namespace tessaly::graph

namespace tessaly::graph {
namespace {

// The whole-curve fills give what the point formulas give, to 1e-9 dB, for every band type and
// crossover code, in the steep and the flat parts alike.
TEST(CurveFillTest, WholeCurvesMatchThePointFormulas) {
  const GraphFreqTable& freq = GraphFreq();
  Curve fast{};
  double worst = 0.0;
  for (int16_t type = kBandBell; type <= kBandNotch; ++type) {
    for (const double gain : {-15.0, -3.5, 0.0, 7.0, 15.0}) {
      for (const double f0 : {20.0, 1000.0, 20000.0}) {
        for (const double q : {0.1, 0.7071, 5.1, 104.0}) {
          const double qe = EffectiveQ(type, gain, q);
          FillBandCurve(type, gain, f0, qe, fast);
          for (int p = 0; p < kGraphPoints; ++p) {
            worst =
                std::max(worst, std::abs(fast[p] - BandResponseDb(type, gain, f0, qe, freq[p])));
          }
        }
      }
    }
  }
  for (int16_t code = 0; code <= kXoverLastCode + 1; ++code) {
    for (const bool low : {false, true}) {
      for (const double fc : {20.0, 1234.0, 20000.0}) {
        FillXoverCurve(code, low, fc, fast);
        for (int p = 0; p < kGraphPoints; ++p) {
          worst = std::max(worst, std::abs(fast[p] - XoverResponseDb(code, low, fc, freq[p])));
        }
      }
    }
  }
  EXPECT_LT(worst, 1e-9);
}

}  // namespace
}  // namespace tessaly::graph

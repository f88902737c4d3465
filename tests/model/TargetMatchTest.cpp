#include "model/TargetMatch.h"

#include <gtest/gtest.h>

#include "graph/CurveMath.h"
#include "graph/ResponseCurves.h"

namespace tessaly::model {
namespace {

// A measurement that is flat but for bells at these places.
struct Bell {
  double hz;
  double gain;
  double q;
};
graph::Curve Bells(std::initializer_list<Bell> bells) {
  graph::Curve c{};
  const graph::GraphFreqTable& grid = graph::GraphFreq();
  for (const Bell& b : bells) {
    const double qe = graph::EffectiveQ(graph::kBandBell, b.gain, b.q);
    for (int k = 0; k < graph::kGraphPoints; ++k) {
      c[k] += graph::BandResponseDb(graph::kBandBell, b.gain, b.hz, qe, grid[k]);
    }
  }
  return c;
}

TEST(TargetMatchTest, FreeBandsCutTheDeviationsOnTheDeviceGridsInsideTheRange) {
  MatchRequest request;
  request.measured = Bells({{60, 9, 4}, {250, 6, 2}, {1200, -8, 3}, {6000, 5, 1.5}});
  request.bands.assign(6, {0, 1000, 16, 30});
  request.bands[2] = {1, 3000, 40, 44};  // locked: kept as it is, and part of the response
  request.locked = {false, false, true, false, false, false};
  const double qe = graph::EffectiveQ(graph::kBandHiShelf, 7, graph::BandQFromByte(1, 40));
  const graph::GraphFreqTable& grid = graph::GraphFreq();
  for (int k = 0; k < graph::kGraphPoints; ++k) {
    request.fixed[k] = graph::BandResponseDb(graph::kBandHiShelf, 7, 3000, qe, grid[k]);
  }
  request.low_hz = 100.0;
  request.high_hz = 10000.0;
  request.boost_limit_db = 3.0;

  const MatchResult result = MatchTarget(request);
  ASSERT_EQ(result.bands.size(), 6u);
  EXPECT_GT(result.before.rms_db, 3.0);
  EXPECT_LT(result.after.rms_db, result.before.rms_db / 3.0);
  EXPECT_LE(result.after.max_db, result.before.max_db);
  EXPECT_EQ(result.bands[2].frequency, 3000);
  EXPECT_EQ(result.bands[2].type, 1);
  EXPECT_EQ(result.bands[2].gain, 44);
  bool cut = false;
  for (size_t b = 0; b < result.bands.size(); ++b) {
    if (b == 2) continue;
    const auto& v = result.bands[b];
    EXPECT_EQ(v.type, graph::kBandBell) << b;
    EXPECT_GE(v.frequency, 100) << b;
    EXPECT_LE(v.frequency, 10000) << b;
    EXPECT_LE(v.q, 100) << b;
    cut = cut || v.gain < 30;
  }
  EXPECT_TRUE(cut);
  // Together the free bands lift nowhere in the range by more than the limit.
  double lift = -100.0;
  for (int k = 0; k < graph::kGraphPoints; ++k) {
    if (grid[k] < 100 || grid[k] > 10000) continue;
    double sum = 0.0;
    for (size_t b = 0; b < result.bands.size(); ++b) {
      if (b == 2) continue;
      const auto& v = result.bands[b];
      const double gain = v.gain / 2.0 - 15.0;
      const double q = graph::EffectiveQ(0, gain, graph::BandQFromByte(0, v.q));
      sum += graph::BandResponseDb(graph::kBandBell, gain, v.frequency, q, grid[k]);
    }
    lift = std::max(lift, sum);
  }
  EXPECT_LE(lift, 3.0 + 1e-9);
  EXPECT_GT(lift, 1.0);  // the dip at 1.2 kHz is lifted as far as allowed
}

TEST(TargetMatchTest, OneBandTakesThePeakBeforeAnEqualDip) {
  MatchRequest request;
  request.measured = Bells({{300, -6, 2}, {3000, 6, 2}});
  request.bands.assign(1, {0, 1000, 16, 30});
  request.boost_limit_db = 6.0;
  const MatchResult result = MatchTarget(request);
  EXPECT_NEAR(result.bands[0].frequency, 3000, 150);
  EXPECT_LT(result.bands[0].gain, 30);
  const MatchError flat = ErrorOver(graph::Curve{}, graph::Curve{}, 40, 16000);
  EXPECT_EQ(flat.rms_db, 0.0);
}

}  // namespace
}  // namespace tessaly::model

#include "model/TargetMatch.h"

#include <gtest/gtest.h>

#include "graph/CurveMath.h"

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
    EXPECT_LE(v.gain, 36) << b;  // +3 dB
    EXPECT_LE(v.q, 100) << b;
    cut = cut || v.gain < 30;
  }
  EXPECT_TRUE(cut);
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

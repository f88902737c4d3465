#include "protocol/ScaleSnap.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <vector>

#include "protocol/ScaleGrids.h"
#include "protocol/ValueLists.h"

namespace tessaly::protocol {
namespace {

TEST(ScaleSnap, DocumentedCases) {
  EXPECT_DOUBLE_EQ(SnapGain(3.3), 3.5);   // 3.0 is 0.3 away, 3.5 only 0.2
  EXPECT_DOUBLE_EQ(SnapGain(3.25), 3.0);  // exact midpoint goes down
  EXPECT_DOUBLE_EQ(SnapGateThreshold(-100), -90);
  EXPECT_DOUBLE_EQ(SnapGateThreshold(-50), -60);
  EXPECT_EQ(SnapGateRelease(650), 8);  // "600"
  EXPECT_EQ(SnapGateRelease(2000), 12);
  EXPECT_EQ(SnapEqQ(1.0, kQClassBell), 16);
  EXPECT_EQ(SnapEqQ(1.0, kQClassOther), 18);
  EXPECT_DOUBLE_EQ(SnapRatio(40), 32);
}

// Every operation, the grid it snaps onto, and what it gives above the top step.
struct SnapOp {
  const char* name;
  std::span<const double> grid;
  bool returns_index;
  std::function<double(double)> snap;
  double above_top;
};

std::vector<SnapOp> AllSnapOps() {
  return {
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
}

// What the operation must give when the right step is step k of its grid.
double Expected(const SnapOp& op, size_t k) {
  return op.returns_index ? static_cast<double>(k) : op.grid[k];
}

TEST(ScaleSnap, MidpointsGoDownAndAnythingPastThemGoesUp) {
  for (const SnapOp& op : AllSnapOps()) {
    SCOPED_TRACE(op.name);
    for (size_t k = 0; k + 1 < op.grid.size(); ++k) {
      const double low = op.grid[k];
      const double high = op.grid[k + 1];
      const double mid = (low + high) / 2;
      const double nudge = (high - low) / 100;
      EXPECT_DOUBLE_EQ(op.snap(mid), Expected(op, k)) << "midpoint above step " << k;
      EXPECT_DOUBLE_EQ(op.snap(mid - nudge), Expected(op, k)) << "below midpoint " << k;
      EXPECT_DOUBLE_EQ(op.snap(mid + nudge), Expected(op, k + 1)) << "above midpoint " << k;
    }
  }
}

TEST(ScaleSnap, OutsideTheGridGivesItsEnds) {
  for (const SnapOp& op : AllSnapOps()) {
    SCOPED_TRACE(op.name);
    const double first = op.grid.front();
    const double last = op.grid.back();
    EXPECT_DOUBLE_EQ(op.snap(first - 0.001), Expected(op, 0));
    EXPECT_DOUBLE_EQ(op.snap(first - 1e6), Expected(op, 0));
    EXPECT_DOUBLE_EQ(op.snap(last + 0.001), op.above_top);
    EXPECT_DOUBLE_EQ(op.snap(last + 1e6), op.above_top);
  }
}

// Typed decimals are not exact in binary; a typed midpoint must still go down and a typed step
// must still hit that step.
TEST(ScaleSnap, TypedDecimalsFollowTheRuleDespiteBinaryNoise) {
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
}

TEST(ScaleSnap, ListLookupsPickTheNearestEntry) {
  EXPECT_EQ(SnapGateRelease(37), 1);    // 25 and 50: 12 and 13 away
  EXPECT_EQ(SnapGateRelease(37.5), 1);  // midpoint
  EXPECT_EQ(SnapGateRelease(38), 2);
  EXPECT_EQ(SnapGateRelease(0), 0);
  EXPECT_EQ(SnapGateAttack(12), 9);  // 10 and 15
  EXPECT_EQ(SnapGateAttack(13), 10);
  EXPECT_EQ(SnapGateAttack(150), 19);  // midpoint of 100 and 200
  EXPECT_EQ(SnapCompAttack(22.6), 16);
  EXPECT_EQ(SnapCompAttack(110), 24);  // midpoint of 100 and 120
  EXPECT_EQ(SnapLimAttack(250), 33);   // midpoint of 200 and 300
  EXPECT_EQ(SnapLimAttack(251), 34);
  EXPECT_EQ(SnapLimAttack(1), 0);
}

TEST(ScaleSnap, RatioAndLevels) {
  EXPECT_DOUBLE_EQ(SnapRatio(1), 2);
  EXPECT_DOUBLE_EQ(SnapRatio(4.5), 4);
  EXPECT_DOUBLE_EQ(SnapRatio(4.51), 5);
  EXPECT_DOUBLE_EQ(SnapNoiseLevel(-12.5), -13);
  EXPECT_DOUBLE_EQ(SnapNoiseLevel(-50), -40);
  EXPECT_DOUBLE_EQ(SnapSendLevel(-6.2), -6);
  EXPECT_DOUBLE_EQ(SnapSendLevel(3), 0);
  EXPECT_DOUBLE_EQ(SnapEqGain(-15.2), -15);
  EXPECT_DOUBLE_EQ(SnapEqGain(0.74), 0.5);
  EXPECT_DOUBLE_EQ(SnapMakeup(-1), 0);
  EXPECT_DOUBLE_EQ(SnapGain(-0.2), 0);
  EXPECT_DOUBLE_EQ(SnapGain(-0.25), -0.5);
}

TEST(ScaleSnap, QClassesUseTheirOwnTables) {
  EXPECT_EQ(SnapEqQ(10, kQClassNotch), 6);    // b + 4
  EXPECT_EQ(SnapEqQ(10, kQClassOther), 100);  // above 5.1
  EXPECT_EQ(SnapEqQ(10, kQClassBell), 56);    // 10.1 is nearer than 9.5
  EXPECT_EQ(SnapEqQ(1, kQClassNotch), 0);
  // Any class but Bell and Notch means the other types.
  EXPECT_EQ(SnapEqQ(1.0, 7), 18);
  EXPECT_EQ(SnapEqQ(1.0, -1), 18);
}

TEST(ScaleSnap, EmptyGridHasNoIndex) { EXPECT_EQ(SnapIndex({}, 1.0), -1); }

}  // namespace
}  // namespace tessaly::protocol

#include "protocol/ScaleSnap.h"

#include "protocol/ScaleGrids.h"
#include "protocol/ValueLists.h"

namespace tessaly::protocol {

namespace {

// Far below any step spacing (the finest is 0.02 in BellQTable), far above binary noise.
constexpr double kTolerance = 1e-9;

template <size_t kCount>
double SnapValue(const std::array<double, kCount>& grid, double input) {
  return grid[static_cast<size_t>(SnapIndex(grid, input))];
}

}  // namespace

int SnapIndex(std::span<const double> steps, double input) {
  if (steps.empty()) {
    return -1;
  }
  size_t last_below = 0;
  for (size_t k = 0; k < steps.size(); ++k) {
    if (steps[k] < input - kTolerance) {
      last_below = k;
      continue;
    }
    if (steps[k] <= input + kTolerance) {
      return static_cast<int>(k);
    }
    const double up = steps[k] - input;
    const double down = input - steps[last_below];
    return static_cast<int>(up >= down - kTolerance ? last_below : k);
  }
  return static_cast<int>(steps.size() - 1);
}

double SnapGateThreshold(double value) { return SnapValue(kGateThresholdGrid, value); }
int SnapGateRelease(double ms) { return SnapIndex(GateReleaseList, ms); }
int SnapGateAttack(double ms) { return SnapIndex(GateAttackList, ms); }
double SnapMakeup(double db) { return SnapValue(kMakeupGrid, db); }
double SnapThreshold(double db) { return SnapValue(kThresholdGrid, db); }
double SnapRatio(double ratio) { return SnapValue(kRatioGrid, ratio); }
int SnapCompRelease(double s) { return SnapIndex(CompReleaseList, s); }
int SnapCompAttack(double ms) { return SnapIndex(CompAttackList, ms); }
int SnapLimRelease(double s) { return SnapIndex(LimReleaseList, s); }
int SnapLimAttack(double ms) { return SnapIndex(LimAttackList, ms); }
double SnapEqGain(double db) { return SnapValue(kEqGainGrid, db); }
double SnapNoiseLevel(double db) { return SnapValue(kNoiseLevelGrid, db); }
double SnapGain(double db) { return SnapValue(kGainGrid, db); }
double SnapSendLevel(double db) { return SnapValue(kSendLevelGrid, db); }

int SnapEqQ(double q, int q_class) {
  if (q_class == kQClassBell) {
    return SnapIndex(BellQTable, q);
  }
  if (q_class == kQClassNotch) {
    return SnapIndex(kNotchQGrid, q);
  }
  return SnapIndex(kOtherQGrid, q);
}

}  // namespace tessaly::protocol

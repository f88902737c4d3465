#pragma once

#include <span>

namespace tessaly::protocol {

// Brings a typed number onto a grid of allowed values. The steps must be in increasing order.
// The nearest step wins; an exact midpoint goes to the lower step; below the first step gives
// the first, above the last gives the last. Returns the step's index, or -1 for an empty grid.
// Distances within a rounding error count as equal, so a typed midpoint such as -17.9 on the
// 0.2 dB threshold grid goes down even though neither step is exact in binary.
int SnapIndex(std::span<const double> steps, double input);

// Value operations return the snapped value, index operations the list index (= the byte).
double SnapGateThreshold(double value);  // -90 to -60 in 5 dB
int SnapGateRelease(double ms);          // GateReleaseList
int SnapGateAttack(double ms);           // GateAttackList
double SnapMakeup(double db);            // 0 to 12 in 0.5 dB
double SnapThreshold(double db);         // compressor and limiter, -18 to +12 in 0.2 dB
double SnapRatio(double ratio);          // 2 to 32
int SnapCompRelease(double s);           // CompReleaseList
int SnapCompAttack(double ms);           // CompAttackList
int SnapLimRelease(double s);            // LimReleaseList
int SnapLimAttack(double ms);            // LimAttackList
double SnapEqGain(double db);            // -15 to +15 in 0.5 dB
double SnapNoiseLevel(double db);        // -40 to 0
double SnapGain(double db);              // -60 to +12 in 0.5 dB
double SnapSendLevel(double db);         // family B mixer send, -30 to 0
// q_class: kQClassBell (BellQTable), kQClassNotch (b + 4), anything else the other types
// (0.1 + 0.05b). Returns the Q byte 0 to 100.
int SnapEqQ(double q, int q_class);

}  // namespace tessaly::protocol

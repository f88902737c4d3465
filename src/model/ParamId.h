#pragma once

#include <cstdint>

namespace tessaly::model {

// Every editable parameter, one row each of the parameter table in this order. Text names
// ("gain", "eq.N.q") exist only where text enters or leaves: the command line, files, JSON.
enum class ParamId : uint8_t {
  kGain,
  kDelay,
  kMute,
  kPolarity,
  kLink,
  kGateThreshold,
  kGateRelease,
  kGateAttack,
  kGateBypass,
  kCompThreshold,
  kCompRatio,
  kCompKnee,
  kCompRelease,
  kCompAttack,
  kCompMakeup,
  kCompBypass,
  kLimThreshold,
  kLimRelease,
  kLimAttack,
  kLimBypass,
  kEqType,
  kEqFrequency,
  kEqGain,
  kEqQ,
  kEqBandBypass,
  kEqBypass,
  kEqFlat,
  kHpFrequency,
  kHpSlope,
  kLpFrequency,
  kLpSlope,
  kDrive,
  kSource,
  kMixOn,
  kMixLevel,
  kRouteOn,
  kRouteLevel,
  kInputSource,
  kInputAnalog,
  kInputDigital,
  kNoiseType,
  kNoiseLevel,
  kNoiseEnable,
  kStandby,
  kSleep,
  kMeter,
  kLineOut,
  kTriggerInput,
  kTriggerStandby,
  kDelayUnit,
};

inline constexpr int kParamCount = static_cast<int>(ParamId::kDelayUnit) + 1;

}  // namespace tessaly::model

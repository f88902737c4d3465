#include "protocol/ValueScale.h"

#include <algorithm>
#include <array>

#include "protocol/ScaleGrids.h"
#include "protocol/ScaleSlider.h"
#include "protocol/ScaleSnap.h"
#include "protocol/ScaleText.h"
#include "protocol/ValueLists.h"

namespace tessaly::protocol {

namespace {

using Style = ScaleTextStyle;

// Indexed by ScaleKind, in its order.
constexpr std::array<ValueScale, kScaleKindCount> kScales = {
    ValueScale(ScaleKind::kGain, kGainGrid, Style::kNumber, "dB"),
    ValueScale(ScaleKind::kEqGain, kEqGainGrid, Style::kNumber, "dB"),
    ValueScale(ScaleKind::kGateThreshold, kGateThresholdGrid, Style::kNumber, "dB"),
    ValueScale(ScaleKind::kGateRelease, GateReleaseList, Style::kNumber, "ms"),
    ValueScale(ScaleKind::kGateAttack, GateAttackList, Style::kNumber, "ms"),
    ValueScale(ScaleKind::kThreshold, kThresholdGrid, Style::kNumber, "dB"),
    ValueScale(ScaleKind::kRatio, kRatioGrid, Style::kRatio, ""),
    ValueScale(ScaleKind::kKnee, kKneeGrid, Style::kNumber, "%"),
    ValueScale(ScaleKind::kCompRelease, CompReleaseList, Style::kNumber, "s"),
    ValueScale(ScaleKind::kCompAttack, CompAttackList, Style::kNumber, "ms"),
    ValueScale(ScaleKind::kMakeup, kMakeupGrid, Style::kNumber, "dB"),
    ValueScale(ScaleKind::kLimRelease, LimReleaseList, Style::kOneDecimal, "s"),
    ValueScale(ScaleKind::kLimAttack, LimAttackList, Style::kNumber, "ms"),
    ValueScale(ScaleKind::kNoiseLevel, kNoiseLevelGrid, Style::kNumber, "dB"),
    ValueScale(ScaleKind::kSendLevel, kSendLevelGrid, Style::kNumber, "dB"),
    ValueScale(ScaleKind::kBellQ, BellQTable, Style::kNumber, ""),
    ValueScale(ScaleKind::kNotchQ, kNotchQGrid, Style::kNumber, ""),
    ValueScale(ScaleKind::kOtherQ, kOtherQGrid, Style::kNumber, ""),
};

constexpr bool KindsInOrder() {
  for (int k = 0; k < kScaleKindCount; ++k) {
    if (static_cast<int>(kScales[k].kind()) != k) {
      return false;
    }
  }
  return true;
}
static_assert(KindsInOrder(), "kScales must follow the order of ScaleKind");

}  // namespace

int ValueScale::ClampByte(int byte) const { return std::clamp(byte, 0, TopByte()); }

double ValueScale::ValueOf(int byte) const { return steps_[static_cast<size_t>(ClampByte(byte))]; }

int ValueScale::ByteOf(double typed) const { return SnapIndex(steps_, typed); }

QString ValueScale::Text(int byte, bool decimal_comma) const {
  const int b = ClampByte(byte);
  switch (style_) {
    case Style::kRatio:
      return RatioText(b);
    case Style::kOneDecimal:
      return OneDecimalText(ValueOf(b), decimal_comma);
    case Style::kNumber:
      break;
  }
  return NumberText(ValueOf(b), decimal_comma);
}

int ValueScale::SliderPosition(int byte) const { return SliderPositionFromByte(byte, Count()); }

int ValueScale::ByteAtSlider(int position) const {
  return ByteFromSliderPosition(position, Count());
}

const ValueScale& ScaleOf(ScaleKind kind) {
  const auto index = static_cast<size_t>(kind);
  return index < kScales.size() ? kScales[index] : kScales.front();
}

const ValueScale& EqQScale(int band_type) {
  switch (QClassOfType(band_type)) {
    case kQClassBell:
      return ScaleOf(ScaleKind::kBellQ);
    case kQClassNotch:
      return ScaleOf(ScaleKind::kNotchQ);
    default:
      return ScaleOf(ScaleKind::kOtherQ);
  }
}

}  // namespace tessaly::protocol

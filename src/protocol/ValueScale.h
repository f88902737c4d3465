#pragma once

#include <QString>
#include <span>

namespace tessaly::protocol {

// Every one-byte parameter kind the editors show. Compressor and limiter thresholds share one
// scale; the Q byte has three scales chosen by the band type.
enum class ScaleKind {
  kGain,
  kEqGain,
  kGateThreshold,
  kGateRelease,
  kGateAttack,
  kThreshold,
  kRatio,
  kKnee,
  kCompRelease,
  kCompAttack,
  kMakeup,
  kLimRelease,
  kLimAttack,
  kNoiseLevel,
  kSendLevel,  // the level bits 0 to 6 of a family B send or routing byte
  kBellQ,
  kNotchQ,
  kOtherQ,
};
inline constexpr int kScaleKindCount = 18;

enum class ScaleTextStyle { kNumber, kOneDecimal, kRatio };

// One description of a parameter's byte: how many steps it has, what each byte shows, how a
// typed number lands on a byte and where the byte sits on the upside-down slider. A knob, a
// slider and a text box of the same parameter all bind to one of these.
class ValueScale {
 public:
  constexpr ValueScale(ScaleKind kind, std::span<const double> steps, ScaleTextStyle style,
                       const char* unit)
      : kind_(kind), steps_(steps), style_(style), unit_(unit) {}

  constexpr ScaleKind kind() const { return kind_; }
  // Number of bytes 0 .. Count() - 1, which is also the slider's position count N.
  constexpr int Count() const { return static_cast<int>(steps_.size()); }
  constexpr int TopByte() const { return Count() - 1; }
  constexpr std::span<const double> steps() const { return steps_; }
  // Unit shown beside the value ("dB", "ms", "s", "%"); empty for ratios and Q.
  QString Unit() const { return QString::fromLatin1(unit_); }

  constexpr double Minimum() const { return steps_.front(); }
  constexpr double Maximum() const { return steps_.back(); }
  constexpr bool Contains(int byte) const { return byte >= 0 && byte < Count(); }
  // A byte beyond the scale (a damaged preset) reads as the nearest end.
  int ClampByte(int byte) const;

  double ValueOf(int byte) const;
  // Typed number -> byte, by the snap rule (nearest step, midpoint down, ends clamp).
  int ByteOf(double typed) const;
  double Snap(double typed) const { return ValueOf(ByteOf(typed)); }
  QString Text(int byte, bool decimal_comma) const;

  int SliderPosition(int byte) const;
  int ByteAtSlider(int position) const;

 private:
  ScaleKind kind_;
  std::span<const double> steps_;
  ScaleTextStyle style_;
  const char* unit_;
};

const ValueScale& ScaleOf(ScaleKind kind);
// The Q scale of an EQ band type byte: "Bell", "Notch" or the others.
const ValueScale& EqQScale(int band_type);

}  // namespace tessaly::protocol

#include "widgets/KnobTrack.h"

#include <algorithm>
#include <cmath>

namespace tessaly::widgets {
namespace {
// Keeps a point placed exactly on a step from reading as the step below after rounding.
constexpr double kStepTolerance = 1e-9;
}  // namespace

KnobTrack::KnobTrack(int maximum, double length)
    : maximum_(std::max(1, maximum)), length_(std::max(1.0, length)) {}

double KnobTrack::Clamp(double top) const { return std::clamp(top, 0.0, length_); }

int KnobTrack::IndexAt(double top) const {
  const double steps = std::floor(maximum_ * Clamp(top) / length_ + kStepTolerance);
  return std::clamp(maximum_ - static_cast<int>(steps), 0, maximum_);
}

double KnobTrack::TopOf(int index) const {
  return (maximum_ - std::clamp(index, 0, maximum_)) * length_ / maximum_;
}

KnobDrag::KnobDrag(const KnobTrack& track, int start_index, int detent_index, double detent_travel)
    : track_(track),
      top_(track.TopOf(start_index)),
      detent_top_(track.TopOf(detent_index)),
      // A detent at an end would only make the end harder to leave.
      detent_travel_(detent_index > 0 && detent_index < track.maximum() ? detent_travel : 0.0) {}

int KnobDrag::Move(double pointer_dy, double factor) {
  if (held_) {
    held_travel_ += pointer_dy;
    if (std::abs(held_travel_) <= detent_travel_) return track_.IndexAt(top_);
    held_ = false;
    const double excess = held_travel_ - std::copysign(detent_travel_, held_travel_);
    top_ = track_.Clamp(detent_top_ + excess * factor);
    return track_.IndexAt(top_);
  }
  const double raw = top_ + pointer_dy * factor;
  const double next = track_.Clamp(raw);
  const bool crosses =
      (top_ < detent_top_ && next >= detent_top_) || (top_ > detent_top_ && next <= detent_top_);
  if (detent_travel_ > 0.0 && crosses) {
    const double overshoot = (raw - detent_top_) / factor;
    top_ = detent_top_;
    held_ = true;
    held_travel_ = 0.0;
    return Move(overshoot, factor);
  }
  top_ = next;
  return track_.IndexAt(top_);
}

}  // namespace tessaly::widgets

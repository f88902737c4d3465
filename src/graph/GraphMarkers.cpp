#include "graph/GraphMarkers.h"

#include <algorithm>
#include <cmath>

#include "graph/GraphScale.h"

namespace tessaly::graph {
namespace {

constexpr double kEqRangeDb = 15.0;
constexpr int kZeroDbPosition = 31;
// The marker's hot spot sits a tenth of a dB above the gain it is read as.
constexpr double kMarkerOffsetDb = 0.1;

double Tenths(double v) { return std::round(v * 10.0) / 10.0 + 0.0; }

}  // namespace

int HitMarker(std::span<const MarkerPoint> markers, MarkerPoint at, double radius) {
  int best = -1;
  double best_d2 = radius * radius;
  for (size_t i = 0; i < markers.size(); ++i) {
    const double dx = markers[i].x - at.x;
    const double dy = markers[i].y - at.y;
    const double d2 = dx * dx + dy * dy;
    if (d2 <= best_d2) {
      best = static_cast<int>(i);
      best_d2 = d2;
    }
  }
  return best;
}

MarkerPoint MarkerPosition(double hz, double gain_db, double width, double height) {
  return {FreqToX(hz, width), GraphY0(height) - GraphYScale(height) * gain_db};
}

MarkerValue MarkerAt(double x, double y, double width, double height) {
  MarkerValue value;
  const double gain = YToDb(std::clamp(y, 0.0, height), height) - kMarkerOffsetDb;
  value.gain_db = Tenths(std::clamp(gain, -kEqRangeDb, kEqRangeDb));
  const double hz = XToFreq(std::clamp(x, 0.0, width), width);
  value.hz = static_cast<int>(std::lround(std::clamp(hz, kGraphMinHz, kGraphMaxHz)));
  return value;
}

int EqGainSliderPosition(double gain_db) {
  const double g = std::clamp(gain_db, -kEqRangeDb, kEqRangeDb);
  // A small allowance so that a gain already on a step stays on it despite rounding.
  return static_cast<int>(std::floor(kZeroDbPosition - 1 - 2.0 * g + 1e-9)) + 1;
}

double EqGainOfSliderPosition(int position) { return kEqRangeDb - (position - 1) / 2.0; }

QString MarkerText(int hz, double gain_db) {
  return QStringLiteral("Freq=%1Hz; Gain=%2dB").arg(hz).arg(QString::number(Tenths(gain_db)));
}

std::optional<PointSpan> ChangedSpan(const Curve& before, const Curve& after) {
  int first = 0;
  while (first < kGraphPoints && before[first] == after[first]) ++first;
  if (first == kGraphPoints) return std::nullopt;
  int last = kGraphPoints - 1;
  while (last > first && before[last] == after[last]) --last;
  return PointSpan{first, last};
}

}  // namespace tessaly::graph

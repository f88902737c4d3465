#include "comm/TimeScale.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace tessaly::comm {

double TimeScale() {
  static const double scale = [] {
    bool ok = false;
    const double value = qEnvironmentVariable("TESSALY_TIME_SCALE").toDouble(&ok);
    return ok && value > 0.0 && std::isfinite(value) ? value : 1.0;
  }();
  return scale;
}

int ScaledMs(int ms) {
  if (ms <= 0) return ms;
  return static_cast<int>(std::max<long long>(1, std::llround(ms * TimeScale())));
}

}  // namespace tessaly::comm

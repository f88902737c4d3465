#include "model/TargetMatch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "graph/CurveMath.h"
#include "protocol/CommonOperations.h"
#include "protocol/ValueScale.h"

namespace tessaly::model {
namespace {

using protocol::EqBandValues;
using protocol::ScaleKind;

constexpr int kBellQTop = 100;
constexpr int kGainTop = 60;
// Residuals smaller than this are left alone: below what a listener or a measurement resolves.
constexpr double kEnoughDb = 0.25;
// A dip is worth this much of a peak of the same depth when the next band is placed.
constexpr double kDipWeight = 0.6;
constexpr int kMaxRounds = 60;

// The grid points inside the range, each weighted by the share of log frequency it stands for.
struct Span {
  std::vector<int> points;
  std::vector<double> weight;
  std::vector<double> hz;
};

Span MakeSpan(const graph::Curve& level, double low_hz, double high_hz) {
  const graph::GraphFreqTable& grid = graph::GraphFreq();
  Span span;
  for (int k = 0; k < graph::kGraphPoints; ++k) {
    const double f = grid[static_cast<size_t>(k)];
    if (f < low_hz || f > high_hz || !std::isfinite(level[static_cast<size_t>(k)])) continue;
    if (k > 0 && grid[static_cast<size_t>(k - 1)] == grid[static_cast<size_t>(k)]) continue;
    span.points.push_back(k);
    span.hz.push_back(f);
  }
  const size_t n = span.hz.size();
  span.weight.resize(n, 1.0);
  for (size_t i = 0; i < n && n > 1; ++i) {
    const double lo = std::log(span.hz[i > 0 ? i - 1 : i]);
    const double hi = std::log(span.hz[i + 1 < n ? i + 1 : i]);
    span.weight[i] = (hi - lo) / 2.0;
  }
  return span;
}

double GainDb(uint8_t byte) { return protocol::ScaleOf(ScaleKind::kEqGain).ValueOf(byte); }

void BandOver(const EqBandValues& v, const Span& span, std::vector<double>& out) {
  out.assign(span.hz.size(), 0.0);
  const auto type = static_cast<int16_t>(v.type);
  const double gain = GainDb(v.gain);
  if (type == graph::kBandBell && v.gain == 30) return;  // 0 dB
  const double qe = graph::EffectiveQ(type, gain, graph::BandQFromByte(type, v.q));
  for (size_t i = 0; i < span.hz.size(); ++i) {
    out[i] = graph::BandResponseDb(type, gain, v.frequency, qe, span.hz[i]);
  }
}

double Cost(const std::vector<double>& r, const Span& span) {
  double sum = 0.0;
  for (size_t i = 0; i < r.size(); ++i) sum += span.weight[i] * r[i] * r[i];
  return sum;
}

// The residual averaged over 1/6 octave, so that the next band goes to a broad deviation rather
// than to one noisy point.
std::vector<double> Smoothed(const std::vector<double>& r, const Span& span) {
  const double half = std::exp2(1.0 / 12.0);
  std::vector<double> out(r.size());
  size_t lo = 0;
  size_t hi = 0;
  double sum = 0.0;
  double weight = 0.0;
  for (size_t i = 0; i < r.size(); ++i) {
    while (hi < r.size() && span.hz[hi] <= span.hz[i] * half) {
      sum += span.weight[hi] * r[hi];
      weight += span.weight[hi];
      ++hi;
    }
    while (span.hz[lo] < span.hz[i] / half) {
      sum -= span.weight[lo] * r[lo];
      weight -= span.weight[lo];
      ++lo;
    }
    out[i] = weight > 0.0 ? sum / weight : r[i];
  }
  return out;
}

struct Searcher {
  const Span& span;
  std::vector<double> residual;  // measurement + fixed + placed bands - target
  std::vector<double> lift;      // the placed bands together
  int min_hz;
  int max_hz;
  int top_gain;
  double boost_limit_db;

  // The cost with band `old_curve` replaced by `candidate`, and the candidate's curve. Bands
  // that together would lift anywhere by more than the limit cost too much to be taken.
  double Try(const std::vector<double>& old_curve, const EqBandValues& candidate,
             std::vector<double>& curve) const {
    BandOver(candidate, span, curve);
    double sum = 0.0;
    for (size_t i = 0; i < curve.size(); ++i) {
      if (lift[i] - old_curve[i] + curve[i] > boost_limit_db + 1e-9) {
        return std::numeric_limits<double>::infinity();
      }
      const double r = residual[i] - old_curve[i] + curve[i];
      sum += span.weight[i] * r * r;
    }
    return sum;
  }
  void Replace(std::vector<double>& old_curve, const std::vector<double>& curve) {
    for (size_t i = 0; i < curve.size(); ++i) {
      residual[i] += curve[i] - old_curve[i];
      lift[i] += curve[i] - old_curve[i];
    }
    old_curve = curve;
  }
  EqBandValues Clamped(int hz, int gain, int q) const {
    return {static_cast<uint8_t>(graph::kBandBell),
            static_cast<uint16_t>(std::clamp(hz, min_hz, max_hz)),
            static_cast<uint8_t>(std::clamp(q, 0, kBellQTop)),
            static_cast<uint8_t>(std::clamp(gain, 0, top_gain))};
  }
};

}  // namespace

MatchError ErrorOver(const graph::Curve& level, const graph::Curve& target, double low_hz,
                     double high_hz) {
  const Span span = MakeSpan(level, low_hz, high_hz);
  MatchError e;
  double weight = 0.0;
  double sum = 0.0;
  for (size_t i = 0; i < span.points.size(); ++i) {
    const auto k = static_cast<size_t>(span.points[i]);
    const double d = level[k] - target[k];
    sum += span.weight[i] * d * d;
    weight += span.weight[i];
    e.max_db = std::max(e.max_db, std::abs(d));
  }
  e.rms_db = weight > 0.0 ? std::sqrt(sum / weight) : 0.0;
  return e;
}

MatchResult MatchTarget(const MatchRequest& request) {
  MatchResult result;
  result.bands = request.bands;
  const size_t count = request.bands.size();
  const auto locked = [&](size_t b) { return b < request.locked.size() && request.locked[b]; };

  // Before: the bands as they are.
  graph::Curve before;
  graph::Curve free_now{};
  for (size_t b = 0; b < count; ++b) {
    if (locked(b) || (b < request.bypassed.size() && request.bypassed[b])) continue;
    graph::Curve curve;
    const EqBandValues& v = request.bands[b];
    const auto type = static_cast<int16_t>(v.type);
    const double qe = graph::EffectiveQ(type, GainDb(v.gain), graph::BandQFromByte(type, v.q));
    graph::FillBandCurve(type, GainDb(v.gain), v.frequency, qe, curve);
    for (size_t k = 0; k < curve.size(); ++k) free_now[k] += curve[k];
  }
  for (size_t k = 0; k < before.size(); ++k) {
    before[k] = request.measured[k] + request.fixed[k] + free_now[k];
  }
  result.before = ErrorOver(before, request.target, request.low_hz, request.high_hz);

  const Span span = MakeSpan(request.measured, request.low_hz, request.high_hz);
  Searcher s{span,
             {},
             std::vector<double>(span.points.size(), 0.0),
             std::max(protocol::kMinFrequency, static_cast<int>(std::ceil(request.low_hz))),
             std::min(protocol::kMaxFrequency, static_cast<int>(std::floor(request.high_hz))),
             std::clamp(static_cast<int>(std::floor((request.boost_limit_db + 15.0) * 2.0 + 1e-9)),
                        0, kGainTop),
             request.boost_limit_db};
  s.residual.resize(span.points.size());
  for (size_t i = 0; i < span.points.size(); ++i) {
    const auto k = static_cast<size_t>(span.points[i]);
    s.residual[i] = request.measured[k] + request.fixed[k] - request.target[k];
  }

  // Free bands start flat; each in turn takes the largest deviation left (a peak before a dip).
  std::vector<size_t> placed;
  std::vector<std::vector<double>> curves(count, std::vector<double>(span.points.size(), 0.0));
  std::vector<double> curve;
  for (size_t b = 0; b < count && !span.points.empty(); ++b) {
    if (locked(b)) continue;
    result.bands[b] = s.Clamped(request.bands[b].frequency, 30, request.bands[b].q);
    result.bands[b].type = static_cast<uint8_t>(graph::kBandBell);
    const std::vector<double> smooth = Smoothed(s.residual, span);
    size_t at = 0;
    double best = 0.0;
    for (size_t i = 0; i < smooth.size(); ++i) {
      // A dip where the bands already lift as far as allowed cannot be filled any further.
      const double headroom = request.boost_limit_db - s.lift[i];
      const double score = smooth[i] > 0.0 ? smooth[i] : -kDipWeight * smooth[i];
      if (score > best && (smooth[i] > 0.0 || headroom > kEnoughDb)) {
        best = score;
        at = i;
      }
    }
    if (best < kEnoughDb) continue;
    const int hz = static_cast<int>(std::lround(span.hz[at]));
    const double wanted = std::min(-smooth[at], request.boost_limit_db - s.lift[at]);
    double best_cost = Cost(s.residual, span);
    EqBandValues chosen = s.Clamped(hz, 30, 0);
    // The Q that fits best; a gain that lifts too much with every Q is tried again halved.
    for (double g = wanted; chosen.gain == 30 && std::abs(g) >= 0.5; g /= 2.0) {
      const int gain = protocol::ScaleOf(ScaleKind::kEqGain).ByteOf(g);
      for (int q = 0; q <= kBellQTop; ++q) {
        const double cost = s.Try(curves[b], s.Clamped(hz, gain, q), curve);
        if (cost < best_cost) {
          best_cost = cost;
          chosen = s.Clamped(hz, gain, q);
        }
      }
    }
    if (chosen.gain == 30) continue;  // nothing fits here; the band stays unused
    s.Try(curves[b], chosen, curve);
    s.Replace(curves[b], curve);
    result.bands[b] = chosen;
    placed.push_back(b);
  }

  // Then every placed band moves one step at a time in frequency, gain or Q while that helps.
  const int hz_steps[] = {-1, 1};
  for (int round = 0; round < kMaxRounds; ++round) {
    bool moved = false;
    for (const size_t b : placed) {
      const EqBandValues now = result.bands[b];
      double best_cost = Cost(s.residual, span);
      EqBandValues best = now;
      std::vector<EqBandValues> trials;
      for (const int dir : hz_steps) {
        for (const double octave : {1.0 / 48.0, 1.0 / 12.0}) {
          const int hz = static_cast<int>(std::lround(now.frequency * std::exp2(dir * octave)));
          trials.push_back(s.Clamped(hz, now.gain, now.q));
        }
        trials.push_back(s.Clamped(now.frequency, now.gain + dir, now.q));
        trials.push_back(s.Clamped(now.frequency, now.gain, now.q + dir));
        trials.push_back(s.Clamped(now.frequency, now.gain, now.q + 4 * dir));
      }
      for (const EqBandValues& t : trials) {
        const double cost = s.Try(curves[b], t, curve);
        if (cost < best_cost - 1e-12) {
          best_cost = cost;
          best = t;
        }
      }
      if (best.frequency != now.frequency || best.gain != now.gain || best.q != now.q) {
        s.Try(curves[b], best, curve);
        s.Replace(curves[b], curve);
        result.bands[b] = best;
        moved = true;
      }
    }
    if (!moved) break;
  }

  graph::Curve after;
  graph::Curve free_after{};
  for (size_t b = 0; b < count; ++b) {
    if (locked(b)) continue;
    graph::Curve c;
    const EqBandValues& v = result.bands[b];
    const auto type = static_cast<int16_t>(v.type);
    const double qe = graph::EffectiveQ(type, GainDb(v.gain), graph::BandQFromByte(type, v.q));
    graph::FillBandCurve(type, GainDb(v.gain), v.frequency, qe, c);
    for (size_t k = 0; k < c.size(); ++k) free_after[k] += c[k];
  }
  for (size_t k = 0; k < after.size(); ++k) {
    after[k] = request.measured[k] + request.fixed[k] + free_after[k];
  }
  result.after = ErrorOver(after, request.target, request.low_hz, request.high_hz);
  return result;
}

}  // namespace tessaly::model

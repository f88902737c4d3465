#pragma once

#include <vector>

#include "graph/ResponseCurves.h"
#include "protocol/Dispatch.h"

namespace tessaly::model {

// What a match works from: the measurement and the target on the graph grid, the response of
// everything the match leaves alone (locked bands, crossovers, an input summed in), and the
// channel's bands as they are.
struct MatchRequest {
  graph::Curve measured{};                    // NaN where there is no measurement
  graph::Curve target{};                      // the level wanted (0 dB everywhere for flat)
  graph::Curve fixed{};                       // added to the measurement as it is
  std::vector<protocol::EqBandValues> bands;  // the channel's bands now
  std::vector<bool> bypassed;                 // per band, as the channel holds them now
  std::vector<bool> locked;                   // per band; a locked band is kept as it is
  double low_hz = 40.0;
  double high_hz = 16000.0;
  double boost_limit_db = 3.0;  // the free bands together lift nowhere more than this
};

struct MatchError {
  double rms_db = 0.0;
  double max_db = 0.0;
};

struct MatchResult {
  std::vector<protocol::EqBandValues> bands;  // every band of the channel, locked ones as given
  MatchError before;
  MatchError after;
};

// Proposes settings for the free bands that bring measurement + EQ toward the target over the
// range: Bell bands on the device's grids (whole hertz inside the range, half-dB gains, the bell
// Q table), cuts preferred over boosts, the free bands together lifting nowhere in the range by
// more than the limit. Free bands the match
// does not need become Bell at 0 dB; every free band is to be active. The error is weighted by log
// frequency, so each octave counts alike although the grid is denser at the low end.
MatchResult MatchTarget(const MatchRequest& request);

// The error of `level` against `target` over the range, weighted as MatchTarget weighs it.
MatchError ErrorOver(const graph::Curve& level, const graph::Curve& target, double low_hz,
                     double high_hz);

}  // namespace tessaly::model

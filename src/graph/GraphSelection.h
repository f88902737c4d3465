#pragma once

#include <QString>
#include <vector>

#include "graph/GraphScale.h"
#include "graph/ResponseCurves.h"

namespace tessaly::graph {

// What the graph window is asked to show: per channel whether it is checked, and per output the
// input whose curve is added to it (-1: the output alone).
struct CurveChoice {
  std::vector<bool> shown;
  std::vector<int> sum_input;
};

// Every channel shown and every output alone.
CurveChoice AllChannels(int device_type);

struct ShownCurve {
  int channel = 0;
  int input = -1;  // the input added to an output, -1 for none
  QString name;    // "Left" or "Left + InL"
  Rgb colour;
  Curve values{};
};

// The curves to draw, from the stored tables only, in channel order; an output with an input
// added is the point-wise sum of the two (the input's EQ followed by the output's).
std::vector<ShownCurve> ShownCurves(const ResponseCurves& curves, int slot, int device_type,
                                    const CurveChoice& choice);

// The shown curves as text: a header "Frequency [Hz],<name> [dB],..." and one line per
// frequency of the grid, numbers with a decimal point whatever the locale.
QString CurvesCsv(const std::vector<ShownCurve>& shown);

}  // namespace tessaly::graph

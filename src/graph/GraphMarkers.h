#pragma once

#include <QString>
#include <optional>
#include <span>

#include "graph/ResponseCurves.h"

namespace tessaly::graph {

// A band's handle on the graph, in pixels of the picture.
struct MarkerPoint {
  double x = 0.0;
  double y = 0.0;
};

// The marker nearest to `at` within `radius` pixels; -1 when none is that close.
int HitMarker(std::span<const MarkerPoint> markers, MarkerPoint at, double radius);

// Where a band's marker stands for its frequency and gain.
MarkerPoint MarkerPosition(double hz, double gain_db, double width, double height);

// What a marker dragged to (x, y) means: the frequency on the log axis in whole hertz and the
// gain in tenths of a dB, both held inside the EQ's range.
struct MarkerValue {
  int hz = 0;
  double gain_db = 0.0;
  friend bool operator==(const MarkerValue&, const MarkerValue&) = default;
};
MarkerValue MarkerAt(double x, double y, double width, double height);

// The EQ gain slider: position 1 is +15 dB, 31 is 0 dB, 61 is -15 dB, half a dB per step. A gain
// between two steps goes to the step above it.
int EqGainSliderPosition(double gain_db);
double EqGainOfSliderPosition(int position);

// "Freq=1000Hz; Gain=3.5dB", the read-out beside a dragged marker.
QString MarkerText(int hz, double gain_db);

// The points at which two curves differ, first to last; nullopt when they are equal.
struct PointSpan {
  int first = 0;
  int last = 0;
};
std::optional<PointSpan> ChangedSpan(const Curve& before, const Curve& after);

}  // namespace tessaly::graph

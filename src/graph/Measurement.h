#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

#include "graph/ResponseCurves.h"

namespace tessaly::graph {

// A measured response as a measuring tool exports it: ascending frequencies with their level in
// dB (and phase in degrees when the file has it).
struct Measurement {
  std::vector<double> hz;
  std::vector<double> db;
  std::vector<double> phase;  // empty when the file gave none
  QStringList notes;          // words about what was left off (points beyond the graph)
};

// The first line of a text that could not be read, and why.
struct TextFault {
  int line = 0;  // from 1
  QString reason;
  QString Sentence() const;  // "Line 4: the frequencies must rise (900 Hz follows 1000 Hz)."
};

struct MeasurementOrFault {
  std::optional<Measurement> measurement;
  TextFault fault;
};

// Lines of frequency, level and optionally phase, separated by commas, tabs, semicolons or
// blanks; lines starting with '*' or '#' are comments. With tab or semicolon separators a
// decimal comma is read as a point. Frequencies must rise strictly; NaN and infinite values are
// refused. Points outside 20 Hz to 20 kHz stay for resampling and are named in the notes.
MeasurementOrFault ParseMeasurement(QStringView text);

// Smoothing choices of the graph: none, 1/48, 1/12, 1/6 and 1/3 octave.
inline constexpr int kSmoothingChoices[] = {0, 48, 12, 6, 3};

// 1/N-octave smoothing: each point becomes the mean level (in dB) of the points within 1/(2N)
// octave on either side. N = 0 leaves the levels as they are.
std::vector<double> SmoothOctave(const Measurement& m, int fraction);

// The levels (already smoothed) on the graph's own grid. Each grid point takes the mean level
// of the measured points closer to it than to its neighbouring grid points; where there are
// none it interpolates linearly in level over log frequency. Outside the measured range the
// point is NaN (not drawn).
Curve ResampleToGraph(const Measurement& m, const std::vector<double>& levels);

// Both steps at once, plus an offset in dB.
Curve MeasurementCurve(const Measurement& m, int fraction, double offset_db = 0.0);

}  // namespace tessaly::graph

#pragma once

#include <QString>
#include <array>

namespace tessaly::graph {

// Both graph places share one scale: log frequency 20 Hz .. 20 kHz across the width, linear gain
// +30 dB (top) .. -30 dB (bottom) down the height.
inline constexpr double kGraphMinHz = 20.0;
inline constexpr double kGraphMaxHz = 20000.0;
inline constexpr double kGraphTopDb = 30.0;
inline constexpr double kGraphSpanDb = 60.0;
inline constexpr double kGraphDecades = 3.0;  // log10(20000) - log10(20)

// Vertical grid lines. There are none at 60 to 90 Hz, and the last one sits just inside the edge.
inline constexpr std::array<int, 24> kGraphTickFreq{
    20,  30,   40,   50,   100,  200,  300,  400,  500,  600,  700,   800,
    900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 19900};
inline constexpr int kGainGridLines = 13;  // every 5 dB from -30 to +30

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kGridColour{80, 80, 80};
inline constexpr int kGridDrawWidth = 1;
inline constexpr int kCurveDrawWidth = 2;

// Pixels per decade for a drawing `width` pixels wide.
double GraphXScale(double width);
double GraphYScale(double height);
double GraphY0(double height);

double FreqToX(double hz, double width);
// The frequency at x, the inverse of FreqToX.
double XToFreq(double x, double width);
// The gain at y, the inverse of DbToY before its rounding.
double YToDb(double y, double height);
// Rounded to a whole pixel, as the curves are drawn.
int DbToY(double db, double height);
// A curve point on the plot's pixels, rounded like the grid lines: 20 kHz and -30 dB land on the
// last pixel inside the plot (where the grid's edge lines are), not one past it. Beyond the
// range a point stays outside, to be clipped.
int CurveX(double hz, double width);
int CurveY(double db, double height);

// Gain of horizontal grid line i (0 .. 12), from -30 dB up.
double GainGridDb(int i);

// Curve colour of a channel; black for a channel the family does not have.
Rgb ChannelColour(bool family_b, int channel);

// Axis labels sit at fixed design positions scaled to the current size.
double ScaleDesignPosition(double design_pos, double design_extent, double actual_extent);

// The grid of a width x height picture in whole pixels: 24 frequency lines left to right, 13 gain
// lines from -30 dB (bottom) up.
struct GridLines {
  std::array<int, kGraphTickFreq.size()> x{};
  std::array<int, kGainGridLines> y{};
};
GridLines GraphGrid(double width, double height);

// One axis label: its text and where it is centred along its axis (x for a frequency label, y
// for a gain label) in pixels of the picture, on its grid line.
struct AxisLabel {
  QString text;
  double position = 0.0;
};
inline constexpr int kFrequencyLabels = 4;  // 100 Hz, 1 kHz, 10 kHz, 20 kHz
inline constexpr int kGainLabels = 7;       // +30 dB down to -30 dB every 10 dB
std::array<AxisLabel, kFrequencyLabels> FrequencyLabels(double width);
std::array<AxisLabel, kGainLabels> GainLabels(double height);

struct CursorReading {
  double gain_db = 0.0;
  double hz = 0.0;
};
// Reading at mouse position (x, y) clamped into a width x height picture, each rounded to one
// decimal.
CursorReading ReadCursor(double x, double y, double width, double height);
// "<gain>dB; <freq>Hz" in shortest decimal form, e.g. "0dB; 1000Hz".
QString CursorText(const CursorReading& reading);

}  // namespace tessaly::graph

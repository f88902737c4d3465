#pragma once

#include <array>
#include <cstdint>

namespace tessaly::graph {

inline constexpr int kGraphPoints = 1584;

// Band type codes, in the order of the editor's type list.
inline constexpr int16_t kBandBell = 0;
inline constexpr int16_t kBandHiShelf = 1;
inline constexpr int16_t kBandLoShelf = 2;
inline constexpr int16_t kBandHighPass = 3;
inline constexpr int16_t kBandLowPass = 4;
inline constexpr int16_t kBandNotch = 5;

inline constexpr int16_t kXoverBypass = 0;
inline constexpr int16_t kXoverLastCode = 12;

// The notch is drawn as a bell of this depth; the device's notch is deeper, but the graph stops
// at -30 dB anyway.
inline constexpr double kNotchDepthDb = -45.0;

using GraphFreqTable = std::array<int16_t, kGraphPoints>;

// Dense 1 Hz steps below 500 Hz, coarser linear segments above, so the curve is smooth on a log
// axis without a uniform log grid. 1000, 3000 and 10000 Hz each stand twice.
GraphFreqTable BuildGraphFreq();
// The grid, built on first use and never changed afterwards.
const GraphFreqTable& GraphFreq();

// Q used for drawing: bells widen as |gain| grows past 6 dB, shelves use half the stored Q, the
// notch is drawn with Q + 11. Unknown types keep Q.
double EffectiveQ(int16_t type, double gain_db, double q);

// Magnitude of a shelving band (type kBandHiShelf or kBandLoShelf) with its effective Q; 0 dB
// for any other type.
double ShelfResponseDb(int16_t type, double gain_db, double f0, double qs, double f);

// One active band at frequency f, with the Q already made effective.
double BandResponseDb(int16_t type, double gain_db, double f0, double qe, double f);

// True when a band type code has a curve; other codes leave a band's stored curve unchanged.
bool IsKnownBandType(int16_t type);

// One crossover filter (code 0 to 12) at frequency f; unknown codes give 0 dB like a bypass.
double XoverResponseDb(int16_t code, bool low_pass, double fc, double f);

// Butterworth term of order n, the building block of most crossover codes.
double ButterworthDb(int order, bool low_pass, double fc, double f);

// One second-order Bessel section with the corner moved by `factor`.
double BesselDb(bool low_pass, double fc, double factor, double f);

// Whole curves on the grid, the same values as the point functions above (to rounding) but with
// what does not depend on the frequency worked out once and one logarithm per point.
using CurveSpan = std::array<double, kGraphPoints>;
void FillBandCurve(int16_t type, double gain_db, double f0, double qe, CurveSpan& out);
void FillXoverCurve(int16_t code, bool low_pass, double fc, CurveSpan& out);

// The stored slope value is a double; the computation uses it rounded to a 16-bit code.
int16_t XoverCode(double slope);

}  // namespace tessaly::graph

#include "graph/CurveMath.h"

#include <cmath>

namespace tessaly::graph {

namespace {

struct Segment {
  double span;
  double start;
  int steps;
};

// Segments above 500 Hz: round(span / steps * i + start) for i = 0 .. steps.
constexpr std::array<Segment, 4> kSegments{{
    {500.0, 500.0, 300},
    {2000.0, 1000.0, 300},
    {7000.0, 3000.0, 300},
    {10000.0, 10000.0, 200},
}};

constexpr int kFirstDenseHz = 20;
constexpr int kLastDenseHz = 499;

// The operands stay far from overflow, so the plain form is enough and cheaper than hypot.
double Magnitude(double re, double im) { return std::sqrt(re * re + im * im); }

double BellShape(double qe, double f0, double f) {
  const double detune = f0 / f - f / f0;
  return 1.0 / (1.0 + qe * qe * detune * detune);
}

}  // namespace

GraphFreqTable BuildGraphFreq() {
  GraphFreqTable table{};
  size_t point = 0;
  for (int hz = kFirstDenseHz; hz <= kLastDenseHz; ++hz) table[point++] = static_cast<int16_t>(hz);
  for (const Segment& segment : kSegments) {
    for (int i = 0; i <= segment.steps; ++i) {
      table[point++] =
          static_cast<int16_t>(std::lround(segment.span / segment.steps * i + segment.start));
    }
  }
  return table;
}

const GraphFreqTable& GraphFreq() {
  static const GraphFreqTable table = BuildGraphFreq();
  return table;
}

double EffectiveQ(int16_t type, double gain_db, double q) {
  switch (type) {
    case kBandBell: {
      const double a = std::fabs(gain_db);
      const double k = a <= 6.0 ? 1.0 : 1.0 + (a - 6.0) * 1.1 / 9.0;
      return q / k;
    }
    case kBandHiShelf:
    case kBandLoShelf:
      return q / 2.0;
    case kBandNotch:
      return q + 11.0;
    default:
      return q;
  }
}

double ShelfResponseDb(int16_t type, double gain_db, double f0, double qs, double f) {
  if (type != kBandHiShelf && type != kBandLoShelf) return 0.0;
  const double a = std::pow(10.0, gain_db / 40.0);
  const double root_a = std::sqrt(a);
  const double x = f / f0;
  const double x2 = x * x;
  const double mid = root_a * x / qs;
  const double one_minus_ax2 = 1.0 - a * x2;
  const double a_minus_x2 = a - x2;
  double n = 0.0;
  double d = 0.0;
  if (type == kBandHiShelf) {
    n = Magnitude(one_minus_ax2 * a, mid * a);
    d = Magnitude(a_minus_x2, mid);
  } else {
    n = Magnitude(a_minus_x2 * a, mid * a);
    d = Magnitude(one_minus_ax2, mid);
  }
  return 20.0 * std::log10(n / d);
}

double BandResponseDb(int16_t type, double gain_db, double f0, double qe, double f) {
  switch (type) {
    case kBandBell:
      return gain_db * BellShape(qe, f0, f);
    case kBandHiShelf:
    case kBandLoShelf:
      return ShelfResponseDb(type, gain_db, f0, qe, f);
    case kBandHighPass:
    case kBandLowPass: {
      const double x = f / f0;
      const double x2 = x * x;
      const double m = std::sqrt((1.0 - x2) * (1.0 - x2) + x2 / (qe * qe));
      return 20.0 * std::log10((type == kBandHighPass ? x2 : 1.0) / m);
    }
    case kBandNotch:
      return kNotchDepthDb * BellShape(qe, f0, f);
    default:
      return 0.0;
  }
}

bool IsKnownBandType(int16_t type) { return type >= kBandBell && type <= kBandNotch; }

double ButterworthDb(int order, bool low_pass, double fc, double f) {
  // fc^n / sqrt(fc^2n + f^2n) written in f/fc so high orders cannot overflow.
  const double r = f / fc;
  const double rn = std::pow(r, order);
  const double denominator_db = 10.0 * std::log10(1.0 + rn * rn);
  return low_pass ? -denominator_db : 20.0 * std::log10(rn) - denominator_db;
}

double BesselDb(bool low_pass, double fc, double factor, double f) {
  if (low_pass) {
    const double x = f / (fc * factor);
    const double x2 = x * x;
    return 20.0 * std::log10(3.0 / Magnitude(3.0 - x2, 3.0 * x));
  }
  const double fb = fc / factor;
  const double f2 = 3.0 * f * f;
  return 20.0 * std::log10(f2 / Magnitude(fb * fb - f2, 3.0 * f * fb));
}

double XoverResponseDb(int16_t code, bool low_pass, double fc, double f) {
  switch (code) {
    case 1:
      return ButterworthDb(1, low_pass, fc, f);
    case 2:
      return ButterworthDb(2, low_pass, fc, f);
    case 3:
      return 2.0 * ButterworthDb(1, low_pass, fc, f);
    case 4:
      return BesselDb(low_pass, fc, 0.52, f);
    case 5:
      return ButterworthDb(3, low_pass, fc, f);
    case 6:
      return ButterworthDb(4, low_pass, fc, f);
    case 7:
      return 2.0 * ButterworthDb(2, low_pass, fc, f);
    case 8:
      return 2.0 * BesselDb(low_pass, fc, 0.649, f);
    case 9:
      return ButterworthDb(6, low_pass, fc, f);
    case 10:
      return ButterworthDb(4, low_pass, fc, f) + ButterworthDb(2, low_pass, fc, f);
    case 11:
      return ButterworthDb(8, low_pass, fc, f);
    case 12:
      return 2.0 * ButterworthDb(4, low_pass, fc, f);
    default:
      return 0.0;
  }
}

namespace {

// 10 lg v through the natural logarithm, which the C library computes faster.
constexpr double kTenOverLn10 = 4.342944819032518;  // 10 / ln 10
double PowerDb(double v) { return kTenOverLn10 * std::log(v); }

// 10 lg of the Butterworth power term |H|^2 of order n at r = f / fc.
double ButterworthPowerDb(int order, bool low_pass, double r) {
  double rn2 = 1.0;
  const double r2 = r * r;
  for (int i = 0; i < order; ++i) rn2 *= r2;
  return PowerDb(low_pass ? 1.0 / (1.0 + rn2) : rn2 / (1.0 + rn2));
}

double BesselPowerDb(bool low_pass, double fb, double f) {
  if (low_pass) {
    const double x = f / fb;
    const double x2 = x * x;
    const double re = 3.0 - x2;
    return PowerDb(9.0 / (re * re + 9.0 * x2));
  }
  const double f2 = 3.0 * f * f;
  const double re = fb * fb - f2;
  const double im = 3.0 * f * fb;
  return PowerDb(f2 * f2 / (re * re + im * im));
}

// Sections of a crossover code: Butterworth orders (0 ends the list) and a Bessel factor.
struct XoverSections {
  std::array<int, 2> orders{};
  double scale = 1.0;  // two equal sections: one computed, doubled
  double bessel = 0.0;
};

XoverSections SectionsOf(int16_t code) {
  switch (code) {
    case 1:
      return {{1, 0}, 1.0, 0.0};
    case 2:
      return {{2, 0}, 1.0, 0.0};
    case 3:
      return {{1, 0}, 2.0, 0.0};
    case 4:
      return {{0, 0}, 1.0, 0.52};
    case 5:
      return {{3, 0}, 1.0, 0.0};
    case 6:
      return {{4, 0}, 1.0, 0.0};
    case 7:
      return {{2, 0}, 2.0, 0.0};
    case 8:
      return {{0, 0}, 2.0, 0.649};
    case 9:
      return {{6, 0}, 1.0, 0.0};
    case 10:
      return {{4, 2}, 1.0, 0.0};
    case 11:
      return {{8, 0}, 1.0, 0.0};
    case 12:
      return {{4, 0}, 2.0, 0.0};
    default:
      return {};
  }
}

}  // namespace

void FillBandCurve(int16_t type, double gain_db, double f0, double qe, CurveSpan& out) {
  const GraphFreqTable& freq = GraphFreq();
  switch (type) {
    case kBandBell:
    case kBandNotch: {
      const double depth = type == kBandBell ? gain_db : kNotchDepthDb;
      const double q2 = qe * qe;
      const double inv_f0 = 1.0 / f0;
      for (int p = 0; p < kGraphPoints; ++p) {
        const double f = freq[p];
        const double detune = f0 / f - f * inv_f0;
        out[p] = depth / (1.0 + q2 * detune * detune);
      }
      return;
    }
    case kBandHiShelf:
    case kBandLoShelf: {
      const double a = std::pow(10.0, gain_db / 40.0);
      const double slope = std::sqrt(a) / qe;
      const double inv_f0 = 1.0 / f0;
      const bool high = type == kBandHiShelf;
      for (int p = 0; p < kGraphPoints; ++p) {
        const double x = freq[p] * inv_f0;
        const double x2 = x * x;
        const double mid = slope * x;
        const double one_minus_ax2 = 1.0 - a * x2;
        const double a_minus_x2 = a - x2;
        const double n_re = (high ? one_minus_ax2 : a_minus_x2) * a;
        const double d_re = high ? a_minus_x2 : one_minus_ax2;
        const double n2 = n_re * n_re + mid * a * mid * a;
        const double d2 = d_re * d_re + mid * mid;
        out[p] = PowerDb(n2 / d2);
      }
      return;
    }
    case kBandHighPass:
    case kBandLowPass: {
      const double inv_q2 = 1.0 / (qe * qe);
      const double inv_f0 = 1.0 / f0;
      for (int p = 0; p < kGraphPoints; ++p) {
        const double x = freq[p] * inv_f0;
        const double x2 = x * x;
        const double m2 = (1.0 - x2) * (1.0 - x2) + x2 * inv_q2;
        const double top = type == kBandHighPass ? x2 : 1.0;
        out[p] = PowerDb(top * top / m2);
      }
      return;
    }
    default:
      out.fill(0.0);
  }
}

void FillXoverCurve(int16_t code, bool low_pass, double fc, CurveSpan& out) {
  const GraphFreqTable& freq = GraphFreq();
  const XoverSections sections = SectionsOf(code);
  if (sections.bessel > 0.0) {
    const double fb = low_pass ? fc * sections.bessel : fc / sections.bessel;
    for (int p = 0; p < kGraphPoints; ++p) {
      out[p] = sections.scale * BesselPowerDb(low_pass, fb, freq[p]);
    }
    return;
  }
  if (sections.orders[0] == 0) {
    out.fill(0.0);
    return;
  }
  const double inv_fc = 1.0 / fc;
  for (int p = 0; p < kGraphPoints; ++p) {
    const double r = freq[p] * inv_fc;
    double db = ButterworthPowerDb(sections.orders[0], low_pass, r);
    if (sections.orders[1] != 0) db += ButterworthPowerDb(sections.orders[1], low_pass, r);
    out[p] = sections.scale * db;
  }
}

int16_t XoverCode(double slope) {
  if (!std::isfinite(slope) || slope < -32768.0 || slope > 32767.0) return -1;
  return static_cast<int16_t>(std::lround(slope));
}

}  // namespace tessaly::graph

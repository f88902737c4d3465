#include "graph/Measurement.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

#include "graph/CurveMath.h"

namespace tessaly::graph {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TextFault Fault(int line, const QString& reason) { return {line, reason}; }

QString Hz(double hz) { return QLocale::c().toString(hz, 'g', 10) + QStringLiteral(" Hz"); }

// The fields of one data line. Tabs or semicolons separate fields that may use a decimal comma;
// otherwise commas and blanks both separate.
QStringList Fields(const QString& line) {
  static const QRegularExpression kStrong(QStringLiteral("[\\t;]+"));
  static const QRegularExpression kWeak(QStringLiteral("[,\\s]+"));
  QStringList fields;
  if (line.contains(QLatin1Char('\t')) || line.contains(QLatin1Char(';'))) {
    for (QString f : line.split(kStrong, Qt::SkipEmptyParts)) {
      f = f.trimmed();
      if (!f.isEmpty()) fields << f.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    return fields;
  }
  return line.split(kWeak, Qt::SkipEmptyParts);
}

// Prefix sums of the levels, so that the mean of any run of points costs two look-ups.
std::vector<double> PrefixSums(const std::vector<double>& v) {
  std::vector<double> sums(v.size() + 1, 0.0);
  for (size_t i = 0; i < v.size(); ++i) sums[i + 1] = sums[i] + v[i];
  return sums;
}

}  // namespace

QString TextFault::Sentence() const { return QStringLiteral("Line %1: %2.").arg(line).arg(reason); }

MeasurementOrFault ParseMeasurement(QStringView text) {
  Measurement m;
  bool with_phase = true;
  int line_number = 0;
  int first_line = 0;
  for (const QStringView raw : text.split(QLatin1Char('\n'))) {
    ++line_number;
    const QString line = raw.trimmed().toString();
    if (line.isEmpty() || line.startsWith(QLatin1Char('*')) || line.startsWith(QLatin1Char('#'))) {
      continue;
    }
    if (first_line == 0) first_line = line_number;
    const QStringList fields = Fields(line);
    if (fields.size() < 2) {
      return {
          std::nullopt,
          Fault(line_number, QStringLiteral("\"%1\" is not a frequency and a level").arg(line))};
    }
    double values[3] = {0.0, 0.0, 0.0};
    const qsizetype used = std::min<qsizetype>(fields.size(), 3);
    for (qsizetype i = 0; i < used; ++i) {
      bool ok = false;
      values[i] = QLocale::c().toDouble(fields[i], &ok);
      if (!ok) {
        return {std::nullopt,
                Fault(line_number, QStringLiteral("\"%1\" is not a number").arg(fields[i]))};
      }
      if (!std::isfinite(values[i])) {
        return {std::nullopt,
                Fault(line_number,
                      QStringLiteral("\"%1\" is refused: values must be finite").arg(fields[i]))};
      }
    }
    const double hz = values[0];
    if (hz <= 0.0) {
      return {std::nullopt,
              Fault(line_number, QStringLiteral("the frequency %1 is not above 0 Hz").arg(Hz(hz)))};
    }
    if (!m.hz.empty() && hz == m.hz.back()) {
      return {std::nullopt,
              Fault(line_number, QStringLiteral("the frequency %1 stands twice").arg(Hz(hz)))};
    }
    if (!m.hz.empty() && hz < m.hz.back()) {
      return {std::nullopt,
              Fault(line_number, QStringLiteral("the frequencies must rise (%1 follows %2)")
                                     .arg(Hz(hz), Hz(m.hz.back())))};
    }
    m.hz.push_back(hz);
    m.db.push_back(values[1]);
    with_phase = with_phase && used == 3;
    m.phase.push_back(values[2]);
  }
  if (m.hz.size() < 2) {
    const int line = first_line == 0 ? std::max(line_number, 1) : first_line;
    return {std::nullopt,
            Fault(line, QStringLiteral("a measurement needs at least two lines of frequency and "
                                       "level"))};
  }
  if (!with_phase) m.phase.clear();
  const auto below = std::count_if(m.hz.begin(), m.hz.end(), [](double f) { return f < 20.0; });
  const auto above = std::count_if(m.hz.begin(), m.hz.end(), [](double f) { return f > 20000.0; });
  if (below > 0 || above > 0) {
    m.notes << QStringLiteral(
                   "%1 points below 20 Hz and %2 above 20 kHz lie beyond the graph and "
                   "are clipped.")
                   .arg(below)
                   .arg(above);
  }
  return {std::move(m), {}};
}

std::vector<double> SmoothOctave(const Measurement& m, int fraction) {
  if (fraction <= 0) return m.db;
  const double half = std::exp2(1.0 / (2.0 * fraction));
  const std::vector<double> sums = PrefixSums(m.db);
  std::vector<double> out(m.db.size());
  size_t lo = 0;
  size_t hi = 0;
  for (size_t i = 0; i < m.hz.size(); ++i) {
    const double low_edge = m.hz[i] / half;
    const double high_edge = m.hz[i] * half;
    while (m.hz[lo] < low_edge) ++lo;
    while (hi + 1 < m.hz.size() && m.hz[hi + 1] <= high_edge) ++hi;
    hi = std::max(hi, i);
    out[i] = (sums[hi + 1] - sums[lo]) / static_cast<double>(hi + 1 - lo);
  }
  return out;
}

Curve ResampleToGraph(const Measurement& m, const std::vector<double>& levels) {
  Curve out;
  out.fill(kNaN);
  if (m.hz.size() < 2 || levels.size() != m.hz.size()) return out;
  const GraphFreqTable& grid = GraphFreq();
  const std::vector<double> sums = PrefixSums(levels);
  for (int k = 0; k < kGraphPoints; ++k) {
    const double f = grid[static_cast<size_t>(k)];
    // The cell of a grid point reaches half-way (on a log scale) to its distinct neighbours; the
    // grid's end points get a cell as wide on their outer side.
    int prev = k;
    while (prev > 0 && grid[static_cast<size_t>(prev)] == grid[static_cast<size_t>(k)]) --prev;
    int next = k;
    while (next + 1 < kGraphPoints &&
           grid[static_cast<size_t>(next)] == grid[static_cast<size_t>(k)]) {
      ++next;
    }
    const double down = grid[static_cast<size_t>(prev)];
    const double up = grid[static_cast<size_t>(next)];
    double low_edge = down < f ? std::sqrt(f * down) : 0.0;
    double high_edge = up > f ? std::sqrt(f * up) : 0.0;
    if (low_edge == 0.0) low_edge = f * f / high_edge;
    if (high_edge == 0.0) high_edge = f * f / low_edge;
    const auto first = std::lower_bound(m.hz.begin(), m.hz.end(), low_edge);
    const auto last = std::lower_bound(m.hz.begin(), m.hz.end(), high_edge);
    if (last > first) {
      const auto a = static_cast<size_t>(first - m.hz.begin());
      const auto b = static_cast<size_t>(last - m.hz.begin());
      out[static_cast<size_t>(k)] = (sums[b] - sums[a]) / static_cast<double>(b - a);
      continue;
    }
    if (f < m.hz.front() || f > m.hz.back()) continue;
    const auto above = std::upper_bound(m.hz.begin(), m.hz.end(), f);
    const auto j = std::min(static_cast<size_t>(above - m.hz.begin()), m.hz.size() - 1) - 1;
    const double t = std::log(f / m.hz[j]) / std::log(m.hz[j + 1] / m.hz[j]);
    out[static_cast<size_t>(k)] = levels[j] + t * (levels[j + 1] - levels[j]);
  }
  return out;
}

Curve MeasurementCurve(const Measurement& m, int fraction, double offset_db) {
  Curve out = ResampleToGraph(m, SmoothOctave(m, fraction));
  for (double& v : out) v += offset_db;
  return out;
}

}  // namespace tessaly::graph

#include "graph/GraphScale.h"

#include <algorithm>
#include <cmath>

namespace tessaly::graph {

namespace {

constexpr std::array<Rgb, 5> kColoursA{
    {{255, 0, 0}, {0, 0, 255}, {255, 0, 255}, {192, 0, 0}, {0, 192, 192}}};
constexpr std::array<Rgb, 7> kColoursB{{{255, 0, 0},
                                        {0, 0, 255},
                                        {255, 128, 0},
                                        {255, 255, 0},
                                        {255, 0, 255},
                                        {192, 0, 0},
                                        {0, 192, 192}}};

constexpr std::array<double, kFrequencyLabels> kFrequencyLabelHz{100.0, 1000.0, 10000.0, 20000.0};
constexpr std::array<const char*, kFrequencyLabels> kFrequencyLabelText{"100Hz", "1kHz", "10kHz",
                                                                        "20kHz"};
constexpr double kGainLabelStepDb = 10.0;

double RoundOneDecimal(double v) {
  // Adding 0.0 turns a rounded -0 into 0 so the text never reads "-0".
  return std::round(v * 10.0) / 10.0 + 0.0;
}

}  // namespace

double GraphXScale(double width) { return width / kGraphDecades; }
double GraphYScale(double height) { return height / kGraphSpanDb; }
double GraphY0(double height) { return kGraphTopDb * GraphYScale(height); }

double FreqToX(double hz, double width) {
  return GraphXScale(width) * std::log10(hz / kGraphMinHz);
}

double XToFreq(double x, double width) {
  if (width <= 0.0) return kGraphMinHz;
  return kGraphMinHz * std::pow(10.0, x / GraphXScale(width));
}

double YToDb(double y, double height) {
  if (height <= 0.0) return 0.0;
  return (GraphY0(height) - y) / GraphYScale(height);
}

int DbToY(double db, double height) {
  return static_cast<int>(std::lround(GraphY0(height) - GraphYScale(height) * db));
}

int CurveX(double hz, double width) {
  const int x = static_cast<int>(std::lround(FreqToX(hz, width)));
  const int edge = static_cast<int>(std::lround(width));
  return x == edge ? edge - 1 : x;
}

int CurveY(double db, double height) {
  const int y = DbToY(db, height);
  const int edge = static_cast<int>(std::lround(height));
  return y == edge ? edge - 1 : y;
}

double GainGridDb(int i) { return kGraphSpanDb * i / (kGainGridLines - 1) - kGraphTopDb; }

Rgb ChannelColour(bool family_b, int channel) {
  if (family_b) {
    if (channel >= 0 && channel < static_cast<int>(kColoursB.size())) return kColoursB[channel];
  } else if (channel >= 0 && channel < static_cast<int>(kColoursA.size())) {
    return kColoursA[channel];
  }
  return {};
}

double ScaleDesignPosition(double design_pos, double design_extent, double actual_extent) {
  if (design_extent <= 0.0) return 0.0;
  return design_pos * actual_extent / design_extent;
}

GridLines GraphGrid(double width, double height) {
  GridLines grid;
  for (size_t i = 0; i < kGraphTickFreq.size(); ++i) {
    // The last line must stay on the picture's last pixel column, not one past it.
    const long x = std::lround(FreqToX(kGraphTickFreq[i], width));
    grid.x[i] = static_cast<int>(std::clamp(x, 0L, std::max(0L, std::lround(width) - 1)));
  }
  for (int i = 0; i < kGainGridLines; ++i) grid.y[i] = DbToY(GainGridDb(i), height);
  return grid;
}

std::array<AxisLabel, kFrequencyLabels> FrequencyLabels(double width) {
  std::array<AxisLabel, kFrequencyLabels> labels;
  for (int i = 0; i < kFrequencyLabels; ++i) {
    labels[i] = {QString::fromLatin1(kFrequencyLabelText[i]), FreqToX(kFrequencyLabelHz[i], width)};
  }
  return labels;
}

std::array<AxisLabel, kGainLabels> GainLabels(double height) {
  std::array<AxisLabel, kGainLabels> labels;
  for (int i = 0; i < kGainLabels; ++i) {
    const double db = kGraphTopDb - kGainLabelStepDb * i;
    labels[i] = {(db > 0 ? QStringLiteral("+") : QString()) + QString::number(db),
                 GraphY0(height) - GraphYScale(height) * db};
  }
  return labels;
}

CursorReading ReadCursor(double x, double y, double width, double height) {
  CursorReading reading;
  if (width <= 0.0 || height <= 0.0) return reading;
  x = std::clamp(x, 0.0, width);
  y = std::clamp(y, 0.0, height);
  reading.gain_db = RoundOneDecimal((height / 2.0 - y) / (height / kGraphSpanDb));
  reading.hz = RoundOneDecimal(kGraphMinHz * std::pow(10.0, x * kGraphDecades / width));
  return reading;
}

QString CursorText(const CursorReading& reading) {
  return QString::number(reading.gain_db) + QStringLiteral("dB; ") + QString::number(reading.hz) +
         QStringLiteral("Hz");
}

}  // namespace tessaly::graph

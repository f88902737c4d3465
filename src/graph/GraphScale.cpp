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

int DbToY(double db, double height) {
  return static_cast<int>(std::lround(GraphY0(height) - GraphYScale(height) * db));
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

#include "widgets/LedMeter.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "widgets/UiScale.h"

namespace tessaly::widgets {
namespace {

constexpr double kLedHeight = 9.0;
constexpr double kLedWidth = 12.0;
constexpr double kGap = 2.0;
constexpr int kFirstAmber = 6;
constexpr int kRed = 8;
constexpr int kDarkFactor = 400;  // an unlit LED is the lit colour four times darker

// The scale in 3 dB steps, one mark per LED.
constexpr std::array<const char*, LedMeter::kLeds> kMarks = {"-15", "-12", "-9", "-6", "-3",
                                                             "0",   "+3",  "+6", "+9"};

QColor LedColour(int led) {
  if (led >= kRed) return {235, 40, 40};
  if (led >= kFirstAmber) return {240, 180, 30};
  return {60, 210, 80};
}

int Px(double value) { return static_cast<int>(std::lround(value * UiScale())); }

}  // namespace

LedMeter::LedMeter(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setToolTip(QStringLiteral("-15 dBV to + 9 dBV"));
}

void LedMeter::setScaleShown(bool shown) {
  if (scale_shown_ == shown) return;
  scale_shown_ = shown;
  updateGeometry();
  update();
}

bool LedMeter::setLit(int lit) {
  lit = std::clamp(lit, 0, kLeds);
  if (lit == lit_) return false;
  lit_ = lit;
  ++updates_;
  update(LedColumn());  // the scale stays as it is
  return true;
}

int LedMeter::ScaleWidth() const {
  return scale_shown_ ? fontMetrics().horizontalAdvance(QStringLiteral("-15")) + Px(3) : 0;
}

QRect LedMeter::LedColumn() const {
  const int caption = scale_shown_ ? fontMetrics().height() : 0;
  return {ScaleWidth(), caption, Px(kLedWidth + 2 * kGap), Px(kLeds * (kLedHeight + kGap) + kGap)};
}

QSize LedMeter::sizeHint() const {
  const int height = Px(kLeds * (kLedHeight + kGap) + kGap);
  const int caption = scale_shown_ ? fontMetrics().height() : 0;
  return {ScaleWidth() + Px(kLedWidth + 2 * kGap), height + caption};
}

void LedMeter::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const bool scale = scale_shown_ && !LedColumn().contains(event->rect());
  if (scale) painter.fillRect(rect(), palette().color(QPalette::Window));
  const int left = ScaleWidth();
  const int gap = Px(kGap);
  const int led_height = Px(kLedHeight);
  const int led_width = Px(kLedWidth);
  const int caption = scale_shown_ ? fontMetrics().height() : 0;
  // The unit sits over the scale, so bars with and without a scale line up at the bottom.
  if (scale) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, 0, width(), caption), Qt::AlignCenter, QStringLiteral("dBV"));
  }
  painter.translate(0, caption);
  painter.fillRect(QRect(left, 0, led_width + 2 * gap, Px(kLeds * (kLedHeight + kGap) + kGap)),
                   QColor(16, 16, 16));
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  painter.setFont(small);
  for (int led = 0; led < kLeds; ++led) {
    const int top = gap + (kLeds - 1 - led) * (led_height + gap);
    // A disabled meter shows no level: its source is out of reach.
    const QColor colour =
        isEnabled() ? LedColour(led) : palette().color(QPalette::Disabled, QPalette::Mid);
    painter.fillRect(QRect(left + gap, top, led_width, led_height),
                     led < lit_ && isEnabled() ? colour : colour.darker(kDarkFactor));
    if (scale) {
      painter.setPen(palette().color(QPalette::WindowText));
      painter.drawText(QRect(0, top - led_height, left - Px(3), 3 * led_height),
                       Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(kMarks[led]));
    }
  }
}

}  // namespace tessaly::widgets

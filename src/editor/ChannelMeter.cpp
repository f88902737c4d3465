#include "editor/ChannelMeter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "widgets/LedMeter.h"
#include "widgets/StatusLed.h"

namespace tessaly::editor {
namespace {

const QColor kSignalColour(60, 210, 80);
const QColor kClipColour(255, 0, 0);
const QColor kLimitColour(240, 180, 30);
constexpr const char* kNoValue = "\u2014";

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont small = label->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  label->setFont(small);
  return label;
}

// Rounded to one decimal; a reduction that rounds to nothing reads "0.0", never "-0.0".
QString Decibels(double db) {
  return QString::number(std::round(db * 10.0) / 10.0 + 0.0, 'f', 1) + QStringLiteral(" dB");
}

void SetText(QLabel& label, const QString& text) {
  if (label.text() != text) label.setText(text);
}

}  // namespace

ChannelMeter::ChannelMeter(int channel, int bars, QWidget* parent)
    : QFrame(parent), channel_(channel) {
  setObjectName(QStringLiteral("channelMeter%1").arg(channel));
  auto* bar_row = new QHBoxLayout;
  bar_row->setSpacing(2);
  for (int i = 0; i < std::clamp(bars, 1, protocol::kMeterPoints); ++i) {
    auto* bar = new widgets::LedMeter(this);
    bar->setObjectName(QStringLiteral("meterBar%1").arg(i));
    bar->setScaleShown(i == 0);
    if (bars > 1) bar->setToolTip(QStringLiteral("Meter point %1: -15 dBV to + 9 dBV").arg(i + 1));
    bar_row->addWidget(bar, 0, Qt::AlignBottom);
    bars_.push_back(bar);
  }
  bar_row->addStretch(1);

  signal_ = new widgets::StatusLed(this);
  signal_->setObjectName(QStringLiteral("signalLed"));
  limit_ = new widgets::StatusLed(this);
  limit_->setObjectName(QStringLiteral("limitLed"));
  auto* lamps = new QGridLayout;
  lamps->setSpacing(3);
  lamps->addWidget(signal_, 0, 0);
  lamps->addWidget(Caption(QStringLiteral("Sgn/Clip"), this), 0, 1);
  lamps->addWidget(limit_, 1, 0);
  lamps->addWidget(Caption(QStringLiteral("Limit"), this), 1, 1);

  gain_reduction_ = Caption(QString(), this);
  gain_reduction_->setObjectName(QStringLiteral("gainReduction"));
  gain_reduction_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  gain_reduction_->setToolTip(QStringLiteral("Gain Reduction"));
  gain_reduction_->setMinimumHeight(gain_reduction_->fontMetrics().height());
  // The widest value keeps the layout from jumping.
  gain_reduction_->setMinimumWidth(
      gain_reduction_->fontMetrics().horizontalAdvance(QStringLiteral("-90.3 dB")));

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(3);
  column->addLayout(bar_row);
  column->addLayout(lamps);
  column->addWidget(Caption(QStringLiteral("Gain Reduction"), this));
  column->addWidget(gain_reduction_);
}

void ChannelMeter::Show(const protocol::MeterChannel& reading) {
  last_ = reading;
  if (bars_.size() == 1) {
    bars_[0]->setLit(reading.leds[static_cast<size_t>(main_point_)]);
  } else {
    for (size_t i = 0; i < bars_.size(); ++i) bars_[i]->setLit(reading.leds[i]);
  }
  const bool signal = std::ranges::any_of(reading.level_db,
                                          [](double level) { return level > protocol::kSilentDb; });
  signal_->setColour(reading.clip ? kClipColour : signal ? kSignalColour : QColor());
  limit_->setColour(reading.limit ? kLimitColour : QColor());
  // A channel the reply carries no word for (the 540S Sub) gets a dash, never an empty caption.
  SetText(*gain_reduction_, reading.gain_reduction_db ? Decibels(*reading.gain_reduction_db)
                                                      : QString::fromUtf8(kNoValue));
  const QString tip = reading.gain_reduction_db ? QStringLiteral("Gain Reduction")
                                                : QStringLiteral(
                                                      "Gain Reduction: the device does not report "
                                                      "it for this channel");
  if (gain_reduction_->toolTip() != tip) gain_reduction_->setToolTip(tip);
}

void ChannelMeter::SetMainPoint(int point) {
  if (point < 0 || point >= protocol::kMeterPoints || point == main_point_) return;
  main_point_ = point;
  Show(last_);
}

}  // namespace tessaly::editor

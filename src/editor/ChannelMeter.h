#pragma once

#include <QFrame>
#include <vector>

#include "protocol/MeterReading.h"

class QLabel;

namespace tessaly::widgets {
class LedMeter;
class StatusLed;
}  // namespace tessaly::widgets

namespace tessaly::editor {

// One channel's live meter: LED bars, the "Sgn/Clip" and limiter lamps and the gain reduction.
// With three bars each shows its own meter point; with one bar it shows the chosen point.
// Named "channelMeter<channel>".
class ChannelMeter : public QFrame {
  Q_OBJECT

 public:
  ChannelMeter(int channel, int bars, QWidget* parent = nullptr);

  int channel() const { return channel_; }
  // Shows a reading; only what changed repaints.
  void Show(const protocol::MeterChannel& reading);
  // The point the single bar shows; the last reading is shown again at once.
  void SetMainPoint(int point);
  int main_point() const { return main_point_; }

  int bar_count() const { return static_cast<int>(bars_.size()); }
  widgets::LedMeter& bar(int index) const { return *bars_[static_cast<size_t>(index)]; }
  widgets::StatusLed& signal_led() const { return *signal_; }
  widgets::StatusLed& limit_led() const { return *limit_; }
  QLabel& gain_reduction() const { return *gain_reduction_; }

 private:
  int channel_;
  int main_point_ = 0;
  protocol::MeterChannel last_{};
  std::vector<widgets::LedMeter*> bars_;
  widgets::StatusLed* signal_ = nullptr;
  widgets::StatusLed* limit_ = nullptr;
  QLabel* gain_reduction_ = nullptr;
};

}  // namespace tessaly::editor

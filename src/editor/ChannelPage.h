#pragma once

#include <QWidget>

#include "editor/EditorContext.h"

class QVBoxLayout;

namespace tessaly::editor {

class MeterPoints;

// One channel of a device: gain and mute, polarity, delay, the dynamics of an input (gate and
// compressor) or an output (limiter), and the frame the EQ and crossover section fills.
class ChannelPage : public QWidget {
  Q_OBJECT

 public:
  ChannelPage(EditorContext& context, int channel, QWidget* parent = nullptr);

  int channel() const { return channel_; }
  // The frame that holds the EQ and crossover controls.
  QWidget* eqSection() const { return eq_section_; }
  // Family B: the label that shows and chooses where the channel's meter listens.
  void ShowMeterPoint(MeterPoints& points);

 private:
  int channel_;
  QWidget* eq_section_ = nullptr;
  QVBoxLayout* side_ = nullptr;
};

}  // namespace tessaly::editor

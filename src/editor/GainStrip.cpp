#include "editor/GainStrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "device/DeviceTypes.h"
#include "editor/ChannelMeter.h"
#include "editor/EditorSupport.h"
#include "editor/MuteButton.h"
#include "editor/ParameterColumn.h"
#include "editor/SwitchBinding.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {
namespace {
constexpr int kColourBarHeight = 4;
// Family B shows one bar per channel, at the meter point the user picks.
int MeterBars(const EditorContext& context) {
  return device::IsFamilyB(DeviceTypeOf(context)) ? 1 : protocol::kMeterPoints;
}
}  // namespace

GainStrip::GainStrip(EditorContext& context, int channel, QWidget* parent, Shape shape)
    : QFrame(parent) {
  const QString name = protocol::ChannelName(DeviceTypeOf(context), channel);
  setObjectName(QStringLiteral("strip") + name);
  setFrameShape(QFrame::StyledPanel);

  auto* bar = new QFrame(this);
  bar->setFixedHeight(kColourBarHeight);
  bar->setAutoFillBackground(true);
  QPalette bar_colours = bar->palette();
  bar_colours.setColor(QPalette::Window, ChannelColor(context, channel));
  bar->setPalette(bar_colours);
  auto* title = new QLabel(name, this);
  title->setObjectName(QStringLiteral("channelLabel"));
  title->setAlignment(Qt::AlignHCenter);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);

  gain_ = new ParameterColumn(context, model::ParamId::kGain, channel,
                              {QStringLiteral("Gain [dB]"), true, 0, -1}, this);
  mute_ = new MuteButton(this);
  mute_->setObjectName(QStringLiteral("muteButton"));
  new SwitchBinding(context, Target(context, model::ParamId::kMute, channel), mute_);

  auto* column = new QVBoxLayout(this);
  column->addWidget(bar);
  if (shape == Shape::kCompact) {
    auto* title_row = new QHBoxLayout;
    title_row->addWidget(title, 1);
    title_row->addWidget(mute_);
    column->addLayout(title_row);
  } else {
    column->addWidget(title);
  }
  auto* gain_row = new QHBoxLayout;
  gain_row->addWidget(gain_, 1);
  gain_row->addWidget(new ChannelMeter(channel, MeterBars(context), this), 0, Qt::AlignBottom);
  column->addLayout(gain_row, 1);
  if (shape == Shape::kDesk) column->addWidget(mute_, 0, Qt::AlignHCenter);
}

}  // namespace tessaly::editor

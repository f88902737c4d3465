#include "editor/GainStrip.h"

#include <QLabel>
#include <QVBoxLayout>

#include "editor/EditorSupport.h"
#include "editor/MuteButton.h"
#include "editor/ParameterColumn.h"
#include "editor/SwitchBinding.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {
namespace {
constexpr int kColourBarHeight = 4;
}  // namespace

GainStrip::GainStrip(EditorContext& context, int channel, QWidget* parent) : QFrame(parent) {
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

  gain_ = new ParameterColumn(context, "gain", channel, {QStringLiteral("Gain [dB]"), true, 0, -1},
                              this);
  mute_ = new MuteButton(this);
  mute_->setObjectName(QStringLiteral("muteButton"));
  new SwitchBinding(context, Target(context, "mute", channel), mute_);

  auto* column = new QVBoxLayout(this);
  column->addWidget(bar);
  column->addWidget(title);
  column->addWidget(gain_, 1);
  column->addWidget(mute_, 0, Qt::AlignHCenter);
}

}  // namespace tessaly::editor

#include "editor/ChannelPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "editor/DelayControls.h"
#include "editor/DynamicsSection.h"
#include "editor/EditorSupport.h"
#include "editor/EqSection.h"
#include "editor/GainStrip.h"
#include "editor/SwitchBinding.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {

ChannelPage::ChannelPage(EditorContext& context, int channel, QWidget* parent)
    : QWidget(parent), channel_(channel) {
  setObjectName(QStringLiteral("channelPage") +
                protocol::ChannelName(DeviceTypeOf(context), channel));

  auto* strip = new GainStrip(context, channel, this);

  auto* polarity_box = new QGroupBox(QStringLiteral("Polarity"), this);
  auto* polarity = new QCheckBox(QStringLiteral("Inverted"), polarity_box);
  polarity->setObjectName(QStringLiteral("polarityCheck"));
  new SwitchBinding(context, Target(context, "polarity", channel), polarity);
  (new QVBoxLayout(polarity_box))->addWidget(polarity);

  auto* delay_box = new QGroupBox(QStringLiteral("Delay"), this);
  (new QVBoxLayout(delay_box))->addWidget(new DelayControls(context, channel, false, delay_box));

  auto* side = new QVBoxLayout;
  side->addWidget(polarity_box);
  side->addWidget(delay_box);
  side->addStretch(1);

  auto* top = new QHBoxLayout;
  top->addWidget(strip);
  top->addLayout(side);
  top->addWidget(new DynamicsSection(context, channel, this), 1);

  // Filled by the EQ and crossover section.
  auto* eq = new QGroupBox(QStringLiteral("EQ"), this);
  eq->setObjectName(QStringLiteral("eqSection"));
  eq->setMinimumHeight(fontMetrics().height() * 12);
  (new QVBoxLayout(eq))->addWidget(new EqSection(context, channel, eq));
  eq_section_ = eq;

  auto* page = new QVBoxLayout(this);
  page->addLayout(top);
  page->addWidget(eq, 1);
}

}  // namespace tessaly::editor

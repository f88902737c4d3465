#include "editor/ChannelPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

#include "editor/DelayControls.h"
#include "editor/DynamicsSection.h"
#include "editor/EditorSupport.h"
#include "editor/EqSection.h"
#include "editor/GainStrip.h"
#include "editor/MeterPointLabel.h"
#include "editor/MeterPoints.h"
#include "editor/SwitchBinding.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {
namespace {

// Asks for no more height than it needs: the splitter hands the rest to the EQ graph.
class CompactHalf : public QWidget {
 public:
  using QWidget::QWidget;
  QSize sizeHint() const override { return minimumSizeHint(); }
};

}  // namespace

ChannelPage::ChannelPage(EditorContext& context, int channel, QWidget* parent)
    : QWidget(parent), channel_(channel) {
  setObjectName(QStringLiteral("channelPage") +
                protocol::ChannelName(DeviceTypeOf(context), channel));

  auto* strip = new GainStrip(context, channel, this, GainStrip::Shape::kCompact);

  auto* polarity_box = new QGroupBox(QStringLiteral("Polarity"), this);
  auto* polarity = new QCheckBox(QStringLiteral("Inverted"), polarity_box);
  polarity->setObjectName(QStringLiteral("polarityCheck"));
  new SwitchBinding(context, Target(context, model::ParamId::kPolarity, channel), polarity);
  (new QVBoxLayout(polarity_box))->addWidget(polarity);

  auto* delay_box = new QGroupBox(QStringLiteral("Delay"), this);
  (new QVBoxLayout(delay_box))->addWidget(new DelayControls(context, channel, false, delay_box));

  side_ = new QVBoxLayout;
  side_->addWidget(polarity_box);
  side_->addWidget(delay_box);
  side_->addStretch(1);

  auto* top_half = new CompactHalf(this);
  auto* top = new QHBoxLayout(top_half);
  top->setContentsMargins(0, 0, 0, 0);
  top->addWidget(strip);
  top->addLayout(side_);
  top->addWidget(new DynamicsSection(context, channel, this), 1);

  // Filled by the EQ and crossover section.
  auto* eq = new QGroupBox(QStringLiteral("EQ"), this);
  eq->setObjectName(QStringLiteral("eqSection"));
  eq->setMinimumHeight(fontMetrics().height() * 12);
  (new QVBoxLayout(eq))->addWidget(new EqSection(context, channel, eq));
  eq_section_ = eq;

  // The graph is what the eye comes back to: it takes the page's spare height, and the user may
  // trade more of it against the dynamics above.
  auto* split = new QSplitter(Qt::Vertical, this);
  split->setObjectName(QStringLiteral("channelSplitter"));
  split->setChildrenCollapsible(false);
  split->addWidget(top_half);
  split->addWidget(eq);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(4, 4, 4, 4);
  page->addWidget(split);
}

void ChannelPage::ShowMeterPoint(MeterPoints& points) {
  auto* box = new QGroupBox(QStringLiteral("Meter Point"), this);
  auto* label = new MeterPointLabel(points, channel_, box);
  label->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWWW")));
  // A chip, so that it reads as something to click.
  label->setStyleSheet(
      QStringLiteral("QLabel { background: palette(button); border: 1px solid palette(light);"
                     " border-radius: 3px; padding: 2px 6px; font-weight: bold; }"));
  // The short code on the label, the whole name beside it.
  auto* spelled = new QLabel(box);
  spelled->setObjectName(QStringLiteral("meterPointCaption"));
  const auto spell = [spelled, &points, channel = channel_] {
    spelled->setText(MeterPoints::Captions(channel).value(points.Choice(channel)));
  };
  spell();
  connect(&points, &MeterPoints::choiceChanged, spelled, spell);
  auto* row = new QHBoxLayout(box);
  row->addWidget(label);
  row->addWidget(spelled, 1);
  // Under the delay, above the stretch.
  side_->insertWidget(side_->count() - 1, box);
}

}  // namespace tessaly::editor

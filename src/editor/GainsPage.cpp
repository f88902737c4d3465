#include "editor/GainsPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "editor/BlockDiagram.h"
#include "editor/EditorSupport.h"
#include "editor/GainStrip.h"
#include "protocol/Offsets.h"

namespace tessaly::editor {

GainsPage::GainsPage(EditorContext& context, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("gainsPage"));
  const protocol::Layout& layout = protocol::LayoutOfType(DeviceTypeOf(context));
  auto* flow = new QGroupBox(QStringLiteral("Signal Flow"), this);
  diagram_ = new BlockDiagram(context, QStringLiteral("gains"), flow);
  diagram_->setToolTip(QStringLiteral("Click a block to edit it"));
  (new QVBoxLayout(flow))->addWidget(diagram_);

  auto* row = new QHBoxLayout;
  for (int channel = 0; channel < layout.channel_count; ++channel) {
    // A wider gap parts the inputs from the outputs.
    if (channel == layout.first_output) row->addSpacing(fontMetrics().height() * 2);
    row->addWidget(new GainStrip(context, channel, this));
  }
  row->addStretch(1);
  auto* page = new QVBoxLayout(this);
  page->addWidget(flow);
  page->addLayout(row, 1);
}

}  // namespace tessaly::editor

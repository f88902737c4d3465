#include "editor/GainsPage.h"

#include <QHBoxLayout>

#include "editor/EditorSupport.h"
#include "editor/GainStrip.h"
#include "protocol/Offsets.h"

namespace tessaly::editor {

GainsPage::GainsPage(EditorContext& context, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("gainsPage"));
  const protocol::Layout& layout = protocol::LayoutOfType(DeviceTypeOf(context));
  auto* row = new QHBoxLayout(this);
  for (int channel = 0; channel < layout.channel_count; ++channel) {
    // A wider gap parts the inputs from the outputs.
    if (channel == layout.first_output) row->addSpacing(fontMetrics().height() * 2);
    row->addWidget(new GainStrip(context, channel, this));
  }
  row->addStretch(1);
}

}  // namespace tessaly::editor

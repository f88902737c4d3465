#include "editor/DelaysPage.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/DelayControls.h"
#include "editor/EditorSupport.h"
#include "model/EditPath.h"
#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {
namespace {

// The unit choice: one radio button per caption of the parameter, checked from the record.
QGroupBox* UnitChoice(EditorContext& context, QWidget* parent) {
  const model::EditTarget target = Target(context, model::ParamId::kDelayUnit, -1);
  auto* box = new QGroupBox(QStringLiteral("Delay Units"), parent);
  auto* column = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  const QStringList& captions = target.parameter().captions;
  // Metres first, as the device's front panel lists them.
  for (int i = static_cast<int>(captions.size()) - 1; i >= 0; --i) {
    auto* option = new QRadioButton(captions[i], box);
    option->setObjectName(captions[i].toLower() + QStringLiteral("Option"));
    group->addButton(option, i);
    column->addWidget(option);
  }
  const auto refresh = [&context, target, group] {
    const int index = context.edits.Index(target);
    const QSignalBlocker quiet(group);
    if (QAbstractButton* option = group->button(index)) option->setChecked(true);
  };
  refresh();
  QObject::connect(group, &QButtonGroup::idClicked, box, [&context, target](int id) {
    if (context.edits.Index(target) != id) context.edits.SetIndex(target, id);
  });
  QObject::connect(&context.edits, &model::EditPath::parameterChanged, box,
                   [target, refresh](int slot, int ch, model::ParamId id, int element) {
                     if (Concerns(target, slot, ch, id, element)) refresh();
                   });
  QObject::connect(&context.edits, &model::EditPath::programReplaced, box,
                   [target, refresh](int slot) {
                     if (slot == target.slot) refresh();
                   });
  column->addStretch(1);
  return box;
}

}  // namespace

DelaysPage::DelaysPage(EditorContext& context, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("delaysPage"));
  const int type = DeviceTypeOf(context);
  const protocol::Layout& layout = protocol::LayoutOfType(type);

  auto* table = new QGroupBox(QStringLiteral("Delay"), this);
  auto* grid = new QGridLayout(table);
  for (int channel = 0; channel < layout.channel_count; ++channel) {
    auto* name = new QLabel(protocol::ChannelName(type, channel), table);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto* swatch = new QFrame(table);
    swatch->setFixedSize(fontMetrics().height() / 3, fontMetrics().height());
    swatch->setAutoFillBackground(true);
    QPalette colours = swatch->palette();
    colours.setColor(QPalette::Window, ChannelColor(context, channel));
    swatch->setPalette(colours);
    auto* controls = new DelayControls(context, channel, true, table);
    controls->setObjectName(QStringLiteral("delay") + protocol::ChannelName(type, channel));
    grid->addWidget(swatch, channel, 0);
    grid->addWidget(name, channel, 1);
    grid->addWidget(controls, channel, 2);
  }

  auto* row = new QHBoxLayout(this);
  row->addWidget(table, 0, Qt::AlignTop);
  row->addWidget(UnitChoice(context, this), 0, Qt::AlignTop);
  row->addStretch(1);
}

}  // namespace tessaly::editor

#include "editor/DeviceSettingsPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/EditorSupport.h"
#include "editor/LevelControls.h"
#include "editor/SettingBinder.h"
#include "editor/SettingLook.h"
#include "model/ParameterDescriptor.h"
#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {

namespace {

// RK-540 and the 540S have the trigger line output.
constexpr int kLineOutTypeA = 0;
constexpr const char* kTriggerBlocksStandby = "Input Trigger Enabled: Button Disabled";

QString Caption(int index, int device_type, model::ParamId id) {
  model::ParseOptions context;
  context.device_type = device_type;
  return model::Param(id).Show(index, context);
}

}  // namespace

DeviceSettingsPanel::DeviceSettingsPanel(EditorContext& context, QWidget* parent)
    : QWidget(parent), context_(context), binder_(new SettingBinder(context, this)) {
  device_type_ = DeviceTypeOf(context);
  family_b_ = protocol::FamilyOf(device_type_) == protocol::Family::kB;
  setObjectName(QStringLiteral("deviceSettingsPanel"));

  auto* grid = new QGridLayout(this);
  auto* inputs = new QVBoxLayout;
  if (!family_b_) {
    inputs->addWidget(ChoiceGroup(QStringLiteral("Input Source"), model::ParamId::kInputSource,
                                  QStringLiteral("inputSource")));
    // The first pair reads first, whatever its byte.
    inputs->addWidget(ChoiceGroup(QStringLiteral("Analog Mode"), model::ParamId::kInputAnalog,
                                  QStringLiteral("analogMode"), {1, 0}));
  }
  inputs->addWidget(ChoiceGroup(QStringLiteral("Digital Mode"), model::ParamId::kInputDigital,
                                QStringLiteral("digitalMode")));
  inputs->addStretch();
  grid->addLayout(inputs, 0, 0);
  // At its own height like the other frames, not stretched down the page.
  auto* noise = new QVBoxLayout;
  noise->addWidget(NoiseGroup());
  noise->addStretch();
  grid->addLayout(noise, 0, 1);

  auto* outputs = new QVBoxLayout;
  outputs->addWidget(OutputGroup(QStringLiteral("Speaker Drive"), model::ParamId::kDrive,
                                 QStringLiteral("driveCombo")));
  if (!family_b_) {
    outputs->addWidget(OutputGroup(QStringLiteral("Routing"), model::ParamId::kSource,
                                   QStringLiteral("routingCombo")));
  }
  outputs->addWidget(LinkGroup());
  outputs->addStretch();
  grid->addLayout(outputs, 0, 2);

  auto* device = new QVBoxLayout;
  device->addWidget(StandbyGroup());
  if (QGroupBox* trigger = TriggerGroup()) device->addWidget(trigger);
  device->addWidget(ChoiceGroup(QStringLiteral("Front-Panel Leds Mode"), model::ParamId::kMeter,
                                QStringLiteral("ledMode")));
  device->addWidget(SleepAndIpGroup());
  device->addStretch();
  grid->addLayout(device, 0, 3);
  grid->setColumnStretch(4, 1);
}

QGroupBox* DeviceSettingsPanel::ChoiceGroup(const QString& title, model::ParamId id,
                                            const QString& object_name, const QList<int>& order) {
  auto* box = new QGroupBox(title, this);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  const model::ParameterDescriptor* parameter = &model::Param(id);
  QList<int> indexes = order;
  if (indexes.isEmpty()) {
    for (int i = parameter->minimum; i <= parameter->maximum; ++i) indexes << i;
  }
  for (int index : indexes) {
    auto* radio = new QRadioButton(Caption(index, device_type_, id), box);
    radio->setObjectName(object_name + QStringLiteral("Option") + QString::number(index));
    group->addButton(radio, index);
    layout->addWidget(radio);
  }
  // idClicked comes from the user only, so a shown value is never sent back.
  connect(group, &QButtonGroup::idClicked, this,
          [this, id](int index) { binder_->Set(id, -1, -1, index); });
  binder_->Bind(id, -1, -1, [group](int index) {
    if (QAbstractButton* button = group->button(index)) button->setChecked(true);
  });
  return box;
}

QGroupBox* DeviceSettingsPanel::OutputGroup(const QString& title, model::ParamId id,
                                            const QString& object_name) {
  auto* box = new QGroupBox(title, this);
  auto* grid = new QGridLayout(box);
  const protocol::Layout& layout = protocol::LayoutOfType(device_type_);
  const model::ParameterDescriptor* parameter = &model::Param(id);
  for (int ch = layout.first_output; ch < layout.channel_count; ++ch) {
    const QString name = protocol::ChannelName(device_type_, ch);
    auto* label = new QLabel(name, box);
    auto* combo = new QComboBox(box);
    combo->setObjectName(object_name + name);
    for (int i = parameter->minimum; i <= parameter->maximum; ++i) {
      combo->addItem(Caption(i, device_type_, id));
    }
    label->setBuddy(combo);
    ColourByChannel(label, family_b_, ch);
    const int row = ch - layout.first_output;
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1);
    connect(combo, &QComboBox::activated, this,
            [this, id, ch](int index) { binder_->Set(id, ch, -1, index); });
    binder_->Bind(id, ch, -1, [combo](int index) {
      if (index >= 0) combo->setCurrentIndex(index);
    });
  }
  return box;
}

QGroupBox* DeviceSettingsPanel::NoiseGroup() {
  auto* box = new QGroupBox(QStringLiteral("Noise Generator"), this);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  // Pink first, as the front panel lists them.
  for (int index : {1, 0}) {
    auto* radio = new QRadioButton(Caption(index, device_type_, model::ParamId::kNoiseType), box);
    radio->setObjectName(QStringLiteral("noiseTypeOption") + QString::number(index));
    group->addButton(radio, index);
    layout->addWidget(radio);
  }
  connect(group, &QButtonGroup::idClicked, this,
          [this](int index) { binder_->Set(model::ParamId::kNoiseType, -1, -1, index); });
  binder_->Bind(model::ParamId::kNoiseType, -1, -1, [group](int index) {
    if (QAbstractButton* button = group->button(index)) button->setChecked(true);
  });
  layout->addWidget(new QLabel(QStringLiteral("Level [dB]"), box));
  layout->addWidget(
      new LevelControls(*binder_, model::ParamId::kNoiseLevel, QStringLiteral("noiseLevel"), box));
  if (family_b_) {
    auto* enable = new QCheckBox(QStringLiteral("Enable"), box);
    enable->setObjectName(QStringLiteral("noiseEnableCheck"));
    connect(enable, &QCheckBox::clicked, this,
            [this](bool on) { binder_->Set(model::ParamId::kNoiseEnable, -1, -1, on ? 1 : 0); });
    binder_->Bind(model::ParamId::kNoiseEnable, -1, -1,
                  [enable](int index) { enable->setChecked(index == 1); });
    layout->addWidget(enable);
  }
  return box;
}

QGroupBox* DeviceSettingsPanel::LinkGroup() {
  auto* box = new QGroupBox(QStringLiteral("Link"), this);
  auto* grid = new QGridLayout(box);
  const protocol::Layout& layout = protocol::LayoutOfType(device_type_);
  const model::ParamId id = model::ParamId::kLink;
  // Family A links its two inputs with one flag, held by the first input.
  const int first_linked_input = 0;
  const int last_linked_input = family_b_ ? layout.input_count - 1 : 0;
  int column = 1;
  if (family_b_) grid->addWidget(new QLabel(QStringLiteral("Input Link"), box), 0, 0);
  for (int ch = first_linked_input; ch <= last_linked_input; ++ch, ++column) {
    const QString text = family_b_ ? TabCaption(true, ch) : QStringLiteral("Input Link");
    auto* check = new QCheckBox(text, box);
    check->setObjectName(QStringLiteral("linkCheck") + protocol::ChannelName(device_type_, ch));
    check->setAccessibleName(family_b_ ? QStringLiteral("Input Link ") + text : text);
    if (family_b_) ColourByChannel(check, true, ch);
    grid->addWidget(check, 0, family_b_ ? column : 0, 1, family_b_ ? 1 : 4);
    connect(check, &QCheckBox::clicked, this,
            [this, id, ch](bool on) { binder_->Set(id, ch, -1, on ? 1 : 0); });
    binder_->Bind(id, ch, -1, [check](int index) { check->setChecked(index == 1); });
  }
  column = 1;
  grid->addWidget(new QLabel(QStringLiteral("Output Link"), box), 1, 0);
  for (int ch = layout.first_output; ch < layout.channel_count; ++ch, ++column) {
    const QString text = TabCaption(family_b_, ch);
    auto* check = new QCheckBox(text, box);
    check->setObjectName(QStringLiteral("linkCheck") + protocol::ChannelName(device_type_, ch));
    check->setAccessibleName(QStringLiteral("Output Link ") + text);
    ColourByChannel(check, family_b_, ch);
    grid->addWidget(check, 1, column);
    connect(check, &QCheckBox::clicked, this,
            [this, id, ch](bool on) { binder_->Set(id, ch, -1, on ? 1 : 0); });
    binder_->Bind(id, ch, -1, [check](int index) { check->setChecked(index == 1); });
  }
  return box;
}

QGroupBox* DeviceSettingsPanel::StandbyGroup() {
  auto* box = new QGroupBox(QStringLiteral("Standby"), this);
  auto* layout = new QVBoxLayout(box);
  auto* button = new QToolButton(box);
  button->setObjectName(QStringLiteral("standbyButton"));
  button->setCheckable(true);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setIconSize(QSize(24, 24));
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  layout->addWidget(button);
  connect(button, &QToolButton::clicked, this, [this] {
    const int standby = binder_->Index(model::ParamId::kStandby);
    setCursor(Qt::BusyCursor);
    binder_->Set(model::ParamId::kStandby, -1, -1, standby == 1 ? 0 : 1);
    unsetCursor();
  });
  binder_->Bind(model::ParamId::kStandby, -1, -1, [this, button](int) { ShowStandby(button); });
  if (family_b_) {
    binder_->Bind(model::ParamId::kTriggerInput, -1, -1,
                  [this, button](int) { ShowStandby(button); });
  }
  return box;
}

void DeviceSettingsPanel::ShowStandby(QToolButton* button) {
  const bool standby = binder_->Index(model::ParamId::kStandby) == 1;
  const bool triggered = family_b_ && binder_->Index(model::ParamId::kTriggerInput) == 1;
  button->setChecked(standby);
  button->setText(standby ? QStringLiteral("Standby") : QStringLiteral("Operate"));
  button->setIcon(StandbyIcon(standby, button->palette()));
  // The device's input trigger owns standby while it is on.
  button->setToolTip(triggered ? QString::fromLatin1(kTriggerBlocksStandby) : QString());
  button->setEnabled(!triggered);
}

QGroupBox* DeviceSettingsPanel::TriggerGroup() {
  if (!family_b_ && device_type_ != kLineOutTypeA) return nullptr;
  auto* box = new QGroupBox(QStringLiteral("Trigger Settings"), this);
  auto* grid = new QGridLayout(box);
  const QString enable = QStringLiteral("Enable");
  if (family_b_) {
    AddSwitch(grid, 0, QStringLiteral("Stby Mirroring"), enable, model::ParamId::kTriggerStandby,
              QStringLiteral("standbyMirroringCheck"));
    AddSwitch(grid, 1, QStringLiteral("Line Input"), enable, model::ParamId::kTriggerInput,
              QStringLiteral("lineInputCheck"));
    AddSwitch(grid, 2, QStringLiteral("Line Output"), enable, model::ParamId::kLineOut,
              QStringLiteral("lineOutCheck"));
  } else {
    AddSwitch(grid, 0, QStringLiteral("Line Out"), enable, model::ParamId::kLineOut,
              QStringLiteral("lineOutCheck"));
  }
  return box;
}

QGroupBox* DeviceSettingsPanel::SleepAndIpGroup() {
  auto* box = new QGroupBox(QStringLiteral("Sleep and IP"), this);
  auto* grid = new QGridLayout(box);
  AddSwitch(grid, 0, QString(), QStringLiteral("Sleep Mode Enabled"), model::ParamId::kSleep,
            QStringLiteral("sleepCheck"));
  auto* ip = new QPushButton(QStringLiteral("Setting"), box);
  ip->setObjectName(QStringLiteral("ipSettingButton"));
  ip->setAccessibleName(QStringLiteral("IP Setting"));
  grid->addWidget(new QLabel(QStringLiteral("IP"), box), 1, 0);
  grid->addWidget(ip, 1, 1);
  connect(ip, &QPushButton::clicked, this, &DeviceSettingsPanel::ipSettingsRequested);
  return box;
}

void DeviceSettingsPanel::AddSwitch(QGridLayout* grid, int row, const QString& caption,
                                    const QString& text, model::ParamId id,
                                    const QString& object_name, int channel) {
  auto* check = new QCheckBox(text, grid->parentWidget());
  check->setObjectName(object_name);
  check->setAccessibleName(caption.isEmpty() ? text : caption);
  if (!caption.isEmpty()) grid->addWidget(new QLabel(caption, grid->parentWidget()), row, 0);
  grid->addWidget(check, row, 1);
  connect(check, &QCheckBox::clicked, this,
          [this, id, channel](bool on) { binder_->Set(id, channel, -1, on ? 1 : 0); });
  binder_->Bind(id, channel, -1, [check](int index) { check->setChecked(index == 1); });
}

}  // namespace tessaly::editor

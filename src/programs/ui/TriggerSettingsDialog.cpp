#include "programs/ui/TriggerSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace tessaly::programs {
namespace {

const QColor kTriggerOnColor(255, 128, 0);
const QColor kTriggerOffColor(192, 192, 192);

QLabel* Note(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

TriggerSettingsDialog::TriggerSettingsDialog(ProgramTools tools, QWidget* parent)
    : QDialog(parent),
      tools_(std::move(tools)),
      enable_(new QCheckBox(QStringLiteral("Enable Trigger"), this)),
      mirroring_(new QCheckBox(QStringLiteral("Standby Mirroring"), this)),
      input_(new QComboBox(this)),
      output_(new QComboBox(this)),
      output_caption_(new QLabel(QStringLiteral("Configure Mode"), this)),
      indicator_(new QLabel(this)) {
  setObjectName(QStringLiteral("triggerSettingsDialog"));
  setWindowTitle(QStringLiteral("Trigger Settings"));
  setModal(true);
  enable_->setObjectName(QStringLiteral("enableTriggerCheck"));
  mirroring_->setObjectName(QStringLiteral("standbyMirroringCheck"));
  input_->setObjectName(QStringLiteral("inputPolarityCombo"));
  output_->setObjectName(QStringLiteral("outputPolarityCombo"));
  indicator_->setObjectName(QStringLiteral("triggerIndicator"));
  indicator_->setFixedSize(14, 14);
  input_->addItems({QStringLiteral("External Input line active High"),
                    QStringLiteral("External Input line active Low")});
  output_->addItems({QStringLiteral("External Output line active High"),
                     QStringLiteral("External Output line active Low")});

  auto* layout = new QVBoxLayout(this);
  auto* out_frame = new QGroupBox(QStringLiteral("Output Trigger"), this);
  auto* out = new QGridLayout(out_frame);
  out->addWidget(Note("Standby Mirroring: ", out_frame), 0, 0);
  out->addWidget(mirroring_, 0, 1);
  out->addWidget(
      Note("if enabled then the Trigger-output line is linked with the standby status", out_frame),
      1, 0, 1, 2);
  out->addWidget(
      Note("if disabled then the Trigger-output Line is linked with the status of the Line-Output "
           "Enable",
           out_frame),
      2, 0, 1, 2);
  out->addWidget(output_caption_, 3, 0);
  out->addWidget(output_, 3, 1);
  layout->addWidget(out_frame);

  auto* in_frame = new QGroupBox(QStringLiteral("Input Trigger"), this);
  auto* in = new QGridLayout(in_frame);
  auto* enable_row = new QHBoxLayout;
  enable_row->addWidget(enable_);
  enable_row->addWidget(indicator_);
  enable_row->addStretch(1);
  in->addWidget(Note("Enable Trigger input:", in_frame), 0, 0);
  in->addLayout(enable_row, 0, 1);
  in->addWidget(
      Note("if enabled then the system check the status of the Trigger-input line", in_frame), 1, 0,
      1, 2);
  in->addWidget(
      Note("if disabled then the system ignore the status of the Trigger-input Line", in_frame), 2,
      0, 1, 2);
  in->addWidget(Note("Configure Mode", in_frame), 3, 0);
  in->addWidget(input_, 3, 1);
  in->addWidget(Note("Assigned program", in_frame), 4, 0);
  layout->addWidget(in_frame);

  auto* buttons = new QHBoxLayout;
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* confirm = new QPushButton(QStringLiteral("&Confirm"), this);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  confirm->setObjectName(QStringLiteral("confirmButton"));
  confirm->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(confirm);
  layout->addLayout(buttons);
  // The controls were made before their frames; Tab follows the frames from top to bottom.
  const std::array<QWidget*, 6> tab_order = {mirroring_, output_, enable_, input_, cancel, confirm};
  for (size_t i = 1; i < tab_order.size(); ++i)
    QWidget::setTabOrder(tab_order[i - 1], tab_order[i]);

  const TriggerSettings now = ReadTrigger(tools_.store, tools_.slot);
  input_->setCurrentIndex(now.input_low ? 1 : 0);
  output_->setCurrentIndex(now.output_low ? 1 : 0);
  enable_->setChecked(now.enabled);
  mirroring_->setChecked(now.mirroring);
  ShowEnabled();
  ShowMirroring();
  connect(enable_, &QCheckBox::toggled, this, &TriggerSettingsDialog::ShowEnabled);
  connect(mirroring_, &QCheckBox::toggled, this, &TriggerSettingsDialog::ShowMirroring);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(confirm, &QPushButton::clicked, this, &TriggerSettingsDialog::Confirm);
}

void TriggerSettingsDialog::ShowEnabled() {
  const QColor colour = enable_->isChecked() ? kTriggerOnColor : kTriggerOffColor;
  indicator_->setStyleSheet(
      QStringLiteral("background: %1; border-radius: 7px;").arg(colour.name()));
}

void TriggerSettingsDialog::ShowMirroring() {
  // A mirrored output follows the standby state; its polarity is then not the user's to set.
  output_->setEnabled(!mirroring_->isChecked());
  output_caption_->setEnabled(!mirroring_->isChecked());
}

TriggerSettings TriggerSettingsDialog::Settings() const {
  TriggerSettings settings;
  settings.input_low = input_->currentIndex() == 1;
  settings.output_low = output_->currentIndex() == 1;
  settings.enabled = enable_->isChecked();
  settings.mirroring = mirroring_->isChecked();
  return settings;
}

void TriggerSettingsDialog::Confirm() {
  (void)ConfirmTrigger(tools_.store, tools_.slot, Settings());
  accept();
}

}  // namespace tessaly::programs

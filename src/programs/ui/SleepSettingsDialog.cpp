#include "programs/ui/SleepSettingsDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "programs/DeviceExtras.h"

namespace tessaly::programs {
namespace {

constexpr std::array<const char*, kSleepGroupCount> kGroupCaptions = {
    "Gating Thr", "Wake-Up", "ReleaseTime", "Attack Time", "Time"};
constexpr std::array<int, 3> kSliderMaximum = {127, 255, 255};

}  // namespace

SleepSettingsDialog::SleepSettingsDialog(ProgramTools tools, QWidget* parent)
    : QDialog(parent), tools_(std::move(tools)) {
  setObjectName(QStringLiteral("sleepSettingsDialog"));
  setWindowTitle(QStringLiteral("Edit Sleep mode"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  for (int k = 0; k < kSleepGroupCount; ++k) {
    auto* frame = new QGroupBox(QString::fromLatin1(kGroupCaptions[static_cast<size_t>(k)]), this);
    frame->setObjectName(QStringLiteral("sleepGroup%1").arg(k));
    auto* grid = new QGridLayout(frame);
    const std::array<int, 3> positions = SleepSlidersOf(tools_.sleep, k);
    for (int i = 0; i < 3; ++i) {
      const auto byte = static_cast<size_t>(3 * k + i);
      auto* slider = new QSlider(Qt::Vertical, frame);
      slider->setObjectName(QStringLiteral("sleepSlider%1").arg(byte));
      slider->setRange(0, kSliderMaximum[static_cast<size_t>(i)]);
      slider->setValue(positions[static_cast<size_t>(i)]);
      slider->setMinimumHeight(160);
      auto* value = new QLabel(frame);
      value->setObjectName(QStringLiteral("sleepValue%1").arg(byte));
      value->setAlignment(Qt::AlignCenter);
      value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
      grid->addWidget(slider, 0, i, Qt::AlignHCenter);
      grid->addWidget(value, 1, i);
      sliders_[byte] = slider;
      values_[byte] = value;
      connect(slider, &QSlider::valueChanged, this,
              [this, k, slider] { UpdateGroup(k, !slider->isSliderDown()); });
      connect(slider, &QSlider::sliderReleased, this, [this, k] { UpdateGroup(k, true); });
    }
    auto* time = new QLabel(frame);
    time->setObjectName(QStringLiteral("sleepTime%1").arg(k));
    time->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Time:78601.24 ms")));
    grid->addWidget(time, 2, 0, 1, 3);
    times_[static_cast<size_t>(k)] = time;
    groups->addWidget(frame);
    UpdateGroup(k, false);
  }
  layout->addLayout(groups);
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("closeButton"));
  close->setDefault(true);
  layout->addWidget(close, 0, Qt::AlignRight);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void SleepSettingsDialog::UpdateGroup(int group, bool send) {
  std::array<int, 3> positions{};
  for (size_t i = 0; i < 3; ++i) {
    QSlider* slider = sliders_[static_cast<size_t>(3 * group) + i];
    if (slider == nullptr) return;  // the group is still being built
    positions[i] = slider->value();
  }
  const std::array<uint8_t, 3> bytes = SleepGroupFromSliders(positions);
  for (size_t i = 0; i < 3; ++i) {
    values_[static_cast<size_t>(3 * group) + i]->setText(QString::number(bytes[i]));
  }
  const int32_t count = bytes[0] * 65536 + bytes[1] * 256 + bytes[2];
  times_[static_cast<size_t>(group)]->setText(SleepTimeText(count));
  if (send) (void)SendSleepGroup(tools_.store, tools_.sleep, tools_.slot, group, bytes);
}

}  // namespace tessaly::programs

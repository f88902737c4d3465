#include "connect/ui/DemoDeviceDialog.h"

#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "device/DeviceTypes.h"
#include "widgets/ClickLabel.h"

namespace tessaly::connect {
namespace {
// The chosen option is shown on orange.
const QString kHighlightStyle = QStringLiteral("background-color: rgb(255, 128, 0);");
}  // namespace

DemoDeviceDialog::DemoDeviceDialog(int16_t preset, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("demoDeviceDialog"));
  setWindowTitle(QStringLiteral("Select Device"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  for (size_t i = 0; i < option1_.size(); ++i) {
    const auto type = static_cast<int16_t>(i);
    option1_[i] = new QRadioButton(device::ModelName(type), this);
    option1_[i]->setObjectName(QStringLiteral("deviceTypeOption_%1").arg(i));
    layout->addWidget(option1_[i]);
    connect(option1_[i], &QRadioButton::clicked, this, [this, type] { Highlight(type); });
  }
  auto* buttons = new QHBoxLayout;
  auto* image = new widgets::ClickLabel(this);
  image->setObjectName(QStringLiteral("okImage"));
  auto* ok = new widgets::ClickLabel(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setAlignment(Qt::AlignCenter);
  ok->setCursor(Qt::PointingHandCursor);
  connect(ok, &widgets::ClickLabel::clicked, this, &DemoDeviceDialog::Ok);
  connect(image, &widgets::ClickLabel::clicked, this, &DemoDeviceDialog::Ok);
  buttons->addWidget(image);
  buttons->addWidget(ok);
  layout->addLayout(buttons);

  const int16_t start = device::IsValidType(preset) ? preset : device::kType540S;
  option1_[static_cast<size_t>(start)]->setChecked(true);
  Highlight(start);
  demo_type_ = start;
}

void DemoDeviceDialog::Highlight(int16_t type) {
  highlighted_ = type;
  for (size_t i = 0; i < option1_.size(); ++i) {
    option1_[i]->setStyleSheet(static_cast<int16_t>(i) == type ? kHighlightStyle : QString());
  }
}

void DemoDeviceDialog::Ok() {
  for (size_t i = 0; i < option1_.size(); ++i) {
    if (option1_[i]->isChecked()) demo_type_ = static_cast<int16_t>(i);
  }
  accept();
}

}  // namespace tessaly::connect

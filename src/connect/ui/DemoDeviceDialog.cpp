#include "connect/ui/DemoDeviceDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "device/DeviceTypes.h"

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
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &DemoDeviceDialog::Ok);
  layout->addWidget(buttons);

  const int16_t start = device::IsValidType(preset) ? preset : device::kType540S;
  option1_[static_cast<size_t>(start)]->setChecked(true);
  Highlight(start);
  demo_type_ = start;
  // The arrow keys move between the types from the one already chosen.
  option1_[static_cast<size_t>(start)]->setFocus();
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

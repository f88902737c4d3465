#include "connect/ui/DemoDeviceDialog.h"

#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ClickLabel.h"
#include "comm/DeviceTypes.h"

namespace tessaly::connect {
namespace {
// The chosen option is shown on orange.
const QString kHighlightStyle = QStringLiteral("background-color: rgb(255, 128, 0);");
}  // namespace

DemoDeviceDialog::DemoDeviceDialog(int16_t preset, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DemoDeviceDialog"));
  setWindowTitle(QStringLiteral("Select Device"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  for (size_t i = 0; i < option1_.size(); ++i) {
    const auto type = static_cast<int16_t>(i);
    option1_[i] = new QRadioButton(comm::ModelName(type), this);
    option1_[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
    layout->addWidget(option1_[i]);
    connect(option1_[i], &QRadioButton::clicked, this, [this, type] { Highlight(type); });
  }
  auto* buttons = new QHBoxLayout;
  auto* image = new app::ClickLabel(this);
  image->setObjectName(QStringLiteral("ImgBtnIP"));
  auto* ok = new app::ClickLabel(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("LblBtnIP"));
  ok->setAlignment(Qt::AlignCenter);
  ok->setCursor(Qt::PointingHandCursor);
  connect(ok, &app::ClickLabel::Clicked, this, &DemoDeviceDialog::Ok);
  connect(image, &app::ClickLabel::Clicked, this, &DemoDeviceDialog::Ok);
  buttons->addWidget(image);
  buttons->addWidget(ok);
  layout->addLayout(buttons);

  const int16_t start = comm::IsValidType(preset) ? preset : comm::kType540S;
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

#include "connect/ui/UsbConnectDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "connect/UsbConnect.h"
#include "connect/ui/DemoDeviceDialog.h"

namespace tessaly::connect {
namespace {
constexpr int kStartDelayMs = 100;
}

ConnectHooks WidgetHooks(QLabel* label, QProgressBar* bar) {
  ConnectHooks hooks;
  hooks.status = [label](const QString& text) {
    label->setText(text);
    label->show();
    label->repaint();
  };
  hooks.progress = [bar](int value, int maximum) {
    bar->setMaximum(maximum);
    bar->setValue(std::min(value, maximum));
    bar->show();
    bar->repaint();
  };
  return hooks;
}

UsbConnectDialog::UsbConnectDialog(ConnectContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName(QStringLiteral("usbConnectDialog"));
  setWindowTitle(QStringLiteral("Connect"));
  auto* layout = new QVBoxLayout(this);
  status_label_ = new QLabel(QString::fromLatin1(kUsbSearchingText), this);
  status_label_->setObjectName(QStringLiteral("statusLabel"));
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName(QStringLiteral("progressBar"));
  progress_bar_->hide();
  layout->addWidget(status_label_);
  layout->addWidget(progress_bar_);
  context_.session.LoadConfig();

  search_timer_ = new QTimer(this);
  search_timer_->setObjectName(QStringLiteral("searchTimer"));
  search_timer_->setSingleShot(true);
  search_timer_->setInterval(kStartDelayMs);
  connect(search_timer_, &QTimer::timeout, this, &UsbConnectDialog::OnSearchTimer);
  search_timer_->start();
}

ConnectHooks UsbConnectDialog::Hooks() {
  ConnectHooks hooks = WidgetHooks(status_label_, progress_bar_);
  hooks.choose_demo_type = [this](int16_t preset) {
    DemoDeviceDialog choice(preset, this);
    choice.exec();
    return choice.demo_type();
  };
  return hooks;
}

void UsbConnectDialog::OnSearchTimer() {
  setCursor(Qt::WaitCursor);
  UsbConnect usb(context_);
  const ConnectOutcome outcome = usb.Run(Hooks());
  unsetCursor();
  close();
  emit connectFinished(outcome);
}

}  // namespace tessaly::connect

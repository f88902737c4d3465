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
  setObjectName(QStringLiteral("UsbConnectDialog"));
  setWindowTitle(QStringLiteral("Connect"));
  auto* layout = new QVBoxLayout(this);
  label1_ = new QLabel(QString::fromLatin1(kUsbSearchingText), this);
  label1_->setObjectName(QStringLiteral("Label1"));
  progress_bar1_ = new QProgressBar(this);
  progress_bar1_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_bar1_->hide();
  layout->addWidget(label1_);
  layout->addWidget(progress_bar1_);
  context_.session.LoadConfig();

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setSingleShot(true);
  timer1_->setInterval(kStartDelayMs);
  connect(timer1_, &QTimer::timeout, this, [this] {
    const ConnectOutcome outcome = Timer1Tick();
    close();
    emit Finished(outcome);
  });
  timer1_->start();
}

ConnectHooks UsbConnectDialog::Hooks() {
  ConnectHooks hooks = WidgetHooks(label1_, progress_bar1_);
  hooks.choose_demo_type = [this](int16_t preset) {
    DemoDeviceDialog choice(preset, this);
    choice.exec();
    return choice.demo_type();
  };
  return hooks;
}

ConnectOutcome UsbConnectDialog::Timer1Tick() {
  timer1_->stop();
  setCursor(Qt::WaitCursor);
  UsbConnect usb(context_);
  const ConnectOutcome outcome = usb.Run(Hooks());
  unsetCursor();
  return outcome;
}

}  // namespace tessaly::connect

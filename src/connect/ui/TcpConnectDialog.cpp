#include "connect/ui/TcpConnectDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ClickLabel.h"
#include "connect/ui/UsbConnectDialog.h"

namespace tessaly::connect {
namespace {
constexpr int kStartDelayMs = 100;
}

TcpConnectDialog::TcpConnectDialog(ConnectContext& context, QWidget* parent)
    : QDialog(parent), context_(context), tcp_(context) {
  setObjectName(QStringLiteral("TcpConnectDialog"));
  setWindowTitle(QStringLiteral("Connect"));
  auto* layout = new QVBoxLayout(this);
  label1_ = new QLabel(QString::fromLatin1(kTcpSearchingText), this);
  label1_->setObjectName(QStringLiteral("Label1"));
  progress_bar1_ = new QProgressBar(this);
  progress_bar1_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_bar1_->hide();
  layout->addWidget(label1_);
  layout->addWidget(progress_bar1_);

  auto* cancel_row = new QHBoxLayout;
  auto* image = new app::ClickLabel(this);
  image->setObjectName(QStringLiteral("ImgCancel"));
  auto* cancel = new app::ClickLabel(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("LblCancel"));
  cancel->setCursor(Qt::PointingHandCursor);
  connect(cancel, &app::ClickLabel::Clicked, this, &TcpConnectDialog::CancelClick);
  connect(image, &app::ClickLabel::Clicked, this, &TcpConnectDialog::CancelClick);
  cancel_row->addWidget(image);
  cancel_row->addWidget(cancel);
  layout->addLayout(cancel_row);

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setSingleShot(true);
  timer1_->setInterval(kStartDelayMs);
  connect(timer1_, &QTimer::timeout, this, [this] {
    const ConnectOutcome outcome = Timer1Tick();
    if (finished_) return;
    finished_ = true;
    close();
    emit Finished(outcome);
  });

  loaded_ = tcp_.Initialise();
  if (!loaded_) {
    QTimer::singleShot(0, this, [this] {
      finished_ = true;
      close();
      emit Finished(ConnectOutcome::kInitFailed);
    });
    return;
  }
  context_.session.LoadConfig();
  timer1_->start();
}

ConnectOutcome TcpConnectDialog::Timer1Tick() {
  timer1_->stop();
  setCursor(Qt::WaitCursor);
  const ConnectOutcome outcome = tcp_.Run(WidgetHooks(label1_, progress_bar1_));
  unsetCursor();
  return outcome;
}

void TcpConnectDialog::CancelClick() {
  tcp_.Cancel();
  timer1_->stop();
  if (finished_) return;
  finished_ = true;
  close();
  emit Finished(ConnectOutcome::kCancelled);
}

}  // namespace tessaly::connect

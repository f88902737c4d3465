#include "connect/ui/TcpConnectDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "connect/ui/UsbConnectDialog.h"
#include "widgets/ClickLabel.h"

namespace tessaly::connect {
namespace {
constexpr int kStartDelayMs = 100;
}

TcpConnectDialog::TcpConnectDialog(ConnectContext& context, QWidget* parent)
    : QDialog(parent), context_(context), tcp_(context) {
  setObjectName(QStringLiteral("tcpConnectDialog"));
  setWindowTitle(QStringLiteral("Connect"));
  auto* layout = new QVBoxLayout(this);
  status_label_ = new QLabel(QString::fromLatin1(kTcpSearchingText), this);
  status_label_->setObjectName(QStringLiteral("statusLabel"));
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName(QStringLiteral("progressBar"));
  progress_bar_->hide();
  layout->addWidget(status_label_);
  layout->addWidget(progress_bar_);

  auto* cancel_row = new QHBoxLayout;
  auto* image = new widgets::ClickLabel(this);
  image->setObjectName(QStringLiteral("cancelImage"));
  auto* cancel = new widgets::ClickLabel(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  cancel->setCursor(Qt::PointingHandCursor);
  connect(cancel, &widgets::ClickLabel::clicked, this, &TcpConnectDialog::OnCancelClicked);
  connect(image, &widgets::ClickLabel::clicked, this, &TcpConnectDialog::OnCancelClicked);
  cancel_row->addWidget(image);
  cancel_row->addWidget(cancel);
  layout->addLayout(cancel_row);

  connect(&tcp_, &TcpConnect::finished, this, &TcpConnectDialog::End);
  scan_timer_ = new QTimer(this);
  scan_timer_->setObjectName(QStringLiteral("scanTimer"));
  scan_timer_->setSingleShot(true);
  scan_timer_->setInterval(kStartDelayMs);
  connect(scan_timer_, &QTimer::timeout, this, &TcpConnectDialog::OnScanTimer);

  loaded_ = tcp_.Initialise();
  if (!loaded_) {
    QTimer::singleShot(0, this, [this] { End(ConnectOutcome::kInitFailed); });
    return;
  }
  context_.session.LoadConfig();
  scan_timer_->start();
}

void TcpConnectDialog::OnScanTimer() {
  setCursor(Qt::BusyCursor);  // busy, yet Cancel stays clickable
  tcp_.Start(WidgetHooks(status_label_, progress_bar_));
}

void TcpConnectDialog::End(ConnectOutcome outcome) {
  if (finished_) return;
  finished_ = true;
  unsetCursor();
  close();
  emit connectFinished(outcome);
}

void TcpConnectDialog::OnCancelClicked() {
  scan_timer_->stop();
  tcp_.Cancel();
  End(ConnectOutcome::kCancelled);
}

}  // namespace tessaly::connect

#include "connect/ui/TcpConnectDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "connect/ui/UsbConnectDialog.h"

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

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::rejected, this, &TcpConnectDialog::OnCancelClicked);
  layout->addWidget(buttons);

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

// Escape and the window's close button cancel the search like Cancel; once it has ended, closing
// only hides the window.
void TcpConnectDialog::reject() {
  if (!finished_) {
    OnCancelClicked();
    return;
  }
  QDialog::reject();
}

void TcpConnectDialog::OnCancelClicked() {
  scan_timer_->stop();
  tcp_.Cancel();
  End(ConnectOutcome::kCancelled);
}

}  // namespace tessaly::connect

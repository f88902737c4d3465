#pragma once

#include <QDialog>

#include "connect/ConnectSession.h"
#include "connect/TcpConnect.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace tessaly::connect {

// The TCP/IP connect window: searches the chosen addresses once, shortly after it is shown, then
// closes and reports how it ended. Cancel works while the search runs.
class TcpConnectDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TcpConnectDialog(ConnectContext& context, QWidget* parent = nullptr);

  // False when the TCP connections could not be set up (the user was told; the window closes).
  bool loaded() const { return loaded_; }

  void reject() override;

 signals:
  void connectFinished(tessaly::connect::ConnectOutcome outcome);

 private:
  void OnScanTimer();
  void OnCancelClicked();
  void End(ConnectOutcome outcome);

  ConnectContext& context_;
  TcpConnect tcp_;
  bool loaded_ = false;
  bool finished_ = false;
  QLabel* status_label_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QTimer* scan_timer_ = nullptr;
};

}  // namespace tessaly::connect

#pragma once

#include <QDialog>

#include "connect/ConnectSession.h"
#include "connect/TcpConnect.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace tessaly::connect {

// The TCP/IP connect window: scans the chosen addresses once, shortly after it is shown, then
// closes and reports how it ended.
class TcpConnectDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TcpConnectDialog(ConnectContext& context, QWidget* parent = nullptr);

  // False when the TCP instance could not be set up (the user was told; the window closes).
  bool loaded() const { return loaded_; }
  ConnectOutcome Timer1Tick();

 signals:
  void Finished(ConnectOutcome outcome);

 private:
  void CancelClick();

  ConnectContext& context_;
  TcpConnect tcp_;
  bool loaded_ = false;
  bool finished_ = false;
  QLabel* label1_ = nullptr;
  QProgressBar* progress_bar1_ = nullptr;
  QTimer* timer1_ = nullptr;
};

}  // namespace tessaly::connect

#pragma once

#include <QDialog>

#include "connect/ConnectSession.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace tessaly::connect {

// The USB connect window: searches the chosen COM port once, shortly after it is shown, then
// closes and reports how it ended.
class UsbConnectDialog : public QDialog {
  Q_OBJECT

 public:
  explicit UsbConnectDialog(ConnectContext& context, QWidget* parent = nullptr);

  QLabel* label1() const { return label1_; }
  QProgressBar* progress_bar1() const { return progress_bar1_; }

  // The timer's work, callable at once.
  ConnectOutcome Timer1Tick();

 signals:
  void Finished(ConnectOutcome outcome);

 private:
  ConnectHooks Hooks();

  ConnectContext& context_;
  QLabel* label1_ = nullptr;
  QProgressBar* progress_bar1_ = nullptr;
  QTimer* timer1_ = nullptr;
};

// Status line and progress bar hooks over the given widgets, repainted at once since the
// sequence holds the event loop.
ConnectHooks WidgetHooks(QLabel* label, QProgressBar* bar);

}  // namespace tessaly::connect

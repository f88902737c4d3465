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

 signals:
  void connectFinished(tessaly::connect::ConnectOutcome outcome);

 private:
  ConnectHooks Hooks();
  void OnSearchTimer();

  ConnectContext& context_;
  QLabel* status_label_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QTimer* search_timer_ = nullptr;
};

// Status line and progress bar hooks over the given widgets, repainted at once since the
// sequence holds the event loop.
ConnectHooks WidgetHooks(QLabel* label, QProgressBar* bar);

}  // namespace tessaly::connect

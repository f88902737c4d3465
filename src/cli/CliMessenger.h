#pragma once

#include <QList>

#include "device/Messenger.h"

namespace tessaly::cli {

// Nobody sits at a command line to answer a message box: questions are declined (no demo mode,
// no confirmations), and messages are kept so a command can name the cause in its own error.
class CliMessenger : public device::Messenger {
 public:
  device::MessageAnswer Show(const device::Message& message) override;
  const QList<device::Message>& shown() const { return shown_; }

 private:
  QList<device::Message> shown_;
};

}  // namespace tessaly::cli

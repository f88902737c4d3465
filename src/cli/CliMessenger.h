#pragma once

#include <QList>

#include "comm/Messenger.h"

namespace tessaly::cli {

// Nobody sits at a command line to answer a message box: questions are declined (no demo mode,
// no confirmations), and messages are kept so a command can name the cause in its own error.
class CliMessenger : public comm::Messenger {
 public:
  comm::MessageAnswer Show(const comm::Message& message) override;
  const QList<comm::Message>& shown() const { return shown_; }

 private:
  QList<comm::Message> shown_;
};

}  // namespace tessaly::cli

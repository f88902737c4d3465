#pragma once

#include <QDialog>
#include <array>

#include "comm/Comm.h"
#include "protocol/SlotState.h"

class QLabel;
class QLineEdit;

namespace tessaly::connect {

// "IP Settings (only USB mode)": shows the current device's address and sends a new one.
class DeviceIpDialog : public QDialog {
  Q_OBJECT

 public:
  DeviceIpDialog(comm::Comm& comm, protocol::SlotState& slot_state, int slot,
                 QWidget* parent = nullptr);

  // The pause after a successful save, in which the device takes its new address.
  void set_settle_ms(int ms) { settle_ms_ = ms; }

  void Save();

 private:
  comm::Comm& comm_;
  protocol::SlotState& slot_state_;
  int slot_;
  int settle_ms_;
  std::array<QLabel*, 4> label_ip_{};
  std::array<QLineEdit*, 4> text_ip_new_{};
};

}  // namespace tessaly::connect

#pragma once

#include <QByteArray>
#include <QObject>
#include <array>
#include <functional>
#include <memory>

#include "comm/ComPortMap.h"
#include "comm/CommState.h"
#include "comm/Link.h"
#include "comm/Packet.h"
#include "comm/SerialLink.h"
#include "comm/TcpLink.h"
#include "device/Messenger.h"
#include "device/Transmitter.h"

namespace tessaly::comm {

inline constexpr quint16 kDefaultDevicePort = 1001;

// The device port: TESSALY_DEVICE_PORT when it holds a port number, else 1001.
quint16 DevicePortFromEnvironment();

// What became of a request.
enum class SendOutcome {
  kSent,    // on the line
  kHeld,    // the traffic flags or the slot kept it back; nothing was sent or traced
  kFailed,  // the line could not be opened or written
};

struct CommandOutcome {
  SendOutcome send = SendOutcome::kHeld;
  bool answered = false;  // the reply arrived (or none is awaited) and is in RxBuffer
  int16_t result = 0;     // TxCommand's result
};

// The exchange layer: owns the run-wide communication state and the two transport objects, and
// runs every exchange strictly one at a time on the caller's thread.
class Comm : public QObject, public device::Transmitter {
  Q_OBJECT

 public:
  explicit Comm(device::Messenger& messenger, QObject* parent = nullptr);
  ~Comm() override;

  CommState& state() { return state_; }
  const CommState& state() const { return state_; }
  DeviceTable& table() { return state_.table; }
  SerialLink& serial() { return serial_; }
  TcpLink& tcp() { return tcp_; }
  const std::shared_ptr<TcpSlots>& tcp_slots() const { return tcp_slots_; }
  ComPortMap& com_ports() { return com_ports_; }
  device::Messenger& messenger() { return messenger_; }

  quint16 device_port() const { return device_port_; }
  void set_device_port(quint16 port) { device_port_ = port; }

  // Called with every packet sent (outgoing true) and every complete reply received.
  using TraceFn = std::function<void(bool outgoing, const QByteArray& bytes)>;
  void set_trace(TraceFn trace) { trace_ = std::move(trace); }

  // 0 on success, and also when the flags or the slot forbid sending (nothing is sent then);
  // -1 when the serial port cannot be opened or a lost reply was reported. The reply is in
  // RxBuffer only after 0 with a reply received.
  [[nodiscard]] int16_t TxCommand(int slot, uint8_t command, const Params& params = {});
  // TxCommand with the whole story: whether it went out and whether its answer came.
  [[nodiscard]] CommandOutcome SendCommand(int slot, uint8_t command, const Params& params = {});
  // The transmit seam of the family operations.
  [[nodiscard]] int16_t Transmit(int slot, uint8_t c, const Params& p) override {
    return TxCommand(slot, c, p);
  }
  int DeviceType(int slot) const override { return state_.table.device_type.at(slot); }
  int CurrentSlot() const override { return state_.current_device; }
  bool Busy() const override { return !state_.tx_idle; }
  bool Holds(int slot) const override {
    return state_.comm_suspended || !state_.comm_ready || state_.transfer_lock ||
           !IsValidSlot(slot) || !state_.table[slot].online;
  }
  // Keep-alive exchange: always 13 bytes out and in, 3000 ms; never shows a message and never
  // touches the device table.
  [[nodiscard]] int16_t TxPoll(int slot, uint8_t command, const Params& params = {});
  // Discovery probe with the slot type's probe command; true when reply byte 11 is 31. Ignores
  // every traffic flag.
  [[nodiscard]] bool ProbeDevice(int slot);
  // Writes the rounded value big-endian into AddressBytes[start..start+3].
  bool SplitToBytes(double value, int start);

  // One keep-alive round over the registered on-line slots.
  void KeepAliveTick();

  // Sends 15 to every on-line device and closes every link. With `stop_on_serial_failure` a
  // failing release over USB aborts at once and returns false, leaving the port open.
  bool ReleaseAllDevices(bool stop_on_serial_failure);
  // Leaves on-line mode after the user confirmed: release, then every slot's data is stale.
  bool LeaveOnlineMode();

  // Sets the device list row of a slot and tells the views.
  void SetRowText(int slot, const QString& text);

  QString ComPortName() const { return QStringLiteral("COM%1").arg(state_.com_port); }

  // The line to the slot's device for the connection mode of the run. The only place that asks
  // which kind of line the run uses. The slot must be valid.
  Link& LinkFor(int slot);
  // Whether the slot's line is open (a lost reply closes it).
  bool LinkUp(int slot);
  // "<device name> - <where>", e.g. "Main PA - IP:127.0.0.7" or "RK-360 - USB COM3".
  QString DeviceLabel(int slot);

 signals:
  void RowTextChanged(int slot, const QString& text);
  // A lost reply ends the session with that device: its editor window must close.
  void EditorCloseRequested(int slot);
  // An exchange has been waiting for a second; `description` is DeviceLabel(slot).
  void WaitingForDevice(int slot, const QString& description);
  // The wait announced by WaitingForDevice is over.
  void WaitFinished();

 private:
  SendOutcome SendPacket(Link& link, const QByteArray& packet);
  int ReceiveReply(int slot, Link& link, QByteArray& reply, int awaited, int limit_ms);
  void StoreReply(const QByteArray& reply);
  void ShowLinkLoss(int slot);
  void ReportLoss(int slot);

  device::Messenger& messenger_;
  CommState state_;
  ComPortMap com_ports_;
  SerialLink serial_;
  std::shared_ptr<TcpSlots> tcp_slots_;
  TcpLink tcp_;
  std::array<std::unique_ptr<TcpSlotLink>, kSlotCount> tcp_links_;
  quint16 device_port_;
  TraceFn trace_;
};

}  // namespace tessaly::comm

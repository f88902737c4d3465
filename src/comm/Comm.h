#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <span>

#include "comm/ComPortMap.h"
#include "comm/CommState.h"
#include "comm/ExchangeResult.h"
#include "comm/KeepAliveTimer.h"
#include "comm/Link.h"
#include "comm/Packet.h"
#include "comm/SerialLink.h"
#include "comm/TcpLink.h"
#include "comm/TrafficGuards.h"
#include "device/Messenger.h"
#include "device/Transmitter.h"

namespace tessaly::comm {

inline constexpr quint16 kDefaultDevicePort = 1001;
inline constexpr const char* kLostReplyReason = "A reply from the device did not come";
inline constexpr const char* kLostKeepAliveReason = "The device did not answer the keep-alive";

// The device port: TESSALY_DEVICE_PORT when it holds a port number, else 1001.
quint16 DevicePortFromEnvironment();

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

  // The one exchange call: frames the request (with `data` for the data-block commands), sends
  // it, waits for the reply its command brings and returns both. Nothing is sent while the
  // traffic state or the slot keeps requests back, nor while another exchange waits for its reply
  // (a timer tick inside that wait must not start a second one).
  ExchangeResult Exchange(int slot, uint8_t command, const Params& params = {},
                          std::span<const uint8_t> data = {});
  // The transmit seam of the family operations: 0 when the packet went out and was answered or
  // was kept back on purpose, -1 when the device did not get it or did not answer.
  [[nodiscard]] int16_t Transmit(int slot, uint8_t c, const Params& p) override;
  int DeviceType(int slot) const override { return state_.table.device_type.at(slot); }
  int CurrentSlot() const override { return state_.current_device; }
  bool Busy() const override { return exchanging_; }
  bool Holds(int slot) const override {
    return suspended_ || !ready_ || transfer_locks_ > 0 || !IsValidSlot(slot) ||
           !state_.table[slot].online;
  }
  bool Unreachable(int slot) const override {
    return !suspended_ && ready_ && transfer_locks_ == 0 && IsValidSlot(slot) &&
           state_.table[slot].registered && !state_.table[slot].online;
  }
  // Keep-alive exchange: always 13 bytes out and in, 3000 ms; never shows a message and never
  // touches the device table. Ignores the traffic state, but never nests.
  ExchangeResult Poll(int slot, uint8_t command, const Params& params = {});
  // Discovery probe with the slot type's probe command. Ignores the traffic state and the slot's
  // on-line mark, but never nests. ProbeAcknowledged() tells whether a device of the family
  // answered.
  ExchangeResult ProbeDevice(int slot);

  // The traffic state. Only the named operations below change it.
  bool ready() const { return ready_; }
  // Demo mode: devices are listed but nothing is ever sent.
  bool suspended() const { return suspended_; }
  bool transfer_locked() const { return transfer_locks_ > 0; }
  bool keep_alive_held() const { return keep_alive_holds_ > 0; }
  bool online_mode() const { return online_mode_; }
  bool reports_link_loss() const { return report_link_loss_; }

  // Devices were found (or a lost one answered again): requests may flow.
  void OpenTraffic();
  // Demo mode begins or ends.
  void SuspendTraffic(bool suspended);
  // Whether a lost reply is told to the user and ends the device's session. Off while devices
  // are searched (a silent address is no loss), on once an editor has been opened.
  void ReportLinkLoss(bool report);
  // The device list is up: the keep-alive may poll.
  void EnterOnlineMode();

  KeepAliveTimer& keep_alive() { return keep_alive_; }
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
  void rowTextChanged(int slot, const QString& text);
  // A registered device stopped answering (a lost reply, or a silent keep-alive) and is now
  // off-line; `reason` says which, as the user is told it. Its editor stays open.
  void deviceLost(int slot, const QString& reason);
  // An exchange has been waiting for a second; `description` is DeviceLabel(slot).
  void waitingForDevice(int slot, const QString& description);
  // The wait announced by waitingForDevice is over.
  void waitFinished();

 private:
  // False when the line did not take the packet.
  bool SendPacket(Link& link, const QByteArray& packet);
  int ReceiveReply(int slot, Link& link, QByteArray& reply, int awaited, int limit_ms);
  // Marks the start and the end of an exchange; false when one is running already.
  bool BeginExchange();
  // A 13-byte request and reply that ignores the traffic state but never nests (poll, probe).
  ExchangeResult PlainExchange(int slot, const QByteArray& packet, int limit_ms);
  void EndExchange() { exchanging_ = false; }
  void ShowLinkLoss(int slot);
  void ReportLoss(int slot);

  device::Messenger& messenger_;
  CommState state_;
  ComPortMap com_ports_;
  SerialLink serial_;
  std::shared_ptr<TcpSlots> tcp_slots_;
  TcpLink tcp_;
  std::array<std::unique_ptr<TcpSlotLink>, kSlotCount> tcp_links_;
  // ComPortName() of the last exchange over the serial line, formatted once per port.
  int serial_com_port_ = -1;
  QString serial_com_name_;
  quint16 device_port_;
  TraceFn trace_;

  // The traffic state: written only through the operations above and the guards.
  friend class KeepAliveHold;
  friend class TransferLock;
  bool ready_ = false;
  bool suspended_ = false;
  bool report_link_loss_ = false;
  bool online_mode_ = false;
  bool exchanging_ = false;
  int transfer_locks_ = 0;
  int keep_alive_holds_ = 0;
  KeepAliveTimer keep_alive_;
  // Names the awaited device once a wait has lasted a second.
  QTimer announce_;
  int waiting_slot_ = 0;
  bool announced_ = false;
};

// A probe reply from a device of the expected kind.
bool ProbeAcknowledged(const ExchangeResult& result);

}  // namespace tessaly::comm

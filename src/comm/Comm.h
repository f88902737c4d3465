#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

#include "comm/ComPortMap.h"
#include "comm/CommState.h"
#include "comm/Messenger.h"
#include "comm/Packet.h"
#include "comm/SerialLink.h"
#include "comm/TcpLink.h"

namespace tessaly::comm {

inline constexpr quint16 kDefaultDevicePort = 1001;

// The device port: TESSALY_DEVICE_PORT when it holds a port number, else 1001.
quint16 DevicePortFromEnvironment();

// The exchange layer: owns the run-wide communication state and the two transport objects, and
// runs every exchange strictly one at a time on the caller's thread.
class Comm : public QObject {
  Q_OBJECT

 public:
  explicit Comm(Messenger& messenger, QObject* parent = nullptr);
  ~Comm() override;

  CommState& state() { return state_; }
  const CommState& state() const { return state_; }
  DeviceTable& table() { return state_.table; }
  SerialLink& serial() { return serial_; }
  TcpLink& tcp() { return tcp_; }
  const std::shared_ptr<TcpSlots>& tcp_slots() const { return tcp_slots_; }
  ComPortMap& com_ports() { return com_ports_; }
  Messenger& messenger() { return messenger_; }

  quint16 device_port() const { return device_port_; }
  void set_device_port(quint16 port) { device_port_ = port; }

  // Called with every packet sent (outgoing true) and every complete reply received.
  using TraceFn = std::function<void(bool outgoing, const QByteArray& bytes)>;
  void set_trace(TraceFn trace) { trace_ = std::move(trace); }

  // 0 on success, and also when the flags or the slot forbid sending (nothing is sent then);
  // -1 when the serial port cannot be opened or a lost reply was reported. The reply is in
  // RxBuffer only after 0 with a reply received.
  [[nodiscard]] int16_t TxCommand(int slot, uint8_t command, const Params& params = {});
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

 signals:
  void RowTextChanged(int slot, const QString& text);
  // A lost reply ends the session with that device: its editor window must close.
  void EditorCloseRequested(int slot);

 private:
  enum class Sent { kOk, kPortFailed };
  Sent SendPacket(int slot, const QByteArray& packet);
  int ReceiveReply(int slot, QByteArray& reply, int awaited, int limit_ms);
  void StoreReply(const QByteArray& reply);
  void CloseLink(int slot);
  void ReportLoss(int slot);

  Messenger& messenger_;
  CommState state_;
  ComPortMap com_ports_;
  SerialLink serial_;
  std::shared_ptr<TcpSlots> tcp_slots_;
  TcpLink tcp_;
  quint16 device_port_;
  TraceFn trace_;
};

}  // namespace tessaly::comm

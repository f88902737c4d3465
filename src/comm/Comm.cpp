#include "comm/Comm.h"

#include <QDeadlineTimer>
#include <QTimer>
#include <algorithm>

#include "comm/LinkIo.h"
#include "comm/LinkLossText.h"
#include "comm/ReplyWaits.h"
#include "comm/TimeScale.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::comm {
namespace {

// How long an exchange waits before the windows name the device it waits for.
constexpr int kAnnounceWaitMs = 1000;

}  // namespace

quint16 DevicePortFromEnvironment() {
  bool ok = false;
  const int port = qEnvironmentVariableIntValue("TESSALY_DEVICE_PORT", &ok);
  return ok && port > 0 && port <= 65535 ? static_cast<quint16>(port) : kDefaultDevicePort;
}

Comm::Comm(device::Messenger& messenger, QObject* parent)
    : QObject(parent),
      messenger_(messenger),
      serial_(com_ports_),
      tcp_slots_(std::make_shared<TcpSlots>()),
      tcp_(tcp_slots_),
      device_port_(DevicePortFromEnvironment()),
      keep_alive_(*this) {
  announce_.setSingleShot(true);
  connect(&announce_, &QTimer::timeout, this, [this] {
    announced_ = true;
    emit waitingForDevice(waiting_slot_, DeviceLabel(waiting_slot_));
  });
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    tcp_links_[slot] = std::make_unique<TcpSlotLink>(tcp_slots_, slot, &state_.table);
  }
}

Comm::~Comm() = default;

Link& Comm::LinkFor(int slot) {
  if (state_.connection_mode == kLinkTcp) return *tcp_links_.at(static_cast<size_t>(slot));
  if (state_.com_port != serial_com_port_) {
    serial_com_port_ = state_.com_port;
    serial_com_name_ = ComPortName();
  }
  serial_.SetTarget(serial_com_name_, device::BaudRate(state_.table.device_type[slot]));
  return serial_;
}

bool Comm::LinkUp(int slot) { return IsValidSlot(slot) && LinkFor(slot).IsOpen(); }

QString Comm::DeviceLabel(int slot) {
  if (!IsValidSlot(slot)) return {};
  QString name = state_.table.device_name[slot].trimmed();
  if (name.isEmpty()) name = device::ModelName(state_.table.device_type[slot]).trimmed();
  return name + QStringLiteral(" - ") + LinkFor(slot).Describe();
}

bool Comm::SendPacket(Link& link, const QByteArray& packet) {
  if (!link.Send(packet)) return false;
  if (trace_) trace_(true, packet);
  return true;
}

int Comm::ReceiveReply(int slot, Link& link, QByteArray& reply, int awaited, int limit_ms) {
  // Past a second the windows say which device the run is waiting for.
  waiting_slot_ = slot;
  announced_ = false;
  int status = kReceiveTimeout;
  {
    const TimerForLoopWaits announce(announce_, ScaledMs(kAnnounceWaitMs));
    status = link.Receive(reply, awaited, QDeadlineTimer(ScaledMs(limit_ms)));
  }
  if (announced_) emit waitFinished();
  if (status == kReceiveOk && trace_) trace_(false, reply);
  return status;
}

bool Comm::BeginExchange() {
  if (exchanging_) return false;
  exchanging_ = true;
  return true;
}

void Comm::ShowLinkLoss(int slot) {
  // Several devices lost at once give several boxes; the last line tells them apart.
  messenger_.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kLinkLossTitle),
                   QString::fromLatin1(kLinkLossText) + QLatin1Char('\n') + DeviceLabel(slot),
                   device::MessageButtons::kOk});
}

void Comm::ReportLoss(int slot) {
  DeviceTable& table = state_.table;
  table[slot].online = false;
  // The list and the status bar count the device as lost while its message is up.
  SetRowText(slot, table.OfflineRowText(slot, state_.connection_mode));
  ShowLinkLoss(slot);
  table.device_data_valid[slot] = 0;
  table.device_needs_read[slot] = true;
  emit deviceLost(slot, QString::fromLatin1(kLostReplyReason));
}

ExchangeResult Comm::Exchange(int slot, uint8_t command, const Params& params,
                              std::span<const uint8_t> data) {
  if (Holds(slot)) return {ExchangeStatus::kHeld};
  if (!BeginExchange()) return {ExchangeStatus::kBusy};
  Link& link = LinkFor(slot);
  const QByteArray packet = FramePacket(0, command, params, data, state_.connection_mode);
  // A port that cannot be opened (or a block too long to frame) fails without a word.
  if (packet.isEmpty() || !link.Open()) {
    EndExchange();
    return {ExchangeStatus::kSendFailed};
  }
  // A line that takes no packet is lost like one that does not answer.
  const bool sent = SendPacket(link, packet);
  const ReplyClass expected = ClassifyReply(command, params[2], state_.table.device_type[slot]);
  if (sent && expected.awaited_bytes == 0) {
    EndExchange();
    return {ExchangeStatus::kAnswered};
  }
  QByteArray reply;
  if (sent && ReceiveReply(slot, link, reply, expected.awaited_bytes, expected.wait_limit_ms) ==
                  kReceiveOk) {
    if (command == device::kCmdIdentify && reply.size() > device::kReplyTypeByte &&
        device::IsValidType(static_cast<uint8_t>(reply[device::kReplyTypeByte]))) {
      state_.table.device_type[slot] = static_cast<uint8_t>(reply[device::kReplyTypeByte]);
    }
    EndExchange();
    return {ExchangeStatus::kAnswered, reply};
  }
  // Lost reply: the link is closed in every case. During discovery the loss is not told; the
  // exchange is over before the message box runs, so nothing it lets through is refused as busy.
  if (link.IsOpen()) link.Abandon();
  EndExchange();
  const ExchangeStatus status = sent ? ExchangeStatus::kUnanswered : ExchangeStatus::kSendFailed;
  if (!report_link_loss_) return {status};
  ReportLoss(slot);
  return {status, {}, true};
}

int16_t Comm::Transmit(int slot, uint8_t c, const Params& p) {
  const ExchangeResult result = Exchange(slot, c, p);
  // A lost reply during discovery was not told; the edit keeps its old reading of that case.
  return result.loss_reported() || result.status() == ExchangeStatus::kSendFailed ||
                 result.status() == ExchangeStatus::kBusy
             ? -1
             : 0;
}

ExchangeResult Comm::Poll(int slot, uint8_t command, const Params& params) {
  if (!IsValidSlot(slot)) return {ExchangeStatus::kHeld};
  return PlainExchange(slot, FramePacket(0, command, params, {}, state_.connection_mode),
                       kPollWaitMs);
}

ExchangeResult Comm::ProbeDevice(int slot) {
  if (!IsValidSlot(slot)) return {ExchangeStatus::kHeld};
  return PlainExchange(slot,
                       FramePacket(LinkFor(slot).ProbeAddress(slot),
                                   device::ProbeCommand(state_.table.device_type[slot]), {}, {},
                                   state_.connection_mode),
                       kProbeWaitMs);
}

ExchangeResult Comm::PlainExchange(int slot, const QByteArray& packet, int limit_ms) {
  if (!BeginExchange()) return {ExchangeStatus::kBusy};
  Link& link = LinkFor(slot);
  ExchangeResult result{ExchangeStatus::kSendFailed};
  if (packet.size() == kPlainPacketLength && link.Open() && SendPacket(link, packet)) {
    QByteArray reply;
    result = ReceiveReply(slot, link, reply, kPlainPacketLength, limit_ms) == kReceiveOk
                 ? ExchangeResult{ExchangeStatus::kAnswered, reply}
                 : ExchangeResult{ExchangeStatus::kUnanswered};
  }
  EndExchange();
  return result;
}

bool ProbeAcknowledged(const ExchangeResult& result) {
  return result.answered() && result.Byte(device::kReplyProbeAckByte) == device::kProbeAck;
}

void Comm::OpenTraffic() {
  ready_ = true;
  suspended_ = false;
}

void Comm::SuspendTraffic(bool suspended) { suspended_ = suspended; }

void Comm::ReportLinkLoss(bool report) { report_link_loss_ = report; }

void Comm::EnterOnlineMode() { online_mode_ = true; }

KeepAliveHold::KeepAliveHold(Comm& comm) : comm_(&comm) { ++comm_->keep_alive_holds_; }

KeepAliveHold::~KeepAliveHold() {
  if (comm_ != nullptr) --comm_->keep_alive_holds_;
}

TransferLock::TransferLock(Comm& comm) : comm_(comm) { ++comm_.transfer_locks_; }

TransferLock::~TransferLock() { --comm_.transfer_locks_; }

void Comm::KeepAliveTick() {
  // A tick never starts an exchange while another one is running.
  if (keep_alive_held() || !online_mode_ || exchanging_) return;
  DeviceTable& table = state_.table;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (!table[slot].registered || !table[slot].online) continue;
    if (Poll(slot, device::kCmdKeepAlive).answered()) continue;
    // Unlike a lost command reply, a silent keep-alive keeps the link and the editor open.
    table[slot].online = false;
    SetRowText(slot, table.OfflineRowText(slot, state_.connection_mode));
    ShowLinkLoss(slot);
    table.device_needs_read[slot] = true;
    table.device_data_valid[slot] = 0;
    emit deviceLost(slot, QString::fromLatin1(kLostKeepAliveReason));
  }
}

bool Comm::ReleaseAllDevices(bool stop_on_serial_failure) {
  DeviceTable& table = state_.table;
  if (serial_.IsOpen()) {
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
      if (!table[slot].online) continue;
      if (Transmit(slot, device::kCmdRelease, {}) != 0 && stop_on_serial_failure) return false;
    }
    serial_.Close();
  }
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (table[slot].link_kind == kLinkTcp && table[slot].online) {
      (void)Exchange(slot, device::kCmdRelease);  // the device is let go whatever it answers
    }
  }
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (tcp_.IsConnected(slot)) tcp_.Disconnect(slot);
  }
  return true;
}

bool Comm::LeaveOnlineMode() {
  if (!ReleaseAllDevices(true)) return false;
  online_mode_ = false;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) state_.table.device_data_valid[slot] = 0;
  return true;
}

void Comm::SetRowText(int slot, const QString& text) {
  if (!IsValidSlot(slot)) return;
  state_.row_text[slot] = text;
  emit rowTextChanged(slot, text);
}

}  // namespace tessaly::comm

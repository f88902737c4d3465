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
      device_port_(DevicePortFromEnvironment()) {
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    tcp_links_[slot] = std::make_unique<TcpSlotLink>(tcp_slots_, slot, &state_.table);
  }
}

Comm::~Comm() = default;

Link& Comm::LinkFor(int slot) {
  if (state_.connection_mode == kLinkTcp) return *tcp_links_.at(static_cast<size_t>(slot));
  serial_.SetTarget(ComPortName(), device::BaudRate(state_.table.device_type[slot]));
  return serial_;
}

bool Comm::LinkUp(int slot) { return IsValidSlot(slot) && LinkFor(slot).IsOpen(); }

QString Comm::DeviceLabel(int slot) {
  if (!IsValidSlot(slot)) return {};
  QString name = state_.table.device_name[slot].trimmed();
  if (name.isEmpty()) name = device::ModelName(state_.table.device_type[slot]).trimmed();
  return name + QStringLiteral(" - ") + LinkFor(slot).Describe();
}

SendOutcome Comm::SendPacket(Link& link, const QByteArray& packet) {
  if (!link.Send(packet)) return SendOutcome::kFailed;
  if (trace_) trace_(true, packet);
  return SendOutcome::kSent;
}

int Comm::ReceiveReply(int slot, Link& link, QByteArray& reply, int awaited, int limit_ms) {
  // Past a second the windows say which device the run is waiting for.
  QTimer announce;
  announce.setSingleShot(true);
  bool announced = false;
  connect(&announce, &QTimer::timeout, this, [&] {
    announced = true;
    emit WaitingForDevice(slot, DeviceLabel(slot));
  });
  announce.start(ScaledMs(kAnnounceWaitMs));
  const int status = link.Receive(reply, awaited, QDeadlineTimer(ScaledMs(limit_ms)));
  announce.stop();
  if (announced) emit WaitFinished();
  if (status == kReceiveOk && trace_) trace_(false, reply);
  return status;
}

void Comm::StoreReply(const QByteArray& reply) {
  const auto count = std::min<qsizetype>(reply.size(), kRxBufferSize);
  std::copy_n(reinterpret_cast<const uint8_t*>(reply.constData()), count, state_.rx_buffer.begin());
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
  ShowLinkLoss(slot);
  SetRowText(slot, table.OfflineRowText(slot, state_.connection_mode));
  table.device_data_valid[slot] = 0;
  table.device_needs_read[slot] = true;
  if (table[slot].editor_open) emit EditorCloseRequested(slot);
}

int16_t Comm::TxCommand(int slot, uint8_t command, const Params& params) {
  return SendCommand(slot, command, params).result;
}

CommandOutcome Comm::SendCommand(int slot, uint8_t command, const Params& params) {
  if (state_.comm_suspended || !state_.comm_ready || state_.transfer_lock) return {};
  if (!IsValidSlot(slot) || !state_.table[slot].online) return {};

  state_.tx_idle = false;
  Link& link = LinkFor(slot);
  const QByteArray packet =
      FramePacket(0, command, params, state_.tx_data_buffer, state_.connection_mode);
  CommandOutcome outcome;
  if (packet.isEmpty() || !link.Open()) {
    // A port that cannot be opened (or a block too long to frame) fails without a word.
    state_.tx_idle = true;
    outcome.send = SendOutcome::kFailed;
    outcome.result = -1;
    return outcome;
  }
  // A line that takes no packet is lost like one that does not answer.
  outcome.send = SendPacket(link, packet);

  const ReplyClass expected = ClassifyReply(command, params[2], state_.table.device_type[slot]);
  if (outcome.send == SendOutcome::kSent && expected.awaited_bytes == 0) {
    state_.tx_idle = true;
    outcome.answered = true;
    return outcome;
  }

  QByteArray reply;
  if (outcome.send == SendOutcome::kSent && ReceiveReply(slot, link, reply, expected.awaited_bytes,
                                                         expected.wait_limit_ms) == kReceiveOk) {
    StoreReply(reply);
    if (command == device::kCmdIdentify &&
        device::IsValidType(state_.rx_buffer[device::kReplyTypeByte])) {
      state_.table.device_type[slot] = state_.rx_buffer[device::kReplyTypeByte];
    }
    state_.tx_idle = true;
    outcome.answered = true;
    return outcome;
  }

  // Lost reply. During discovery it is not reported, but the link is closed all the same.
  if (state_.report_link_loss) {
    outcome.result = -1;
    ReportLoss(slot);
  }
  state_.tx_idle = true;
  if (link.IsOpen()) link.Close();
  return outcome;
}

int16_t Comm::TxPoll(int slot, uint8_t command, const Params& params) {
  if (!IsValidSlot(slot)) return -1;
  state_.tx_idle = false;
  Link& link = LinkFor(slot);
  const QByteArray packet = FramePacket(0, command, params, {}, state_.connection_mode);
  int16_t result = -1;
  QByteArray reply;
  if (packet.size() == kPlainPacketLength && link.Open() &&
      SendPacket(link, packet) == SendOutcome::kSent &&
      ReceiveReply(slot, link, reply, kPlainPacketLength, kPollWaitMs) == kReceiveOk) {
    StoreReply(reply);
    result = 0;
  }
  state_.tx_idle = true;
  return result;
}

bool Comm::ProbeDevice(int slot) {
  if (!IsValidSlot(slot)) return false;
  Link& link = LinkFor(slot);
  const QByteArray packet =
      FramePacket(link.ProbeAddress(slot), device::ProbeCommand(state_.table.device_type[slot]), {},
                  {}, state_.connection_mode);
  if (!link.Open() || SendPacket(link, packet) != SendOutcome::kSent) return false;
  QByteArray reply;
  if (ReceiveReply(slot, link, reply, kPlainPacketLength, kProbeWaitMs) != kReceiveOk) {
    return false;
  }
  StoreReply(reply);
  return state_.rx_buffer[device::kReplyProbeAckByte] == device::kProbeAck;
}

bool Comm::SplitToBytes(double value, int start) {
  return comm::SplitToBytes(value, start, state_.address_bytes);
}

void Comm::KeepAliveTick() {
  // A tick never starts an exchange while another one is running.
  if (state_.keep_alive_hold || !state_.online_mode || !state_.tx_idle) return;
  DeviceTable& table = state_.table;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (!table[slot].registered || !table[slot].online) continue;
    if (TxPoll(slot, device::kCmdKeepAlive) == 0) continue;
    // Unlike a lost command reply, a silent keep-alive keeps the link and the editor open.
    table[slot].online = false;
    ShowLinkLoss(slot);
    SetRowText(slot, table.OfflineRowText(slot, state_.connection_mode));
    table.device_needs_read[slot] = true;
    table.device_data_valid[slot] = 0;
  }
}

bool Comm::ReleaseAllDevices(bool stop_on_serial_failure) {
  DeviceTable& table = state_.table;
  if (serial_.IsOpen()) {
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
      if (!table[slot].online) continue;
      if (TxCommand(slot, device::kCmdRelease) != 0 && stop_on_serial_failure) return false;
    }
    serial_.Close();
  }
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (table[slot].link_kind == kLinkTcp && table[slot].online) {
      (void)TxCommand(slot, device::kCmdRelease);  // the device is let go whatever it answers
    }
  }
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (tcp_.IsConnected(slot)) tcp_.Disconnect(slot);
  }
  return true;
}

bool Comm::LeaveOnlineMode() {
  if (!ReleaseAllDevices(true)) return false;
  state_.online_mode = false;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) state_.table.device_data_valid[slot] = 0;
  return true;
}

void Comm::SetRowText(int slot, const QString& text) {
  if (!IsValidSlot(slot)) return;
  state_.row_text[slot] = text;
  emit RowTextChanged(slot, text);
}

}  // namespace tessaly::comm

#include "comm/Comm.h"

#include <algorithm>

#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "comm/LinkIo.h"

namespace tessaly::comm {

quint16 DevicePortFromEnvironment() {
  bool ok = false;
  const int port = qEnvironmentVariableIntValue("TESSALY_DEVICE_PORT", &ok);
  return ok && port > 0 && port <= 65535 ? static_cast<quint16>(port) : kDefaultDevicePort;
}

Comm::Comm(Messenger& messenger, QObject* parent)
    : QObject(parent),
      messenger_(messenger),
      serial_(com_ports_),
      tcp_slots_(std::make_shared<TcpSlots>()),
      tcp_(tcp_slots_),
      device_port_(DevicePortFromEnvironment()) {}

Comm::~Comm() = default;

Comm::Sent Comm::SendPacket(int slot, const QByteArray& packet) {
  if (state_.connection_mode == kLinkTcp) {
    tcp_.Send(slot, packet);
  } else {
    if (!serial_.IsOpen() &&
        serial_.Open(ComPortName(), BaudRate(state_.table.device_type[slot])) != 0) {
      return Sent::kPortFailed;
    }
    serial_.Send(packet);
  }
  if (trace_) trace_(true, packet);
  return Sent::kOk;
}

int Comm::ReceiveReply(int slot, QByteArray& reply, int awaited, int limit_ms) {
  const int status = state_.connection_mode == kLinkTcp
                         ? tcp_.Receive(slot, reply, awaited, limit_ms)
                         : serial_.Receive(reply, awaited, limit_ms);
  if (status == kReceiveOk && trace_) trace_(false, reply);
  return status;
}

void Comm::StoreReply(const QByteArray& reply) {
  const auto count = std::min<qsizetype>(reply.size(), kRxBufferSize);
  std::copy_n(reinterpret_cast<const uint8_t*>(reply.constData()), count, state_.rx_buffer.begin());
}

void Comm::CloseLink(int slot) {
  if (state_.connection_mode == kLinkTcp) {
    if (tcp_.IsConnected(slot)) tcp_.Disconnect(slot);
  } else if (serial_.IsOpen()) {
    serial_.Close();
  }
}

void Comm::ReportLoss(int slot) {
  DeviceTable& table = state_.table;
  table[slot].online = false;
  messenger_.Show({MessageIcon::kExclamation, QString::fromLatin1(kLinkLossTitle),
                   QString::fromLatin1(kLinkLossText), MessageButtons::kOk});
  SetRowText(slot, table.OfflineRowText(slot, state_.connection_mode));
  table.device_data_valid[slot] = 0;
  table.device_needs_read[slot] = true;
  if (table[slot].editor_open) emit EditorCloseRequested(slot);
}

int16_t Comm::TxCommand(int slot, uint8_t command, const Params& params) {
  if (state_.comm_suspended || !state_.comm_ready || state_.transfer_lock) return 0;
  if (!IsValidSlot(slot) || !state_.table[slot].online) return 0;

  state_.tx_idle = false;
  const int type = state_.table.device_type[slot];
  const QByteArray packet =
      FramePacket(0, command, params, state_.tx_data_buffer, state_.connection_mode);
  if (packet.isEmpty() || SendPacket(slot, packet) == Sent::kPortFailed) {
    state_.tx_idle = true;
    return -1;
  }

  const ReplyClass expected = ClassifyReply(command, params[2], type);
  if (expected.awaited_bytes == 0) {
    state_.tx_idle = true;
    return 0;
  }

  QByteArray reply;
  if (ReceiveReply(slot, reply, expected.awaited_bytes, expected.wait_limit_ms) == kReceiveOk) {
    StoreReply(reply);
    if (command == kCmdIdentify && IsValidType(state_.rx_buffer[8])) {
      state_.table.device_type[slot] = state_.rx_buffer[8];
    }
    state_.tx_idle = true;
    return 0;
  }

  // Lost reply. During discovery it is not reported, but the link is closed all the same.
  int16_t result = 0;
  if (state_.report_link_loss) {
    result = -1;
    ReportLoss(slot);
  }
  state_.tx_idle = true;
  CloseLink(slot);
  return result;
}

int16_t Comm::TxPoll(int slot, uint8_t command, const Params& params) {
  if (!IsValidSlot(slot)) return -1;
  state_.tx_idle = false;
  Params plain = params;
  const QByteArray packet = FramePacket(0, command, plain, {}, state_.connection_mode);
  int16_t result = -1;
  QByteArray reply;
  if (!packet.isEmpty() && packet.size() == kPlainPacketLength &&
      SendPacket(slot, packet) == Sent::kOk &&
      ReceiveReply(slot, reply, kPlainPacketLength, kPollWaitMs) == kReceiveOk) {
    StoreReply(reply);
    result = 0;
  }
  state_.tx_idle = true;
  return result;
}

bool Comm::ProbeDevice(int slot) {
  if (!IsValidSlot(slot)) return false;
  const bool usb = state_.connection_mode != kLinkTcp;
  const uint8_t address = usb ? static_cast<uint8_t>(slot) : 0;
  const QByteArray packet = FramePacket(address, ProbeCommand(state_.table.device_type[slot]), {},
                                        {}, state_.connection_mode);
  if (SendPacket(slot, packet) != Sent::kOk) return false;
  QByteArray reply;
  if (ReceiveReply(slot, reply, kPlainPacketLength, kProbeWaitMs) != kReceiveOk) return false;
  StoreReply(reply);
  return state_.rx_buffer[11] == kProbeAck;
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
    if (TxPoll(slot, kCmdKeepAlive) == 0) continue;
    // Unlike a lost command reply, a silent keep-alive keeps the link and the editor open.
    table[slot].online = false;
    messenger_.Show({MessageIcon::kExclamation, QString::fromLatin1(kLinkLossTitle),
                     QString::fromLatin1(kLinkLossText), MessageButtons::kOk});
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
      if (TxCommand(slot, kCmdRelease) != 0 && stop_on_serial_failure) return false;
    }
    serial_.Close();
  }
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (table[slot].link_kind == kLinkTcp && table[slot].online) {
      (void)TxCommand(slot, kCmdRelease);  // the device is let go whatever it answers
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

#include "connect/TcpConnect.h"

#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "comm/LinkIo.h"
#include "connect/UsbConnect.h"

namespace tessaly::connect {
namespace {

constexpr int kResetAddressBase = 100;

QString Prefix(const Octets& octets) {
  return QStringLiteral("%1.%2.%3.").arg(octets[0]).arg(octets[1]).arg(octets[2]);
}

}  // namespace

QStringList BuildAddressList(const InitConfig& config, bool several_addresses) {
  QStringList list;
  if (!several_addresses) {
    list << Prefix(config.single) + QString::number(config.single[3]);
    return list;
  }
  const QString prefix = Prefix(config.range_start);
  for (int k = config.range_start[3]; k <= config.range_end[3]; ++k) {
    list << prefix + QString::number(k);
  }
  return list;
}

TcpConnect::TcpConnect(ConnectContext& context, QObject* parent)
    : QObject(parent), context_(context), tcp1_(context.comm.tcp_slots()) {
  connect(&tcp1_, &comm::TcpLink::ScanResponse, this, &TcpConnect::OnScanResponse);
}

bool TcpConnect::Initialise() {
  if (tcp1_.Initialise(comm::kSlotCount) != 0) {
    context_.comm.messenger().Show(
        {comm::MessageIcon::kCritical, QString::fromLatin1(kTcpInitFailedTitle),
         QString::fromLatin1(kTcpInitFailedText), comm::MessageButtons::kOk});
    return false;
  }
  local_addresses_ = tcp1_.ListLocalAddresses();
  return true;
}

void TcpConnect::Cancel() {
  context_.session.scan_cancelled = true;
  outcome_ = ConnectOutcome::kCancelled;
}

ConnectOutcome TcpConnect::AskDemo(const char* question) {
  comm::CommState& state = context_.comm.state();
  const comm::MessageAnswer answer = context_.comm.messenger().Show(
      {comm::MessageIcon::kQuestion, QString::fromLatin1(kDemoQuestionTitle),
       QString::fromLatin1(question), comm::MessageButtons::kYesNo});
  if (answer != comm::MessageAnswer::kYes) return ConnectOutcome::kStayOffline;
  state.comm_suspended = true;
  RunDemoSetup(context_);
  return ConnectOutcome::kDemo;
}

ConnectOutcome TcpConnect::Run(const ConnectHooks& hooks) {
  hooks_ = hooks;
  comm::CommState& state = context_.comm.state();
  context_.session.scan_cancelled = false;
  state.last_slot = -1;
  for (int slot = comm::kFirstSlot; slot <= comm::kLastSlot; ++slot) {
    state.table.ResetSlot(slot);
    state.table[slot].ip_address = QStringLiteral("192.168.0.%1").arg(slot + kResetAddressBase);
  }

  if (local_addresses_.isEmpty() || local_addresses_.first() == QLatin1String(kLoopbackAddress)) {
    context_.comm.messenger().Show(
        {comm::MessageIcon::kExclamation, QString::fromLatin1(kNoNetworkTitle),
         QString::fromLatin1(kNoNetworkText), comm::MessageButtons::kOk});
    outcome_ = AskDemo(kNoNetworkQuestion);
    return outcome_;
  }

  scanned_ = BuildAddressList(context_.session.config, context_.session.several_addresses);
  outcome_ = ConnectOutcome::kCancelled;
  tcp1_.Scan(scanned_, context_.comm.device_port(), kScanWaitMs, false);
  return outcome_;
}

bool TcpConnect::TxTmpCheckTcpIp(int slot, uint8_t command, const comm::Params& params) {
  comm::CommState& state = context_.comm.state();
  const QByteArray packet = comm::FramePacket(0, command, params, {}, state.connection_mode);
  tcp1_.Send(slot, packet);
  const int awaited = command == comm::kCmdReadSettings ? params[2] + 5 : comm::kPlainPacketLength;
  QByteArray reply;
  if (tcp1_.Receive(slot, reply, awaited, kTcpExchangeWaitMs) != comm::kReceiveOk) return false;
  std::copy_n(reinterpret_cast<const uint8_t*>(reply.constData()),
              std::min<qsizetype>(reply.size(), comm::kRxBufferSize), state.rx_buffer.begin());
  if (command == comm::kCmdProbeA) return state.rx_buffer[11] == comm::kProbeAck;
  if (command == comm::kCmdIdentify) {
    const int type = state.rx_buffer[8];
    if (!comm::IsValidType(type)) return false;
    if (comm::IsValidSlot(state.last_slot)) {
      state.table.device_type[static_cast<size_t>(state.last_slot)] = static_cast<int16_t>(type);
    }
    return true;
  }
  return true;
}

bool TcpConnect::ConnectAndProbe(int slot, const QString& address) {
  comm::CommState& state = context_.comm.state();
  state.transfer_lock = false;
  state.comm_ready = true;
  if (tcp1_.IsConnected(slot)) tcp1_.Disconnect(slot);
  if (tcp1_.Connect(slot, address, context_.comm.device_port(), kConnectWaitMs) != 0) return false;
  return TxTmpCheckTcpIp(slot, comm::kCmdProbeA, {});
}

void TcpConnect::OnScanResponse(const QStringList& addresses) {
  if (context_.session.scan_cancelled) {
    outcome_ = ConnectOutcome::kCancelled;
    return;
  }
  if (addresses.isEmpty() || addresses.first().isEmpty()) {
    outcome_ = AskDemo(kNoDeviceQuestion);
    return;
  }
  comm::CommState& state = context_.comm.state();
  comm::DeviceTable& table = state.table;
  state.last_slot = -1;
  int candidate = -1;
  for (const QString& address : addresses) {
    // Only what this window asked for becomes a device.
    if (!scanned_.contains(address)) continue;
    if (candidate >= comm::kLastSlot) break;
    ++candidate;
    hooks_.Status(QStringLiteral("Searching device [IP:%1], please wait.....").arg(address));
    if (!ConnectAndProbe(candidate, address) && !ConnectAndProbe(candidate, address)) {
      --candidate;  // the slot goes to the next address
      continue;
    }
    state.comm_suspended = false;
    ++state.last_slot;
    comm::DeviceTable::Found found;
    found.link_kind = comm::kLinkTcp;
    found.ip_address = address;
    found.device_id = static_cast<int16_t>(candidate);
    found.device_type = table.device_type[static_cast<size_t>(candidate)];
    table.Register(candidate, found);

    comm::Params identify{};
    identify[7] = static_cast<uint8_t>(state.connection_mode);
    (void)TxTmpCheckTcpIp(candidate, comm::kCmdIdentify, identify);

    hooks_.Progress(0, 1);
    table.device_row[static_cast<size_t>(candidate)] = static_cast<int16_t>(candidate);
    table.device_name[static_cast<size_t>(candidate)].clear();
    if (TxTmpCheckTcpIp(candidate, comm::kCmdReadSettings, {0, 0, 16, 0, 0, 0, 0, 0})) {
      table.device_name[static_cast<size_t>(candidate)] = NameFromReply(state);
    }
    hooks_.Progress(1, 1);
  }
  outcome_ = ConnectOutcome::kDevicesListed;
}

}  // namespace tessaly::connect

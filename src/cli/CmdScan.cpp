#include <QHostAddress>
#include <QJsonArray>

#include "cli/Commands.h"
#include "cli/DeviceInfo.h"
#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "comm/TcpScan.h"
#include "connect/Exchange.h"
#include "connect/TcpConnect.h"
#include "connect/UsbConnect.h"

namespace tessaly::cli {
namespace {

constexpr int kResetAddressBase = 100;
constexpr int kNameLength = 16;

// The addresses FIRST..LAST; they must share their first three octets.
std::optional<QStringList> AddressRange(const QString& first, const QString& last, QString* error) {
  QHostAddress a;
  QHostAddress b;
  if (!a.setAddress(first) || a.protocol() != QAbstractSocket::IPv4Protocol ||
      !b.setAddress(last) || b.protocol() != QAbstractSocket::IPv4Protocol) {
    *error = QStringLiteral("scan needs two IPv4 addresses, FIRST and LAST.");
    return std::nullopt;
  }
  const quint32 start = a.toIPv4Address();
  const quint32 end = b.toIPv4Address();
  if ((start >> 8) != (end >> 8)) {
    *error = QStringLiteral("FIRST and LAST must share their first three octets.");
    return std::nullopt;
  }
  if ((start & 0xFF) > (end & 0xFF)) {
    *error = QStringLiteral("FIRST must not come after LAST.");
    return std::nullopt;
  }
  QStringList list;
  for (quint32 ip = start; ip <= end; ++ip) list << QHostAddress(ip).toString();
  return list;
}

// One address that accepted the scan: connect the slot and probe it with the probe of types 0
// and 3, as the network connect does.
bool ConnectAndProbe(Session& session, int slot, const QString& address) {
  comm::Comm& comm = session.comm();
  comm.state().transfer_lock = false;
  comm.state().comm_ready = true;
  if (comm.tcp().IsConnected(slot)) comm.tcp().Disconnect(slot);
  if (comm.tcp().Connect(slot, address, comm.device_port(), connect::kConnectWaitMs) != 0) {
    return false;
  }
  comm.state().table.device_type[static_cast<size_t>(slot)] = comm::kTypeRk540;
  return comm.ProbeDevice(slot);
}

}  // namespace

// The probe, identify and name exchanges go through the exchange layer rather than the connect
// window's private TCP instance, so that --trace shows every packet of the scan.
Outcome RunScan(Session& session, const QStringList& args) {
  if (args.size() != 2) return Outcome::Usage(QStringLiteral("scan needs FIRST and LAST."));
  if (session.options().transport == Transport::kCom) {
    return Outcome::Usage(QStringLiteral("scan works over TCP/IP only; leave out --com."));
  }
  QString error;
  const auto addresses = AddressRange(args[0], args[1], &error);
  if (!addresses) return Outcome::Usage(error);

  comm::Comm& comm = session.comm();
  comm::CommState& state = comm.state();
  state.connection_mode = comm::kLinkTcp;
  state.last_slot = -1;
  for (int slot = comm::kFirstSlot; slot <= comm::kLastSlot; ++slot) {
    state.table.ResetSlot(slot);
    state.table[slot].ip_address = QStringLiteral("192.168.0.%1").arg(slot + kResetAddressBase);
  }
  if (comm.tcp().Initialise(comm::kSlotCount) != 0) {
    return Outcome::Device(QStringLiteral("The TCP connections could not be set up."));
  }
  const QStringList answered =
      comm::ScanAddresses(*addresses, comm.device_port(), connect::kScanWaitMs);

  QList<DeviceInfo> found;
  int candidate = -1;
  for (const QString& address : answered) {
    if (candidate >= comm::kLastSlot) break;
    ++candidate;
    if (!ConnectAndProbe(session, candidate, address) &&
        !ConnectAndProbe(session, candidate, address)) {
      --candidate;  // the slot goes to the next address
      continue;
    }
    state.comm_suspended = false;
    ++state.last_slot;
    comm::DeviceTable::Found entry;
    entry.link_kind = comm::kLinkTcp;
    entry.ip_address = address;
    entry.device_id = static_cast<int16_t>(candidate);
    entry.device_type = state.table.device_type[static_cast<size_t>(candidate)];
    state.table.Register(candidate, entry);
    comm::Params identify{};
    identify[7] = static_cast<uint8_t>(state.connection_mode);
    (void)connect::Exchange(comm, candidate, comm::kCmdIdentify, identify);
    if (connect::ReadMemory(comm, candidate, comm::kCmdReadSettings, 0, kNameLength)) {
      state.table.device_name[static_cast<size_t>(candidate)] = connect::NameFromReply(state);
    }
    found << InfoOfSlot(session, candidate);
  }

  CliOutput& out = session.output();
  if (out.json()) {
    QJsonArray list;
    for (const DeviceInfo& info : found) list.append(info.Json());
    out.Json(list);
  } else {
    for (const DeviceInfo& info : found) out.Line(info.Line());
  }
  if (found.isEmpty()) {
    return Outcome::Device(
        QStringLiteral("No device answered from %1 to %2.").arg(args[0], args[1]));
  }
  return Outcome::Ok();
}

Outcome RunIdentify(Session& session, const QStringList& args) {
  if (!args.isEmpty()) return Outcome::Usage(QStringLiteral("identify takes no arguments."));
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const DeviceInfo info = InfoOfSlot(session, kCliSlot);
  CliOutput& out = session.output();
  if (out.json()) {
    QJsonObject object = info.Json();
    object.remove(QStringLiteral("slot"));
    if (session.options().transport == Transport::kTcp) {
      object[QStringLiteral("port")] = session.device_port();
    } else {
      object[QStringLiteral("com")] = session.options().com;
    }
    out.Json(object);
  } else {
    out.Line(QStringLiteral("%1\t%2\t%3").arg(info.type).arg(ModelText(info.type), info.name));
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli

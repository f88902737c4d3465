#include <QEventLoop>
#include <QHostAddress>
#include <QJsonArray>

#include "cli/Commands.h"
#include "cli/DeviceInfo.h"
#include "connect/TcpDiscovery.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::cli {
namespace {

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

}  // namespace

// The network connect's own search, so that --trace shows every packet of it.
Outcome RunScan(Session& session, const QStringList& args) {
  if (args.size() != 2) return Outcome::Usage(QStringLiteral("scan needs FIRST and LAST."));
  if (session.options().transport == Transport::kCom) {
    return Outcome::Usage(QStringLiteral("scan works over TCP/IP only; leave out --com."));
  }
  QString error;
  const auto addresses = AddressRange(args[0], args[1], &error);
  if (!addresses) return Outcome::Usage(error);

  comm::Comm& comm = session.comm();
  comm.state().connection_mode = comm::kLinkTcp;
  connect::ResetTcpSlots(comm.state());
  if (comm.tcp().Initialise(comm::kSlotCount) != 0) {
    return Outcome::Device(QStringLiteral("The TCP connections could not be set up."));
  }
  connect::TcpDiscovery discovery(comm);
  QEventLoop loop;
  QObject::connect(&discovery, &connect::TcpDiscovery::finished, &loop, &QEventLoop::quit);
  discovery.Start(*addresses, {});
  if (discovery.running()) loop.exec();

  QList<DeviceInfo> found;
  for (const connect::AddressReport& report : discovery.report().addresses) {
    if (report.outcome == connect::AddressOutcome::kRegistered) {
      found << InfoOfSlot(session, report.slot);
    }
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

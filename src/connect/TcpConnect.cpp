#include "connect/TcpConnect.h"

#include "connect/UsbConnect.h"
#include "device/DeviceTypes.h"

namespace tessaly::connect {
namespace {

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
    : QObject(parent), context_(context), discovery_(context.comm) {
  connect(&discovery_, &TcpDiscovery::finished, this, &TcpConnect::OnDiscoveryFinished);
}

bool TcpConnect::Initialise() {
  if (context_.comm.tcp().Initialise(comm::kSlotCount) != 0) {
    context_.comm.messenger().Show(
        {device::MessageIcon::kCritical, QString::fromLatin1(kTcpInitFailedTitle),
         QString::fromLatin1(kTcpInitFailedText), device::MessageButtons::kOk});
    return false;
  }
  local_addresses_ = context_.comm.tcp().ListLocalAddresses();
  return true;
}

void TcpConnect::Cancel() {
  context_.session.scan_cancelled = true;
  discovery_.Cancel();
}

ConnectOutcome TcpConnect::AskDemo(const char* question) {
  const device::MessageAnswer answer = context_.comm.messenger().Show(
      {device::MessageIcon::kQuestion, QString::fromLatin1(kDemoQuestionTitle),
       QString::fromLatin1(question), device::MessageButtons::kYesNo});
  if (answer != device::MessageAnswer::kYes) return ConnectOutcome::kStayOffline;
  context_.comm.SuspendTraffic(true);
  RunDemoSetup(context_);
  return ConnectOutcome::kDemo;
}

void TcpConnect::Start(const ConnectHooks& hooks) {
  context_.session.scan_cancelled = false;
  context_.session.scan_summary.clear();
  context_.session.scan_details.clear();
  ResetTcpSlots(context_.comm.state());

  if (local_addresses_.isEmpty() || local_addresses_.first() == QLatin1String(kLoopbackAddress)) {
    context_.comm.messenger().Show(
        {device::MessageIcon::kExclamation, QString::fromLatin1(kNoNetworkTitle),
         QString::fromLatin1(kNoNetworkText), device::MessageButtons::kOk});
    emit finished(AskDemo(kNoNetworkQuestion));
    return;
  }
  scanned_ = BuildAddressList(context_.session.config, context_.session.several_addresses);
  discovery_.Start(scanned_, hooks);
}

void TcpConnect::OnDiscoveryFinished(const DiscoveryReport& report) {
  if (context_.session.scan_cancelled) return;
  const bool none_accepted =
      std::none_of(report.addresses.begin(), report.addresses.end(), [](const AddressReport& a) {
        return a.outcome != AddressOutcome::kRefused && a.outcome != AddressOutcome::kTimedOut;
      });
  if (none_accepted) {
    emit finished(AskDemo(kNoDeviceQuestion));
    return;
  }
  // Addresses that accepted but gave nothing usable still lead to the list, which says why.
  context_.session.scan_summary = report.Summary();
  context_.session.scan_details = report.Details();
  emit finished(ConnectOutcome::kDevicesListed);
}

}  // namespace tessaly::connect

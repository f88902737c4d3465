#include "connect/TcpDiscovery.h"

#include <algorithm>

#include "connect/Exchange.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::connect {
namespace {

constexpr int kResetAddressBase = 100;
constexpr int kProbeAttempts = 2;
constexpr uint8_t kNameLength = 16;

QString OutcomeText(const AddressReport& report) {
  switch (report.outcome) {
    case AddressOutcome::kRegistered:
      return QStringLiteral("answered, slot %1").arg(report.slot);
    case AddressOutcome::kRefused:
      return QStringLiteral("refused the connection");
    case AddressOutcome::kTimedOut:
      return QStringLiteral("did not answer within %1 ms").arg(kScanWaitMs);
    case AddressOutcome::kNoProbeAnswer:
      return QStringLiteral("accepted the connection but did not answer");
    case AddressOutcome::kNoFreeSlot:
      return QStringLiteral("answered, but all %1 slots are taken").arg(comm::kSlotCount);
  }
  return {};
}

}  // namespace

int DiscoveryReport::Registered() const {
  return static_cast<int>(std::count_if(addresses.begin(), addresses.end(), [](const auto& a) {
    return a.outcome == AddressOutcome::kRegistered;
  }));
}

QString DiscoveryReport::Summary() const {
  const int found = Registered();
  QString text =
      found == 1 ? QStringLiteral("1 device found") : QStringLiteral("%1 devices found").arg(found);
  // Silent and refusing addresses are the normal case in a range; only the surprises are named.
  for (const AddressReport& report : addresses) {
    if (report.outcome == AddressOutcome::kNoProbeAnswer ||
        report.outcome == AddressOutcome::kNoFreeSlot) {
      text += QStringLiteral("; ") + report.address + QLatin1Char(' ') + OutcomeText(report);
    }
  }
  return text;
}

QString DiscoveryReport::Details() const {
  QStringList lines;
  for (const AddressReport& report : addresses) {
    lines << report.address + QStringLiteral(": ") + OutcomeText(report);
  }
  return lines.join(QLatin1Char('\n'));
}

void ResetTcpSlots(comm::CommState& state) {
  state.last_slot = -1;
  for (int slot = comm::kFirstSlot; slot <= comm::kLastSlot; ++slot) {
    state.table.ResetSlot(slot);
    state.table[slot].ip_address = QStringLiteral("192.168.0.%1").arg(slot + kResetAddressBase);
  }
}

TcpDiscovery::TcpDiscovery(comm::Comm& comm, QObject* parent)
    : QObject(parent), comm_(comm), scan_(this) {
  step_.setSingleShot(true);
  step_.setInterval(0);
  connect(&step_, &QTimer::timeout, this, &TcpDiscovery::NextAddress);
  connect(&scan_, &comm::TcpScan::finished, this, &TcpDiscovery::OnScanFinished);
}

void TcpDiscovery::Start(const QStringList& addresses, const ConnectHooks& hooks) {
  Cancel();
  hooks_ = hooks;
  report_ = {};
  accepted_.clear();
  next_ = 0;
  slot_ = 0;
  running_ = true;
  scan_.Start(addresses, comm_.device_port(), kScanWaitMs);
}

void TcpDiscovery::Cancel() {
  running_ = false;
  scan_.Cancel();
  step_.stop();
}

void TcpDiscovery::OnScanFinished(const QList<comm::ScanAnswer>& answers) {
  if (!running_) return;
  for (const comm::ScanAnswer& answer : answers) {
    if (answer.result == comm::ScanResult::kAccepted) {
      accepted_ << answer.address;
      continue;
    }
    report_.addresses.append({answer.address, answer.result == comm::ScanResult::kRefused
                                                  ? AddressOutcome::kRefused
                                                  : AddressOutcome::kTimedOut});
  }
  step_.start();
}

bool TcpDiscovery::ConnectAndProbe(int slot, const QString& address) {
  comm::CommState& state = comm_.state();
  comm_.OpenTraffic();
  // A fresh connection per attempt: a late answer to the first probe cannot pass for the second.
  if (comm_.tcp().IsConnected(slot)) comm_.tcp().Disconnect(slot);
  if (comm_.tcp().Connect(slot, address, comm_.device_port(), kConnectWaitMs) != 0) return false;
  // Types 0 and 3 share the probe command every network device answers.
  state.table.device_type[static_cast<size_t>(slot)] = device::kTypeRk540;
  return comm::ProbeAcknowledged(comm_.ProbeDevice(slot));
}

void TcpDiscovery::Register(int slot, const QString& address) {
  comm::CommState& state = comm_.state();
  comm::DeviceTable& table = state.table;
  comm_.SuspendTraffic(false);
  state.last_slot = static_cast<int16_t>(slot);
  comm::DeviceTable::Found found;
  found.link_kind = comm::kLinkTcp;
  found.ip_address = address;
  found.device_id = static_cast<int16_t>(slot);
  found.device_type = table.device_type[static_cast<size_t>(slot)];
  table.Register(slot, found);

  comm::Params identify{};
  identify[7] = static_cast<uint8_t>(state.connection_mode);
  (void)comm_.Exchange(slot, device::kCmdIdentify, identify);  // sets the type from byte 8

  hooks_.Progress(0, 1);
  table.device_row[static_cast<size_t>(slot)] = static_cast<int16_t>(slot);
  table.device_name[static_cast<size_t>(slot)].clear();
  if (const comm::ExchangeResult read =
          ReadMemory(comm_, slot, device::kCmdReadSettings, 0, kNameLength);
      read.answered()) {
    table.device_name[static_cast<size_t>(slot)] = NameFromReply(read);
  }
  hooks_.Progress(1, 1);
}

void TcpDiscovery::NextAddress() {
  if (!running_) return;
  if (next_ >= accepted_.size()) {
    running_ = false;
    emit finished(report_);
    return;
  }
  const QString address = accepted_[next_++];
  AddressReport report{address, AddressOutcome::kNoFreeSlot};
  if (slot_ <= comm::kLastSlot) {
    hooks_.Status(QStringLiteral("Searching device [IP:%1], please wait.....").arg(address));
    bool answered = false;
    for (int attempt = 0; attempt < kProbeAttempts && !answered; ++attempt) {
      answered = ConnectAndProbe(slot_, address);
    }
    if (answered) {
      Register(slot_, address);
      report = {address, AddressOutcome::kRegistered, slot_++};
    } else {
      // The slot goes to the next address.
      comm_.tcp().Disconnect(slot_);
      report.outcome = AddressOutcome::kNoProbeAnswer;
    }
  }
  report_.addresses.append(report);
  step_.start();
}

}  // namespace tessaly::connect

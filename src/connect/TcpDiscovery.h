#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "comm/TcpScan.h"
#include "connect/ConnectSession.h"

namespace tessaly::connect {

inline constexpr int kScanWaitMs = 300;
inline constexpr int kConnectWaitMs = 200;

// What became of one scanned address.
enum class AddressOutcome {
  kRegistered,
  kRefused,
  kTimedOut,
  kNoProbeAnswer,  // accepted the connection but did not answer the probe, twice
  kNoFreeSlot,     // answered after every slot was taken
};

struct AddressReport {
  QString address;
  AddressOutcome outcome = AddressOutcome::kTimedOut;
  int slot = -1;
};

struct DiscoveryReport {
  QList<AddressReport> addresses;

  int Registered() const;
  // "2 devices found; 127.0.0.7 accepted the connection but did not answer"
  QString Summary() const;
  // One line per address.
  QString Details() const;
};

// Every slot unregistered, slot n with the address 192.168.0.(100 + n), before a network search.
void ResetTcpSlots(comm::CommState& state);

// Finds devices on a list of addresses: scans them all at once, then connects, probes,
// identifies and names those that accepted, one address per turn of the event loop, in
// consecutive slots from 0. Cancel stops it between any two steps.
class TcpDiscovery : public QObject {
  Q_OBJECT

 public:
  explicit TcpDiscovery(comm::Comm& comm, QObject* parent = nullptr);

  void Start(const QStringList& addresses, const ConnectHooks& hooks);
  void Cancel();
  bool running() const { return running_; }
  const DiscoveryReport& report() const { return report_; }

 signals:
  void finished(const tessaly::connect::DiscoveryReport& report);

 private:
  void OnScanFinished(const QList<comm::ScanAnswer>& answers);
  void NextAddress();
  bool ConnectAndProbe(int slot, const QString& address);
  void Register(int slot, const QString& address);

  comm::Comm& comm_;
  comm::TcpScan scan_;
  QTimer step_;
  ConnectHooks hooks_;
  DiscoveryReport report_;
  QStringList accepted_;
  int next_ = 0;
  int slot_ = 0;
  bool running_ = false;
};

}  // namespace tessaly::connect

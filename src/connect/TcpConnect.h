#pragma once

#include <QObject>
#include <QStringList>

#include "comm/TcpLink.h"
#include "connect/ConnectSession.h"
#include "connect/TcpDiscovery.h"

namespace tessaly::connect {

inline constexpr const char* kTcpSearchingText = "Searching Device, please wait.....";
inline constexpr const char* kTcpInitFailedText = "Wrong TCP initialization!";
inline constexpr const char* kTcpInitFailedTitle = "TCPLibDemo";
inline constexpr const char* kNoNetworkTitle = "TCP/IP Scan";
inline constexpr const char* kNoNetworkText = "WLAN or LAN not found";
inline constexpr const char* kNoNetworkQuestion =
    "WLAN or LAN not found, do you want to continue in demo mode?";
inline constexpr const char* kNoDeviceQuestion =
    "Device not found, do you want to continue in demo mode?";
inline constexpr const char* kLoopbackAddress = "127.0.0.1";

// The addresses to scan: the one address, or prefix + k for every last octet k from the range
// start's to the range end's. Empty when the range runs backwards.
QStringList BuildAddressList(const InitConfig& config, bool several_addresses);

// The network connect: checks for a network, finds the devices on the chosen addresses and
// registers them, or offers demo mode. Ends with Finished, once, unless cancelled.
class TcpConnect : public QObject {
  Q_OBJECT

 public:
  explicit TcpConnect(ConnectContext& context, QObject* parent = nullptr);

  // Window load: check that the TCP connections can be set up and note the PC's addresses.
  // false (after the message) when they cannot.
  bool Initialise();
  // Reset, network check, then the search; the scan's summary goes to the session.
  void Start(const ConnectHooks& hooks);
  // The search stops at once and whatever it found is ignored.
  void Cancel();

  const QStringList& scanned() const { return scanned_; }

 signals:
  void finished(tessaly::connect::ConnectOutcome outcome);

 private:
  void OnDiscoveryFinished(const DiscoveryReport& report);
  ConnectOutcome AskDemo(const char* question);

  ConnectContext& context_;
  TcpDiscovery discovery_;
  QStringList local_addresses_;
  QStringList scanned_;
};

}  // namespace tessaly::connect

#pragma once

#include <QObject>
#include <QStringList>

#include "comm/TcpLink.h"
#include "connect/ConnectSession.h"

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
inline constexpr int kScanWaitMs = 300;
inline constexpr int kConnectWaitMs = 200;
inline constexpr int kTcpExchangeWaitMs = 400;

// The addresses to scan: the one address, or prefix + k for every last octet k from the range
// start's to the range end's. Empty when the range runs backwards.
QStringList BuildAddressList(const InitConfig& config, bool several_addresses);

// Finds the devices on the chosen addresses over its own TCP instance (sharing the slot
// connections with the exchange layer) and registers them in consecutive slots from 0.
class TcpConnect : public QObject {
  Q_OBJECT

 public:
  explicit TcpConnect(ConnectContext& context, QObject* parent = nullptr);

  // Window load: set up the TCP instance and note the PC's addresses. false (after the message)
  // when the instance cannot be set up.
  bool Initialise();
  // The timer tick: reset, network check, scan, and everything the scan response leads to.
  ConnectOutcome Run(const ConnectHooks& hooks);
  // Cancel control: a scan response that arrives afterwards is ignored.
  void Cancel();

  // Handles the scan's answer. Addresses that were not asked for are ignored.
  void OnScanResponse(const QStringList& addresses);

  // Connects `slot` to `address` and probes it with command 119.
  bool ConnectAndProbe(int slot, const QString& address);
  // This window's own exchange, 400 ms per reply: probe, identify, or any complete reply.
  bool TxTmpCheckTcpIp(int slot, uint8_t command, const comm::Params& params);

  comm::TcpLink& tcp1() { return tcp1_; }
  const QStringList& scanned() const { return scanned_; }
  ConnectOutcome outcome() const { return outcome_; }

 private:
  ConnectOutcome AskDemo(const char* question);

  ConnectContext& context_;
  comm::TcpLink tcp1_;
  QStringList local_addresses_;
  QStringList scanned_;
  ConnectHooks hooks_;
  ConnectOutcome outcome_ = ConnectOutcome::kCancelled;
};

}  // namespace tessaly::connect

#pragma once

#include <QString>
#include <QThread>
#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "sim/SimDevice.h"
#include "sim/SimEndpoint.h"

namespace tessaly::sim {

class SimPtyEndpoint;
class SimTcpEndpoint;

enum class SimLinkKind { kTcp, kPty };

// How to start one emulated device.
struct SimDeviceConfig {
  int type = 0;
  QString name{};  // empty: the model name
  SimLinkKind link = SimLinkKind::kTcp;
  QString address = QStringLiteral("127.0.0.1");  // tcp: where to listen
  quint16 port = 1001;                            // tcp: 0 takes any free port
  QString pty_link{};                             // pty: optional link to the slave, e.g. .../COM3
  bool pace_wire = false;                         // pty: every byte takes its time on the wire
  int programs = 0;                               // program slots filled with presets
  std::optional<std::array<uint8_t, 4>> ip{};     // address the device reports (settings 40..43)
  SimVersions versions{};
  SimFaults faults{};
  SimMeterConfig meters{};
  QString memory_file{};  // the memories survive a restart in this file; empty: none
};

// Runs emulated devices on a thread of its own with its own event loop, so a client on another
// thread may block in waitFor* calls while the devices answer. Every member is called from the
// client's thread (never from the emulator's own) and is thread-safe.
class SimHost {
 public:
  SimHost();
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // Receives every trace line (received and sent packets, connections, drops). Set it before
  // starting devices; it is called on the emulator's thread.
  void SetTrace(SimTrace trace);

  // Starts a device and its link. Returns its index, or -1 with the reason in `error`.
  int Start(const SimDeviceConfig& config, QString* error = nullptr);
  // Takes the device off the line: the port stops listening, the pseudo-terminal goes away.
  void Stop(int index);

  int count() const;
  // Null for an unknown index.
  std::shared_ptr<SimDevice> device(int index) const;
  SimLinkKind link(int index) const;
  QString address(int index) const;   // tcp
  quint16 port(int index) const;      // tcp
  QString pty_path(int index) const;  // pty: the link if one was asked for, else the slave
  int line_speed(int index) const;    // pty: the speed the PC set, in baud
  // One line per device: "device 0: type 3 ( RK-540 ) \"Main PA\" on tcp 127.0.0.2:1001".
  QString Describe(int index) const;

 private:
  struct Entry {
    std::shared_ptr<SimDevice> device;
    SimLinkKind link = SimLinkKind::kTcp;
    SimEndpoint* endpoint = nullptr;  // owned by the emulator's thread
    QString address;
    quint16 port = 0;
  };
  const Entry* Find(int index) const;

  QThread thread_;
  QObject* context_ = nullptr;
  SimTrace trace_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace tessaly::sim

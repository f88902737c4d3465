#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "comm/ComPortMap.h"
#include "sim/SimDevice.h"
#include "sim/SimHost.h"

namespace tessaly::test {

// Creates a QCoreApplication when the process has none yet (Qt's sockets and the emulator's
// event loop need one). A binary that needs a QApplication must create that first.
void EnsureCoreApplication();

// Emulated devices for tests, over real sockets and pseudo-terminals, running on a thread of
// their own so the test's thread may block in waitFor* calls (as Comm does) while they answer.
//
// TCP devices get consecutive loopback addresses 127.0.0.2, 127.0.0.3, ... and share one free
// port, picked when the first one starts (a scan over an address range uses one port for all).
// Pseudo-terminal devices get a link <temporary folder>/COM<n>, numbered from 3; point Comm's
// ComPortMap at them with MapComPorts, or set TESSALY_COM_DIR to com_dir(). The line answers only
// at the type's speed: 57600 baud for types 0 and 3, 9600 for types 1 and 2.
//
// Usage:
//   tessaly::test::EnsureCoreApplication();
//   tessaly::test::SimHarness sim;
//   const int amp = sim.AddTcp({.type = 3, .name = "Main PA"});  // 540S on 127.0.0.2
//   const int rack = sim.AddTcp(0);                              // RK-540 on 127.0.0.3
//   const int usb = sim.AddPty(1);                               // RK-360 behind <dir>/COM3
//
//   comm::Comm comm(messenger);
//   comm.set_device_port(sim.port());
//   comm.tcp().Connect(0, sim.address(amp), sim.port(), 1000);
//   sim.MapComPorts(comm.com_ports());                         // COM3 -> the pseudo-terminal
//
//   sim.device(amp).SetSilent(true);                // faults: SetSilentAfter, SetDelayMs,
//   sim.device(amp).ClearFaults();                  //  SetTruncate, DisconnectOnNextPacket,
//                                                   //  SetGarbage
//   EXPECT_EQ(sim.device(amp).ReceivedCommands().back(), 58);
//   EXPECT_EQ(sim.device(amp).Image(), expected_image);         // memories: Image, Settings,
//                                                               //  Program(n), ReadMemory ...
//   sim.Stop(rack);                                 // the device leaves the network
//
// Set TESSALY_SIM_TRACE=1 to see every packet on stderr. Failures to start a device are reported
// as test failures and return -1.
class SimHarness {
 public:
  SimHarness();
  ~SimHarness();
  SimHarness(const SimHarness&) = delete;
  SimHarness& operator=(const SimHarness&) = delete;

  // Starts a TCP device on the next free loopback address. The link fields of `config` are
  // ignored; everything else (type, name, programs, ip, versions, faults) is used.
  int AddTcp(sim::SimDeviceConfig config);
  int AddTcp(int type) { return AddTcp(sim::SimDeviceConfig{.type = type}); }
  // Same on a given address, e.g. to leave gaps in a scanned range.
  int AddTcpAt(const QString& address, sim::SimDeviceConfig config);

  // Starts a device on a pseudo-terminal with the link com_dir()/COM<n>; n = 0 takes the next
  // number from 3 on.
  int AddPty(sim::SimDeviceConfig config, int com_number = 0);
  int AddPty(int type, int com_number = 0) {
    return AddPty(sim::SimDeviceConfig{.type = type}, com_number);
  }

  // The devices' shared TCP port; 0 before the first TCP device.
  quint16 port() const { return port_; }
  QString address(int index) const;
  QString pty_path(int index) const;
  int com_number(int index) const;
  QString com_dir() const { return pty_dir_.path(); }
  // Maps every pseudo-terminal device's COM number onto its link.
  void MapComPorts(comm::ComPortMap& ports) const;

  // The device's model: memories, received packets and fault switches; safe from the test thread.
  sim::SimDevice& device(int index) const;
  sim::SimHost& host() { return *host_; }
  // Takes a device off the line (port closed, pseudo-terminal gone).
  void Stop(int index) { host_->Stop(index); }

 private:
  int StartTcp(const QString& address, sim::SimDeviceConfig config);

  std::unique_ptr<sim::SimHost> host_;
  QTemporaryDir pty_dir_;
  quint16 port_ = 0;
  int next_host_octet_ = 2;
  int next_com_ = 3;
  std::vector<int> com_numbers_;  // per device index, 0 for TCP devices
};

}  // namespace tessaly::test

#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <memory>

#include "comm/Comm.h"
#include "sim/SimHost.h"
#include "support/RecordingMessenger.h"

namespace tessaly::comm::test {

enum class Transport { kTcp, kPty };

inline const char* TransportName(Transport transport) {
  return transport == Transport::kTcp ? "Tcp" : "Pty";
}

// One emulated device reached through a fresh Comm, over a real TCP socket on 127.0.0.x or a real
// pseudo-terminal mapped to COM3. The slot is registered on-line as discovery would leave it.
class CommRig {
 public:
  CommRig(Transport transport, int type, int slot = 0, const QString& address = "127.0.0.2")
      : transport_(transport), slot_(slot), comm_(messenger_) {
    sim::SimDeviceConfig config;
    config.type = type;
    config.name = QStringLiteral("Rig Device");
    if (transport == Transport::kTcp) {
      config.link = sim::SimLinkKind::kTcp;
      config.address = address;
      config.port = 0;
    } else {
      config.link = sim::SimLinkKind::kPty;
    }
    QString error;
    index_ = host_.Start(config, &error);
    if (index_ < 0) ADD_FAILURE() << "emulator did not start: " << error.toStdString();

    CommState& state = comm_.state();
    state.comm_ready = true;
    state.report_link_loss = true;
    if (transport == Transport::kTcp) {
      state.connection_mode = kLinkTcp;
      comm_.set_device_port(host_.port(index_));
      EXPECT_EQ(comm_.tcp().Initialise(kSlotCount), 0);
    } else {
      state.connection_mode = kLinkUsb;
      state.com_port = 3;
      comm_.com_ports().Map(3, host_.pty_path(index_));
    }
    comm_.table().Register(slot, {transport == Transport::kTcp ? kLinkTcp : kLinkUsb,
                                  address,
                                  static_cast<int16_t>(slot),
                                  static_cast<int16_t>(type),
                                  {}});
    Relink();
  }

  // What discovery does to reach the device again after a lost reply closed the link.
  void Relink() {
    if (transport_ == Transport::kTcp) {
      EXPECT_EQ(comm_.tcp().Connect(slot_, host_.address(index_), host_.port(index_), 2000), 0);
    } else {
      // A dropped pseudo-terminal comes back under a new name, like a replugged USB adapter.
      comm_.com_ports().Map(3, host_.pty_path(index_));
    }
    comm_.table()[slot_].online = true;
  }

  bool LinkOpen() {
    return transport_ == Transport::kTcp ? comm_.tcp().IsConnected(slot_) : comm_.serial().IsOpen();
  }

  // Waits until the device has heard `count` packets (or a second has passed).
  int WaitForPackets(int count) {
    QElapsedTimer timer;
    timer.start();
    while (device()->ReceivedCount() < count && timer.elapsed() < 1000) QThread::msleep(5);
    return device()->ReceivedCount();
  }

  std::shared_ptr<sim::SimDevice> device() const { return host_.device(index_); }
  Comm& comm() { return comm_; }
  CommState& state() { return comm_.state(); }
  tessaly::test::RecordingMessenger& messenger() { return messenger_; }
  sim::SimHost& host() { return host_; }
  int slot() const { return slot_; }
  int index() const { return index_; }
  Transport transport() const { return transport_; }

 private:
  Transport transport_;
  int slot_;
  sim::SimHost host_;
  tessaly::test::RecordingMessenger messenger_;
  Comm comm_;
  int index_ = -1;
};

}  // namespace tessaly::comm::test

#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "comm/Comm.h"
#include "sim/SimHost.h"
#include "support/RecordingMessenger.h"
#include "support/TestPorts.h"

namespace tessaly::comm::test {

enum class Transport { kTcp, kPty };

// One emulated device reached through a fresh Comm, over a real TCP socket on 127.0.0.x or a real
// pseudo-terminal mapped to COM3. The slot is registered on-line as discovery would leave it.
class CommRig {
 public:
  CommRig(Transport transport, int type, const QString& address = "127.0.0.2")
      : transport_(transport), comm_(messenger_) {
    sim::SimDeviceConfig config{.type = type, .name = QStringLiteral("Rig Device")};
    config.link = transport == Transport::kTcp ? sim::SimLinkKind::kTcp : sim::SimLinkKind::kPty;
    config.address = address;
    config.port = tessaly::test::ReservedPort();
    QString error;
    index_ = host_.Start(config, &error);
    if (index_ < 0) ADD_FAILURE() << "emulator did not start: " << error.toStdString();
    CommState& state = comm_.state();
    comm_.OpenTraffic();
    comm_.ReportLinkLoss(true);
    state.connection_mode = transport == Transport::kTcp ? kLinkTcp : kLinkUsb;
    if (transport == Transport::kTcp) {
      comm_.set_device_port(host_.port(index_));
      EXPECT_EQ(comm_.tcp().Initialise(kSlotCount), 0);
    } else {
      state.com_port = 3;
    }
    comm_.table().Register(0, {state.connection_mode, address, 0, static_cast<int16_t>(type), {}});
    Relink();
  }

  // What discovery does to reach the device again after a lost reply closed the link.
  void Relink() {
    if (transport_ == Transport::kTcp) {
      EXPECT_EQ(comm_.tcp().Connect(0, host_.address(index_), host_.port(index_), 2000), 0);
    } else {
      // A dropped pseudo-terminal comes back under a new name, like a replugged USB adapter.
      comm_.com_ports().Map(3, host_.pty_path(index_));
    }
    comm_.table()[0].online = true;
  }

  bool LinkOpen() { return comm_.LinkUp(0); }
  std::shared_ptr<sim::SimDevice> device() const { return host_.device(index_); }
  Comm& comm() { return comm_; }
  CommState& state() { return comm_.state(); }
  tessaly::test::RecordingMessenger& messenger() { return messenger_; }

 private:
  Transport transport_;
  sim::SimHost host_;
  tessaly::test::RecordingMessenger messenger_;
  Comm comm_;
  int index_ = -1;
};

}  // namespace tessaly::comm::test

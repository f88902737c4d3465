#pragma once

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <optional>

#include "comm/Comm.h"
#include "connect/ConnectSession.h"
#include "connect/TcpConnect.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "programs/ProgramNames.h"
#include "programs/SleepTable.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"
#include "support/TestPorts.h"

namespace tessaly::connect::test {

// One run's worth of state, fresh per test, with an emulator beside it.
struct ConnectRig {
  ConnectRig() { tessaly::test::EnsureCoreApplication(); }

  tessaly::test::RecordingMessenger messenger;
  comm::Comm comm{messenger};
  ConnectSession session;
  protocol::ProgramStore store{comm};
  programs::ProgramNames names;
  programs::SleepTables sleep;
  ConnectContext context{comm, session, store, names, sleep};
  sim::SimHost sim;

  int Start(const sim::SimDeviceConfig& config) {
    QString error;
    const int index = sim.Start(config, &error);
    EXPECT_GE(index, 0) << error.toStdString();
    return index;
  }
  int StartTcp(int type, const QString& address, quint16 port, const QString& name = {}) {
    return Start({.type = type, .name = name, .address = address, .port = port});
  }
  // A device behind a pseudo-terminal that the given COM number leads to.
  int StartPty(int type, int com_number, const QString& name = {}) {
    const int index = Start({.type = type, .name = name, .link = sim::SimLinkKind::kPty});
    if (index >= 0) comm.com_ports().Map(com_number, sim.pty_path(index));
    return index;
  }
  std::shared_ptr<sim::SimDevice> device(int index) { return sim.device(index); }

  // Plays a PC with a network, so the scan is not refused before it starts.
  void WithNetwork() { comm.tcp_slots()->SetLocalAddresses({QStringLiteral("192.168.1.5")}); }
  void ScanRange(int first, int last) {
    session.several_addresses = true;
    session.config.range_start = {127, 0, 0, static_cast<int16_t>(first)};
    session.config.range_end = {127, 0, 0, static_cast<int16_t>(last)};
    comm.state().connection_mode = comm::kLinkTcp;
  }

  // The network connect from start to end, inside an event loop as in its window.
  ConnectOutcome RunTcpConnect(const ConnectHooks& hooks = {}) {
    TcpConnect tcp(context);
    EXPECT_TRUE(tcp.Initialise());
    std::optional<ConnectOutcome> outcome;
    QEventLoop loop;
    QObject::connect(&tcp, &TcpConnect::finished, &loop, [&](ConnectOutcome ended) {
      outcome = ended;
      loop.quit();
    });
    tcp.Start(hooks);
    if (!outcome) {
      QTimer::singleShot(30000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    EXPECT_TRUE(outcome.has_value()) << "the network connect never ended";
    return outcome.value_or(ConnectOutcome::kCancelled);
  }

  // Connects one emulated device "Foyer" on 127.0.0.10 into slot 0, as the connect window does.
  int ConnectOne(int type, int programs = 0) {
    const quint16 port = tessaly::test::ReservedPort();
    comm.set_device_port(port);
    const int index = Start({.type = type,
                             .name = QStringLiteral("Foyer"),
                             .address = QStringLiteral("127.0.0.10"),
                             .port = port,
                             .programs = programs,
                             .ip = std::array<uint8_t, 4>{10, 1, 2, 3},
                             .versions = {.firmware = {1, 1, 4}, .second = {2, 0, 7}}});
    WithNetwork();
    session.config.single = {127, 0, 0, 10};
    comm.state().connection_mode = comm::kLinkTcp;
    EXPECT_EQ(RunTcpConnect(), ConnectOutcome::kDevicesListed);
    EXPECT_EQ(comm.state().last_slot, 0);
    return index;
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const device::Message& message : messenger.shown) texts << message.text;
    return texts;
  }
};

}  // namespace tessaly::connect::test

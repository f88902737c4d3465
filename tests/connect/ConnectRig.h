#pragma once

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTimer>

#include <memory>
#include <optional>

#include "comm/Comm.h"
#include "connect/ConnectSession.h"
#include "connect/TcpConnect.h"
#include "programs/ProgramNames.h"
#include "programs/SleepTable.h"
#include "protocol/ProgramStore.h"
#include "sim/SimHost.h"
#include "support/RecordingMessenger.h"

namespace tessaly::connect::test {

// Sockets and serial ports want an application object; one serves every test of the binary.
inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "test_connect";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

// A free TCP port on the given loop-back address, so several emulated devices can share one port
// number on different addresses, as real devices do.
inline quint16 FreePort(const QString& address) {
  QTcpServer probe;
  if (!probe.listen(QHostAddress(address), 0)) return 0;
  return probe.serverPort();
}

// One run's worth of state, fresh per test, with an emulator beside it.
struct ConnectRig {
  ConnectRig() { EnsureApplication(); }

  tessaly::test::RecordingMessenger messenger;
  comm::Comm comm{messenger};
  ConnectSession session;
  protocol::ProgramStore store{comm};
  programs::ProgramNames names;
  programs::SleepTable sleep;
  ConnectContext context{comm, session, store, names, sleep};
  sim::SimHost sim;

  int StartTcp(int type, const QString& address, quint16 port, const QString& name = {}) {
    sim::SimDeviceConfig config;
    config.type = type;
    config.address = address;
    config.port = port;
    config.name = name;
    QString error;
    const int index = sim.Start(config, &error);
    EXPECT_GE(index, 0) << error.toStdString();
    return index;
  }

  // A device behind a pseudo-terminal that the given COM number leads to.
  int StartPty(int type, int com_number, const QString& name = {}) {
    sim::SimDeviceConfig config;
    config.type = type;
    config.link = sim::SimLinkKind::kPty;
    config.name = name;
    QString error;
    const int index = sim.Start(config, &error);
    EXPECT_GE(index, 0) << error.toStdString();
    if (index >= 0) comm.com_ports().Map(com_number, sim.pty_path(index));
    return index;
  }

  std::shared_ptr<sim::SimDevice> device(int index) { return sim.device(index); }

  // The network connect from start to end, inside an event loop as in its window.
  ConnectOutcome RunTcpConnect(const ConnectHooks& hooks = {}) {
    TcpConnect tcp(context);
    EXPECT_TRUE(tcp.Initialise());
    std::optional<ConnectOutcome> outcome;
    QEventLoop loop;
    QObject::connect(&tcp, &TcpConnect::Finished, &loop, [&](ConnectOutcome ended) {
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

  // Plays a PC with a network, so the scan is not refused before it starts.
  void WithNetwork() { comm.tcp_slots()->SetLocalAddresses({QStringLiteral("192.168.1.5")}); }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const comm::Message& message : messenger.shown) texts << message.text;
    return texts;
  }
};

inline std::vector<uint8_t> Bytes(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

}  // namespace tessaly::connect::test

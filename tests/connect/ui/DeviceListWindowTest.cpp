#include <QTableWidget>
#include <QTcpServer>
#include <QtTest>

#include "comm/Comm.h"
#include "comm/DeviceTypes.h"
#include "connect/ConnectRuntime.h"
#include "connect/TcpConnect.h"
#include "connect/ui/DeviceListWindow.h"
#include "sim/SimHost.h"
#include "support/RecordingMessenger.h"

using namespace tessaly;

class DeviceListWindowTest : public QObject {
  Q_OBJECT

 private:
  struct Rig {
    test::RecordingMessenger messenger;
    comm::Comm comm{messenger};
    connect::ConnectRuntime runtime{comm, QString()};
    sim::SimHost sim;
    int keep_alive_starts = 0;

    connect::DeviceListWindow::Hooks Hooks() {
      connect::DeviceListWindow::Hooks hooks;
      hooks.keep_alive_running = [] { return false; };
      hooks.start_keep_alive = [this] { ++keep_alive_starts; };
      return hooks;
    }
    QString Row(connect::DeviceListWindow& window, int row) {
      QTableWidgetItem* item = window.grid()->item(row, 0);
      return item != nullptr ? item->text() : QString();
    }
  };

 private slots:
  void OnlineAndOfflineRowsOverTcp() {
    Rig rig;
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress(QStringLiteral("127.0.0.10")), 0));
    const quint16 port = probe.serverPort();
    probe.close();
    rig.comm.set_device_port(port);
    for (const char* address : {"127.0.0.10", "127.0.0.11"}) {
      sim::SimDeviceConfig config;
      config.type = comm::kType540S;
      config.address = QString::fromLatin1(address);
      config.port = port;
      config.name = QStringLiteral("Stage left");
      QVERIFY(rig.sim.Start(config) >= 0);
    }
    rig.comm.tcp_slots()->SetLocalAddresses({QStringLiteral("192.168.1.5")});
    rig.runtime.session.several_addresses = true;
    rig.runtime.session.config.range_start = {127, 0, 0, 10};
    rig.runtime.session.config.range_end = {127, 0, 0, 11};
    rig.comm.state().connection_mode = comm::kLinkTcp;
    connect::TcpConnect tcp(rig.runtime.context);
    QVERIFY(tcp.Initialise());
    QCOMPARE(tcp.Run({}), connect::ConnectOutcome::kDevicesListed);
    // The second device's link is gone and it no longer listens.
    rig.sim.Stop(1);
    rig.comm.tcp().Disconnect(1);

    connect::DeviceListWindow window(rig.runtime.context, rig.Hooks());
    QCOMPARE(window.windowTitle(), QStringLiteral("Device List"));
    QCOMPARE(window.grid()->rowCount(), 2);
    QVERIFY(rig.comm.state().online_mode);
    window.Timer1Tick();
    QCOMPARE(rig.Row(window, 0), QStringLiteral("IP:127.0.0.10 - Stage left - On-line"));
    QCOMPARE(rig.Row(window, 1), QStringLiteral("IP:127.0.0.11 - RK-540 - Off-line"));
    QVERIFY(rig.comm.state().table.device_needs_read[1]);
    QCOMPARE(rig.keep_alive_starts, 1);
    QVERIFY(window.grid()->isEnabled());
  }

  void DemoRowsAreOfflineAndOpeningShowsDemoVersions() {
    Rig rig;
    rig.comm.state().connection_mode = comm::kLinkUsb;
    rig.comm.state().comm_suspended = true;
    rig.comm.state().demo_type = comm::kTypeRl4800;
    connect::RunDemoSetup(rig.runtime.context);
    connect::DeviceListWindow window(rig.runtime.context, rig.Hooks());
    window.Timer1Tick();
    QCOMPARE(window.grid()->rowCount(), 1);
    QCOMPARE(rig.Row(window, 0), QStringLiteral("USB - RL-4800 - Off-line"));

    const connect::OpenResult result = window.OpenRow(0);
    QCOMPARE(result.outcome, connect::OpenOutcome::kReady);
    QVERIFY(!result.read_out);
    QCOMPARE(rig.comm.state().table.firmware_version[0], QStringLiteral("1.1.5-B"));
    QCOMPARE(rig.comm.state().table.second_version[0], QStringLiteral("1.0.4"));
    QVERIFY(rig.messenger.shown.isEmpty());
    QVERIFY(!rig.comm.serial().IsOpen());
  }

  void RowTextFollowsTheExchangeLayer() {
    Rig rig;
    rig.comm.state().comm_suspended = true;
    rig.comm.state().connection_mode = comm::kLinkTcp;
    rig.runtime.session.several_addresses = true;
    connect::RunDemoSetup(rig.runtime.context);
    connect::DeviceListWindow window(rig.runtime.context, rig.Hooks());
    QCOMPARE(window.grid()->rowCount(), 5);
    window.Timer1Tick();
    QCOMPARE(rig.Row(window, 4), QStringLiteral("IP:192.168.0.5 - RK-540 - Off-line"));
    rig.comm.SetRowText(2, QStringLiteral("changed"));
    QCOMPARE(rig.Row(window, 2), QStringLiteral("changed"));
  }

  void CloseIsRefusedWhileOnline() {
    Rig rig;
    rig.comm.state().comm_suspended = true;
    connect::RunDemoSetup(rig.runtime.context);
    connect::DeviceListWindow window(rig.runtime.context, rig.Hooks());
    window.show();
    QVERIFY(!window.close());
    rig.comm.state().online_mode = false;
    QVERIFY(window.close());
  }
};

QTEST_MAIN(DeviceListWindowTest)
#include "DeviceListWindowTest.moc"

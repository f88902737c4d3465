#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "connect/ConnectRig.h"
#include "connect/ui/DemoDeviceDialog.h"
#include "connect/ui/DeviceIpDialog.h"
#include "connect/ui/DeviceListWindow.h"
#include "connect/ui/PortSelectionDialog.h"
#include "connect/ui/TcpConnectDialog.h"

using namespace tessaly;

// The connect windows, driven through their widgets. What their rules compute is the connect
// core's business; here the windows must show it and act on it.
class ConnectWindowsTest : public QObject {
  Q_OBJECT

 private:
  struct Rig : connect::test::ConnectRig {
    QTemporaryDir dir;

    Rig() { session.program_folder = dir.path(); }
    static QString Row(connect::DeviceListWindow& window, int row) {
      QTableWidgetItem* item = window.grid()->item(row, 0);
      return item != nullptr ? item->text() : QString();
    }
    // Devices of `type` on 127.0.0.10 on, to be searched.
    void StartRange(int count, int type, bool silent = false) {
      const quint16 port = tessaly::test::ReservedPort();
      comm.set_device_port(port);
      for (int i = 0; i < count; ++i) {
        Start({.type = type,
               .name = QStringLiteral("Stage left"),
               .address = QStringLiteral("127.0.0.%1").arg(10 + i),
               .port = port,
               .faults = {.silent = silent}});
      }
      WithNetwork();
      ScanRange(10, 9 + count);
    }
  };

 private slots:
  void portSelectionAppliesTheRulesAndWritesTheRecordOnOk() {
    Rig rig;
    connect::PortSelectionDialog window(rig.context);
    window.Load();
    const auto range = [&window](int i) {
      return window.findChild<QLineEdit*>(QStringLiteral("rangeAddressEdit_%1").arg(i));
    };
    range(0)->clear();
    QTest::keyClicks(range(0), QStringLiteral("300"));
    QCOMPARE(range(0)->text(), QStringLiteral("223"));
    QCOMPARE(range(4)->text(), QStringLiteral("223"));
    range(7)->setText(QStringLiteral("12"));
    range(3)->setText(QStringLiteral("20"));
    emit range(3)->editingFinished();
    QCOMPARE(range(7)->text(), QStringLiteral("20"));
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("comPortCombo"));
    rig.comm.state().com_port = 9;
    emit combo->activated(0);  // NONE selects COM 1
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(rig.comm.state().com_port, int16_t{1});

    window.findChild<QRadioButton*>(QStringLiteral("transportOption_1"))->click();
    QCOMPARE(rig.comm.state().connection_mode, comm::kLinkTcp);
    window.findChild<QRadioButton*>(QStringLiteral("deviceCountOption_3"))->click();
    for (int i = 0; i < 4; ++i) range(i)->setText(QString::number(QList<int>{10, 0, 0, 10}[i]));
    range(7)->setText(QStringLiteral("12"));
    window.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(rig.session.several_addresses);
    connect::InitConfig written;
    QVERIFY(connect::LoadInitConfig(rig.session.ConfigPath(), written));
    QCOMPARE(written.range_start, (connect::Octets{10, 0, 0, 10}));
    QCOMPARE(written.range_end, (connect::Octets{10, 0, 0, 12}));

    Rig other;
    connect::PortSelectionDialog exit(other.context);
    exit.Load();
    exit.findChild<QPushButton*>(QStringLiteral("exitButton"))->click();
    QVERIFY(other.session.port_selection_cancelled);
    QVERIFY(!QFile::exists(other.session.ConfigPath()));
  }

  void deviceIpAndDemoDeviceWindows() {
    Rig rig;
    rig.comm.SuspendTraffic(true);
    protocol::SlotState slot_state;
    slot_state.ip = {10, 1, 2, 3};
    connect::DeviceIpDialog window(rig.comm, slot_state, 0);
    window.set_settle_ms(0);
    auto* last = window.findChild<QLineEdit*>(QStringLiteral("newIpEdit_3"));
    last->clear();
    QTest::keyClicks(last, QStringLiteral("300"));
    QCOMPARE(last->text(), QStringLiteral("254"));
    window.findChild<QLineEdit*>(QStringLiteral("newIpEdit_2"))->setText(QStringLiteral("77"));
    window.findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
    QCOMPARE(rig.MessageTexts(), QStringList{"       Are you sure?"});
    QCOMPARE(slot_state.ip, (std::array<uint8_t, 4>{10, 1, 77, 254}));
    QTRY_COMPARE(window.result(), int(QDialog::Accepted));

    connect::DemoDeviceDialog demo(device::kType540S);
    QCOMPARE(demo.highlighted(), int16_t{3});
    demo.findChild<QRadioButton*>(QStringLiteral("deviceTypeOption_1"))->click();
    QCOMPARE(demo.highlighted(), int16_t{1});
    demo.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    QCOMPARE(demo.demo_type(), int16_t{1});
  }

  void deviceListShowsOnlineAndOfflineRowsOverTcp() {
    Rig rig;
    rig.StartRange(2, device::kType540S);
    QCOMPARE(rig.RunTcpConnect(), connect::ConnectOutcome::kDevicesListed);
    // The second device's link is gone and it no longer listens.
    rig.sim.Stop(1);
    rig.comm.tcp().Disconnect(1);

    connect::DeviceListWindow window(rig.context, connect::DeviceListWindow::Hooks{});
    QCOMPARE(window.grid()->rowCount(), 2);
    auto* summary = window.findChild<QLabel*>(QStringLiteral("scanSummaryLabel"));
    QCOMPARE(summary->text(), QStringLiteral("2 devices found"));
    QVERIFY(summary->toolTip().contains(QStringLiteral("127.0.0.11: answered, slot 1")));
    QVERIFY(rig.comm.online_mode());
    QTRY_VERIFY(!window.refreshing());
    QCOMPARE(Rig::Row(window, 0), QStringLiteral("IP:127.0.0.10 - Stage left - On-line"));
    QCOMPARE(Rig::Row(window, 1), QStringLiteral("IP:127.0.0.11 - RK-540 - Off-line"));
    QVERIFY(rig.comm.state().table.device_needs_read[1]);
    // The list filled: the keep-alive's schedule has begun.
    QVERIFY(rig.comm.keep_alive().IsRunning());
    QVERIFY(window.grid()->isEnabled());
  }

  void demoRowsAreOfflineFollowTheExchangeLayerAndOpenWithDemoVersions() {
    Rig rig;
    rig.comm.state().connection_mode = comm::kLinkUsb;
    rig.comm.SuspendTraffic(true);
    rig.comm.state().demo_type = device::kTypeRl4800;
    connect::RunDemoSetup(rig.context);
    connect::DeviceListWindow window(rig.context, connect::DeviceListWindow::Hooks{});
    QTRY_VERIFY(!window.refreshing());
    QCOMPARE(Rig::Row(window, 0), QStringLiteral("USB - RL-4800 - Off-line"));
    rig.comm.SetRowText(0, QStringLiteral("changed"));
    QCOMPARE(Rig::Row(window, 0), QStringLiteral("changed"));

    const connect::OpenResult result = window.OpenRow(0);
    QCOMPARE(result.outcome, connect::OpenOutcome::kReady);
    QVERIFY(!result.read_out);
    QCOMPARE(rig.comm.state().table.firmware_version[0], QStringLiteral("1.1.5-B"));
    QCOMPARE(rig.comm.state().table.second_version[0], QStringLiteral("1.0.4"));
    QVERIFY(rig.messenger.shown.isEmpty());
    QVERIFY(!rig.comm.serial().IsOpen());
    // The opening holds the keep-alive until it ends, with or without an editor to show.
    QVERIFY(rig.comm.keep_alive_held());
    QTRY_VERIFY(!rig.comm.keep_alive_held());
    // Closing is refused while on-line.
    window.show();
    rig.comm.EnterOnlineMode();
    QVERIFY(!window.close());
    QVERIFY(rig.comm.LeaveOnlineMode());
    QVERIFY(window.close());
  }

  // Devices that take the connection but never answer keep the search busy in its probes. Cancel
  // ends the dialog before the click returns, while the range is still being searched, and
  // nothing is heard from the search afterwards.
  void cancelDuringTheSearchReturnsAtOnceAndIgnoresTheResult() {
    Rig rig;
    rig.StartRange(4, device::kTypeRk540, true);
    const auto heard = [&rig] {
      int packets = 0;
      for (int i = 0; i < 4; ++i) packets += rig.device(i)->ReceivedCount();
      return packets;
    };
    const auto probed = [&rig] {
      int devices = 0;
      for (int i = 0; i < 4; ++i) devices += rig.device(i)->ReceivedCount() > 0 ? 1 : 0;
      return devices;
    };
    QList<connect::ConnectOutcome> outcomes;
    int probed_at_finish = -1;
    // Kept alive after closing, so that only Cancel can stop the search.
    connect::TcpConnectDialog dialog(rig.context);
    QObject::connect(&dialog, &connect::TcpConnectDialog::connectFinished,
                     [&](connect::ConnectOutcome outcome) {
                       outcomes << outcome;
                       probed_at_finish = probed();
                     });
    dialog.show();
    auto* status = dialog.findChild<QLabel*>(QStringLiteral("statusLabel"));
    QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("Searching device [IP:")),
                             5000);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    QCOMPARE(outcomes, QList<connect::ConnectOutcome>{connect::ConnectOutcome::kCancelled});
    QVERIFY2(probed_at_finish < 4, "Cancel waited for the search");
    const int heard_at_cancel = heard();
    QVERIFY(!dialog.isVisible());
    // Long enough for the rest of the range to have been probed had the search gone on.
    QTest::qWait(3000);
    QCOMPARE(heard(), heard_at_cancel);
    QCOMPARE(probed(), probed_at_finish);
    QCOMPARE(outcomes, QList<connect::ConnectOutcome>{connect::ConnectOutcome::kCancelled});
    QVERIFY(rig.messenger.shown.isEmpty());
    QCOMPARE(rig.comm.state().last_slot, int16_t{-1});
    QVERIFY(rig.session.scan_summary.isEmpty());
  }
};

QTEST_MAIN(ConnectWindowsTest)
#include "ConnectWindowsTest.moc"

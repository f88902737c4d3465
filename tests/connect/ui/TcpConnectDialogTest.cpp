#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/ui/TcpConnectDialog.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"
#include "widgets/ClickLabel.h"

using namespace tessaly;

class TcpConnectDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Devices that take the connection but never answer keep the search busy in its probes.
  void cancelDuringTheSearchReturnsAtOnceAndIgnoresTheResult() {
    test::SimHarness sim;
    constexpr int kSilent = 4;
    for (int i = 0; i < kSilent; ++i) {
      const int index = sim.AddTcp(0);
      QVERIFY(index >= 0);
      sim.device(index).SetSilent(true);
    }
    test::RecordingMessenger messenger;
    comm::Comm comm(messenger);
    comm.set_device_port(sim.port());
    comm.tcp_slots()->SetLocalAddresses({QStringLiteral("192.168.1.5")});
    comm.state().connection_mode = comm::kLinkTcp;
    connect::ConnectRuntime runtime(comm);
    QTemporaryDir folder;  // no init.cfg: the range below stays
    runtime.session.program_folder = folder.path();
    runtime.session.several_addresses = true;
    const auto last_octet = [&sim](int index) {
      return static_cast<int16_t>(sim.address(index).section(QLatin1Char('.'), 3).toInt());
    };
    runtime.session.config.range_start = {127, 0, 0, last_octet(0)};
    runtime.session.config.range_end = {127, 0, 0, last_octet(kSilent - 1)};

    QList<connect::ConnectOutcome> outcomes;
    // Kept alive after closing, so that only Cancel can stop the search.
    connect::TcpConnectDialog dialog(runtime.context);
    QObject::connect(&dialog, &connect::TcpConnectDialog::Finished,
                     [&outcomes](connect::ConnectOutcome outcome) { outcomes << outcome; });
    dialog.show();
    auto* status = dialog.findChild<QLabel*>(QStringLiteral("statusLabel"));
    QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("Searching device [IP:")),
                             5000);

    const auto heard = [&sim] {
      int packets = 0;
      for (int i = 0; i < kSilent; ++i) packets += sim.device(i).ReceivedCount();
      return packets;
    };
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(dialog.findChild<widgets::ClickLabel*>(QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    QVERIFY2(clock.elapsed() < 100, "Cancel waited for the search");
    const int heard_at_cancel = heard();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(outcomes.size(), 1);
    QVERIFY(outcomes[0] == connect::ConnectOutcome::kCancelled);

    // Long enough for the rest of the range to have been probed had the search gone on.
    QTest::qWait(3000);
    QCOMPARE(heard(), heard_at_cancel);
    QCOMPARE(outcomes.size(), 1);
    QVERIFY(messenger.shown.isEmpty());
    QCOMPARE(comm.state().last_slot, int16_t{-1});
    QVERIFY(runtime.session.scan_summary.isEmpty());
  }
};

QTEST_MAIN(TcpConnectDialogTest)
#include "TcpConnectDialogTest.moc"

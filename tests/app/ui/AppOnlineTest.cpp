#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "comm/Commands.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

using tessaly::app::AppState;
using tessaly::app::MainWindow;
using tessaly::comm::MessageAnswer;
using tessaly::comm::MessageButtons;
using tessaly::test::RecordingMessenger;
using tessaly::test::SimHarness;

// The main window with devices on-line, against emulated devices over real TCP connections:
// slots 0 and 1 on-line, slot 2 registered and connected but off-line (it must hear nothing).
class AppOnlineTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    SimHarness sim;
    RecordingMessenger messenger;
    AppState state{messenger};
    std::unique_ptr<MainWindow> window;
    std::array<int, 3> devices{};
    QWidget* device_list = nullptr;

    bool Start() {
      devices = {sim.AddTcp(3), sim.AddTcp(0), sim.AddTcp(2)};
      window = std::make_unique<MainWindow>(state);
      if (!window->Load()) return false;
      window->show();
      auto& cs = state.comm_state();
      state.comm().set_device_port(sim.port());
      cs.connection_mode = tessaly::comm::kLinkTcp;
      cs.comm_ready = true;
      for (int slot = 0; slot < 3; ++slot) {
        if (state.comm().tcp().Connect(slot, sim.address(devices[slot]), sim.port(), 1000) != 0) {
          return false;
        }
        cs.table.Register(slot, {tessaly::comm::kLinkTcp, sim.address(devices[slot]),
                                 static_cast<int16_t>(slot), 0, QString()});
        cs.table.device_data_valid[slot] = 1;
      }
      cs.table[2].online = false;
      cs.online_mode = true;
      device_list = new QWidget;
      device_list->setObjectName(QStringLiteral("DemoDeviceDialog"));
      window->mdi_area()->addSubWindow(device_list)->show();
      window->SetDeviceListWindow(device_list);
      window->StartKeepAlive();
      return true;
    }
    ~Fixture() {
      if (window && window->isVisible()) {
        messenger.answers.push_front(MessageAnswer::kYes);
        window->close();
      }
    }
    QList<uint8_t> Heard(int slot) const { return sim.device(devices[slot]).ReceivedCommands(); }
    QTimer* Timer(const char* name) const {
      return window->findChild<QTimer*>(QLatin1String(name));
    }
  };

 private slots:
  void exitYesReleasesEveryOnlineDevice() {
    Fixture f;
    QVERIFY(f.Start());
    QVERIFY(f.window->close());
    QCOMPARE(f.messenger.shown.size(), 1);
    QCOMPARE(f.messenger.shown[0].text, QStringLiteral("               Are you sure ? "));
    QVERIFY(!f.window->isVisible());
    const QList<uint8_t> release{tessaly::comm::kCmdRelease};
    QTRY_COMPARE(f.Heard(0), release);
    QTRY_COMPARE(f.Heard(1), release);
    QVERIFY(f.Heard(2).isEmpty());
    for (int slot = 0; slot < 3; ++slot) QVERIFY(!f.state.comm().tcp().IsConnected(slot));
    QVERIFY(!f.Timer("keepAliveTimer")->isActive());
    QCOMPARE(f.Timer("keepAliveTimer")->interval(), 10000);
  }

  void exitNoKeepsEverything() {
    Fixture f;
    QVERIFY(f.Start());
    f.messenger.answers.push_back(MessageAnswer::kNo);
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    QTest::qWait(100);
    for (int slot = 0; slot < 3; ++slot) QVERIFY(f.Heard(slot).isEmpty());
    QVERIFY(f.state.comm().tcp().IsConnected(0));
    QVERIFY(f.Timer("keepAliveTimer")->isActive());
  }

  void connectAgainLeavesOnlineMode() {
    Fixture f;
    QVERIFY(f.Start());
    f.window->findChild<QAction*>(QStringLiteral("connectAction"))->trigger();
    QVERIFY(!f.messenger.shown.isEmpty());
    QCOMPARE(f.messenger.shown[0].title, QStringLiteral("Connect"));
    QCOMPARE(f.messenger.shown[0].text,
             QStringLiteral("Check all connected devices , do you want to continue?"));
    QCOMPARE(f.messenger.shown[0].buttons, MessageButtons::kYesNo);
    const QList<uint8_t> release{tessaly::comm::kCmdRelease};
    QTRY_COMPARE(f.Heard(0), release);
    QTRY_COMPARE(f.Heard(1), release);
    QVERIFY(f.Heard(2).isEmpty());
    const auto& cs = f.state.comm_state();
    QVERIFY(!cs.online_mode);
    for (int slot = 0; slot < 3; ++slot) {
      QCOMPARE(cs.table.device_data_valid[slot], int16_t{0});
      QVERIFY(!f.state.comm().tcp().IsConnected(slot));
    }
    QVERIFY(!f.Timer("keepAliveTimer")->isActive());
    QTRY_VERIFY(f.window->device_list_window() == nullptr || !f.device_list->isVisible());
    // Back at the port selection (cancelled here): the Connect menu watch goes on.
    QVERIFY(f.Timer("connectMenuTimer")->isActive());
  }

  void connectAgainAnsweredNoChangesNothing() {
    Fixture f;
    QVERIFY(f.Start());
    f.messenger.answers.push_back(MessageAnswer::kNo);
    f.window->findChild<QAction*>(QStringLiteral("connectAction"))->trigger();
    QCOMPARE(f.messenger.shown.size(), 1);
    QTest::qWait(100);
    for (int slot = 0; slot < 3; ++slot) QVERIFY(f.Heard(slot).isEmpty());
    QVERIFY(f.state.comm_state().online_mode);
    QVERIFY(f.device_list->isVisible());
    QVERIFY(f.Timer("keepAliveTimer")->isActive());
  }

  // The frame says how it is connected and brings a minimised window back from its Window menu.
  void frameShowsConnectionAndListsWindows() {
    Fixture f;
    QVERIFY(f.Start());
    const QString summary = QStringLiteral("TCP/IP: 2 of 3 devices on-line");
    QTRY_COMPARE(f.window->windowTitle(), QStringLiteral("Tessaly - ") + summary);
    QCOMPARE(f.window->findChild<QLabel*>(QStringLiteral("connectionLabel"))->text(), summary);
    auto* frame = qobject_cast<QMdiSubWindow*>(f.device_list->parentWidget());
    frame->showMinimized();
    auto* menu = f.window->findChild<QMenu*>(QStringLiteral("windowMenu"));
    emit menu->aboutToShow();
    QList<QAction*> items;
    for (QAction* action : menu->actions()) {
      if (action->objectName() == QStringLiteral("windowListAction")) items.append(action);
    }
    QCOMPARE(items.size(), 1);
    items[0]->trigger();
    QVERIFY(!frame->isMinimized());
  }

  void keepAlivePollsOnlineDevices() {
    Fixture f;
    QVERIFY(f.Start());
    QCOMPARE(f.Timer("keepAliveTimer")->interval(), 4000);
    f.Timer("keepAliveTimer")->setInterval(5);  // skip the first wait
    QTRY_VERIFY(f.Heard(0).contains(tessaly::comm::kCmdKeepAlive));
    QTRY_VERIFY(f.Heard(1).contains(tessaly::comm::kCmdKeepAlive));
    QCOMPARE(f.Timer("keepAliveTimer")->interval(), 1000);
    QVERIFY(f.Heard(2).isEmpty());
    QVERIFY(f.messenger.shown.isEmpty());
  }
};

QTEST_MAIN(AppOnlineTest)
#include "AppOnlineTest.moc"

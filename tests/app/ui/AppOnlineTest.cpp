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
#include "connect/DeviceReadout.h"
#include "connect/ui/ConnectWorkflow.h"
#include "device/Commands.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

using tessaly::app::AppState;
using tessaly::app::MainWindow;
using tessaly::device::MessageAnswer;

// The main window with devices on-line, against emulated devices over real TCP connections:
// slots 0 and 1 on-line, slot 2 registered and connected but off-line (it must hear nothing).
class AppOnlineTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    tessaly::test::SimHarness sim;
    tessaly::test::RecordingMessenger messenger;
    AppState state{messenger};
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(state);
    QWidget* device_list = new QWidget;

    Fixture() {
      if (!window->Load()) qFatal("the main window did not load");
      window->show();
      auto& cs = state.comm_state();
      cs.connection_mode = tessaly::comm::kLinkTcp;
      state.comm().OpenTraffic();
      for (int slot = 0; slot < 3; ++slot) {
        const int index = sim.AddTcp(3 - slot);
        state.comm().set_device_port(sim.port());
        if (state.comm().tcp().Connect(slot, sim.address(index), sim.port(), 1000) != 0) {
          qFatal("no connection to the emulator");
        }
        cs.table.Register(slot,
                          {tessaly::comm::kLinkTcp, sim.address(index), static_cast<int16_t>(slot),
                           static_cast<int16_t>(3 - slot), QString()});
        cs.table.device_data_valid[slot] = 1;
      }
      cs.table[2].online = false;
      state.comm().EnterOnlineMode();
      window->mdi_area()->addSubWindow(device_list)->show();
      window->SetDeviceListWindow(device_list);
      state.comm().keep_alive().Start();
    }
    ~Fixture() {
      if (window->isVisible()) {
        messenger.answers.push_front(MessageAnswer::kYes);
        window->close();
      }
    }
    QList<uint8_t> Heard(int slot) const { return sim.device(slot).ReceivedCommands(); }
    tessaly::comm::KeepAliveTimer& KeepAlive() { return state.comm().keep_alive(); }
    // The on-line devices heard one release each, the off-line one nothing, every link is closed.
    void ExpectReleased() {
      const QList<uint8_t> release{tessaly::device::kCmdRelease};
      QTRY_COMPARE(Heard(0), release);
      QTRY_COMPARE(Heard(1), release);
      QVERIFY(Heard(2).isEmpty());
      for (int slot = 0; slot < 3; ++slot) QVERIFY(!state.comm().tcp().IsConnected(slot));
      QVERIFY(!KeepAlive().IsRunning());
    }
    // Answered No: nothing is sent and nothing changes.
    void ExpectUntouched() {
      QTest::qWait(100);
      for (int slot = 0; slot < 3; ++slot) QVERIFY(Heard(slot).isEmpty());
      QVERIFY(state.comm().tcp().IsConnected(0));
      QVERIFY(state.comm().online_mode());
      QVERIFY(KeepAlive().IsRunning());
    }
  };

 private slots:
  void exitReleasesEveryOnlineDeviceOrNoKeepsEverything() {
    Fixture f;
    f.messenger.answers.push_back(MessageAnswer::kNo);
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    f.ExpectUntouched();
    f.messenger.answers.push_back(MessageAnswer::kYes);
    QVERIFY(f.window->close());
    QCOMPARE(f.messenger.shown.size(), 2);
    QCOMPARE(f.messenger.shown[1].text, QStringLiteral("               Are you sure ? "));
    f.ExpectReleased();
  }

  // Open editors neither ask nor keep the program: the one question is the frame's.
  void exitWithEditorsOpenAsksOnceAndClosesThem() {
    Fixture f;
    tessaly::editor::EditorManager& editors = f.window->editors();
    for (const int slot : {0, 1}) {
      QCOMPARE(ReadDevice(f.window->connect_workflow().runtime().context, slot, {}).stopped_at,
               tessaly::connect::ReadoutStep::kDone);
      f.state.comm_state().table.device_needs_read[slot] = false;  // as the device list leaves it
      QVERIFY(editors.Open(slot) != nullptr);
      editors.EditorOf(slot)->poll_timer()->start();  // as the meters keep it running
      f.sim.device(slot).ClearReceived();
    }
    f.messenger.answers.push_back(MessageAnswer::kNo);
    QVERIFY(!f.window->close());
    QVERIFY(editors.EditorOf(0) != nullptr && editors.EditorOf(1) != nullptr);
    QCOMPARE(f.state.editor_count, int16_t{1});
    // Reconnecting under an open editor would pull its links away.
    QVERIFY(!f.window->findChild<QMenu*>("connectMenu")->menuAction()->isEnabled());
    f.ExpectUntouched();

    QVERIFY(f.window->close());
    QCOMPARE(f.messenger.shown.size(), 2);
    for (const tessaly::device::Message& m : f.messenger.shown) QCOMPARE(m.title, "Exit");
    f.ExpectReleased();
    QVERIFY(editors.EditorOf(0) == nullptr && editors.EditorOf(1) == nullptr);
    QCOMPARE(f.state.editor_count, int16_t{-1});
    QVERIFY(!f.state.comm_state().table[0].editor_open);
  }

  void connectAgainLeavesOnlineModeOrNoChangesNothing() {
    Fixture f;
    QAction* connect = f.window->findChild<QAction*>("connectAction");
    f.messenger.answers.push_back(MessageAnswer::kNo);
    connect->trigger();
    QCOMPARE(f.messenger.shown.size(), 1);
    QCOMPARE(f.messenger.shown[0].title, QStringLiteral("Connect"));
    QCOMPARE(f.messenger.shown[0].text,
             QStringLiteral("Check all connected devices , do you want to continue?"));
    QCOMPARE(f.messenger.shown[0].buttons, tessaly::device::MessageButtons::kYesNo);
    f.ExpectUntouched();
    QVERIFY(f.device_list->isVisible());

    connect->trigger();
    f.ExpectReleased();
    QVERIFY(!f.state.comm().online_mode());
    for (int slot = 0; slot < 3; ++slot) {
      QCOMPARE(f.state.comm_state().table.device_data_valid[slot], int16_t{0});
    }
    QTRY_VERIFY(f.window->device_list_window() == nullptr || !f.device_list->isVisible());
    // Back at the port selection (cancelled here): the Connect menu is offered again.
    QVERIFY(f.window->findChild<QMenu*>("connectMenu")->menuAction()->isEnabled());
  }

  // The frame says how it is connected and brings a minimised window back from its Window menu.
  void frameShowsConnectionAndListsWindows() {
    Fixture f;
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
};

QTEST_MAIN(AppOnlineTest)
#include "AppOnlineTest.moc"

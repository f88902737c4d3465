#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "support/RecordingMessenger.h"

using tessaly::app::AppState;
using tessaly::app::MainWindow;
using tessaly::comm::MessageAnswer;
using tessaly::comm::MessageButtons;
using tessaly::test::RecordingMessenger;

// The main window without devices: menus, timers, the exit question and the Connect path while
// off-line. Traffic on leaving on-line mode and on exit is covered against the emulator.
class AppMainWindowTest : public QObject {
  Q_OBJECT

 private:
  // Cancels the port selection the moment it shows up modally: its "Exit" button when it has
  // one, else the window is rejected or closed.
  class ModalCanceller {
   public:
    ModalCanceller() {
      QObject::connect(&poll_, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        if (auto* exit = modal->findChild<QAbstractButton*>(QStringLiteral("exitButton"))) {
          exit->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
          dialog->reject();
        } else {
          modal->close();
        }
      });
      poll_.start(20);
    }

   private:
    QTimer poll_;
  };

  struct Fixture {
    RecordingMessenger messenger;
    AppState state{messenger};
    std::unique_ptr<MainWindow> window;

    Fixture() {
      window = std::make_unique<MainWindow>(state);
      window->show();
    }
    ~Fixture() {
      if (window->isVisible()) {
        messenger.answers.push_front(MessageAnswer::kYes);
        window->close();
      }
    }
    QTimer* Timer(const char* name) const {
      return window->findChild<QTimer*>(QLatin1String(name));
    }
    QAction* ConnectMenu() const {
      return window->findChild<QMenu*>(QStringLiteral("connectMenu"))->menuAction();
    }
  };

 private slots:
  void loadStartsTheConnectMenuWatch() {
    Fixture f;
    f.state.editor_count = 3;
    QVERIFY(f.window->Load());
    QCOMPARE(f.state.editor_count, int16_t{-1});
    QVERIFY(f.Timer("connectMenuTimer")->isActive());
    QCOMPARE(f.Timer("connectMenuTimer")->interval(), 1000);
    QVERIFY2(!f.Timer("keepAliveTimer")->isActive(), "no keep-alive before a device list exists");
    QVERIFY(f.messenger.shown.isEmpty());
    // Every slot is usable for TCP/IP connections from the start.
    QVERIFY(!f.state.comm().tcp().IsConnected(32));
  }

  void menus() {
    Fixture f;
    QVERIFY(f.window->Load());
    auto* connection = f.window->findChild<QMenu*>(QStringLiteral("connectMenu"));
    QVERIFY(connection != nullptr);
    QCOMPARE(QString(connection->title()).remove(QLatin1Char('&')), QStringLiteral("Connect"));
    QVERIFY(f.window->menuBar()->actions().contains(connection->menuAction()));
    QVERIFY(connection->menuAction()->isVisible());
    QCOMPARE(connection->actions().size(), 1);
    QCOMPARE(connection->actions()[0]->objectName(), QStringLiteral("connectAction"));
    QCOMPARE(QString(connection->actions()[0]->text()).remove(QLatin1Char('&')), QStringLiteral("Connect"));

    // The pop-up menus are the editors' to show; the menu bar never offers them.
    QMenu* shape = f.window->ShapeEqMenu();
    QCOMPARE(shape->objectName(), QStringLiteral("eqTypeMenu"));
    QCOMPARE(shape->title(), QStringLiteral("Filter Type"));
    QVERIFY(!f.window->menuBar()->actions().contains(shape->menuAction()));
    const QStringList expected = {QStringLiteral("Bell"),          QStringLiteral("Hi-Shelving Q"),
                                  QStringLiteral("Lo-Shelving Q"), QStringLiteral("High Pass Q"),
                                  QStringLiteral("Low Pass Q"),    QStringLiteral("Notch Filter")};
    QCOMPARE(shape->actions().size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
      QAction* item = shape->actions()[i];
      QCOMPARE(item->objectName(), QStringLiteral("eqTypeAction_%1").arg(i));
      QCOMPARE(item->text(), expected[i]);
      QVERIFY(item->isCheckable());
    }
    QMenu* meter = f.window->MeterSelMenu();
    QCOMPARE(meter->objectName(), QStringLiteral("meterPointMenu"));
    QVERIFY(!f.window->menuBar()->actions().contains(meter->menuAction()));
    QVERIFY(meter->actions().isEmpty());
    for (QAction* action : f.window->menuBar()->actions()) {
      QVERIFY(action->text() != QStringLiteral("Filter Type"));
    }
  }

  void popupMenusReportTheItemPicked() {
    Fixture f;
    QSignalSpy shape(f.window.get(), &MainWindow::ShapeEqFilterClicked);
    f.window->findChild<QAction*>(QStringLiteral("eqTypeAction_5"))->trigger();
    f.window->findChild<QAction*>(QStringLiteral("eqTypeAction_0"))->trigger();
    QCOMPARE(shape.size(), 2);
    QCOMPARE(shape.at(0).at(0).toInt(), 5);
    QCOMPARE(shape.at(1).at(0).toInt(), 0);
    // One type at a time carries the check mark.
    QVERIFY(f.window->findChild<QAction*>(QStringLiteral("eqTypeAction_0"))->isChecked());
    QVERIFY(!f.window->findChild<QAction*>(QStringLiteral("eqTypeAction_5"))->isChecked());

    QSignalSpy meter(f.window.get(), &MainWindow::MeterSelItemClicked);
    f.window->SetMeterSelItems({QStringLiteral("Before Gain"), QStringLiteral("After Gain"),
                                QStringLiteral("After Compressor")});
    f.window->SetMeterSelItems({QStringLiteral("After Mute"), QStringLiteral("Before Limiter"),
                                QStringLiteral("After Limiter")});
    // Items are replaced, not added.
    QCOMPARE(f.window->MeterSelMenu()->actions().size(), 3);
    auto* item = f.window->findChild<QAction*>(QStringLiteral("meterPointAction_2"));
    QVERIFY(item != nullptr);
    QCOMPARE(item->text(), QStringLiteral("After Limiter"));
    item->trigger();
    QCOMPARE(meter.size(), 1);
    QCOMPARE(meter.at(0).at(0).toInt(), 2);
  }

  void timer1FollowsEditorCount() {
    Fixture f;
    QVERIFY(f.window->Load());
    QAction* menu = f.ConnectMenu();
    QVERIFY(menu->isEnabled());
    f.state.editor_count = 0;  // the first editor opened
    QTRY_VERIFY_WITH_TIMEOUT(!menu->isEnabled(), 2500);
    f.state.editor_count = 1;
    QTest::qWait(1200);
    QVERIFY(!menu->isEnabled());
    f.state.editor_count = -1;  // the last editor closed
    QTRY_VERIFY_WITH_TIMEOUT(menu->isEnabled(), 2500);
    QVERIFY(f.Timer("connectMenuTimer")->isActive());
  }

  void exitAskedAndNoKeepsTheWindow() {
    Fixture f;
    QVERIFY(f.window->Load());
    f.messenger.answers.push_back(MessageAnswer::kNo);
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.messenger.shown.size(), 1);
    QCOMPARE(f.messenger.shown[0].title, QStringLiteral("Exit"));
    QCOMPARE(f.messenger.shown[0].text, QStringLiteral("               Are you sure ? "));
    QCOMPARE(f.messenger.shown[0].buttons, MessageButtons::kYesNo);
    QVERIFY(f.Timer("connectMenuTimer")->isActive());

    f.messenger.answers.push_back(MessageAnswer::kYes);
    QVERIFY(f.window->close());
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.messenger.shown.size(), 2);
    QCOMPARE(f.Timer("keepAliveTimer")->interval(), 10000);
    QVERIFY(!f.Timer("keepAliveTimer")->isActive());
  }

  void cancellingPortSelectionLeavesTimer1Running() {
    Fixture f;
    QVERIFY(f.window->Load());
    f.Timer("connectMenuTimer")->stop();
    ModalCanceller canceller;
    f.window->findChild<QAction*>(QStringLiteral("connectAction"))->trigger();
    // Off-line there is nothing to leave, so nothing to ask.
    QVERIFY(f.messenger.shown.isEmpty());
    QVERIFY(!f.state.comm_state().online_mode);
    QVERIFY(f.Timer("connectMenuTimer")->isActive());
    QCOMPARE(f.Timer("connectMenuTimer")->interval(), 1000);
    QVERIFY(f.window->mdi_area()->subWindowList().isEmpty());
  }

  void keepAliveStartsSlowThenTicksEverySecond() {
    Fixture f;
    QVERIFY(f.window->Load());
    QTimer* timer3 = f.Timer("keepAliveTimer");
    f.window->StartKeepAlive();
    QVERIFY(timer3->isActive());
    QCOMPARE(timer3->interval(), 4000);
    // Off-line the tick ends at once and leaves the interval as it is.
    timer3->setInterval(5);
    QTest::qWait(50);
    QCOMPARE(timer3->interval(), 5);
    // Held: the same.
    f.state.comm_state().online_mode = true;
    f.state.comm_state().keep_alive_hold = true;
    QTest::qWait(50);
    QCOMPARE(timer3->interval(), 5);
    // A round ran (no device registered, so nothing to send): back to once a second.
    f.state.comm_state().keep_alive_hold = false;
    QTRY_COMPARE_WITH_TIMEOUT(timer3->interval(), 1000, 1000);
    QVERIFY(timer3->isActive());
    QVERIFY(f.messenger.shown.isEmpty());
  }
};

QTEST_MAIN(AppMainWindowTest)
#include "AppMainWindowTest.moc"

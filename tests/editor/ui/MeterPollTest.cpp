#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <array>
#include <functional>
#include <memory>

#include "comm/Comm.h"
#include "comm/TimeScale.h"
#include "connect/ConnectRuntime.h"
#include "connect/DeviceReadout.h"
#include "device/DeviceTypes.h"
#include "editor/ChannelMeter.h"
#include "editor/EditorManager.h"
#include "editor/EditorMeters.h"
#include "editor/EditorWindow.h"
#include "editor/MeterPoints.h"
#include "editor/ui/EditorWindowRigs.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"
#include "widgets/LedMeter.h"
#include "widgets/StatusLed.h"

namespace comm = tessaly::comm;
namespace editor = tessaly::editor;
using tessaly::test::SimHarness;

// Two editors over loopback: an RK-540 in slot 0, a 540S in slot 1; each polls its own device.
class MeterPollTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture : tessaly::test::TwoEditorRig {
    bool Start() {
      return ReadOutBoth() && editors->Open(0) != nullptr && editors->Open(1) != nullptr;
    }
    tessaly::sim::SimDevice& Device(int slot) { return sim.device(devices[slot]); }
    qsizetype Polls(int slot) { return Device(slot).ReceivedCommands().count(57); }
    editor::EditorMeters& Meters(int slot) {
      return *editors->EditorOf(slot)->findChild<editor::EditorMeters*>();
    }
    // The slot's ticks run only from the test from here on.
    tessaly::meters::MeterPoll& Poll(int slot) {
      editors->EditorOf(slot)->poll_timer()->stop();
      return Meters(slot).poll();
    }
    editor::ChannelMeter& Meter(int slot, int channel) {
      return *editors->EditorOf(slot)->findChild<editor::ChannelMeter*>(
          QStringLiteral("channelMeter%1").arg(channel));
    }
  };

  // Family B payload: level byte 127 at point 1 of channel 1, clip and limit on channel 1, words
  // 16384 for every channel that has one; `power` holds the standby and sleep bits of the first
  // status byte.
  static QByteArray PayloadB(uint8_t power) {
    QByteArray payload(37, '\0');
    payload[7 + 1] = char(127);
    payload[21] = char(0x02 | power);
    payload[22] = 0x02;
    for (int word = 0; word < 6; ++word) payload[24 + 2 * word] = 0x40;
    return payload;
  }

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  void onlyTheCurrentEditorPolls() {
    Fixture f;
    QVERIFY(f.Start());
    QTimer* timer = f.editors->EditorOf(1)->poll_timer();
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), comm::ScaledMs(2000));
    QTRY_VERIFY(f.Polls(1) >= 3);
    QCOMPARE(timer->interval(), comm::ScaledMs(80));
    const qsizetype quiet = f.Polls(0);
    QTest::qWait(comm::ScaledMs(2000) * 2);
    QCOMPARE(f.Polls(0), quiet);

    f.area->setActiveSubWindow(
        qobject_cast<QMdiSubWindow*>(f.editors->EditorOf(0)->parentWidget()));
    QTRY_VERIFY(f.Polls(0) >= quiet + 3);
    const qsizetype left = f.Polls(1);
    QTest::qWait(comm::ScaledMs(80) * 10);
    QCOMPARE(f.Polls(1), left);
    QCOMPARE(f.messenger.shown.size(), 0);
  }

  void guardsKeepTheTickOffTheLine() {
    // Each guard runs the tick its own way; what must stay alive meanwhile is returned.
    using Guard = std::function<std::shared_ptr<void>(Fixture&, const std::function<void()>&)>;
    const auto plain = [](auto arrange) -> Guard {
      return [arrange](Fixture& f, const std::function<void()>& tick) {
        std::shared_ptr<void> keep = arrange(f);
        tick();
        return keep;
      };
    };
    const std::array<std::pair<const char*, Guard>, 6> guards = {{
        {"not current",
         plain([](Fixture& f) { return f.comm.state().current_device = 0, nullptr; })},
        // The tick comes while another exchange waits for its reply.
        {"exchange running",
         [](Fixture& f, const std::function<void()>& tick) -> std::shared_ptr<void> {
           f.Device(0).SetDelayMs(comm::ScaledMs(2000));
           QTimer::singleShot(0, tick);
           if (!f.comm.Exchange(0, tessaly::device::kCmdVersions).answered())
             qWarning("no versions reply");
           f.Device(0).SetDelayMs(0);
           return nullptr;
         }},
        {"device needs read", plain([](Fixture& f) {
           return f.comm.state().table.device_needs_read[1] = true, nullptr;
         })},
        {"editor not open",
         plain([](Fixture& f) { return f.comm.state().table[1].editor_open = false, nullptr; })},
        {"keep-alive hold",
         plain([](Fixture& f) { return std::make_shared<comm::KeepAliveHold>(f.comm); })},
        // The exchange layer holds the packet back: there is no reply to show.
        {"transfer lock",
         plain([](Fixture& f) { return std::make_shared<comm::TransferLock>(f.comm); })},
    }};
    for (const auto& [name, guard] : guards) {
      Fixture f;
      QVERIFY(f.Start());
      tessaly::meters::MeterPoll& poll = f.Poll(1);
      QTimer* timer = f.editors->EditorOf(1)->poll_timer();
      poll.Tick();
      timer->setInterval(1234);
      const qsizetype polls = f.Polls(1);
      QSignalSpy shown(&poll, &tessaly::meters::MeterPoll::readingChanged);
      const std::shared_ptr<void> keep = guard(f, [&poll] { poll.Tick(); });
      QVERIFY2(f.Polls(1) == polls && shown.isEmpty(), name);
      // Only a foreign window's tick leaves the interval alone.
      QVERIFY2(timer->interval() == (name == guards[0].first ? 1234 : comm::ScaledMs(80)), name);
    }
  }

  void viewsFollowTheReply() {
    Fixture f;
    QVERIFY(f.Start());
    tessaly::meters::MeterPoll& poll = f.Poll(1);
    f.Device(1).SetMeterPayload(PayloadB(0x40));  // sleeping
    editor::ChannelMeter& in1r = f.Meter(1, 1);
    poll.Tick();
    QCOMPARE(in1r.bar(0).lit(), 0);  // the main bar shows point 0 ("Before Gain")
    QCOMPARE(in1r.signal_led().colour(), QColor(255, 0, 0));
    QVERIFY(in1r.limit_led().isLit());
    QCOMPARE(in1r.gain_reduction().text(), QStringLiteral("-6.0 dB"));
    QCOMPARE(f.Meter(1, 6).gain_reduction().text(), QStringLiteral("\u2014"));
    QVERIFY(f.Meter(1, 6).gain_reduction().toolTip().contains("does not report"));
    QVERIFY(!f.Meter(1, 0).signal_led().isLit());
    QCoreApplication::processEvents();
    QVERIFY(f.Meters(1).sleep_label()->isVisibleTo(f.editors->EditorOf(1)));

    const qsizetype heard = f.Device(1).ReceivedCount();
    f.editors->EditorOf(1)->findChild<editor::MeterPoints*>()->SetChoice(1, 1);
    QCOMPARE(in1r.bar(0).lit(), 9);
    QCOMPARE(f.Device(1).ReceivedCount(), heard);  // the choice is the editor's own

    const int repaints = in1r.bar(0).updates();
    poll.Tick();  // the same reply again: nothing to repaint, the label blinks
    QCOMPARE(in1r.bar(0).updates(), repaints);
    QCoreApplication::processEvents();
    QVERIFY(!f.Meters(1).sleep_label()->isVisibleTo(f.editors->EditorOf(1)));

    // A device without a link shows the fixed silence; nothing goes out.
    f.comm.state().table[1].online = false;
    poll.Tick();
    QCOMPARE(in1r.bar(0).lit(), 0);
    QVERIFY(!in1r.signal_led().isLit());
    QCOMPARE(in1r.gain_reduction().text(), QStringLiteral("0.0 dB"));
    QCOMPARE(f.Device(1).ReceivedCount(), heard + 1);
  }

  void standbyAtTheDeviceShowsAndSendsNothing() {
    Fixture f;
    QVERIFY(f.Start());
    tessaly::meters::MeterPoll& poll = f.Poll(1);
    auto* button = f.editors->EditorOf(1)->findChild<QToolButton*>(QStringLiteral("standbyButton"));
    QVERIFY(button != nullptr);
    for (const bool standby : {true, false}) {
      f.Device(1).SetMeterPayload(PayloadB(standby ? 0x20 : 0));
      f.Device(1).ClearReceived();
      poll.Tick();
      QCOMPARE(f.Device(1).ReceivedCommands(), QList<uint8_t>{57});
      QCOMPARE(button->isChecked(), standby);
      QVERIFY(!f.comm.transfer_locked());
    }
  }

  void lostReplyTakesTheEditorOffLineOnce() {
    Fixture f;
    QVERIFY(f.Start());
    QTRY_VERIFY(f.Polls(1) >= 2);
    f.Device(1).SetSilent(true);
    QSignalSpy shown(&f.Meters(1).poll(), &tessaly::meters::MeterPoll::readingChanged);
    QTRY_VERIFY(f.editors->EditorOf(1)->offline());
    QVERIFY(shown.isEmpty());  // the failed tick left the display alone
    QVERIFY(!f.editors->EditorOf(1)->poll_timer()->isActive());
    QTest::qWait(comm::ScaledMs(3000) * 2);
    QCOMPARE(f.messenger.shown.size(), 1);
    QCOMPARE(f.messenger.shown[0].title, QStringLiteral("Communication problem"));
    QVERIFY(f.comm.state().row_text[1].endsWith(QStringLiteral(" - Off-line")));
    QVERIFY(f.editors->EditorOf(0) != nullptr);
  }
};

QTEST_MAIN(MeterPollTest)
#include "MeterPollTest.moc"

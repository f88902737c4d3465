#include <QPointer>
#include <QtTest>
#include <functional>

#include "comm/LinkLossText.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "editor/EditorWindow.h"
#include "editor/ui/EditorWindowRigs.h"
#include "widgets/Knob.h"

namespace comm = tessaly::comm;
namespace device = tessaly::device;
using tessaly::widgets::Knob;

// An RK-360 on a 9600-baud USB line whose every byte takes its wire time, edited with a knob
// dragged faster than the line carries the packets.
class SlowLinkTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture : tessaly::test::OneEditorRig {
    QPointer<Knob> knob;

    bool Start() {
      if (!Open(device::kTypeRk360)) return false;
      // The gains page's strip, the one on show: every channel page has one of its own.
      QWidget* strip =
          window->Page(window->current_page())->findChild<QWidget*>(QStringLiteral("stripInL"));
      knob = strip != nullptr ? strip->findChild<Knob*>(QStringLiteral("gainKnob")) : nullptr;
      dev().ClearReceived();
      return knob != nullptr;
    }
    // A hand's moves, 3 pixels every 4 ms, also while an exchange waits for its reply: far
    // more moves than the line carries packets. Returns the moves the display did not follow;
    // the button stays down.
    int Drag(int moves, const std::function<void(int)>& at_move = {}) {
      const QPoint centre = knob->rect().center();
      QTest::mousePress(knob, Qt::LeftButton, {}, centre);
      int lagging = 0;
      int move = 0;
      QTimer hand;
      QObject::connect(&hand, &QTimer::timeout, knob, [&] {
        if (move == moves || !knob) return;
        ++move;
        if (at_move) at_move(move);
        const int before = knob->shownIndex();
        QTest::mouseMove(knob, centre + QPoint(0, 3 * move));
        if (knob->shownIndex() == before) ++lagging;
      });
      hand.start(4);
      QDeadlineTimer deadline(20000);
      // The window may go with its device in the middle of the drag.
      while (move < moves && knob && !deadline.hasExpired()) QTest::qWait(4);
      hand.stop();
      return lagging;
    }
    void Release() {
      if (knob) QTest::mouseRelease(knob, Qt::LeftButton, {}, knob->rect().center());
    }
    int DeviceGain() {
      const QByteArray image = sim.device(device).Image();
      const auto pc = runtime.store.Data(0)->Image();
      for (qsizetype i = 0; i < image.size(); ++i) {
        if (static_cast<uint8_t>(image[i]) != pc[static_cast<size_t>(i)]) return -1;
      }
      return knob->index();
    }
  };

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  // The display follows every move; the line carries only what it can, and the last position
  // reaches the device.
  void dragCoalescesAndTheFinalValueArrives() {
    Fixture f;
    QVERIFY(f.Start());
    constexpr int kMoves = 40;
    QCOMPARE(f.Drag(kMoves), 0);
    const int shown = f.knob->shownIndex();
    // The pointer rests: the last position goes out without waiting for the release.
    QTRY_COMPARE(f.DeviceGain(), shown);
    f.Release();
    QTest::qWait(50);
    QCOMPARE(f.DeviceGain(), shown);
    // Gain packets only: meter polls and keep-alives share the line, more of them the longer a
    // loaded machine takes over the drag.
    const int packets =
        static_cast<int>(f.sim.device(f.device).ReceivedCommands().count(device::kCmdGain));
    QVERIFY2(packets >= 2 && packets < kMoves, qPrintable(QString::number(packets)));
    QVERIFY(f.messenger.shown.isEmpty());
  }

  // A device that stops answering mid-drag is reported once and its window stays, off-line;
  // nothing more goes out.
  void lostReplyDuringADragIsReportedOnce() {
    Fixture f;
    QVERIFY(f.Start());
    f.Drag(30, [&f](int move) {
      if (move == 5) f.sim.device(f.device).SetSilent(true);
    });
    f.Release();
    QTRY_VERIFY(f.editors->EditorOf(0)->offline());
    QTest::qWait(300);
    QCOMPARE(f.messenger.shown.size(), 1);
    QCOMPARE(f.messenger.shown[0].title, QString::fromLatin1(comm::kLinkLossTitle));
    QCOMPARE(f.editor_count, int16_t{0});
    QVERIFY(!f.comm.state().table[0].online);
    const int heard = f.sim.device(f.device).ReceivedCount();
    QTest::qWait(100);
    QCOMPARE(f.sim.device(f.device).ReceivedCount(), heard);
  }
};

QTEST_MAIN(SlowLinkTest)
#include "SlowLinkTest.moc"

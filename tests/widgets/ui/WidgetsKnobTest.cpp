#include <QSignalSpy>
#include <QtTest>

#include "widgets/Knob.h"

using tessaly::widgets::Knob;

namespace {
// Runs a gesture script on a knob. Tokens: p/P press (P with Ctrl), r release, mN/MN move N px
// down (M with Shift), d double-click, wN/WN wheel N units (W with Shift), u/U Up press
// (U auto-repeated), x/X Up release (x auto-repeated), h Home, e End, s Shift+Down, E Escape,
// iN the program writes index N.
void Run(Knob& knob, const QString& script) {
  const QPoint centre = knob.rect().center();
  int y = centre.y();
  const auto key = [&knob](QEvent::Type type, Qt::Key code, bool repeat,
                           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(type, code, modifiers, QString(), repeat);
    QApplication::sendEvent(&knob, &event);
  };
  for (const QString& token : script.split(u' ', Qt::SkipEmptyParts)) {
    const QChar op = token.front();
    const int n = token.mid(1).toInt();
    if (op == u'p' || op == u'P') {
      QTest::mousePress(&knob, Qt::LeftButton,
                        op == u'P' ? Qt::ControlModifier : Qt::KeyboardModifiers(), centre);
    } else if (op == u'r') {
      QTest::mouseRelease(&knob, Qt::LeftButton, {}, QPoint(centre.x(), y));
    } else if (op == u'm' || op == u'M') {
      y += n;
      QMouseEvent move(QEvent::MouseMove, QPointF(centre.x(), y),
                       knob.mapToGlobal(QPointF(centre.x(), y)), Qt::NoButton, Qt::LeftButton,
                       op == u'M' ? Qt::ShiftModifier : Qt::NoModifier);
      QApplication::sendEvent(&knob, &move);
    } else if (op == u'd') {
      QTest::mouseDClick(&knob, Qt::LeftButton, {}, centre);
    } else if (op == u'w' || op == u'W') {
      QWheelEvent wheel(centre, knob.mapToGlobal(centre), {}, QPoint(0, n), Qt::NoButton,
                        op == u'W' ? Qt::ShiftModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&knob, &wheel);
    } else if (op == u'u' || op == u'U') {
      key(QEvent::KeyPress, Qt::Key_Up, op == u'U');
    } else if (op == u'x' || op == u'X') {
      key(QEvent::KeyRelease, Qt::Key_Up, op == u'x');
    } else if (op == u'h' || op == u'e') {
      QTest::keyClick(&knob, op == u'h' ? Qt::Key_Home : Qt::Key_End);
    } else if (op == u's') {
      QTest::keyClick(&knob, Qt::Key_Down, Qt::ShiftModifier);
    } else if (op == u'E') {
      QTest::keyClick(&knob, Qt::Key_Escape);
    } else if (op == u'i') {
      knob.setIndex(n);
    }
  }
}
}  // namespace

class WidgetsKnobTest : public QObject {
  Q_OBJECT

 private slots:
  void gestures_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<double>("detent");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<int>>("commits");
    QTest::addColumn<int>("index");
    // 144 steps over a 144-pixel track: one pixel per step; default index 120.
    const QList<int> none;
    QTest::newRow("drag above the top stops at the largest")
        << 100 << 0.0 << "p m-100 m-300 r" << QList{144} << 144;
    QTest::newRow("drag below the bottom stops at 0")
        << 100 << 0.0 << "p m200 m200 r" << QList{0} << 0;
    QTest::newRow("back from past the end moves at once")
        << 100 << 0.0 << "p m-300 m10 r" << QList{134} << 134;
    QTest::newRow("one pixel one step") << 50 << 0.0 << "p m-3 m-7 r" << QList{60} << 60;
    QTest::newRow("shift drags a tenth, half pixels add up")
        << 50 << 0.0 << "p M-5 M-5 M-5 M-5 M-5 M-5 M-5 M-5 M-5 M-5 r" << QList{55} << 55;
    QTest::newRow("shift pressed mid-drag does not jump")
        << 50 << 0.0 << "p m-20 M-20 r" << QList{72} << 72;
    QTest::newRow("press and release without travel") << 50 << 0.0 << "p r" << none << 50;
    QTest::newRow("detent holds the default")
        << 110 << 20.0 << "p m-10 m-15 r" << QList{120} << 120;
    QTest::newRow("detent lets go past its travel")
        << 100 << 20.0 << "p m-45 r" << QList{125} << 125;
    QTest::newRow("double-click resets") << 30 << 0.0 << "d" << QList{120} << 120;
    QTest::newRow("ctrl-click resets") << 30 << 0.0 << "P r" << QList{120} << 120;
    QTest::newRow("wheel notch steps coarse") << 50 << 0.0 << "w120" << QList{52} << 52;
    QTest::newRow("shift wheel steps one") << 50 << 0.0 << "W120" << QList{51} << 51;
    QTest::newRow("wheel half notches add up")
        << 50 << 0.0 << "w60 w60 w-120" << QList{52, 50} << 50;
    QTest::newRow("escape restores the value before the press")
        << 50 << 0.0 << "p m-30 E m-10 r" << QList{50} << 50;
    QTest::newRow("held key commits once on release")
        << 50 << 0.0 << "u x U x U X" << QList{56} << 56;
    QTest::newRow("home end and shift arrow") << 50 << 0.0 << "h e s" << QList{144, 0} << 0;
    QTest::newRow("program writes are not reported") << 50 << 0.0 << "i80 i200" << none << 144;
    QTest::newRow("program write during a drag loses to the hand")
        << 50 << 0.0 << "p m-5 i90 r" << QList{55} << 55;
  }

  void gestures() {
    QFETCH(int, start);
    QFETCH(double, detent);
    QFETCH(QString, script);
    QFETCH(QList<int>, commits);
    QFETCH(int, index);
    Knob knob;
    knob.setMaximum(144);
    knob.setDefaultIndex(120);
    knob.setTrackLength(144);
    knob.setDetentTravel(detent);
    knob.setIndex(start);
    knob.show();
    QVERIFY(QTest::qWaitForWindowExposed(&knob));
    QSignalSpy started(&knob, &Knob::gestureStarted);
    QSignalSpy changing(&knob, &Knob::valueChanging);
    QSignalSpy committed(&knob, &Knob::valueCommitted);
    QSignalSpy ended(&knob, &Knob::gestureEnded);

    Run(knob, script);

    QList<int> got;
    for (const QList<QVariant>& args : committed) got << args.at(0).toInt();
    QCOMPARE(got, commits);
    QCOMPARE(knob.index(), index);
    QCOMPARE(knob.shownIndex(), index);
    QCOMPARE(started.size(), ended.size());
    QVERIFY(!knob.inGesture());
    if (!commits.isEmpty()) QCOMPARE(changing.last().at(0).toInt(), commits.last());
  }

  void oneKnobDraggedAtATime() {
    QWidget window;
    auto* first = new Knob(&window);
    auto* second = new Knob(&window);
    second->move(80, 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy second_started(second, &Knob::gestureStarted);
    QTest::mousePress(first, Qt::LeftButton, {}, first->rect().center());
    QCOMPARE(Knob::Dragged(), first);
    // Only a second pointer (touch) could press another knob now; the event comes straight in.
    QMouseEvent press(QEvent::MouseButtonPress, second->rect().center(),
                      second->mapToGlobal(second->rect().center()), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(second, &press);
    QCOMPARE(second_started.size(), 0);
    QTest::mouseRelease(first, Qt::LeftButton, {}, first->rect().center());
    QCOMPARE(Knob::Dragged(), nullptr);
  }
};

QTEST_MAIN(WidgetsKnobTest)
#include "WidgetsKnobTest.moc"

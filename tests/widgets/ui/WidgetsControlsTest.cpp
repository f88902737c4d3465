#include <QApplication>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

#include "widgets/ParameterSlider.h"
#include "widgets/Theme.h"
#include "widgets/ValueEdit.h"

using tessaly::widgets::ParameterSlider;
using tessaly::widgets::ValueEdit;

namespace {
QPoint HandleCentre(ParameterSlider& slider) {
  QStyleOptionSlider option;
  option.initFrom(&slider);
  option.orientation = slider.orientation();
  option.minimum = slider.minimum();
  option.maximum = slider.maximum();
  option.sliderPosition = slider.sliderPosition();
  option.sliderValue = slider.value();
  option.upsideDown = !slider.invertedAppearance();
  return slider.style()
      ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
      .center();
}

void SendKey(QWidget& widget, QEvent::Type type, Qt::Key key, bool repeat) {
  QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
  QApplication::sendEvent(&widget, &event);
}

QList<int> Ints(const QSignalSpy& spy) {
  QList<int> values;
  for (const QList<QVariant>& args : spy) values << args.at(0).toInt();
  return values;
}
}  // namespace

class WidgetsControlsTest : public QObject {
  Q_OBJECT

 private slots:
  // Gain: 145 positions, position 1 at the top is index 144.
  void sliderDragToEitherEnd_data() {
    QTest::addColumn<int>("travel");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("index");
    QTest::newRow("past the top") << -1000 << 1 << 144;
    QTest::newRow("past the bottom") << 1000 << 145 << 0;
  }

  void sliderDragToEitherEnd() {
    QFETCH(int, travel);
    QFETCH(int, position);
    QFETCH(int, index);
    ParameterSlider slider;
    slider.setPositionCount(145);
    slider.setIndex(72);
    slider.resize(30, 200);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    QSignalSpy changing(&slider, &ParameterSlider::valueChanging);
    QSignalSpy committed(&slider, &ParameterSlider::valueCommitted);
    const QPoint handle = HandleCentre(slider);
    QTest::mousePress(&slider, Qt::LeftButton, {}, handle);
    QTest::mouseMove(&slider, handle + QPoint(0, travel / 2));
    QTest::mouseMove(&slider, handle + QPoint(0, travel));
    QVERIFY(!changing.isEmpty());
    QVERIFY(committed.isEmpty());
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, handle + QPoint(0, travel));
    QCOMPARE(Ints(committed), QList<int>{index});
    QCOMPARE(slider.position(), position);
    QCOMPARE(ParameterSlider::IndexOfPosition(145, position), index);
  }

  void sliderGestures_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QList<int>>("commits");
    QTest::addColumn<int>("index");
    QTest::newRow("held key commits once on release") << "keys" << QList{53} << 53;
    QTest::newRow("wheel notch") << "wheel" << QList{51} << 51;
    QTest::newRow("ctrl-click resets") << "ctrl-click" << QList{120} << 120;
    QTest::newRow("escape restores") << "escape" << QList{50} << 50;
    QTest::newRow("program write") << "program" << QList<int>{} << 99;
  }

  void sliderGestures() {
    QFETCH(QString, gesture);
    QFETCH(QList<int>, commits);
    QFETCH(int, index);
    ParameterSlider slider;
    slider.setPositionCount(145);
    slider.setDefaultIndex(120);
    slider.setIndex(50);
    slider.resize(30, 200);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    QSignalSpy committed(&slider, &ParameterSlider::valueCommitted);
    QSignalSpy started(&slider, &ParameterSlider::gestureStarted);
    QSignalSpy ended(&slider, &ParameterSlider::gestureEnded);
    const QPoint handle = HandleCentre(slider);
    if (gesture == u"keys") {
      SendKey(slider, QEvent::KeyPress, Qt::Key_Up, false);
      for (int i = 0; i < 2; ++i) {
        SendKey(slider, QEvent::KeyRelease, Qt::Key_Up, true);
        SendKey(slider, QEvent::KeyPress, Qt::Key_Up, true);
        QVERIFY(committed.isEmpty());
      }
      SendKey(slider, QEvent::KeyRelease, Qt::Key_Up, false);
    } else if (gesture == u"wheel") {
      QWheelEvent wheel(handle, slider.mapToGlobal(handle), {}, QPoint(0, 120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&slider, &wheel);
    } else if (gesture == u"ctrl-click") {
      QTest::mouseClick(&slider, Qt::LeftButton, Qt::ControlModifier, handle);
    } else if (gesture == u"escape") {
      QTest::mousePress(&slider, Qt::LeftButton, {}, handle);
      QTest::mouseMove(&slider, handle + QPoint(0, -40));
      QTest::keyClick(&slider, Qt::Key_Escape);
      QTest::mouseMove(&slider, handle + QPoint(0, -60));
      QTest::mouseRelease(&slider, Qt::LeftButton, {}, handle + QPoint(0, -60));
    } else {
      slider.setIndex(99);
    }
    QCOMPARE(Ints(committed), commits);
    QCOMPARE(slider.index(), index);
    QCOMPARE(started.size(), ended.size());
  }

  void editKeys_data() {
    QTest::addColumn<bool>("delay");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refused");
    QTest::newRow("point becomes the comma") << false << true << "12.5"
                                             << "12,5" << 0;
    QTest::newRow("comma becomes the point") << false << false << "-3,5"
                                             << "-3.5" << 0;
    QTest::newRow("letter becomes ?") << false << false << "1a2"
                                      << "1?2" << 1;
    QTest::newRow("ratio colon refused") << false << false << "4:1"
                                         << "4?1" << 1;
    QTest::newRow("delay: other keys become blanks") << true << false << "-12x5 m"
                                                     << " 12 5  " << 0;
    QTest::newRow("delay: comma locale") << true << true << "12.5"
                                         << "12,5" << 0;
  }

  void editKeys() {
    QFETCH(bool, delay);
    QFETCH(bool, comma);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, refused);
    ValueEdit edit;
    edit.setKeyRules(delay ? ValueEdit::KeyRules::kDelay : ValueEdit::KeyRules::kNumber);
    edit.setDecimalComma(comma);
    QSignalSpy refusals(&edit, &ValueEdit::keyRefused);
    QSignalSpy committed(&edit, &ValueEdit::textCommitted);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.text(), text);
    QCOMPARE(refusals.size(), refused);
    QVERIFY(committed.isEmpty());
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(committed.size(), 1);
    QCOMPARE(committed.at(0).at(0).toString(), text.chopped(1));
  }

  void theme_data() {
    QTest::addColumn<QByteArray>("scheme");
    QTest::addColumn<bool>("dark");
    QTest::newRow("system") << QByteArray() << true;
    QTest::newRow("asked for light") << QByteArray("light") << false;
    QTest::newRow("asked for dark") << QByteArray("dark") << true;
  }

  void theme() {
    QFETCH(QByteArray, scheme);
    QFETCH(bool, dark);
    qputenv("TESSALY_COLOR_SCHEME", scheme);
    tessaly::widgets::ApplyTheme(*qApp);
    qunsetenv("TESSALY_COLOR_SCHEME");
    QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
    const QPalette palette = QApplication::palette();
    QCOMPARE(palette.color(QPalette::Window).lightness() < 128, dark);
    // Disabled text must read on its own ground yet differ from enabled text.
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      const QColor disabled = palette.color(QPalette::Disabled, role);
      QVERIFY(disabled != palette.color(QPalette::Active, role));
      const QColor ground = palette.color(QPalette::Disabled, QPalette::Window);
      QVERIFY2(std::abs(disabled.lightness() - ground.lightness()) > 50,
               qPrintable(disabled.name() + " on " + ground.name()));
    }
  }
};

QTEST_MAIN(WidgetsControlsTest)
#include "WidgetsControlsTest.moc"

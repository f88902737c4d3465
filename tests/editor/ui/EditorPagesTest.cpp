#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

#include "device/DeviceTypes.h"
#include "editor/ChannelPage.h"
#include "editor/DelaysPage.h"
#include "editor/GainsPage.h"
#include "editor/MuteButton.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/FamilyBSimFixture.h"
#include "widgets/Knob.h"
#include "widgets/ParameterSlider.h"
#include "widgets/ValueEdit.h"

using tessaly::editor::ChannelPage;
using tessaly::editor::EditorContext;
using tessaly::widgets::Knob;
using tessaly::widgets::ParameterSlider;
using tessaly::widgets::ValueEdit;
namespace protocol = tessaly::protocol;
namespace test = tessaly::test;

namespace {

constexpr int kA = tessaly::device::kTypeRk540;
constexpr int kA360 = tessaly::device::kTypeRk360;
constexpr int kB = tessaly::device::kType540S;
constexpr int kSlot = test::ProtocolDeviceFixture::kSlot;

// An emulated device over TCP, the run's store and edit path, and the context pages work on.
struct Rig : test::ProtocolDeviceFixture {
  explicit Rig(int type, bool comma = false) : ProtocolDeviceFixture(type) {
    context.decimal_comma = comma;
  }
  QString Difference() { return QString::fromStdString(DeviceDifference()); }

  tessaly::graph::ResponseCurves curves{store_};
  tessaly::model::EditPath edits{store_, curves, dispatcher_};
  EditorContext context{edits, messenger_, kSlot, false};
};

template <typename W>
W* Find(QWidget& page, const QString& name) {
  W* widget = page.findChild<W*>(name);
  if (widget == nullptr) qWarning("no %s", qPrintable(name));
  return widget;
}

void Type(ValueEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

void Drag(QWidget* widget, int dy) {
  const QPoint centre = widget->rect().center();
  QTest::mousePress(widget, Qt::LeftButton, {}, centre);
  // Moves a hand makes, with time for each to go out.
  for (const int step : {dy / 100, dy / 50, dy / 20, dy}) {
    QTest::mouseMove(widget, centre + QPoint(0, step));
    QTest::qWait(5);
  }
  QTest::mouseRelease(widget, Qt::LeftButton, {}, centre + QPoint(0, dy));
}

}  // namespace

class EditorPagesTest : public QObject {
  Q_OBJECT

 private slots:
  // Enter in a text box: the value is written back in the box's own form, shown on the slider
  // and sent as one packet; the device then holds what the PC holds. (Clamping and snapping of
  // typed text are the descriptors' to catch, the packets the family operations'.)
  void textSends_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");  // slider position from the top
    QTest::newRow("gain") << kB << 6 << "gainEdit"
                          << "-6.0"
                          << "-6" << 37;
    QTest::newRow("compressor threshold") << kA << 0 << "compThresholdEdit"
                                          << "-6"
                                          << "-6" << 91;
    QTest::newRow("knee") << kA << 1 << "compKneeEdit"
                          << "0"
                          << "0" << 101;
    QTest::newRow("gate threshold") << kA << 0 << "gateThresholdEdit"
                                    << "-75"
                                    << "-75" << 4;
    QTest::newRow("limiter release") << kB << 5 << "limReleaseEdit"
                                     << "2"
                                     << "2.0" << 31;
  }

  void textSends() {
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, position);
    Rig rig(type);
    ChannelPage page(rig.context, channel);
    auto* box = Find<ValueEdit>(page, edit);
    QVERIFY(box);
    const qsizetype before = rig.sent.size();
    Type(box, typed);
    QCOMPARE(box->text(), shown);
    auto* slider = Find<ParameterSlider>(page, QString(edit).replace("Edit", "Slider"));
    QCOMPARE(slider->position(), position);
    QCOMPARE(rig.sent.size(), before + 1);
    QCOMPARE(rig.Difference(), QString());
    QVERIFY(rig.messenger_.shown.isEmpty());
  }

  // Each value control says what it sets and the values it takes.
  void controlsSayTheirRange() {
    Rig rig(kA);
    ChannelPage page(rig.context, 0);
    const struct {
      const char* control;
      const char* tip;
    } rows[] = {{"gainEdit", "Gain: dB, -60 to +12 in 0.5 dB steps"},
                {"gainSlider", "Gain: dB, -60 to +12 in 0.5 dB steps"},
                {"compThresholdEdit", "Compressor Threshold: dB"},
                {"eqGainKnob0", "EQ Gain: dB"}};
    for (const auto& row : rows) {
      QWidget* control = Find<QWidget>(page, QString::fromLatin1(row.control));
      QVERIFY2(control != nullptr, row.control);
      QVERIFY2(control->toolTip().startsWith(QLatin1String(row.tip)),
               qPrintable(control->toolTip()));
    }
  }

  // The delay text in either unit, and the up-downs that show milliseconds and samples.
  void delayText_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("shown");
    QTest::newRow("point on a comma locale")
        << kA << 0 << true << 2 << "12.5" << 12 << 24 << "12,499";
    QTest::newRow("metres, text after a blank ignored")
        << kB << 1 << false << 4 << "3.4 5" << 10 << 0 << "3.4";
    QTest::newRow("metres past the output limit")
        << kB << 1 << false << 6 << "999" << 540 << 48 << "183.93932";
  }

  void delayText() {
    QFETCH(int, type);
    QFETCH(int, unit);
    QFETCH(bool, comma);
    QFETCH(int, channel);
    QFETCH(QString, typed);
    QFETCH(int, ms);
    QFETCH(int, samples);
    QFETCH(QString, shown);
    Rig rig(type, comma);
    rig.state().delay_unit = static_cast<uint8_t>(unit);
    ChannelPage page(rig.context, channel);
    auto* box = Find<ValueEdit>(page, "delayEdit");
    const qsizetype before = rig.sent.size();
    Type(box, typed);
    QCOMPARE(Find<QSpinBox>(page, "delayMsSpin")->value(), ms);
    QCOMPARE(Find<QSpinBox>(page, "delaySamplesSpin")->value(), samples);
    QCOMPARE(box->text(), shown);
    QCOMPARE(rig.sent.size(), before + 1);
    QCOMPARE(rig.Difference(), QString());
  }

  // What a box cannot read is refused with the one message, and nothing goes out.
  void refusedText_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("letter in a gain") << kA << "gainEdit"
                                      << "1x"
                                      << "1?";
    QTest::newRow("sign alone") << kB << "compMakeupEdit"
                                << "-"
                                << "-";
    QTest::newRow("empty delay") << kA << "delayEdit"
                                 << "   "
                                 << "   ";
  }

  void refusedText() {
    QFETCH(int, type);
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    Rig rig(type);
    ChannelPage page(rig.context, 0);
    auto* box = Find<ValueEdit>(page, edit);
    const qsizetype before = rig.sent.size();
    Type(box, typed);
    QCOMPARE(box->text(), left);
    QCOMPARE(rig.sent.size(), before);
    QVERIFY(!rig.messenger_.shown.isEmpty());
    for (const auto& message : rig.messenger_.shown) {
      QCOMPARE(message.text, QStringLiteral("  Incorrect value"));
      QCOMPARE(message.title, QStringLiteral("Warning"));
    }
  }

  // A knob dragged past either end of its track stops at the end; the whole drag is one undo
  // entry and the device ends with what the knob shows.
  void knobDrag_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("dy");
    QTest::addColumn<int>("position");
    QTest::newRow("gain above the top") << kA << 0 << "gain" << -2000 << 1;
    QTest::newRow("gain below the bottom") << kA << 4 << "gain" << 2000 << 145;
    QTest::newRow("ratio to the top") << kB << 1 << "compRatio" << -2000 << 1;
    QTest::newRow("limiter attack to the top") << kB << 6 << "limAttack" << -2000 << 1;
  }

  void knobDrag() {
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(QString, control);
    QFETCH(int, dy);
    QFETCH(int, position);
    Rig rig(type);
    ChannelPage page(rig.context, channel);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto* knob = Find<Knob>(page, control + "Knob");
    const size_t entries = rig.edits.Undo(kSlot).Count();
    const qsizetype before = rig.sent.size();
    Drag(knob, dy);
    QCOMPARE(Find<ParameterSlider>(page, control + "Slider")->position(), position);
    QCOMPARE(knob->index(), Find<ParameterSlider>(page, control + "Slider")->index());
    QVERIFY(rig.sent.size() > before);
    QCOMPARE(rig.edits.Undo(kSlot).Count(), entries + 1);
    QCOMPARE(rig.Difference(), QString());
  }

  // While an exchange runs, knob moves only show; the latest one goes out once, when the line
  // is free.
  void knobWaitsForTheLine() {
    Rig rig(kA);
    ChannelPage page(rig.context, 2);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto* knob = Find<Knob>(page, "gainKnob");
    auto* edit = Find<ValueEdit>(page, "gainEdit");
    const QPoint centre = knob->rect().center();
    // The moves come while a slow device keeps a versions request waiting.
    rig.device().SetDelayMs(300);
    const qsizetype before = rig.sent.size() + 1;
    QString shown;
    bool held = false;
    QTimer::singleShot(0, [&] {
      QTest::mousePress(knob, Qt::LeftButton, {}, centre);
      QTest::mouseMove(knob, centre + QPoint(0, -20));
      QTest::mouseMove(knob, centre + QPoint(0, -40));
      QTest::qWait(30);
      held = rig.sent.size() == before;
      shown = edit->text();
    });
    QVERIFY(rig.comm_.Exchange(kSlot, tessaly::device::kCmdVersions).answered());
    rig.device().SetDelayMs(0);
    QVERIFY(held);
    QVERIFY(shown != QStringLiteral("0"));
    QTRY_COMPARE(rig.sent.size(), before + 1);
    QTest::mouseRelease(knob, Qt::LeftButton, {}, centre + QPoint(0, -40));
    QCOMPARE(rig.sent.size(), before + 1);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(rig.Difference(), QString());
    QCOMPARE(rig.edits.Index({kSlot, tessaly::model::ParamId::kGain, 2, -1}), knob->index());
  }

  // Arrow keys on a slider or a knob step the display; the key's release sends once.
  void keysSendOnRelease_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("slider") << "gainSlider";
    QTest::newRow("knob") << "gainKnob";
  }

  void keysSendOnRelease() {
    QFETCH(QString, control);
    Rig rig(kB);
    ChannelPage page(rig.context, 0);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto* widget = Find<QWidget>(page, control);
    auto* slider = Find<ParameterSlider>(page, "gainSlider");
    const qsizetype before = rig.sent.size();
    const int start = slider->index();
    widget->setFocus();
    QTest::keyPress(widget, Qt::Key_Up, Qt::ShiftModifier);
    QTest::qWait(20);
    QTest::keyPress(widget, Qt::Key_Up, Qt::ShiftModifier);
    QTest::qWait(20);
    QCOMPARE(rig.sent.size(), before);
    QCOMPARE(start, 120);
    QCOMPARE(Find<ValueEdit>(page, "gainEdit")->text(), QStringLiteral("1"));
    QTest::keyRelease(widget, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(rig.sent.size(), before + 1);
    QCOMPARE(slider->index(), start + 2);
    QCOMPARE(Find<Knob>(page, "gainKnob")->index(), start + 2);
    QCOMPARE(rig.Difference(), QString());
  }

  // Buttons and boxes: one click, one packet, and the device follows.
  void switches_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("control");
    QTest::newRow("mute") << kA << 1 << "muteButton";
    QTest::newRow("polarity") << kB << 5 << "polarityCheck";
    QTest::newRow("gate bypass") << kA << 0 << "gateBypassCheck";
    QTest::newRow("compressor bypass") << kB << 3 << "compBypassCheck";
    QTest::newRow("limiter bypass") << kA << 4 << "limBypassCheck";
  }

  void switches() {
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(QString, control);
    Rig rig(type);
    ChannelPage page(rig.context, channel);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto* button = Find<QAbstractButton>(page, control);
    const bool was = button->isChecked();
    const qsizetype before = rig.sent.size();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    QCOMPARE(button->isChecked(), !was);
    QCOMPARE(rig.sent.size(), before + 1);
    QCOMPARE(rig.Difference(), QString());
  }

  // An edit on a linked leader repaints the follower's page and the desk at once.
  void linkedFollowerRepaints() {
    Rig rig(kB);
    rig.state().link_member[4] = 1;
    rig.state().link_member[5] = 1;
    ChannelPage leader(rig.context, 4);
    ChannelPage follower(rig.context, 5);
    tessaly::editor::GainsPage desk(rig.context);
    Type(Find<ValueEdit>(leader, "gainEdit"), "-6");
    QCOMPARE(Find<ValueEdit>(follower, "gainEdit")->text(), QStringLiteral("-6"));
    QCOMPARE(Find<ParameterSlider>(follower, "gainSlider")->position(), 37);
    QCOMPARE(Find<Knob>(follower, "gainKnob")->index(), 108);
    auto* strip = Find<QWidget>(desk, "stripRight");
    QCOMPARE(Find<ValueEdit>(*strip, "gainEdit")->text(), QStringLiteral("-6"));
    QCOMPARE(rig.Difference(), QString());
  }

  // A program that arrives whole (recall, preset) repaints every control of the page.
  void wholeProgramRepaints() {
    Rig rig(kA);
    ChannelPage page(rig.context, 1);
    QCOMPARE(rig.ops().SendGain(kSlot, 1, 100), protocol::EditResult::kDone);
    QCOMPARE(rig.ops().SendMute(kSlot, 1, true), protocol::EditResult::kDone);
    QCOMPARE(rig.ops().SendDelay(kSlot, 1, 7, 3), protocol::EditResult::kDone);
    rig.store_.NotifyProgramChanged(kSlot);
    QCOMPARE(Find<ValueEdit>(page, "gainEdit")->text(), QStringLiteral("-10"));
    QCOMPARE(Find<Knob>(page, "gainKnob")->index(), 100);
    QVERIFY(Find<QAbstractButton>(page, "muteButton")->isChecked());
    QCOMPARE(Find<QSpinBox>(page, "delayMsSpin")->value(), 7);
    QCOMPARE(Find<QSpinBox>(page, "delaySamplesSpin")->value(), 3);
  }

  // The unit choice is the PC's own: it rewrites every delay text and sends nothing.
  void delayUnitRewritesTexts() {
    Rig rig(kA);
    rig.state().delay_unit = protocol::kDelayUnitMeter;
    tessaly::editor::DelaysPage page(rig.context);
    auto* row = Find<QWidget>(page, "delayLeft");
    Type(Find<ValueEdit>(*row, "delayEdit"), "3.4");
    QCOMPARE(Find<ValueEdit>(*row, "delayEdit")->text(), QStringLiteral("3.4"));
    const qsizetype before = rig.sent.size();
    Find<QRadioButton>(page, "timeOption")->click();
    QCOMPARE(rig.state().delay_unit, protocol::kDelayUnitTime);
    QCOMPARE(Find<ValueEdit>(*row, "delayEdit")->text(), QStringLiteral("10"));
    QCOMPARE(Find<QLabel>(*row, "delayUnitLabel")->text(), QStringLiteral("Delay [ ms ]"));
    QCOMPARE(rig.sent.size(), before);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  EditorPagesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "EditorPagesTest.moc"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>
#include <QtTest>

#include "EditorRig.h"
#include "device/DeviceTypes.h"
#include "editor/DeviceSettingsPanel.h"
#include "widgets/ValueEdit.h"

using tessaly::editor::DeviceSettingsPanel;
using tessaly::test::EditorRig;
using tessaly::test::Find;

namespace {

constexpr int kA = tessaly::device::kTypeRk540;
constexpr int kB = tessaly::device::kType540S;
constexpr int kToggled = -1;  // the switch's other state
constexpr int kMoved = -2;    // any index but the one before

// What the user does to the named control.
void Act(QWidget& panel, const QString& name, const QString& action) {
  QWidget* widget = Find(panel, name);
  QVERIFY(widget);
  if (action == QLatin1String("click")) {
    // Check and radio boxes take clicks on their mark and caption only, at the left.
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
  } else if (action.startsWith(QLatin1String("pick:"))) {
    auto* combo = qobject_cast<QComboBox*>(widget);
    const int index = action.mid(5).toInt();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  } else if (action.startsWith(QLatin1String("type:"))) {
    widget->setFocus();
    static_cast<QLineEdit*>(widget)->clear();
    QTest::keyClicks(widget, action.mid(5));
    QTest::keyClick(widget, Qt::Key_Return);
  } else if (action == QLatin1String("drag up")) {
    auto* slider = qobject_cast<QSlider*>(widget);
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->value();
    option.upsideDown = !slider->invertedAppearance();
    const QPoint handle =
        slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center();
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    for (int step = 1; step <= 4; ++step) QTest::mouseMove(slider, handle - QPoint(0, 10 * step));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, handle - QPoint(0, 40));
  } else if (action == QLatin1String("key up")) {
    widget->setFocus();
    QTest::keyPress(widget, Qt::Key_Up);
    QTest::keyRelease(widget, Qt::Key_Up);
  }
}

}  // namespace

class DeviceSettingsPanelTest : public QObject {
  Q_OBJECT

 private slots:
  // Each control sends what the edit path sends for its new value, once, and the device's
  // memory ends equal to the PC's record.
  void controlSendsItsParameter_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("expected");
    QTest::newRow("radio: input source") << kA << "inputSourceOption2"
                                         << "click"
                                         << "input.source" << -1 << 2;
    QTest::newRow("radio: analog pair") << kA << "analogModeOption0"
                                        << "click"
                                        << "input.analog" << -1 << 0;
    QTest::newRow("radio: digital B") << kB << "digitalModeOption1"
                                      << "click"
                                      << "input.digital" << -1 << 1;
    QTest::newRow("radio: leds A") << kA << "ledModeOption0"
                                   << "click"
                                   << "meter" << -1 << 0;
    QTest::newRow("radio: leds B") << kB << "ledModeOption1"
                                   << "click"
                                   << "meter" << -1 << 1;
    QTest::newRow("radio: pink noise") << kA << "noiseTypeOption1"
                                       << "click"
                                       << "noise.type" << -1 << 1;
    QTest::newRow("combo: drive A") << kA << "driveComboRight"
                                    << "pick:0"
                                    << "drive" << 3 << 0;
    QTest::newRow("combo: drive B") << kB << "driveComboSub"
                                    << "pick:0"
                                    << "drive" << 6 << 0;
    QTest::newRow("combo: routing") << kA << "routingComboSub"
                                    << "pick:2"
                                    << "source" << 4 << 2;
    QTest::newRow("check: line out A") << kA << "lineOutCheck"
                                       << "click"
                                       << "lineout" << -1 << kToggled;
    QTest::newRow("check: line out B") << kB << "lineOutCheck"
                                       << "click"
                                       << "lineout" << -1 << kToggled;
    QTest::newRow("check: sleep") << kA << "sleepCheck"
                                  << "click"
                                  << "sleep" << -1 << kToggled;
    QTest::newRow("check: noise enable") << kB << "noiseEnableCheck"
                                         << "click"
                                         << "noise.enable" << -1 << kToggled;
    QTest::newRow("check: line input") << kB << "lineInputCheck"
                                       << "click"
                                       << "trigger.input" << -1 << kToggled;
    QTest::newRow("check: mirroring") << kB << "standbyMirroringCheck"
                                      << "click"
                                      << "trigger.standby" << -1 << kToggled;
    QTest::newRow("link: inputs A") << kA << "linkCheckInL"
                                    << "click"
                                    << "link" << 0 << kToggled;
    QTest::newRow("link: sub A") << kA << "linkCheckSub"
                                 << "click"
                                 << "link" << 4 << kToggled;
    QTest::newRow("link: input B") << kB << "linkCheckIn2L"
                                   << "click"
                                   << "link" << 2 << kToggled;
    QTest::newRow("link: output B") << kB << "linkCheckRight"
                                    << "click"
                                    << "link" << 5 << kToggled;
    QTest::newRow("standby") << kA << "standbyButton"
                             << "click"
                             << "standby" << -1 << kToggled;
    QTest::newRow("text: noise level") << kA << "noiseLevelEdit"
                                       << "type:-12"
                                       << "noise.level" << -1 << 28;
    QTest::newRow("text: above 0 dB") << kB << "noiseLevelEdit"
                                      << "type:5"
                                      << "noise.level" << -1 << 40;
    QTest::newRow("knob: key") << kA << "noiseLevelKnob"
                               << "key up"
                               << "noise.level" << -1 << kMoved;
    QTest::newRow("slider: drag") << kA << "noiseLevelSlider"
                                  << "drag up"
                                  << "noise.level" << -1 << kMoved;
  }

  void controlSendsItsParameter() {
    QFETCH(int, type);
    QFETCH(QString, widget);
    QFETCH(QString, action);
    QFETCH(QString, id);
    QFETCH(int, channel);
    QFETCH(int, expected);
    EditorRig rig(type);
    EditorRig twin(type);
    DeviceSettingsPanel panel(rig.context);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    const int before = rig.Index(id, channel);
    Act(panel, widget, action);

    const int after = rig.Index(id, channel);
    if (expected == kToggled) QCOMPARE(after, 1 - before);
    if (expected == kMoved) QVERIFY(after != before);
    if (expected >= 0) QCOMPARE(after, expected);
    twin.path.SetIndex(twin.Target(id, channel), after);
    QVERIFY(!twin.sent.isEmpty());
    QCOMPARE(rig.Sent(), twin.Sent());
    QCOMPARE(rig.DeviceDifference(), std::string());
    QVERIFY(rig.messenger_.shown.isEmpty());
  }

  // Ticking two link boxes makes an edit on one repeat on the other, and its control shows it.
  void linkedOutputFollows_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("leader");
    QTest::addColumn<QString>("follower");
    QTest::addColumn<QString>("bystander");
    QTest::newRow("A") << kA << "Left"
                       << "Sub"
                       << "Right";
    QTest::newRow("B") << kB << "Right"
                       << "Left"
                       << "Sub";
  }

  void linkedOutputFollows() {
    QFETCH(int, type);
    QFETCH(QString, leader);
    QFETCH(QString, follower);
    QFETCH(QString, bystander);
    EditorRig rig(type);
    DeviceSettingsPanel panel(rig.context);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    Act(panel, QStringLiteral("linkCheck") + leader, QStringLiteral("click"));
    Act(panel, QStringLiteral("linkCheck") + follower, QStringLiteral("click"));
    auto* lead = Find<QComboBox>(panel, QStringLiteral("driveCombo") + leader);
    auto* follow = Find<QComboBox>(panel, QStringLiteral("driveCombo") + follower);
    auto* stand = Find<QComboBox>(panel, QStringLiteral("driveCombo") + bystander);
    const int other = 1 - lead->currentIndex();
    const int bystander_before = stand->currentIndex();
    rig.sent.clear();
    Act(panel, lead->objectName(), QStringLiteral("pick:%1").arg(other));
    QCOMPARE(follow->currentIndex(), other);
    QCOMPARE(stand->currentIndex(), bystander_before);
    QCOMPARE(rig.sent.size(), 2);
    QCOMPARE(rig.DeviceDifference(), std::string());
  }

  // A program that arrives as a whole is shown without a packet going out.
  void programChangeRepaints() {
    EditorRig rig(kA);
    DeviceSettingsPanel panel(rig.context);
    tessaly::protocol::SlotState& state = rig.state();
    state.meter_mode = 0;
    state.link_member[3] = 1;
    state.noise_level = 28;
    state.speaker_drive[0] = 0;
    state.standby = 1;
    rig.sent.clear();
    rig.store_.NotifyProgramChanged(EditorRig::kSlot);
    QVERIFY(Find<QRadioButton>(panel, "ledModeOption0")->isChecked());
    QVERIFY(Find<QCheckBox>(panel, "linkCheckRight")->isChecked());
    QCOMPARE(Find<QLineEdit>(panel, "noiseLevelEdit")->text(), QStringLiteral("-12"));
    QCOMPARE(Find<QComboBox>(panel, "driveComboLeft")->currentIndex(), 0);
    QVERIFY(Find<QToolButton>(panel, "standbyButton")->isChecked());
    QVERIFY(rig.sent.isEmpty());
    panel.show();
    tessaly::test::Shoot(panel, QStringLiteral("settings-a"));
  }

  // Unreadable text is answered with the warning, and nothing is sent.
  void unreadableLevelIsRefused() {
    EditorRig rig(kA);
    DeviceSettingsPanel panel(rig.context);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    rig.sent.clear();
    Act(panel, QStringLiteral("noiseLevelEdit"), QStringLiteral("type:-"));
    QCOMPARE(rig.messenger_.shown.size(), 1);
    QCOMPARE(rig.messenger_.shown[0].text, QStringLiteral("  Incorrect value"));
    QCOMPARE(rig.messenger_.shown[0].title, QStringLiteral("Warning"));
    QVERIFY(rig.sent.isEmpty());
  }

  // While the input trigger is on, the standby button neither sends nor changes standby.
  void inputTriggerLocksStandby() {
    EditorRig rig(kB);
    DeviceSettingsPanel panel(rig.context);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto* standby = Find<QToolButton>(panel, QStringLiteral("standbyButton"));
    if (rig.Index(QStringLiteral("trigger.input")) == 0) {
      Act(panel, QStringLiteral("lineInputCheck"), QStringLiteral("click"));
    }
    const int before = rig.Index(QStringLiteral("standby"));
    QCOMPARE(standby->toolTip(), QStringLiteral("Input Trigger Enabled: Button Disabled"));
    rig.sent.clear();
    Act(panel, standby->objectName(), QStringLiteral("click"));
    QVERIFY(rig.sent.isEmpty());
    QCOMPARE(rig.Index(QStringLiteral("standby")), before);
    Act(panel, QStringLiteral("lineInputCheck"), QStringLiteral("click"));
    Act(panel, standby->objectName(), QStringLiteral("click"));
    QCOMPARE(rig.Index(QStringLiteral("standby")), 1 - before);
    tessaly::test::Shoot(panel, QStringLiteral("settings-b"));
  }

  // The noise level's arc grows from the quiet end: short at -40 dB, the whole sweep at 0 dB.
  void noiseLevelArcFromTheQuietEnd() {
    EditorRig rig(kA);
    DeviceSettingsPanel panel(rig.context);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto* knob = Find(panel, QStringLiteral("noiseLevelKnob"));
    const auto lit = [&](const char* level) {
      Act(panel, QStringLiteral("noiseLevelEdit"), QStringLiteral("type:") + level);
      const QImage image = knob->grab().toImage();
      const QColor arc = knob->palette().color(QPalette::Highlight);
      int count = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == arc ? 1 : 0;
      }
      return count;
    };
    const int quiet = lit("-40");
    const int loud = lit("0");
    QVERIFY2(quiet * 10 < loud, qPrintable(QStringLiteral("%1 / %2").arg(quiet).arg(loud)));
    QVERIFY(lit("-20") > quiet);
  }
};

QTEST_MAIN(DeviceSettingsPanelTest)
#include "DeviceSettingsPanelTest.moc"

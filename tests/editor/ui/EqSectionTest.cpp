#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

#include "comm/LinkLossText.h"
#include "device/DeviceTypes.h"
#include "editor/CrossoverControls.h"
#include "editor/EqBandControls.h"
#include "editor/EqGraphPanel.h"
#include "editor/EqSection.h"
#include "editor/ui/EditorRig.h"
#include "widgets/ParameterSlider.h"
#include "widgets/ValueEdit.h"

using tessaly::editor::EqGraphPanel;
using tessaly::editor::EqSection;
using tessaly::widgets::ParameterSlider;
using tessaly::widgets::ValueEdit;
namespace test = tessaly::test;

namespace {

constexpr int kA = tessaly::device::kTypeRk540;
constexpr int kB = tessaly::device::kType540S;
constexpr int kSlot = test::EditorRig::kSlot;

// An emulated device, its edit path and one channel's EQ section on screen.
struct EqRig : test::EditorRig {
  EqRig(int type, int ch, bool comma = false) : EditorRig(type), channel(ch) {
    context.decimal_comma = comma;
    section = std::make_unique<EqSection>(context, channel);
    section->resize(1100, 520);
    section->show();
    if (!QTest::qWaitForWindowExposed(section.get())) qWarning("section not shown");
  }
  template <typename W = QWidget>
  W* Get(const QString& name) {
    return test::Find<W>(*section, name);
  }
  QString Last() const { return sent.isEmpty() ? QString() : Sent().back(); }
  // The panel shows what a fresh computation of the device's record gives, and the device holds
  // what the PC holds.
  void CheckCurveAndDevice() {
    tessaly::graph::ResponseCurves fresh(store_);
    QVERIFY(fresh.RecomputeAll(kSlot));
    const auto& shown = section->panel()->ShownCurve();
    for (int p = 0; p < tessaly::graph::kGraphPoints; ++p) {
      QVERIFY2(std::abs(shown[p] - *fresh.ChannelValue(kSlot, channel, p)) < 1e-9,
               qPrintable(QString::number(p)));
    }
    QCOMPARE(QString::fromStdString(DeviceDifference()), QString());
  }

  int channel;
  std::unique_ptr<EqSection> section;
};

void Type(QWidget* edit, const QString& text) {
  static_cast<ValueEdit*>(edit)->selectAll();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

class EqSectionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  // A device that falls silent while a marker is dragged is reported once, at the release.
  void lostReplyAtTheRelease() {
    EqRig rig(kB, 4);
    EqGraphPanel* panel = rig.section->panel();
    const QPoint start = panel->MarkerCentre(2);
    QTest::mousePress(panel, Qt::LeftButton, {}, start);
    QTest::mouseMove(panel, start + QPoint(30, -40));
    rig.device().SetSilent(true);
    QTest::mouseRelease(panel, Qt::LeftButton, {}, start + QPoint(30, -40));
    QTest::qWait(100);
    QCOMPARE(rig.messenger_.shown.size(), 1);
    QCOMPARE(rig.messenger_.shown[0].title, QString::fromLatin1(tessaly::comm::kLinkLossTitle));
  }

  // Enter in a band's text: clamped or snapped, rewritten, sent as one band packet.
  void bandText_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("packet");
    QTest::addColumn<int>("band_type");  // set before the page opens; -1 leaves the default
    QTest::newRow("frequency above") << kA << 0 << false << "eqFreqEdit0"
                                     << "25000"
                                     << "20000"
                                     << "05 00 00 00 00 4E 20 09 1E" << -1;
    QTest::newRow("frequency below") << kB << 5 << false << "eqFreqEdit4"
                                     << "5"
                                     << "20"
                                     << "05 05 04 00 00 00 14 09 1E" << -1;
    QTest::newRow("gain above") << kA << 2 << false << "eqGainEdit1"
                                << "20"
                                << "15"
                                << "05 02 01 00 00 00 FA 09 3C" << -1;
    QTest::newRow("gain snapped") << kB << 0 << false << "eqGainEdit11"
                                  << "-3.3"
                                  << "-3.5"
                                  << "05 00 0B 00 00 3E 80 09 17" << -1;
    QTest::newRow("bell Q") << kA << 1 << false << "eqQEdit3"
                            << "0.707"
                            << "0.71"
                            << "" << -1;
    QTest::newRow("shelf Q cut to four characters") << kA << 1 << false << "eqQEdit3"
                                                    << "0.7299"
                                                    << "0.7"
                                                    << "" << 1;
    QTest::newRow("notch Q") << kB << 6 << false << "eqQEdit2"
                             << "50.7"
                             << "51"
                             << "" << 5;
    QTest::newRow("Q on a comma locale") << kA << 1 << true << "eqQEdit3"
                                         << "1.5"
                                         << "1,5"
                                         << "" << -1;
  }

  void bandText() {
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(bool, comma);
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, packet);
    QFETCH(int, band_type);
    EqRig rig(type, channel, comma);
    const int band = edit.right(edit.size() - edit.indexOf(QRegularExpression("\\d"))).toInt();
    if (band_type >= 0) rig.path.SetIndex(rig.Target("eq.N.type", channel, band), band_type);
    const qsizetype before = rig.sent.size();
    Type(rig.Get(edit), typed);
    QCOMPARE(rig.Get<ValueEdit>(edit)->text(), shown);
    QCOMPARE(rig.sent.size(), before + 1);
    if (!packet.isEmpty()) QCOMPARE(rig.Last(), "8D 1F 00 " + packet + " F7");
    QVERIFY(rig.messenger_.shown.isEmpty());
    rig.CheckCurveAndDevice();
  }
  // What a box cannot take raises its own message; nothing goes out.
  void refused_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("message");
    QTest::newRow("letter in a band frequency") << 0 << "eqFreqEdit2"
                                                << "x"
                                                << ""
                                                << "  Incorrect value";
    QTest::newRow("sign in a band frequency") << 0 << "eqFreqEdit2"
                                              << "-"
                                              << ""
                                              << "  Incorrect value";
    QTest::newRow("letter in a Q") << 2 << "eqQEdit0"
                                   << "q"
                                   << "?"
                                   << "  Incorrect Q value";
    QTest::newRow("letter in a crossover frequency") << 3 << "hpFreqEdit"
                                                     << "1k"
                                                     << "1?"
                                                     << "  Incorrect f value";
  }

  void refused() {
    QFETCH(int, channel);
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QFETCH(QString, message);
    EqRig rig(kA, channel);
    auto* box = rig.Get<ValueEdit>(edit);
    box->clear();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), left);
    QCOMPARE(rig.messenger_.shown.size(), 1);
    QCOMPARE(rig.messenger_.shown.front().text, message);
    QCOMPARE(rig.messenger_.shown.front().title, QStringLiteral("Warning"));
    const qsizetype before = rig.sent.size();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(rig.sent.size(), before);
    QCOMPARE(rig.messenger_.shown.back().text, message);
  }

  // The "Filter Type" menu: the current type checked; the same type changes nothing, a new one
  // brings the gain back to 0 dB.
  void typeMenu() {
    EqRig rig(kB, 1);
    const auto gain = rig.Target("eq.N.gain", 1, 2);
    rig.path.SetIndex(gain, 50);
    auto* controls = rig.section->band(2);
    controls->PopUpTypeMenu();
    const QList<QAction*> items = controls->typeMenu()->actions();
    QCOMPARE(items.size(), 6);
    QCOMPARE(items[5]->text(), QStringLiteral("Notch Filter"));
    QVERIFY(items[0]->isChecked());
    const qsizetype before = rig.sent.size();
    items[0]->trigger();
    QCOMPARE(rig.sent.size(), before);
    QCOMPARE(rig.Index("eq.N.gain", 1, 2), 50);
    controls->PopUpTypeMenu();
    items[2]->trigger();
    QCOMPARE(rig.Last(), QStringLiteral("8D 1F 00 05 01 02 00 02 00 64 09 1E F7"));
    QCOMPARE(rig.Get<QToolButton>("eqTypeButton2")->text(), QStringLiteral("LoShQ"));
    QCOMPARE(rig.Get<ParameterSlider>("eqGainSlider2")->position(), 31);
    controls->PopUpTypeMenu();
    QVERIFY(items[2]->isChecked() && !items[0]->isChecked());
    rig.CheckCurveAndDevice();
  }

  // Flat EQ asks first; No leaves every band, Yes flattens them. Bypasses go out at a click.
  void switches() {
    EqRig rig(kA, 3);
    rig.path.SetIndex(rig.Target("eq.N.gain", 3, 4), 44);
    rig.messenger_.answers = {tessaly::device::MessageAnswer::kNo};
    qsizetype before = rig.sent.size();
    rig.Get<QAbstractButton>("eqFlatButton")->click();
    QCOMPARE(rig.messenger_.shown.back().title, QStringLiteral("EQ Flat"));
    QCOMPARE(rig.messenger_.shown.back().text, QStringLiteral("               Are you sure ? "));
    QCOMPARE(rig.sent.size(), before);
    QCOMPARE(rig.Index("eq.N.gain", 3, 4), 44);
    rig.Get<QAbstractButton>("eqFlatButton")->click();
    QVERIFY(rig.sent.size() > before);
    QCOMPARE(rig.Index("eq.N.gain", 3, 4), 30);
    QCOMPARE(rig.Get<ValueEdit>("eqGainEdit4")->text(), QStringLiteral("0"));
    rig.Get<QAbstractButton>("eqBypass1")->click();
    QCOMPARE(rig.Last().left(20), QStringLiteral("8D 1F 00 05 03 01 01"));
    QVERIFY(rig.Get<QAbstractButton>("eqBypass1")->isChecked());
    rig.Get<QAbstractButton>("eqBypassCheck")->click();
    QCOMPARE(rig.Last(), QStringLiteral("8D 1F 00 06 03 00 00 00 00 00 00 01 F7"));
    QVERIFY(rig.Get<QAbstractButton>("eqBypassCheck")->isChecked());
    rig.CheckCurveAndDevice();
  }

  // A crossover list pick clamps the frequency text first; unreadable text sends nothing.
  void crossover() {
    EqRig rig(kB, 4);
    auto* freq = rig.Get<ValueEdit>("lpFreqEdit");
    auto* slope = rig.Get<QComboBox>("lpSlopeCombo");
    QCOMPARE(slope->count(), 9);
    freq->setText("25000");
    rig.section->findChild<tessaly::editor::CrossoverControls*>("lpFrame")->PickSlope(7);
    QCOMPARE(freq->text(), QStringLiteral("20000"));
    QCOMPARE(rig.Last(), QStringLiteral("8D 1F 00 04 04 01 00 00 00 4E 20 07 F7"));
    QCOMPARE(slope->currentIndex(), 7);
    freq->setText(",");
    const qsizetype before = rig.sent.size();
    rig.section->findChild<tessaly::editor::CrossoverControls*>("lpFrame")->PickSlope(2);
    QCOMPARE(rig.sent.size(), before);
    QCOMPARE(rig.messenger_.shown.back().text, QStringLiteral("  Incorrect frequency value"));
    QCOMPARE(slope->currentIndex(), 7);
    Type(rig.Get("hpFreqEdit"), "80.4");
    QCOMPARE(rig.Get<ValueEdit>("hpFreqEdit")->text(), QStringLiteral("80"));
    rig.CheckCurveAndDevice();
  }

  // One gesture that changes two fields of a band or filter sends it once, in its final state,
  // to the channel and to each linked one, and is one undo step that resends it once.
  void oneGestureOnePacket_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QStringList>("packets");  // what the device hears, P1 onward
    QTest::newRow("marker up and right")
        << kA << 0 << false << "marker" << QStringList{"05 00 06 00 00 07 D0 09 3C"};
    QTest::newRow("marker, linked inputs")
        << kA << 0 << true << "marker"
        << QStringList{"05 00 06 00 00 07 D0 09 3C", "05 01 06 00 00 07 D0 09 3C"};
    QTest::newRow("band type with typed frequency")
        << kB << 1 << false << "type" << QStringList{"05 01 02 00 02 01 F4 09 1E"};
    QTest::newRow("slope with typed frequency")
        << kB << 4 << false << "slope" << QStringList{"04 04 00 00 00 00 00 FA 03"};
  }

  void oneGestureOnePacket() {
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(bool, linked);
    QFETCH(QString, gesture);
    QFETCH(QStringList, packets);
    EqRig rig(type, channel);
    if (linked) rig.path.SetIndex(rig.Target("link", channel), 1);
    EqGraphPanel* panel = rig.section->panel();
    rig.section->resize(1400, 520);
    QCoreApplication::processEvents();
    rig.section->resize(1400 - panel->PlotRect().width() % 3, 520);
    QCoreApplication::processEvents();
    const size_t steps = rig.path.Undo(kSlot).Count();
    rig.device().ClearReceived();
    if (gesture == "marker") {
      // Two thirds of the way along and above the top: 2 kHz at +15 dB.
      const QRect plot = panel->PlotRect();
      const QPoint to(plot.left() + plot.width() * 2 / 3, plot.top() - 50);
      QTest::mousePress(panel, Qt::LeftButton, {}, panel->MarkerCentre(6));
      QTest::mouseMove(panel, to);
      QTest::mouseRelease(panel, Qt::LeftButton, {}, to);
    } else if (gesture == "type") {
      rig.Get<ValueEdit>("eqFreqEdit2")->setText("500");
      rig.section->band(2)->PickType(2);
    } else {
      rig.Get<ValueEdit>("hpFreqEdit")->setText("250");
      rig.section->findChild<tessaly::editor::CrossoverControls*>("hpFrame")->PickSlope(3);
    }
    QStringList heard;
    for (const QByteArray& packet : rig.device().ReceivedPackets()) {
      heard << QString::fromStdString(test::Hex(packet.mid(3, 9)));
    }
    QCOMPARE(heard, packets);
    rig.CheckCurveAndDevice();
    QCOMPARE(rig.path.Undo(kSlot).Count(), steps + 1);
    rig.device().ClearReceived();
    QVERIFY(rig.path.Undo(kSlot).UndoLast().status == tessaly::model::EditStatus::kDone);
    QCOMPARE(rig.device().ReceivedCount(), packets.size());
    rig.CheckCurveAndDevice();
  }

  // The read-out of a released marker follows its band: a new type's gain reset, an undo.
  void readOutFollowsTheBand() {
    EqRig rig(kA, 0);
    EqGraphPanel* panel = rig.section->panel();
    const QRect plot = panel->PlotRect();
    const QPoint start = panel->MarkerCentre(6);
    QTest::mousePress(panel, Qt::LeftButton, {}, start);
    QTest::mouseMove(panel, QPoint(start.x(), plot.top() - 50));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(start.x(), plot.top() - 50));
    auto* label = rig.Get<QLabel>("freqGainLabel");
    const QString freq = QStringLiteral("Freq=%1Hz; ").arg(rig.Index("eq.N.freq", 0, 6));
    QCOMPARE(label->text(), freq + "Gain=15dB");
    rig.section->band(6)->PickType(1);
    QCOMPARE(label->text(), freq + "Gain=0dB");
    rig.path.Undo(kSlot).UndoLast();
    QCOMPARE(label->text(), freq + "Gain=15dB");
  }

  // A marker drag moves only the picture and the band's controls; the release sends the band,
  // snapped, and a marker dragged above the top stays at +15 dB.
  void markerDrag() {
    EqRig rig(kA, 0);
    EqGraphPanel* panel = rig.section->panel();
    // Two thirds of the log axis is 2 kHz; a plot width that divides by three puts it on a pixel.
    rig.section->resize(1400, 520);
    QCoreApplication::processEvents();
    rig.section->resize(1400 - panel->PlotRect().width() % 3, 520);
    QCoreApplication::processEvents();
    const QRect plot = panel->PlotRect();
    QCOMPARE(plot.width() % 3, 0);
    const QPoint start = panel->MarkerCentre(6);
    const qsizetype before = rig.sent.size();
    QTest::mousePress(panel, Qt::LeftButton, {}, start);
    QCOMPARE(rig.Get<QLabel>("freqGainLabel")->text(), QStringLiteral("Freq=1000Hz; Gain=0dB"));
    const QPoint up(plot.left() + plot.width() * 2 / 3, plot.top() - 50);
    QTest::mouseMove(panel, start + QPoint(3, -20));
    QTest::mouseMove(panel, up);
    QCOMPARE(panel->dragged_band(), 6);
    QCOMPARE(rig.sent.size(), before);
    QCOMPARE(rig.Get<QLabel>("freqGainLabel")->text(), QStringLiteral("Freq=2000Hz; Gain=15dB"));
    QCOMPARE(rig.Get<ValueEdit>("eqFreqEdit6")->text(), QStringLiteral("2000"));
    QCOMPARE(rig.Get<ParameterSlider>("eqGainSlider6")->position(), 1);
    QVERIFY(panel->ShownCurve()[1000] > 10.0);  // the preview follows the marker
    QTest::mouseRelease(panel, Qt::LeftButton, {}, up);
    QCOMPARE(rig.Index("eq.N.gain", 0, 6), 60);
    QCOMPARE(rig.Index("eq.N.freq", 0, 6), 2000);
    QCOMPARE(rig.Last(), QStringLiteral("8D 1F 00 05 00 06 00 00 07 D0 09 3C F7"));
    rig.CheckCurveAndDevice();
    // The wheel over the marker steps its Q.
    const int q = rig.Index("eq.N.q", 0, 6);
    QWheelEvent wheel(panel->MarkerCentre(6), panel->mapToGlobal(panel->MarkerCentre(6)), {},
                      {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(panel, &wheel);
    QCOMPARE(rig.Index("eq.N.q", 0, 6), q + 1);
    rig.CheckCurveAndDevice();
    // One drag is one undo step (behind the wheel's); a double-click on the knob puts 0 dB back.
    const size_t steps = rig.path.Undo(kSlot).Count();
    rig.path.Undo(kSlot).UndoLast();
    rig.path.Undo(kSlot).UndoLast();
    QCOMPARE(rig.Index("eq.N.freq", 0, 6), 1000);
    QCOMPARE(rig.Index("eq.N.gain", 0, 6), 30);
    rig.path.Undo(kSlot).RedoLast();
    rig.path.Undo(kSlot).RedoLast();
    QCOMPARE(rig.path.Undo(kSlot).Count(), steps);
    QCOMPARE(rig.Index("eq.N.freq", 0, 6), 2000);
    QTest::mouseDClick(rig.Get("eqGainKnob6"), Qt::LeftButton);
    QCOMPARE(rig.Index("eq.N.gain", 0, 6), 30);
    QCOMPARE(rig.Get<ValueEdit>("eqGainEdit6")->text(), QStringLiteral("0"));
    rig.CheckCurveAndDevice();
    // With "Cursor" on, the pointer over the plot reads gain and frequency.
    rig.Get<QAbstractButton>("cursorButton")->click();
    QTest::mouseMove(panel, QPoint(plot.right() + 1, plot.top()));
    QCOMPARE(rig.Get<QLabel>("freqGainLabel")->text(), QStringLiteral("30dB; 20000Hz"));
  }
};

QTEST_MAIN(EqSectionTest)
#include "EqSectionTest.moc"

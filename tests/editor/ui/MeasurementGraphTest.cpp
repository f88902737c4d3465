#include <QComboBox>
#include <QDoubleSpinBox>
#include <QtTest>

#include "device/DeviceTypes.h"
#include "editor/EditorSupport.h"
#include "editor/EqGraphPanel.h"
#include "editor/EqSection.h"
#include "editor/MeasurementControls.h"
#include "editor/ui/EditorRig.h"
#include "graph/GraphScale.h"
#include "graph/MeasurementBook.h"

namespace test = tessaly::test;
namespace graph = tessaly::graph;
using tessaly::editor::MeasurementControls;

namespace {

constexpr int kSlot = test::EditorRig::kSlot;
constexpr int kLeft = 2;

// Whether any pixel within two of (x, y) differs between the two pictures.
bool ChangedNear(const QImage& a, const QImage& b, int x, int y) {
  for (int dx = -2; dx <= 2; ++dx) {
    for (int dy = -2; dy <= 2; ++dy) {
      if (a.pixel(x + dx, y + dy) != b.pixel(x + dx, y + dy)) return true;
    }
  }
  return false;
}

}  // namespace

class MeasurementGraphTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  // The measurement is drawn at its level with the offset, and its predicted result at the level
  // plus the channel's curve.
  void measurementAndPredictionOnTheChannelGraph() {
    test::EditorRig rig(tessaly::device::kTypeRk540, QStringLiteral("127.0.0.173"));
    graph::Measurements().ReleaseSlot(kSlot);
    // Band 1 of Left: +12 dB at 1 kHz.
    QCOMPARE(rig.path.SetText(rig.Target("eq.N.freq", kLeft, 0), QStringLiteral("1000")).status,
             tessaly::model::EditStatus::kDone);
    QCOMPARE(rig.path.SetText(rig.Target("eq.N.gain", kLeft, 0), QStringLiteral("12")).status,
             tessaly::model::EditStatus::kDone);
    tessaly::editor::EqSection section(rig.context, kLeft);
    section.resize(1100, 520);
    section.show();
    QVERIFY(QTest::qWaitForWindowExposed(&section));
    auto* controls = test::Find<MeasurementControls>(section, "measurementControls");
    QVERIFY(controls != nullptr);
    tessaly::editor::EqGraphPanel* panel = section.panel();
    const QImage empty = panel->grab().toImage();

    QVERIFY(controls->Load(QStringLiteral(TESSALY_GRAPH_DATA "/measurement-rew.txt")));
    test::Find<QDoubleSpinBox>(section, "measurementOffsetSpin")->setValue(-71.0);
    QCOMPARE(graph::Measurements().Of(kSlot, kLeft).offset_db, -71.0);
    QCoreApplication::processEvents();
    const QImage shown = panel->grab().toImage();
    // The sample rises 2 dB per octave from 71 dB at 20 Hz.
    const double measured = 2.0 * std::log2(1000.0 / 20.0);
    const QRect plot = panel->PlotRect();
    const int x = plot.left() + graph::CurveX(1000.0, plot.width());
    QVERIFY(ChangedNear(empty, shown, x, plot.top() + graph::CurveY(measured, plot.height())));
    QVERIFY(ChangedNear(empty, shown, x, plot.top() + graph::CurveY(measured + 12, plot.height())));
    QVERIFY(!ChangedNear(empty, shown, x, plot.top() + graph::CurveY(measured + 6, plot.height())));

    auto* smoothing = test::Find<QComboBox>(section, "smoothingCombo");
    smoothing->setCurrentIndex(smoothing->findData(3));
    QCOMPARE(graph::Measurements().Of(kSlot, kLeft).smoothing, 3);

    // A file that is no measurement is named with its line and leaves the graph as it was.
    QTemporaryDir dir;
    QFile bad(dir.filePath("bad.txt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("* REW\n100 80\n90 81\n");
    bad.close();
    QVERIFY(!controls->Load(bad.fileName()));
    QCOMPARE(rig.messenger_.shown.size(), 1);
    QVERIFY(rig.messenger_.shown[0].text.contains("Line 3: the frequencies must rise"));
    QCOMPARE(graph::Measurements().Of(kSlot, kLeft).items.size(), size_t(1));
    QVERIFY(rig.sent.size() == 2);  // the two band edits; a measurement is never sent
  }
};

QTEST_MAIN(MeasurementGraphTest)
#include "MeasurementGraphTest.moc"

#include <QCheckBox>
#include <QComboBox>
#include <QtTest>
#include <map>

#include "device/DeviceTypes.h"
#include "editor/MatchWindow.h"
#include "editor/ui/EditorRig.h"
#include "graph/CurveMath.h"
#include "graph/MeasurementBook.h"
#include "protocol/CommonOperations.h"

namespace test = tessaly::test;
namespace graph = tessaly::graph;

namespace {

constexpr int kSlot = test::EditorRig::kSlot;

// A response with a room mode and a broad dip, 1/24 octave, around 90 dB.
graph::Measurement Room() {
  graph::Measurement m;
  for (int i = 0; i <= 240; ++i) {
    const double hz = 20.0 * std::exp2(i / 24.0);
    m.hz.push_back(hz);
    m.db.push_back(90.0 + graph::BandResponseDb(graph::kBandBell, 8, 70, 4, hz) +
                   graph::BandResponseDb(graph::kBandBell, -5, 2500, 1, hz));
  }
  return m;
}

}  // namespace

class MatchWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  // The proposal lowers the error, leaves a locked band alone and applies as one undo step.
  void proposeAndApply() {
    test::EditorRig rig(tessaly::device::kTypeRk540, QStringLiteral("127.0.0.174"));
    graph::Measurements().ReleaseSlot(kSlot);
    graph::Measurements().Add(kSlot, 0, {QStringLiteral("room.txt"), Room()});
    graph::Measurements().SetOffset(kSlot, 0, -90.0);
    const auto locked_before = *tessaly::protocol::ReadEqBand(rig.data(), 0, 2);
    const auto record = rig.Record();
    const size_t depth = rig.path.Undo(kSlot).Count();

    tessaly::editor::MatchWindow window(rig.context, 0);
    test::Find<QCheckBox>(window, "lockCheck2")->setChecked(true);
    QVERIFY(graph::Measurements().Locked(kSlot, 2));
    QVERIFY(window.Propose());
    QVERIFY(rig.sent.isEmpty());
    const auto& proposal = *window.proposal();
    QVERIFY(proposal.after.rms_db < proposal.before.rms_db / 2);

    QCOMPARE(window.Apply().status, tessaly::model::EditStatus::kDone);
    QVERIFY(!rig.sent.isEmpty());
    QCOMPARE(rig.path.Undo(kSlot).Count(), depth + 1);
    QCOMPARE(rig.path.Undo(kSlot).UndoText(), QStringLiteral("EQ Match InL"));
    const auto locked_after = *tessaly::protocol::ReadEqBand(rig.data(), 0, 2);
    QCOMPARE(locked_after.gain, locked_before.gain);
    QCOMPARE(locked_after.frequency, locked_before.frequency);
    QCOMPARE(QString::fromStdString(rig.DeviceDifference()), QString());
    QCOMPARE(rig.path.Undo(kSlot).UndoLast().status, tessaly::model::EditStatus::kDone);
    QVERIFY(rig.Record() == record);
    graph::Measurements().ReleaseSlot(kSlot);
  }

  // With several measurements the user picks one or their average; the newest is offered first.
  void picksTheMeasurementOrTheAverage() {
    test::EditorRig rig(tessaly::device::kTypeRk540, QStringLiteral("127.0.0.175"));
    graph::Measurements().ReleaseSlot(kSlot);
    graph::Measurements().SetOffset(kSlot, 0, -90.0);
    graph::Measurement louder = Room();
    for (size_t i = 0; i < louder.hz.size(); ++i) {
      louder.db[i] += 6.0;
    }
    graph::Measurements().Add(kSlot, 0, {QStringLiteral("seat.txt"), Room()});
    tessaly::editor::MatchWindow window(rig.context, 0);
    auto* choice = test::Find<QComboBox>(window, "measurementCombo");
    QVERIFY(!choice->isEnabled());
    graph::Measurements().Add(kSlot, 0, {QStringLiteral("stage.txt"), louder});
    QCOMPARE(choice->currentText(), QStringLiteral("stage.txt"));
    std::map<QString, double> worst;
    for (const QString name : {"seat.txt", "stage.txt", "Average of all"}) {
      choice->setCurrentText(name);
      QVERIFY(window.Propose());
      worst[name] = window.proposal()->before.max_db;
    }
    graph::Measurements().ReleaseSlot(kSlot);
    // The stage reads 6 dB louder everywhere: its worst error is 6 dB more, the average's 3.
    QVERIFY(qAbs(worst["stage.txt"] - worst["seat.txt"] - 6.0) < 0.01);
    QVERIFY(qAbs(worst["Average of all"] - worst["seat.txt"] - 3.0) < 0.01);
  }
};

QTEST_MAIN(MatchWindowTest)
#include "MatchWindowTest.moc"

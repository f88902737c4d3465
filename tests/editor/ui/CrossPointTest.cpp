#include <QMenu>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "EditorRig.h"
#include "device/DeviceTypes.h"
#include "editor/MeterPointLabel.h"
#include "editor/MeterPoints.h"
#include "editor/OutputMixer.h"
#include "editor/RoutingMatrix.h"
#include "protocol/FamilyBOperations.h"

using tessaly::editor::CrossPointGrid;
using tessaly::editor::CrossPointView;
using tessaly::test::EditorRig;

namespace {

constexpr int kB = tessaly::device::kType540S;

std::unique_ptr<CrossPointView> Make(const QString& kind, EditorRig& rig) {
  if (kind == QLatin1String("routing")) {
    return std::make_unique<tessaly::editor::RoutingMatrix>(rig.context);
  }
  return std::make_unique<tessaly::editor::OutputMixer>(rig.context);
}

void Wheel(QWidget* widget, QPoint at, int notches) {
  QWheelEvent event(at, widget->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

void Gesture(CrossPointGrid* grid, int row, int column, const QString& gesture) {
  const QPoint centre = grid->CellRect(row, column).center();
  if (gesture == QLatin1String("click")) {
    QTest::mouseClick(grid, Qt::LeftButton, {}, centre);
  } else if (gesture.startsWith(QLatin1String("wheel"))) {
    Wheel(grid, centre, gesture.endsWith(QLatin1String("up")) ? 1 : -1);
  } else if (gesture.startsWith(QLatin1String("drag"))) {
    const int direction = gesture.endsWith(QLatin1String("up")) ? -1 : 1;
    QTest::mousePress(grid, Qt::LeftButton, {}, centre);
    for (int step = 1; step <= 4; ++step) {
      QTest::mouseMove(grid, centre + QPoint(0, direction * step * 5));
    }
    QTest::mouseRelease(grid, Qt::LeftButton, {}, centre + QPoint(0, direction * 20));
  } else {
    grid->setFocus();
    grid->setCurrent(row, column);
    QTest::keyClick(grid, gesture == QLatin1String("space") ? Qt::Key_Space : Qt::Key_Minus);
  }
}

}  // namespace

class CrossPointTest : public QObject {
  Q_OBJECT

 private slots:
  // Routing cells are (input, source); mixer cells are (mixer input, output).
  void cellGesture_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QPoint>("target");  // channel, element
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("start");  // level before the gesture
    QTest::addColumn<int>("level");  // level after it; -1 when the gesture toggles
    QTest::newRow("routing click") << "routing" << 2 << 0 << QPoint(2, 0) << "click" << 10 << -1;
    QTest::newRow("routing space") << "routing" << 3 << 1 << QPoint(3, 1) << "space" << 10 << -1;
    QTest::newRow("routing wheel") << "routing" << 1 << 2 << QPoint(1, 2) << "wheel up" << 10 << 11;
    QTest::newRow("routing drag") << "routing" << 0 << 1 << QPoint(0, 1) << "drag down" << 10 << 8;
    QTest::newRow("routing top") << "routing" << 0 << 0 << QPoint(0, 0) << "wheel up" << 30 << 30;
    QTest::newRow("mixer click") << "mixer" << 1 << 2 << QPoint(6, 1) << "click" << 10 << -1;
    QTest::newRow("mixer drag") << "mixer" << 3 << 0 << QPoint(4, 3) << "drag up" << 10 << 12;
    QTest::newRow("mixer key") << "mixer" << 0 << 1 << QPoint(5, 0) << "minus" << 10 << 9;
    QTest::newRow("mixer bottom") << "mixer" << 2 << 2 << QPoint(6, 2) << "drag down" << 0 << 0;
  }

  void cellGesture() {
    QFETCH(QString, kind);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QPoint, target);
    QFETCH(QString, gesture);
    QFETCH(int, start);
    QFETCH(int, level);
    EditorRig rig(kB);
    EditorRig twin(kB);
    auto view = Make(kind, rig);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    CrossPointGrid* grid = view->grid();
    const QPoint t = target;
    const auto on_id = grid->layout().on_id;
    const auto level_id = grid->layout().level_id;
    for (EditorRig* r : {&rig, &twin}) {
      r->path.SetIndex(r->Target(level_id, t.x(), t.y()), start);
      r->sent.clear();
    }
    const int on_before = rig.Index(on_id, t.x(), t.y());
    Gesture(grid, row, column, gesture);

    if (level < 0) {
      QCOMPARE(rig.Index(on_id, t.x(), t.y()), 1 - on_before);
      QCOMPARE(rig.Index(level_id, t.x(), t.y()), start);
      twin.path.SetIndex(twin.Target(on_id, t.x(), t.y()), 1 - on_before);
    } else {
      QCOMPARE(rig.Index(level_id, t.x(), t.y()), level);
      QCOMPARE(rig.Index(on_id, t.x(), t.y()), on_before);
      // A drag sends each step on its way; the last packet carries the final level.
      if (level != start) twin.path.SetIndex(twin.Target(level_id, t.x(), t.y()), level);
      if (!rig.sent.isEmpty()) rig.sent = {rig.sent.back()};
    }
    QCOMPARE(rig.Sent(), twin.Sent());
    QCOMPARE(rig.DeviceDifference(), std::string());
  }

  // Switching a cross-point off and on again changes only its bit 7.
  void toggleKeepsLevel() {
    EditorRig rig(kB);
    tessaly::editor::RoutingMatrix view(rig.context);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const auto original = tessaly::protocol::ReadRouting(rig.data(), 1, 3);
    Gesture(view.grid(), 1, 3, QStringLiteral("click"));
    const auto toggled = tessaly::protocol::ReadRouting(rig.data(), 1, 3);
    QCOMPARE(int(*original ^ *toggled), 0x80);
    Gesture(view.grid(), 1, 3, QStringLiteral("click"));
    QCOMPARE(*tessaly::protocol::ReadRouting(rig.data(), 1, 3), *original);
    QCOMPARE(rig.DeviceDifference(), std::string());
  }

  // The typed level of the current cell: clamped to 0 and -30 dB, refused when unreadable.
  void typedLevel_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("level");
    QTest::newRow("above 0") << "routing"
                             << "5"
                             << "0" << 30;
    QTest::newRow("below -30") << "routing"
                               << "-40"
                               << "-30" << 0;
    QTest::newRow("mixer -6") << "mixer"
                              << "-6"
                              << "-6" << 24;
    QTest::newRow("unreadable") << "mixer"
                                << "-"
                                << "-" << -1;
  }

  void typedLevel() {
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, level);
    EditorRig rig(kB);
    auto view = Make(kind, rig);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    view->grid()->setCurrent(2, 1);
    const QPoint t = view->grid()->layout().target(2, 1);
    const auto level_id = view->grid()->layout().level_id;
    const int before = rig.Index(level_id, t.x(), t.y());
    auto* edit = tessaly::test::Find<QLineEdit>(*view, QStringLiteral("levelEdit"));
    rig.sent.clear();
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), shown);
    if (level < 0) {
      QCOMPARE(rig.messenger_.shown.size(), 1);
      QCOMPARE(rig.messenger_.shown[0].text, QStringLiteral("  Incorrect value"));
      QVERIFY(rig.sent.isEmpty());
      QCOMPARE(rig.Index(level_id, t.x(), t.y()), before);
      return;
    }
    QCOMPARE(rig.Index(level_id, t.x(), t.y()), level);
    QCOMPARE(rig.sent.size(), 1);
    QCOMPARE(rig.DeviceDifference(), std::string());
    tessaly::test::Shoot(*view, kind);
  }

  // A meter-point label offers its channel's points and keeps the pick.
  void meterPointMenu_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("code");
    QTest::newRow("input") << 1 << QStringList{"Before Gain", "After Gain", "After Compressor"}
                           << "AG";
    QTest::newRow("output") << 5 << QStringList{"After Mute", "Before Limiter", "After Limiter"}
                            << "BL";
  }

  void meterPointMenu() {
    QFETCH(int, channel);
    QFETCH(QStringList, offered);
    QFETCH(QString, code);
    tessaly::editor::MeterPoints points;
    tessaly::editor::MeterPointLabel label(points, channel);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QTest::mouseClick(&label, Qt::LeftButton);
    QTRY_VERIFY(label.menu()->isVisible());
    QStringList captions;
    for (QAction* action : label.menu()->actions()) captions << action->text();
    QCOMPARE(captions, offered);
    label.menu()->actions().at(1)->trigger();
    QCOMPARE(label.text(), code);
    QCOMPARE(points.Choice(channel), 1);
  }
};

QTEST_MAIN(CrossPointTest)
#include "CrossPointTest.moc"

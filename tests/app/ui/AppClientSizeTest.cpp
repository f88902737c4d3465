#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "app/SetClientSize.h"

using tessaly::app::SetClientSize;

class AppClientSizeTest : public QObject {
  Q_OBJECT

 private slots:
  void subWindowClientAreaGetsTheSize_data() {
    QTest::addColumn<QSize>("wanted");
    QTest::newRow("grow") << QSize(700, 520);
    QTest::newRow("shrink") << QSize(180, 140);
    QTest::newRow("editor") << QSize(1003, 640);
  }

  void subWindowClientAreaGetsTheSize() {
    QFETCH(QSize, wanted);
    QMdiArea area;
    area.resize(1200, 900);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    auto* editor = new QWidget;
    editor->setMinimumSize(10, 10);
    QMdiSubWindow* frame = area.addSubWindow(editor);
    frame->setGeometry(40, 30, 400, 300);
    frame->show();
    auto* other = new QWidget;
    QMdiSubWindow* other_frame = area.addSubWindow(other);
    other_frame->show();
    area.setActiveSubWindow(other_frame);
    const QPoint position = frame->pos();
    const QSize border = frame->size() - editor->size();

    QVERIFY(SetClientSize(editor, wanted.width(), wanted.height()));
    QCOMPARE(editor->size(), wanted);
    QCOMPARE(frame->size(), wanted + border);
    QCOMPARE(frame->pos(), position);
    // The window being sized is neither activated nor raised over the active one.
    QCOMPARE(area.activeSubWindow(), other_frame);
    QCOMPARE(area.subWindowList(QMdiArea::StackingOrder).last(), other_frame);
  }

  void topLevelWindowClientArea() {
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint position = window.pos();
    QVERIFY(SetClientSize(&window, 640, 480));
    QCOMPARE(window.size(), QSize(640, 480));
    QCOMPARE(window.pos(), position);
  }

  void refusesNothingToSize() {
    QVERIFY(!SetClientSize(nullptr, 100, 100));
    QWidget window;
    window.resize(300, 200);
    QVERIFY(!SetClientSize(&window, 0, 100));
    QVERIFY(!SetClientSize(&window, 100, -1));
    QCOMPARE(window.size(), QSize(300, 200));
  }
};

QTEST_MAIN(AppClientSizeTest)
#include "AppClientSizeTest.moc"

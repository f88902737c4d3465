#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/ui/PortSelectionDialog.h"
#include "support/RecordingMessenger.h"

using namespace tessaly;

class PortSelectionDialogTest : public QObject {
  Q_OBJECT

 private:
  struct Rig {
    QTemporaryDir dir;
    test::RecordingMessenger messenger;
    comm::Comm comm{messenger};
    connect::ConnectRuntime runtime{comm, dir.path()};
    connect::PortSelectionDialog window{runtime.context};
    Rig() { window.Load(); }
    QLineEdit* Range(int i) {
      return window.findChild<QLineEdit*>(QStringLiteral("TextSeveralIP_%1").arg(i));
    }
  };

 private slots:
  void TypingClampsAndCopiesTheRangePrefix() {
    Rig rig;
    QLineEdit* first = rig.Range(0);
    QVERIFY(first != nullptr);
    first->clear();
    QTest::keyClicks(first, QStringLiteral("300"));
    QCOMPARE(first->text(), QStringLiteral("223"));
    QCOMPARE(rig.Range(4)->text(), QStringLiteral("223"));

    rig.Range(2)->clear();
    QTest::keyClicks(rig.Range(2), QStringLiteral("999"));
    QCOMPARE(rig.Range(2)->text(), QStringLiteral("255"));
    QCOMPARE(rig.Range(6)->text(), QStringLiteral("255"));

    rig.Range(7)->clear();
    QTest::keyClicks(rig.Range(7), QStringLiteral("0"));
    QCOMPARE(rig.Range(7)->text(), QStringLiteral("1"));
    // The end's own prefix fields follow the start and are not checked.
    rig.Range(5)->setText(QStringLiteral("777"));
    QCOMPARE(rig.Range(5)->text(), QStringLiteral("777"));
  }

  void LastOctetsStayInOrder() {
    Rig rig;
    rig.Range(7)->setText(QStringLiteral("12"));
    rig.Range(3)->setText(QStringLiteral("20"));
    emit rig.Range(3)->editingFinished();
    QCOMPARE(rig.Range(7)->text(), QStringLiteral("20"));
    rig.Range(7)->setText(QStringLiteral("5"));
    emit rig.Range(7)->editingFinished();
    QCOMPARE(rig.Range(3)->text(), QStringLiteral("5"));
  }

  void ComListAndNoneSelectsCom1() {
    Rig rig;
    QComboBox* combo = rig.window.findChild<QComboBox*>(QStringLiteral("Combo1"));
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 65);
    QCOMPARE(combo->itemText(0), QStringLiteral("NONE"));
    QCOMPARE(combo->itemText(1), QStringLiteral("COM 1"));
    QCOMPARE(combo->itemText(64), QStringLiteral("COM 64"));
    rig.comm.state().com_port = 9;
    emit combo->activated(0);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(rig.comm.state().com_port, int16_t{1});
    emit combo->activated(12);
    QCOMPARE(rig.comm.state().com_port, int16_t{12});
    auto* combo2 = rig.window.findChild<QComboBox*>(QStringLiteral("Combo2"));
    QCOMPARE(combo2->count(), 33);
    QCOMPARE(combo2->itemText(32), QStringLiteral("32"));
  }

  void OkWithLettersInAnOctetWarnsAndKeepsTheWindowOpen() {
    Rig rig;
    rig.window.findChild<QLineEdit*>(QStringLiteral("TextSngIP_2"))->setText(QStringLiteral("ab"));
    rig.window.findChild<QPushButton*>(QStringLiteral("Command1_0"))->click();
    QCOMPARE(rig.messenger.shown.size(), 1);
    QCOMPARE(rig.messenger.shown[0].title, QStringLiteral("Warning"));
    QVERIFY(!QFile::exists(rig.runtime.session.ConfigPath()));
    QCOMPARE(rig.window.result(), 0);
  }

  void OkWritesTheRecordAndExitDoesNot() {
    Rig rig;
    rig.window.findChild<QRadioButton*>(QStringLiteral("Option2_1"))->click();
    QCOMPARE(rig.comm.state().connection_mode, comm::kLinkTcp);
    rig.window.findChild<QRadioButton*>(QStringLiteral("Option1_3"))->click();
    for (int i = 0; i < 4; ++i) {
      rig.Range(i)->setText(QString::number(QList<int>{10, 0, 0, 10}[i]));
    }
    rig.Range(7)->setText(QStringLiteral("12"));
    rig.window.findChild<QPushButton*>(QStringLiteral("Command1_0"))->click();
    QCOMPARE(rig.window.result(), int(QDialog::Accepted));
    QVERIFY(rig.runtime.session.several_addresses);
    QVERIFY(!rig.runtime.session.port_selection_cancelled);
    connect::InitConfig written;
    QVERIFY(connect::LoadInitConfig(rig.runtime.session.ConfigPath(), written));
    QCOMPARE(written.connection_mode, int16_t{1});
    QCOMPARE(written.range_start, (connect::Octets{10, 0, 0, 10}));
    QCOMPARE(written.range_end, (connect::Octets{10, 0, 0, 12}));

    Rig other;
    other.window.findChild<QPushButton*>(QStringLiteral("Command1_1"))->click();
    QVERIFY(other.runtime.session.port_selection_cancelled);
    QVERIFY(!QFile::exists(other.runtime.session.ConfigPath()));
  }
};

QTEST_MAIN(PortSelectionDialogTest)
#include "PortSelectionDialogTest.moc"

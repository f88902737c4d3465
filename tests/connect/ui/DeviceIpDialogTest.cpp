#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "comm/Comm.h"
#include "comm/DeviceTypes.h"
#include "connect/ui/DemoDeviceDialog.h"
#include "connect/ui/DeviceIpDialog.h"
#include "protocol/SlotState.h"
#include "support/RecordingMessenger.h"
#include "widgets/ClickLabel.h"

using namespace tessaly;

class DeviceIpDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheSlotAddressAndClampsTypedOctets() {
    test::RecordingMessenger messenger;
    comm::Comm comm(messenger);
    protocol::SlotState slot_state;
    slot_state.ip = {10, 1, 2, 3};
    connect::DeviceIpDialog window(comm, slot_state, 0);
    QCOMPARE(window.windowTitle(), QStringLiteral("IP Settings (only USB mode)"));
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("currentIpLabel_3"))->text(),
             QStringLiteral("3"));
    auto* last = window.findChild<QLineEdit*>(QStringLiteral("newIpEdit_3"));
    QCOMPARE(last->text(), QStringLiteral("3"));
    last->clear();
    QTest::keyClicks(last, QStringLiteral("300"));
    QCOMPARE(last->text(), QStringLiteral("254"));
    auto* first = window.findChild<QLineEdit*>(QStringLiteral("newIpEdit_0"));
    QTest::keyClicks(first, QStringLiteral("x"));
    QCOMPARE(first->text(), QString());
  }

  void DemoSaveSendsNothingAndStoresTheOctets() {
    test::RecordingMessenger messenger;
    comm::Comm comm(messenger);
    comm.state().comm_suspended = true;
    protocol::SlotState slot_state;
    connect::DeviceIpDialog window(comm, slot_state, 0);
    window.set_settle_ms(0);
    window.findChild<QLineEdit*>(QStringLiteral("newIpEdit_2"))->setText(QStringLiteral("77"));
    window.findChild<widgets::ClickLabel*>(QStringLiteral("saveButton"))->Clicked();
    QCOMPARE(messenger.shown.size(), 1);
    QCOMPARE(messenger.shown[0].text, QStringLiteral("       Are you sure?"));
    QCOMPARE(slot_state.ip[2], uint8_t{77});
    QTRY_COMPARE(window.result(), int(QDialog::Accepted));
  }

  void SelDeviceStartsOnThePresetAndReturnsTheChoice() {
    connect::DemoDeviceDialog window(comm::kType540S);
    QCOMPARE(window.windowTitle(), QStringLiteral("Select Device"));
    QCOMPARE(window.highlighted(), int16_t{3});
    auto* option = window.findChild<QRadioButton*>(QStringLiteral("deviceTypeOption_1"));
    QCOMPARE(option->text(), comm::ModelName(1));
    option->click();
    QCOMPARE(window.highlighted(), int16_t{1});
    QVERIFY(!option->styleSheet().isEmpty());
    QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("deviceTypeOption_3"))
                ->styleSheet()
                .isEmpty());
    window.findChild<widgets::ClickLabel*>(QStringLiteral("okButton"))->Clicked();
    QCOMPARE(window.demo_type(), int16_t{1});
  }
};

QTEST_MAIN(DeviceIpDialogTest)
#include "DeviceIpDialogTest.moc"

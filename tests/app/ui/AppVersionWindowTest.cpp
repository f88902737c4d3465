#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

#include "app/AboutDialog.h"
#include "app/AppState.h"
#include "app/MainWindow.h"
#include "support/RecordingMessenger.h"

using tessaly::app::AboutDialog;
using tessaly::app::AppState;
using tessaly::app::MainWindow;
using tessaly::test::RecordingMessenger;

class AppVersionWindowTest : public QObject {
  Q_OBJECT

 private:
  static QString Text(const QWidget& window, const char* name) {
    auto* label = window.findChild<QLabel*>(QLatin1String(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing %1>").arg(name);
  }

 private slots:
  // Which line shows what is VersionLinesFor's business; the window only shows its lines.
  void versionLines_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("second_shown");
    QTest::addColumn<QString>("second");
    QTest::newRow("540 on-line") << 0 << true << "3.2.1" << true << "1.0.9";
    QTest::newRow("360 on-line") << 1 << true << "3.2.1" << false << "";
    QTest::newRow("540S off-line") << 3 << false << "" << true << "";
  }

  void versionLines() {
    QFETCH(int, type);
    QFETCH(bool, online);
    QFETCH(QString, firmware);
    QFETCH(bool, second_shown);
    QFETCH(QString, second);

    RecordingMessenger messenger;
    AppState state(messenger);
    state.software_version = QStringLiteral("1.3.4");
    auto& cs = state.comm_state();
    cs.current_device = 4;
    cs.table.device_type[4] = static_cast<int16_t>(type);
    cs.table[4].online = online;
    cs.table.firmware_version[4] = QStringLiteral("3.2.1");
    cs.table.second_version[4] = QStringLiteral("1.0.9");

    AboutDialog about(state);
    about.show();
    QCOMPARE(Text(about, "versionLabel"), QStringLiteral("1.3.4"));
    QCOMPARE(Text(about, "firmwareLabel"), firmware);
    QCOMPARE(Text(about, "secondVersionLabel"), second);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("secondVersionLabel"))->isVisible(), second_shown);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("secondCaptionLabel"))->isVisible(), second_shown);
    QVERIFY(about.findChild<QLabel*>(QStringLiteral("firmwareLabel"))->isVisible());
  }

  void closedByEitherButton_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("image") << QStringLiteral("okImage");
    QTest::newRow("label") << QStringLiteral("okLabel");
  }

  void closedByEitherButton() {
    QFETCH(QString, button);
    RecordingMessenger messenger;
    AppState state(messenger);
    AboutDialog about(state);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto* target = about.findChild<QLabel*>(button);
    QVERIFY(target != nullptr);
    QTest::mouseClick(target, Qt::LeftButton);
    QVERIFY(!about.isVisible());
  }

  void helpAboutOpensIt() {
    RecordingMessenger messenger;
    AppState state(messenger);
    state.software_version = QStringLiteral("1.3.4");
    MainWindow window(state);
    QVERIFY(window.Load());
    window.show();
    QString seen;
    QTimer::singleShot(0, [&seen] {
      auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
      if (about == nullptr) return;
      seen = about->findChild<QLabel*>(QStringLiteral("versionLabel"))->text();
      QTest::mouseClick(about->findChild<QLabel*>(QStringLiteral("okLabel")), Qt::LeftButton);
    });
    window.findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    QCOMPARE(seen, QStringLiteral("1.3.4"));
    messenger.answers.push_back(tessaly::comm::MessageAnswer::kYes);
    window.close();
  }
};

QTEST_MAIN(AppVersionWindowTest)
#include "AppVersionWindowTest.moc"

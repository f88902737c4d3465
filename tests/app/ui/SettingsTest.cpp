#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "settings/Settings.h"
#include "support/RecordingMessenger.h"

using tessaly::app::AppState;
using tessaly::app::MainWindow;
using tessaly::settings::Settings;
using tessaly::test::RecordingMessenger;

// The settings file in a temporary folder: what an unreadable one leaves behind, and what the
// windows remember from one run to the next.
class SettingsTest : public QObject {
  Q_OBJECT

 private:
  enum class Lay { kText, kFolder };

 private slots:
  void unreadableFileIsSetAsideAndSaid_data() {
    QTest::addColumn<int>("lay");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("broken");
    QTest::newRow("readable") << int(Lay::kText) << QByteArray("[files]\nkept=yes\n") << false;
    QTest::newRow("open section") << int(Lay::kText) << QByteArray("[files\nkept=yes\n") << true;
    QTest::newRow("binary") << int(Lay::kText) << QByteArray("\xff\xfe[\0f\0]\0", 8) << true;
    QTest::newRow("folder in its place") << int(Lay::kFolder) << QByteArray() << true;
  }
  void unreadableFileIsSetAsideAndSaid() {
    QFETCH(int, lay);
    QFETCH(QByteArray, content);
    QFETCH(bool, broken);
    QTemporaryDir dir;
    const QString path = tessaly::settings::SettingsPath(dir.path());
    if (Lay(lay) == Lay::kFolder) {
      QVERIFY(QDir().mkpath(path));
    } else {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(content);
    }

    RecordingMessenger messenger;
    AppState state(messenger);
    state.settings.Open(path);
    QCOMPARE(state.settings.notice().isEmpty(), !broken);
    QCOMPARE(state.settings.Value(QStringLiteral("files/kept"), QStringLiteral("default")),
             QVariant(broken ? QStringLiteral("default") : QStringLiteral("yes")));
    const QString kept = path + QStringLiteral(".broken");
    QCOMPARE(QFileInfo::exists(kept), broken);
    if (broken && Lay(lay) == Lay::kText) {
      QFile file(kept);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), content);
    }
    {
      MainWindow window(state);
      QCOMPARE(window.statusBar()->currentMessage(), state.settings.notice());
    }

    // The run goes on with a fresh file the next run reads without a word.
    state.settings.SetValue(QStringLiteral("files/kept"), QStringLiteral("again"));
    state.settings.Sync();
    Settings next;
    next.Open(path);
    QVERIFY(next.notice().isEmpty());
    QCOMPARE(next.Value(QStringLiteral("files/kept")), QVariant(QStringLiteral("again")));
  }

  void confirmedFoldersApplyToTheRun() {
    RecordingMessenger messenger;
    AppState state(messenger);
    MainWindow window(state);
    QTimer::singleShot(0, [] {
      QWidget* modal = QApplication::activeModalWidget();
      modal->findChild<QLineEdit*>(QStringLiteral("backupsEdit"))->setText(QStringLiteral("/k"));
      modal->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    window.findChild<QAction*>(QStringLiteral("settingsAction"))->trigger();
    QCOMPARE(state.locations.backups, QStringLiteral("/k"));
    QCOMPARE(state.locations.documents, QString());
  }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"

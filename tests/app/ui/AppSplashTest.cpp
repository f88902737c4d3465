#include <QDir>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/SplashScreen.h"
#include "support/RecordingMessenger.h"

using tessaly::app::AppState;
using tessaly::app::MainWindow;
using tessaly::app::ScreenFacts;
using tessaly::app::SingleInstance;
using tessaly::app::SplashEnvironment;
using tessaly::app::SplashScreen;
using tessaly::comm::MessageButtons;
using tessaly::comm::MessageIcon;
using tessaly::test::RecordingMessenger;

class AppSplashTest : public QObject {
  Q_OBJECT

 private:
  SplashEnvironment Environment(ScreenFacts screen = {1280, 1024, 96.0},
                                QLocale locale = QLocale(QLocale::English,
                                                         QLocale::UnitedStates)) const {
    return {screen, locale, dir_.filePath(QStringLiteral("tessaly.lock"))};
  }

  QTemporaryDir dir_;

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void secondInstanceInThisProcessIsRefused() {
    RecordingMessenger first_messenger;
    AppState first_state(first_messenger);
    SplashScreen first(first_state, Environment());
    QVERIFY(first.Load());
    QVERIFY(first_messenger.shown.isEmpty());

    RecordingMessenger messenger;
    AppState state(messenger);
    SplashScreen second(state, Environment());
    QVERIFY(!second.Load());
    QCOMPARE(messenger.shown.size(), 1);
    QCOMPARE(messenger.shown[0].icon, MessageIcon::kCritical);
    QCOMPARE(messenger.shown[0].title, QStringLiteral("Tessaly"));
    QCOMPARE(messenger.shown[0].text,
             QStringLiteral("The Sw PC is already Running, Can't be run again!"));
    QCOMPARE(messenger.shown[0].buttons, MessageButtons::kOk);
    // The refused instance goes no further: no checks, no hand-over to a main window.
    QVERIFY(!second.findChild<QTimer*>(QStringLiteral("splashTimer"))->isActive());
    QVERIFY(state.software_version.isEmpty());
    // ...and the first one keeps running.
    QVERIFY(first.instance_lock().IsHeld());
  }

  void resolutionMessages_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("screen_dpi");
    QTest::addColumn<double>("dpi_scale");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("texts");
    const QString edit = QStringLiteral(
        "The size of the edit window exceed the size of the monitor\n"
        "please try to set the monitor resolution to 96dpi (small icon)");
    const QString minimum = QStringLiteral("Minimum display resolution is 800x600");
    QTest::newRow("1024x768 at 120 dpi")
        << 1024 << 768 << 120.0 << 120 << 1.25 << QStringList{QStringLiteral("Tessaly")}
        << QStringList{edit};
    QTest::newRow("1024x768 at 96 dpi")
        << 1024 << 768 << 96.0 << 96 << 1.0 << QStringList{} << QStringList{};
    QTest::newRow("1024x500") << 1024 << 500 << 96.0 << 96 << 1.0
                              << QStringList{QStringLiteral("Tessaly"), QStringLiteral("Warning")}
                              << QStringList{edit, minimum};
    QTest::newRow("640x480 at small fonts")
        << 640 << 480 << 72.0 << 72 << 0.75
        << QStringList{QStringLiteral("Tessaly"), QStringLiteral("Warning")}
        << QStringList{edit, minimum};
  }

  void resolutionMessages() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, dpi);
    QFETCH(int, screen_dpi);
    QFETCH(double, dpi_scale);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, texts);

    RecordingMessenger messenger;
    AppState state(messenger);
    SplashScreen splash(state, Environment({width, height, dpi}));
    // Too small a screen is only a warning: start-up goes on.
    QVERIFY(splash.Load());
    QCOMPARE(state.screen_dpi, screen_dpi);
    QCOMPARE(state.dpi_scale, dpi_scale);
    QStringList shown_titles;
    QStringList shown_texts;
    for (const auto& message : messenger.shown) {
      shown_titles << message.title;
      shown_texts << message.text;
      QCOMPARE(message.buttons, MessageButtons::kOk);
    }
    QCOMPARE(shown_titles, titles);
    QCOMPARE(shown_texts, texts);
    if (!texts.isEmpty()) QCOMPARE(messenger.shown[0].icon, MessageIcon::kInformation);
  }

  void runWideValues_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("decimal_comma");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << 0;
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << 1;
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << 1;
  }

  void runWideValues() {
    QFETCH(QLocale, locale);
    QFETCH(int, decimal_comma);
    RecordingMessenger messenger;
    AppState state(messenger);
    state.decimal_comma = 1 - decimal_comma;
    SplashScreen splash(state, Environment({1280, 1024, 96.0}, locale));
    QVERIFY(splash.Load());
    QCOMPARE(state.decimal_comma, decimal_comma);
    QCOMPARE(state.software_version, QStringLiteral("1.3.4"));
    QCOMPARE(state.demo_firmware_version, QStringLiteral("1.1.5-B"));
    QCOMPARE(state.demo_second_version, QStringLiteral("1.0.4"));
    QCOMPARE(state.program_folder, QDir::currentPath());
    QVERIFY(!state.program_folder.isEmpty());
  }

  void timerHandsOverToTheMainWindow() {
    RecordingMessenger messenger;
    AppState state(messenger);
    state.editor_count = 5;
    SplashScreen splash(state, Environment());
    QSignalSpy opened(&splash, &SplashScreen::MainWindowOpened);
    QVERIFY(splash.Load());
    splash.show();
    auto* timer1 = splash.findChild<QTimer*>(QStringLiteral("splashTimer"));
    QVERIFY(timer1 != nullptr);
    QVERIFY(timer1->isActive());
    QVERIFY(timer1->isSingleShot());
    QCOMPARE(timer1->interval(), 2000);
    QVERIFY(splash.main_window() == nullptr);

    QVERIFY(opened.wait(4000));
    MainWindow* main = splash.main_window();
    QVERIFY(main != nullptr);
    QCOMPARE(opened.at(0).at(0).value<MainWindow*>(), main);
    QVERIFY(main->isVisible());
    QVERIFY(!splash.isVisible());
    QVERIFY(!timer1->isActive());
    // The main window's own load ran: no editor counted, the Connect menu watched.
    QCOMPARE(state.editor_count, int16_t{-1});
    QVERIFY(main->findChild<QTimer*>(QStringLiteral("connectMenuTimer"))->isActive());
    QVERIFY(messenger.shown.isEmpty());

    messenger.answers.push_back(tessaly::comm::MessageAnswer::kYes);
    main->close();
  }
};

QTEST_MAIN(AppSplashTest)
#include "AppSplashTest.moc"
